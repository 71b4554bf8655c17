#include "MemoFile.h"

#include "Binary.h"
#include "Errors.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <set>

namespace dbase {

namespace {

constexpr std::string_view usedBlockMark("\xFF\xFF\x08\x00", 4);
constexpr std::size_t valueHeaderSize = 8;
constexpr std::size_t freeHeadAt = 24;
constexpr std::size_t freeCheckAt = 28;
constexpr std::uint32_t freeListMagic = 0x4C465354; // "TSFL"
constexpr std::uint32_t freeRunMagic = 0x52465354;  // "TSFR"
constexpr std::size_t freeRunHeaderSize = 12;
constexpr int freeRunsExamined = 64;
constexpr char dbase3Terminator = 0x1A;

bool saneBlockSize(std::uint32_t size)
{
    return size >= 32 && size <= 0xFFFF;
}

[[noreturn]] void damagedValue(const std::string& path, std::uint32_t block, const std::string& fault)
{
    throw EngineError("damaged memo value at block " + std::to_string(block) + " of " + path + ": " + fault);
}

} // namespace

MemoFile::MemoFile(File file, bool dbase3Table) : file_(std::move(file))
{
    const std::string header = readHeader();
    if (header.size() < 24)
        throw DatabaseError("damaged memo file " + path() + ": header cut short");
    if (dbase3Table || header[16] == 3) {
        format_ = Format::DBase3;
        blockSize_ = defaultBlockSize;
        return;
    }
    format_ = Format::DBase4;
    // The block size belongs at offset 20; some writers put it at offset 4 instead.
    const std::uint32_t at20 = readU16(header, 20);
    const std::uint32_t at4 = readU32(header, 4);
    if (saneBlockSize(at20))
        blockSize_ = at20;
    else if (saneBlockSize(at4))
        blockSize_ = at4;
    else
        throw DatabaseError("damaged memo file " + path() + ": no usable block size");
}

void MemoFile::create(const std::string& path, const std::string& tableName, Format format)
{
    std::string header(defaultBlockSize, '\0');
    writeU32(header, 0, 1);
    std::string name = tableName.substr(0, 8);
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (format == Format::DBase4) {
        writeU32(header, 4, defaultBlockSize);
        header.replace(8, name.size(), name);
        writeU16(header, 20, defaultBlockSize);
        writeU32(header, freeCheckAt, freeListMagic);
    } else {
        header[16] = 3;
    }
    File file(path, File::Mode::Create);
    file.write(0, header);
}

std::string MemoFile::readHeader() const
{
    return file_.readSome(0, 32);
}

std::uint32_t MemoFile::headerNextBlock() const
{
    const std::string header = readHeader();
    return header.size() >= 4 ? readU32(header, 0) : 0;
}

std::uint32_t MemoFile::endBlock() const
{
    // The file size decides where new blocks go: it is what every writer leaves behind.
    const std::uint64_t blocks = (file_.size() + blockSize_ - 1) / blockSize_;
    if (blocks >= 0xFFFFFFFFu)
        throw DatabaseError("memo file " + path() + " is full");
    return std::max<std::uint32_t>(1, static_cast<std::uint32_t>(blocks));
}

std::string MemoFile::read(std::uint32_t block) const
{
    if (format_ == Format::DBase3)
        return readDBase3(block);
    const std::uint32_t length = valueLength(block);
    return file_.read(std::uint64_t(block) * blockSize_ + valueHeaderSize, length - valueHeaderSize);
}

std::uint32_t MemoFile::valueLength(std::uint32_t block) const
{
    const std::uint64_t fileSize = file_.size();
    const std::uint64_t at = std::uint64_t(block) * blockSize_;
    if (block == 0 || at >= fileSize)
        damagedValue(path(), block, "the block lies outside the file");
    const std::string head = file_.readSome(at, valueHeaderSize);
    if (head.size() < valueHeaderSize || head.substr(0, 4) != usedBlockMark)
        damagedValue(path(), block, "the block does not start a value");
    const std::uint32_t length = readU32(head, 4);
    if (length < valueHeaderSize || at + length > fileSize)
        damagedValue(path(), block, "impossible length " + std::to_string(length));
    return length;
}

std::uint64_t MemoFile::valueSize(std::uint32_t block) const
{
    return format_ == Format::DBase3 ? readDBase3(block).size() : valueLength(block) - valueHeaderSize;
}

MemoFile::Run MemoFile::extent(std::uint32_t block) const
{
    const std::uint64_t length =
        format_ == Format::DBase3 ? readDBase3(block).size() + 1 : std::uint64_t(valueLength(block));
    return {block, static_cast<std::uint32_t>((length + blockSize_ - 1) / blockSize_)};
}

std::string MemoFile::readDBase3(std::uint32_t block) const
{
    const std::uint64_t fileSize = file_.size();
    std::uint64_t at = std::uint64_t(block) * blockSize_;
    if (block == 0 || at >= fileSize)
        damagedValue(path(), block, "the block lies outside the file");
    std::string value;
    constexpr std::size_t chunk = 16 * 1024;
    while (at < fileSize) {
        const std::string bytes = file_.readSome(at, chunk);
        const std::size_t end = bytes.find(dbase3Terminator);
        if (end != std::string::npos) {
            value.append(bytes, 0, end);
            return value;
        }
        if (bytes.empty())
            break;
        value += bytes;
        at += bytes.size();
    }
    damagedValue(path(), block, "the text has no end mark");
}

std::uint32_t MemoFile::freeListHead(std::string_view header) const
{
    if (format_ != Format::DBase4 || header.size() < freeCheckAt + 4)
        return 0;
    const std::uint32_t head = readU32(header, freeHeadAt);
    return readU32(header, freeCheckAt) == (head ^ freeListMagic) ? head : 0;
}

void MemoFile::setFreeListHead(std::uint32_t head)
{
    std::string words(8, '\0');
    writeU32(words, 0, head);
    writeU32(words, 4, head ^ freeListMagic);
    file_.write(freeHeadAt, words);
}

bool MemoFile::readRun(std::uint32_t block, std::uint32_t end, Run& run, std::uint32_t& next) const
{
    if (block == 0 || block >= end)
        return false;
    const std::string head = file_.readSome(std::uint64_t(block) * blockSize_, freeRunHeaderSize);
    if (head.size() < freeRunHeaderSize || readU32(head, 8) != freeRunMagic)
        return false;
    next = readU32(head, 0);
    run = {block, readU32(head, 4)};
    return run.length >= 1 && std::uint64_t(run.start) + run.length <= end;
}

void MemoFile::writeRunHeader(std::uint32_t block, std::uint32_t next, std::uint32_t length)
{
    std::string head(freeRunHeaderSize, '\0');
    writeU32(head, 0, next);
    writeU32(head, 4, length);
    writeU32(head, 8, freeRunMagic);
    file_.write(std::uint64_t(block) * blockSize_, head);
}

std::uint32_t MemoFile::write(std::string_view value)
{
    if (!file_.isWritable())
        throw DatabaseError("memo file " + path() + " is read-only");
    std::string image;
    if (format_ == Format::DBase3) {
        if (value.find(dbase3Terminator) != std::string_view::npos)
            throw DatabaseError("a value holding the byte 0x1A cannot be stored in the dBASE III memo file " +
                                path());
        image.reserve(value.size() + 2 + blockSize_);
        image.append(value);
        image.append(2, dbase3Terminator);
    } else {
        if (value.size() > 0xFFFFFFFFu - valueHeaderSize)
            throw DatabaseError("memo value too large for " + path());
        image.reserve(value.size() + valueHeaderSize + blockSize_);
        image.append(usedBlockMark);
        image.append(4, '\0');
        writeU32(image, 4, static_cast<std::uint32_t>(value.size() + valueHeaderSize));
        image.append(value);
    }
    image.resize((image.size() + blockSize_ - 1) / blockSize_ * blockSize_, '\0');
    const auto blocks = static_cast<std::uint32_t>(image.size() / blockSize_);
    const std::uint32_t end = endBlock();
    if (format_ == Format::DBase4)
        if (const std::uint32_t start = takeFromFreeList(image, blocks, end))
            return start;
    return append(image, end);
}

MemoFile::WalkEnd MemoFile::walkFreeList(std::uint32_t end, std::uint64_t limit,
                                         const std::function<bool(const FreeListEntry&)>& visit,
                                         std::uint32_t* brokenAt) const
{
    FreeListEntry entry;
    std::uint32_t block = freeListHead(readHeader());
    for (std::uint64_t examined = 0; block != 0 && examined < limit; ++examined) {
        if (!readRun(block, end, entry.run, entry.next)) {
            if (brokenAt)
                *brokenAt = block;
            return WalkEnd::Broken;
        }
        if (visit(entry))
            return WalkEnd::Stopped;
        entry.previous = entry.run.start;
        entry.previousLength = entry.run.length;
        block = entry.next;
    }
    return WalkEnd::Exhausted;
}

void MemoFile::relink(const FreeListEntry& entry, std::uint32_t to)
{
    if (entry.previous == 0)
        setFreeListHead(to);
    else
        writeRunHeader(entry.previous, to, entry.previousLength);
}

// The list lets go of the blocks before the data goes in: a kill in between leaves blocks that nobody
// uses and the list does not name, never a list that names blocks holding a value.
std::uint32_t MemoFile::takeFromFreeList(std::string_view image, std::uint32_t blocks, std::uint32_t end)
{
    std::uint32_t taken = 0;
    const WalkEnd how = walkFreeList(end, freeRunsExamined, [&](const FreeListEntry& entry) {
        const Run& run = entry.run;
        if (run.length < blocks)
            return false;
        if (run.length > blocks) {
            // The tail of a longer run: only the run's length changes.
            taken = run.start + run.length - blocks;
            writeRunHeader(run.start, entry.next, run.length - blocks);
        } else {
            taken = run.start;
            relink(entry, entry.next);
        }
        file_.write(std::uint64_t(taken) * blockSize_, image);
        return true;
    });
    if (how == WalkEnd::Broken)
        setFreeListHead(0);
    return taken;
}

std::uint32_t MemoFile::append(std::string_view image, std::uint32_t end)
{
    const std::uint64_t blocks = image.size() / blockSize_;
    if (end + blocks >= 0xFFFFFFFFu)
        throw DatabaseError("memo file " + path() + " is full");
    file_.write(std::uint64_t(end) * blockSize_, image);
    std::string next(4, '\0');
    writeU32(next, 0, static_cast<std::uint32_t>(end + blocks));
    file_.write(0, next);
    return end;
}

void MemoFile::release(std::uint32_t block)
{
    if (format_ != Format::DBase4 || block == 0)
        return;
    Run run;
    try {
        run = extent(block);
    } catch (const EngineError&) {
        return; // not a value we can vouch for: leave its blocks alone
    }
    const std::uint32_t end = endBlock();
    if (std::uint64_t(run.start) + run.length >= end) {
        // The last value in the file: the file simply gets shorter.
        std::string next(4, '\0');
        writeU32(next, 0, run.start);
        file_.write(0, next);
        file_.truncate(std::uint64_t(run.start) * blockSize_);
        return;
    }
    if (!mergeWithNeighbour(run, end)) {
        const std::uint32_t head = freeListHead(readHeader());
        writeRunHeader(run.start, head, run.length);
        setFreeListHead(run.start);
    }
}

// Joins a freed run to a free run right before or after it, so that values that grow find room again.
// Each step leaves a list that checks out, or at worst one that no longer names the freed blocks.
bool MemoFile::mergeWithNeighbour(const Run& freed, std::uint32_t end)
{
    return walkFreeList(end, freeRunsExamined, [&](const FreeListEntry& entry) {
               const Run& run = entry.run;
               if (run.start + run.length == freed.start) {
                   writeRunHeader(run.start, entry.next, run.length + freed.length);
                   return true;
               }
               if (freed.start + freed.length == run.start) {
                   writeRunHeader(freed.start, entry.next, freed.length + run.length);
                   relink(entry, freed.start);
                   return true;
               }
               return false;
           }) == WalkEnd::Stopped;
}

void MemoFile::clear()
{
    std::string header = readHeader();
    header.resize(32, '\0');
    writeU32(header, 0, 1);
    if (format_ == Format::DBase4) {
        writeU32(header, freeHeadAt, 0);
        writeU32(header, freeCheckAt, freeListMagic);
    }
    file_.write(0, header);
    file_.truncate(blockSize_);
}

std::vector<MemoFile::Run> MemoFile::freeRuns(std::string& fault) const
{
    fault.clear();
    std::vector<Run> runs;
    const std::uint32_t end = endBlock();
    std::set<std::uint32_t> seen;
    std::uint32_t brokenAt = 0;
    const WalkEnd how = walkFreeList(
        end, end,
        [&](const FreeListEntry& entry) {
            if (!seen.insert(entry.run.start).second) {
                fault = "the free list runs in a circle at block " + std::to_string(entry.run.start);
                return true;
            }
            runs.push_back(entry.run);
            return false;
        },
        &brokenAt);
    if (how == WalkEnd::Broken)
        fault = "the free list names block " + std::to_string(brokenAt) + ", which is not a free run";
    return runs;
}

} // namespace dbase
