#include "MdxStorage.h"

#include "Errors.h"
#include "MdxFileIo.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dbase {

namespace {

constexpr std::size_t minimumCache = 64;
constexpr std::uint32_t readAheadBlocks = 16;
constexpr std::uint32_t readAheadReach = 8 * mdx::pagesPerBlock;
constexpr std::uint32_t writeRunBlocks = 64;
constexpr std::uint32_t glanceBlocks = 64;

std::uint32_t blockIndex(std::uint32_t page)
{
    return (page - mdx::headerPages) / mdx::pagesPerBlock;
}
constexpr std::size_t coherenceBytes = mdx::updatingOffset + 1 - mdx::signatureOffset;

std::uint32_t roundUpToBlock(std::uint64_t pages)
{
    return static_cast<std::uint32_t>((pages + 1) / 2 * 2);
}

std::string systemError()
{
    return std::strerror(errno);
}

} // namespace

MdxStorage::MdxStorage(const std::string& path, bool writable, std::size_t cacheBlocks)
    : path_(path), writable_(writable), capacity_(std::max(cacheBlocks, minimumCache))
{
    fd_ = ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (fd_ < 0)
        throw DatabaseError("Cannot open index file \"" + path + "\": " + systemError());
    try {
        readHeader(header_);
        headerOnDisk_ = header_;
        adoptHeader();
    } catch (...) {
        ::close(fd_);
        throw;
    }
}

MdxStorage::~MdxStorage()
{
    if (updating_) {
        try {
            abandonUpdate();
        } catch (...) { // the mark stays on disk; the next open sees the interrupted update
        }
    }
    ::close(fd_);
}

void MdxStorage::create(const std::string& path, std::string_view tableName)
{
    std::array<std::uint8_t, mdx::headerBytes> header{};
    header[mdx::versionOffset] = 2;
    mdx::putToday(&header[mdx::createdOffset]);
    mdx::putText(&header[mdx::tableNameOffset], mdx::tableNameBytes,
                 tableName.substr(0, mdx::tableNameBytes));
    mdx::put16(&header[mdx::blockPagesOffset], mdx::pagesPerBlock);
    mdx::put16(&header[mdx::blockSizeOffset], mdx::blockBytes);
    header[mdx::productionOffset] = 1;
    header[mdx::tagCapacityOffset] = mdx::declaredTagCapacity;
    header[mdx::tagEntryLengthOffset] = mdx::tagEntryBytes;
    mdx::put32(&header[mdx::pageCountOffset], mdx::headerPages);
    mdx::putToday(&header[mdx::updatedOffset]);
    std::memcpy(&header[mdx::signatureOffset], mdx::signature.data(), mdx::signature.size());

    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw DatabaseError("Cannot create index file \"" + path + "\": " + systemError());
    const ssize_t written = ::pwrite(fd, header.data(), header.size(), 0);
    const std::string error = systemError();
    ::close(fd);
    if (written != static_cast<ssize_t>(header.size()))
        throw DatabaseError("Cannot write index file \"" + path + "\": " + error);
}

void MdxStorage::damaged(const std::string& what) const
{
    throw DatabaseError("Index file \"" + path_ + "\" is damaged: " + what);
}

std::uint64_t MdxStorage::fileBytes() const
{
    struct stat status
    {
    };
    if (::fstat(fd_, &status) != 0)
        throw DatabaseError("Cannot read index file \"" + path_ + "\": " + systemError());
    return static_cast<std::uint64_t>(status.st_size);
}

void MdxStorage::readHeader(std::array<std::uint8_t, mdx::headerBytes>& into) const
{
    const ssize_t got = ::pread(fd_, into.data(), into.size(), 0);
    if (got < 0)
        throw DatabaseError("Cannot read index file \"" + path_ + "\": " + systemError());
    if (got != static_cast<ssize_t>(into.size()))
        damaged("the file is shorter than its header");
}

// Checks the header just read and derives the file's extent from it.
void MdxStorage::adoptHeader()
{
    physicalBytes_ = fileBytes();
    const std::uint16_t blockPages = mdx::get16(&header_[mdx::blockPagesOffset]);
    const std::uint16_t blockSize = mdx::get16(&header_[mdx::blockSizeOffset]);
    if (blockPages != mdx::pagesPerBlock || blockSize != mdx::blockBytes)
        damaged("blocks of " + std::to_string(blockPages) + " pages and " + std::to_string(blockSize) +
                " bytes are not supported (only 2 and 1024)");
    if (header_[mdx::tagEntryLengthOffset] != mdx::tagEntryBytes)
        damaged("tag entries of " + std::to_string(header_[mdx::tagEntryLengthOffset]) + " bytes");
    const std::uint16_t tags = mdx::get16(&header_[mdx::tagsInUseOffset]);
    if (tags > mdx::maxTags)
        damaged(std::to_string(tags) + " tags, more than the tag table holds");
    const std::uint32_t pages = mdx::get32(&header_[mdx::pageCountOffset]);
    if (pages < mdx::headerPages)
        damaged("a page count of " + std::to_string(pages));
    if (static_cast<std::uint64_t>(pages) * mdx::pageBytes > physicalBytes_)
        damaged("the file ends before its " + std::to_string(pages) + " pages");
    // New blocks go after everything in the file, even after bytes that the page count leaves out.
    endPage_ = std::max(roundUpToBlock(pages),
                        roundUpToBlock((physicalBytes_ + mdx::pageBytes - 1) / mdx::pageBytes));
    const std::uint32_t firstFree = freeListHead();
    if (firstFree != 0 && !isBlockPage(firstFree))
        damaged("the free list starts at page " + std::to_string(firstFree) + ", outside the file");
    interrupted_ = hasSignature() && header_[mdx::updatingOffset] != 0;
}

bool MdxStorage::hasSignature() const
{
    return std::memcmp(&header_[mdx::signatureOffset], mdx::signature.data(), mdx::signature.size()) == 0;
}

std::uint32_t MdxStorage::freeListHead() const
{
    return mdx::get32(&header_[mdx::firstFreeOffset]);
}

bool MdxStorage::isBlockPage(std::uint32_t page) const
{
    return page % mdx::pagesPerBlock == 0 && page >= mdx::headerPages && page < endPage_;
}

std::uint8_t* MdxStorage::changeHeader()
{
    requireUpdate();
    headerChanged_ = true;
    return header_.data();
}

void MdxStorage::requireUpdate() const
{
    if (!writable_)
        throw DatabaseError("Index file \"" + path_ + "\" is open read-only");
    if (!updating_)
        throw std::logic_error("index file changed outside an update");
}

bool MdxStorage::refresh()
{
    if (updating_)
        return false;
    std::array<std::uint8_t, mdx::headerBytes> fresh{};
    readHeader(fresh);
    if (fresh == header_)
        return false;
    header_ = fresh;
    headerOnDisk_ = fresh;
    glancedBlocks_ = 0;
    outlines_.forget();
    cache_.clear();
    recent_.clear();
    dirty_.clear();
    adoptHeader();
    return true;
}

void MdxStorage::beginUpdate()
{
    if (!writable_)
        throw DatabaseError("Index file \"" + path_ + "\" is open read-only");
    if (updating_)
        throw std::logic_error("index update begun twice");
    updating_ = true;
    marked_ = false;
    wroteBlocks_ = false;
    headerChanged_ = false;
    truncate_ = false;
}

// Puts the updating mark on disk before the first block of an update is written.
void MdxStorage::markUpdating()
{
    if (marked_)
        return;
    if (!hasSignature()) {
        // From now on the free-block count is ours to keep; other writers may have meant something else.
        mdx::put32(&header_[mdx::freeBlocksOffset], countFreeBlocks());
        std::memcpy(&header_[mdx::signatureOffset], mdx::signature.data(), mdx::signature.size());
        mdx::put64(&header_[mdx::changeCounterOffset], 0);
    }
    header_[mdx::updatingOffset] = 1;
    writeAt(mdx::signatureOffset, &header_[mdx::signatureOffset], coherenceBytes);
    marked_ = true;
}

// The length of the free list, as far as it can be followed.
std::uint32_t MdxStorage::countFreeBlocks()
{
    std::uint32_t count = 0;
    const std::uint32_t limit = endPage_ / mdx::pagesPerBlock;
    try {
        for (std::uint32_t page = freeListHead(); page != 0 && count < limit; ++count)
            page = mdx::get32(&read(page)->bytes[mdx::nextFreeOffset]);
    } catch (const DatabaseError&) { // a damaged list is the check's to report
    }
    return count;
}

void MdxStorage::endUpdate()
{
    if (!updating_)
        return;
    if (!dirty_.empty() || headerChanged_ || wroteBlocks_ || truncate_) {
        flushBlocks();
        markUpdating();
        mdx::put64(&header_[mdx::changeCounterOffset], mdx::get64(&header_[mdx::changeCounterOffset]) + 1);
        header_[mdx::updatingOffset] = interrupted_ ? 1 : 0;
        mdx::putToday(&header_[mdx::updatedOffset]);
        writeAt(0, header_.data(), header_.size());
        headerOnDisk_ = header_;
        if (truncate_) {
            const std::uint64_t size = static_cast<std::uint64_t>(endPage_) * mdx::pageBytes;
            if (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
                throw DatabaseError("Cannot shorten index file \"" + path_ + "\": " + systemError());
            physicalBytes_ = size;
        }
    }
    updating_ = false;
}

void MdxStorage::announce()
{
    requireUpdate();
    markUpdating();
    wroteBlocks_ = true;
}

void MdxStorage::abandonUpdate()
{
    if (!updating_)
        return;
    for (const std::uint32_t page : dirty_) {
        const auto found = cache_.find(page);
        if (found != cache_.end() && found->second.dirty) {
            recent_.erase(found->second.recent);
            cache_.erase(found);
        }
    }
    dirty_.clear();
    glancedBlocks_ = 0;
    outlines_.forget(); // they may have followed writes that are now forgotten
    updating_ = false;
    if (marked_ && !wroteBlocks_) // nothing but the mark reached the disk: take it back
        writeAt(mdx::signatureOffset, &headerOnDisk_[mdx::signatureOffset], coherenceBytes);
    else if (wroteBlocks_)
        interrupted_ = true;
    readHeader(header_);
    headerOnDisk_ = header_;
    adoptHeader();
    interrupted_ = interrupted_ || wroteBlocks_;
}

void MdxStorage::sync()
{
    if (writable_ && ::fsync(fd_) != 0)
        throw DatabaseError("Cannot save index file \"" + path_ + "\": " + systemError());
}

MdxBlockPtr MdxStorage::cached(std::uint32_t page) const
{
    const auto found = cache_.find(page);
    return found == cache_.end() ? nullptr : found->second.block;
}

const std::uint8_t* MdxStorage::glance(std::uint32_t page)
{
    if (!isBlockPage(page))
        damaged("a pointer to page " + std::to_string(page) + ", which is not a block of the file");
    if (const auto found = cache_.find(page); found != cache_.end())
        return found->second.block->bytes.data();
    if (page < glancedFirst_ || page >= glancedFirst_ + glancedBlocks_ * mdx::pagesPerBlock) {
        const std::uint64_t offset = static_cast<std::uint64_t>(page) * mdx::pageBytes;
        const std::uint64_t onDisk =
            physicalBytes_ > offset ? (physicalBytes_ - offset) / mdx::blockBytes : 0;
        glanced_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(onDisk, glanceBlocks)) *
                        mdx::blockBytes);
        const ssize_t got =
            glanced_.empty() ? 0 : ::pread(fd_, glanced_.data(), glanced_.size(), static_cast<off_t>(offset));
        glancedBlocks_ = got > 0 ? static_cast<std::uint32_t>(got) / mdx::blockBytes : 0;
        glancedFirst_ = page;
        if (glancedBlocks_ == 0)
            damaged("page " + std::to_string(page) + " lies beyond the end of the file");
    }
    return glanced_.data() +
           static_cast<std::size_t>((page - glancedFirst_) / mdx::pagesPerBlock) * mdx::blockBytes;
}

std::optional<MdxOutlines::Outline> MdxStorage::outline(std::uint32_t page, std::size_t itemLength,
                                                        std::size_t capacity)
{
    if (!isBlockPage(page))
        damaged("a pointer to page " + std::to_string(page) + ", which is not a block of the file");
    const std::uint32_t blocks = blockIndex(endPage_);
    if (blocks <= glanceBlocks)
        return std::nullopt;
    if (!outlines_.covers(itemLength)) {
        outlines_.start(itemLength, capacity, blocks);
        glanced_.resize(static_cast<std::size_t>(glanceBlocks) * mdx::blockBytes);
        glancedBlocks_ = 0;
        for (std::uint32_t first = 0; first < blocks; first += glanceBlocks) {
            const std::uint64_t offset =
                (mdx::headerPages + std::uint64_t(first) * mdx::pagesPerBlock) * mdx::pageBytes;
            const ssize_t got = ::pread(fd_, glanced_.data(), glanced_.size(), static_cast<off_t>(offset));
            for (std::uint32_t i = 0; got > 0 && i < static_cast<std::uint32_t>(got) / mdx::blockBytes; ++i)
                outlines_.add(first + i, glanced_.data() + static_cast<std::size_t>(i) * mdx::blockBytes);
        }
        // Cached blocks, dirty ones included, are newer than the disk.
        for (const auto& [cachedPage, entry] : cache_)
            outlines_.add(blockIndex(cachedPage), entry.block->bytes.data());
    }
    return outlines_.at(blockIndex(page));
}

MdxBlockPtr MdxStorage::read(std::uint32_t page)
{
    if (!isBlockPage(page))
        damaged("a pointer to page " + std::to_string(page) + ", which is not a block of the file");
    if (const auto found = cache_.find(page); found != cache_.end()) {
        recent_.splice(recent_.begin(), recent_, found->second.recent);
        return found->second.block;
    }
    const std::uint64_t offset = static_cast<std::uint64_t>(page) * mdx::pageBytes;
    const std::uint64_t onDisk = physicalBytes_ > offset ? (physicalBytes_ - offset) / mdx::blockBytes : 0;
    if (onDisk == 0)
        damaged("page " + std::to_string(page) + " lies beyond the end of the file");
    // A tag built in one go lies in consecutive blocks; when misses walk forward through the file, one
    // read brings the next blocks along.
    const bool walkingForward = page > lastMiss_ && page - lastMiss_ <= readAheadReach;
    lastMiss_ = page;
    const auto count =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(onDisk, walkingForward ? readAheadBlocks : 1));
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(count) * mdx::blockBytes);
    const ssize_t got = ::pread(fd_, buffer.data(), buffer.size(), static_cast<off_t>(offset));
    if (got < static_cast<ssize_t>(mdx::blockBytes))
        damaged("page " + std::to_string(page) + " cannot be read");
    MdxBlockPtr wanted;
    for (std::uint32_t i = 0; i < static_cast<std::uint32_t>(got) / mdx::blockBytes; ++i) {
        const std::uint32_t at = page + i * mdx::pagesPerBlock;
        if (i > 0 && (cache_.count(at) != 0 || at >= endPage_))
            continue;
        auto block = std::make_shared<MdxBlock>();
        std::memcpy(block->bytes.data(), buffer.data() + static_cast<std::size_t>(i) * mdx::blockBytes,
                    mdx::blockBytes);
        if (i == 0)
            wanted = block;
        insert(at, std::move(block), false);
    }
    evictIfFull();
    return wanted;
}

void MdxStorage::insert(std::uint32_t page, MdxBlockPtr block, bool dirty)
{
    const auto found = cache_.find(page);
    if (found != cache_.end()) {
        if (dirty && !found->second.dirty)
            dirty_.push_back(page);
        found->second.block = std::move(block);
        found->second.dirty = found->second.dirty || dirty;
        recent_.splice(recent_.begin(), recent_, found->second.recent);
        return;
    }
    recent_.push_front(page);
    cache_.emplace(page, CacheEntry{std::move(block), recent_.begin(), dirty});
    if (dirty)
        dirty_.push_back(page);
}

void MdxStorage::evictIfFull()
{
    while (cache_.size() > capacity_) {
        const std::uint32_t page = recent_.back();
        if (cache_.at(page).dirty)
            flushBlocks();
        recent_.pop_back();
        cache_.erase(page);
    }
}

void MdxStorage::write(std::uint32_t page, const MdxBlock::Bytes& bytes)
{
    requireUpdate();
    if (!isBlockPage(page))
        damaged("a write to page " + std::to_string(page) + ", which is not a block of the file");
    auto block = std::make_shared<MdxBlock>();
    block->bytes = bytes;
    glancedBlocks_ = 0;
    outlines_.forgetBlock(blockIndex(page));
    insert(page, std::move(block), true);
    if (dirty_.size() > capacity_ / 2)
        flushBlocks();
    evictIfFull();
}

void MdxStorage::writeThrough(std::uint32_t firstPage, const std::uint8_t* bytes, std::size_t blocks)
{
    requireUpdate();
    for (std::size_t i = 0; i < blocks; ++i) {
        const auto page = static_cast<std::uint32_t>(firstPage + i * mdx::pagesPerBlock);
        if (!isBlockPage(page))
            damaged("a write to page " + std::to_string(page) + ", which is not a block of the file");
        const auto found = cache_.find(page);
        if (found != cache_.end()) {
            if (found->second.dirty)
                dirty_.erase(std::find(dirty_.begin(), dirty_.end(), page));
            recent_.erase(found->second.recent);
            cache_.erase(found);
        }
        outlines_.forgetBlock(blockIndex(page));
    }
    glancedBlocks_ = 0;
    markUpdating();
    wroteBlocks_ = true;
    writeAt(static_cast<std::uint64_t>(firstPage) * mdx::pageBytes, bytes, blocks * mdx::blockBytes);
}

std::uint32_t MdxStorage::allocate()
{
    std::uint8_t* header = changeHeader();
    const std::uint32_t head = freeListHead();
    if (head != 0) {
        if (!isBlockPage(head))
            damaged("the free list reaches page " + std::to_string(head) + ", outside the file");
        const MdxBlockPtr block = read(head);
        const std::uint32_t next = mdx::get32(&block->bytes[mdx::nextFreeOffset]);
        if (mdx::get32(&block->bytes[mdx::entryCountOffset]) != 0 || (next != 0 && !isBlockPage(next)))
            damaged("the free list reaches page " + std::to_string(head) + ", which is not free");
        mdx::put32(&header[mdx::firstFreeOffset], next);
        const std::uint32_t freeBlocks = mdx::get32(&header[mdx::freeBlocksOffset]);
        mdx::put32(&header[mdx::freeBlocksOffset], freeBlocks > 0 ? freeBlocks - 1 : 0);
        return head;
    }
    const std::uint32_t page = endPage_;
    if (page > UINT32_MAX - 2 * mdx::pagesPerBlock)
        throw DatabaseError("Index file \"" + path_ + "\" cannot grow any further");
    endPage_ += mdx::pagesPerBlock;
    mdx::put32(&header[mdx::pageCountOffset], endPage_);
    return page;
}

void MdxStorage::release(std::uint32_t page)
{
    std::uint8_t* header = changeHeader();
    MdxBlock::Bytes bytes{};
    mdx::put32(&bytes[mdx::nextFreeOffset], freeListHead());
    write(page, bytes);
    mdx::put32(&header[mdx::firstFreeOffset], page);
    mdx::put32(&header[mdx::freeBlocksOffset], mdx::get32(&header[mdx::freeBlocksOffset]) + 1);
}

void MdxStorage::resetBlocks()
{
    std::uint8_t* header = changeHeader();
    cache_.clear();
    recent_.clear();
    glancedBlocks_ = 0;
    outlines_.forget();
    dirty_.clear();
    endPage_ = mdx::headerPages;
    mdx::put32(&header[mdx::pageCountOffset], endPage_);
    mdx::put32(&header[mdx::firstFreeOffset], 0);
    mdx::put32(&header[mdx::freeBlocksOffset], 0);
    truncate_ = true;
}

void MdxStorage::flush()
{
    requireUpdate();
    flushBlocks();
    markUpdating();
    writeAt(0, header_.data(), header_.size());
    headerOnDisk_ = header_;
    wroteBlocks_ = true;
}

void MdxStorage::flushBlocks()
{
    if (dirty_.empty())
        return;
    markUpdating();
    std::vector<std::uint32_t> pages = std::move(dirty_);
    dirty_.clear();
    std::sort(pages.begin(), pages.end());
    std::vector<std::uint8_t> run;
    wroteBlocks_ = true;
    for (std::size_t i = 0; i < pages.size();) {
        std::size_t end = i + 1;
        while (end < pages.size() && end - i < writeRunBlocks &&
               pages[end] == pages[end - 1] + mdx::pagesPerBlock)
            ++end;
        run.resize((end - i) * mdx::blockBytes);
        for (std::size_t k = i; k < end; ++k)
            std::memcpy(run.data() + (k - i) * mdx::blockBytes, cache_.at(pages[k]).block->bytes.data(),
                        mdx::blockBytes);
        try {
            writeAt(static_cast<std::uint64_t>(pages[i]) * mdx::pageBytes, run.data(), run.size());
        } catch (...) {
            dirty_.insert(dirty_.end(), pages.begin() + static_cast<std::ptrdiff_t>(i), pages.end());
            throw;
        }
        for (std::size_t k = i; k < end; ++k)
            cache_.at(pages[k]).dirty = false;
        i = end;
    }
}

void MdxStorage::writeAt(std::uint64_t offset, const std::uint8_t* data, std::size_t size)
{
    if (!mdx::writeFully(fd_, data, size, offset))
        throw DatabaseError("Cannot write index file \"" + path_ + "\": " + systemError());
    physicalBytes_ = std::max(physicalBytes_, offset + size);
}

} // namespace dbase
