#include "MdxKeySorter.h"

#include "Errors.h"
#include "MdxFileIo.h"
#include "MdxFormat.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <queue>
#include <stdlib.h>
#include <unistd.h>

namespace dbase {

namespace {

constexpr std::size_t readBufferBytes = 64 * 1024;
constexpr std::size_t writeBufferBytes = 1024 * 1024;

std::uint32_t recordOf(const char* item, std::size_t keyLength)
{
    return mdx::get32(reinterpret_cast<const std::uint8_t*>(item + keyLength));
}

// While sorting: an entry's first eight key bytes as a number in tag order, and the entry's place.
struct SortSlot
{
    std::uint64_t prefix;
    std::uint32_t index;
};
constexpr std::size_t prefixBytes = 8;
// What an entry in memory takes besides itself while it is sorted: its slot and its place in the order.
constexpr std::size_t sortingBytes = sizeof(SortSlot) + sizeof(std::uint32_t);

std::uint64_t prefixOf(const char* key, std::size_t keyLength, bool descending)
{
    std::uint64_t prefix = 0;
    for (std::size_t i = 0; i < prefixBytes; ++i)
        prefix = prefix << 8 | (i < keyLength ? static_cast<unsigned char>(key[i]) : 0u);
    return descending ? ~prefix : prefix;
}

} // namespace

// One sorted source of the merge: a run in the temporary file, or the sorted entries still in memory.
class MdxKeySorter::RunReader
{
public:
    RunReader(const MdxKeySorter& sorter, const Run& run) : sorter_(sorter), run_(run) { refill(); }
    explicit RunReader(const MdxKeySorter& sorter)
        : sorter_(sorter), inMemory_(true), left_(sorter.order_.size())
    {}

    bool done() const { return left_ == 0; }
    const char* current() const
    {
        if (inMemory_)
            return sorter_.memory_.data() +
                   static_cast<std::size_t>(sorter_.order_[sorter_.order_.size() - left_]) *
                       sorter_.recordBytes();
        return buffer_.data() + position_;
    }
    void next()
    {
        --left_;
        if (inMemory_)
            return;
        position_ += sorter_.recordBytes();
        if (position_ == buffer_.size() && read_ < run_.entries)
            refill();
    }

private:
    void refill()
    {
        const std::size_t size = sorter_.recordBytes();
        const std::uint64_t count =
            std::min<std::uint64_t>(std::max<std::size_t>(readBufferBytes / size, 1), run_.entries - read_);
        buffer_.resize(static_cast<std::size_t>(count) * size);
        const std::uint64_t offset = run_.offset + read_ * size;
        if (!mdx::readFully(sorter_.fd_, buffer_.data(), buffer_.size(), offset))
            throw DatabaseError(std::string("Cannot read the temporary sort file: ") + std::strerror(errno));
        read_ += count;
        left_ += count;
        position_ = 0;
    }

    const MdxKeySorter& sorter_;
    Run run_{0, 0};
    bool inMemory_ = false;
    std::vector<char> buffer_;
    std::size_t position_ = 0;
    std::uint64_t read_ = 0;
    std::uint64_t left_ = 0;
};

MdxKeySorter::MdxKeySorter(std::size_t keyLength, bool descending, std::size_t memoryBytes,
                           std::string temporaryFolder)
    : keyLength_(keyLength), descending_(descending), memoryBytes_(std::max<std::size_t>(memoryBytes, 4096)),
      temporaryFolder_(std::move(temporaryFolder))
{}

MdxKeySorter::~MdxKeySorter()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool MdxKeySorter::less(const char* a, const char* b) const
{
    int order = std::memcmp(a, b, keyLength_);
    if (descending_)
        order = -order;
    if (order != 0)
        return order < 0;
    return recordOf(a, keyLength_) < recordOf(b, keyLength_);
}

void MdxKeySorter::reserve(std::uint64_t entries)
{
    const std::uint64_t bytes = entries * recordBytes();
    const std::uint64_t budget = memoryBytes_ - memoryBytes_ / (recordBytes() + sortingBytes) * sortingBytes;
    memory_.reserve(static_cast<std::size_t>(std::min(bytes, budget)));
    mdx::adviseLargePages(memory_.data(), memory_.capacity());
}

void MdxKeySorter::add(std::string_view key, std::uint32_t record)
{
    recordsAscending_ = (memory_.empty() || record > lastRecord_) && (memory_.empty() || recordsAscending_);
    lastRecord_ = record;
    memory_.insert(memory_.end(), key.begin(), key.end());
    std::uint8_t number[4];
    mdx::put32(number, record);
    memory_.insert(memory_.end(), number, number + 4);
    ++total_;
    sorted_ = false;
    if (memory_.size() + memory_.size() / recordBytes() * sortingBytes >= memoryBytes_)
        spill();
}

void MdxKeySorter::sortMemory()
{
    if (sorted_)
        return;
    // Numbers first, which compare in one step; whole keys only where the first eight bytes tie. Most
    // ties are equal keys (a country, a mark), and entries added in record order stay in it among those.
    const std::size_t size = recordBytes();
    const auto item = [&](std::uint32_t index) {
        return memory_.data() + static_cast<std::size_t>(index) * size;
    };
    std::vector<SortSlot> slots(memory_.size() / size);
    for (std::uint32_t i = 0; i < slots.size(); ++i)
        slots[i] = {prefixOf(item(i), keyLength_, descending_), i};
    std::sort(slots.begin(), slots.end(), [](const SortSlot& a, const SortSlot& b) {
        return a.prefix != b.prefix ? a.prefix < b.prefix : a.index < b.index;
    });
    for (auto run = slots.begin(); run != slots.end();) {
        const auto end =
            std::find_if(run, slots.end(), [&](const SortSlot& s) { return s.prefix != run->prefix; });
        const bool equalKeys = keyLength_ <= prefixBytes || std::all_of(run + 1, end, [&](const SortSlot& s) {
                                   return std::memcmp(item(s.index), item(run->index), keyLength_) == 0;
                               });
        if (!equalKeys || !recordsAscending_)
            std::sort(run, end, [&](const SortSlot& a, const SortSlot& b) {
                return less(item(a.index), item(b.index));
            });
        run = end;
    }
    order_.resize(slots.size());
    for (std::size_t i = 0; i < slots.size(); ++i)
        order_[i] = slots[i].index;
    sorted_ = true;
}

void MdxKeySorter::openTemporary()
{
    if (fd_ >= 0)
        return;
    const std::filesystem::path folder = temporaryFolder_.empty() ? std::filesystem::temp_directory_path()
                                                                  : std::filesystem::path(temporaryFolder_);
    std::string pattern = (folder / "mdxsort-XXXXXX").string();
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0)
        throw DatabaseError("Cannot create a temporary sort file in \"" + folder.string() +
                            "\": " + std::strerror(errno));
    ::unlink(pattern.c_str()); // it disappears with the descriptor
}

void MdxKeySorter::spill()
{
    sortMemory();
    openTemporary();
    const std::size_t size = recordBytes();
    std::vector<char> out;
    out.reserve(writeBufferBytes);
    std::uint64_t offset = fileBytes_;
    const auto writeOut = [&] {
        if (!mdx::writeFully(fd_, out.data(), out.size(), offset))
            throw DatabaseError(std::string("Cannot write the temporary sort file: ") + std::strerror(errno));
        offset += out.size();
        out.clear();
    };
    for (const std::uint32_t index : order_) {
        const char* item = memory_.data() + static_cast<std::size_t>(index) * size;
        out.insert(out.end(), item, item + size);
        if (out.size() + size > writeBufferBytes)
            writeOut();
    }
    writeOut();
    runs_.push_back({fileBytes_, order_.size()});
    fileBytes_ = offset;
    memory_.clear();
    order_.clear();
    sorted_ = true;
}

void MdxKeySorter::merge(const Sink& sink, bool firstOfEachKey)
{
    sortMemory();
    std::vector<RunReader> readers;
    readers.reserve(runs_.size() + 1);
    for (const Run& run : runs_)
        readers.emplace_back(*this, run);
    readers.emplace_back(*this);

    const auto later = [&](std::size_t a, std::size_t b) {
        return less(readers[b].current(), readers[a].current());
    };
    std::priority_queue<std::size_t, std::vector<std::size_t>, decltype(later)> heads(later);
    for (std::size_t i = 0; i < readers.size(); ++i)
        if (!readers[i].done())
            heads.push(i);
    std::string previous;
    bool any = false;
    while (!heads.empty()) {
        const std::size_t source = heads.top();
        heads.pop();
        const char* item = readers[source].current();
        const std::string_view key(item, keyLength_);
        if (!firstOfEachKey || !any || key != previous) {
            sink(key, recordOf(item, keyLength_));
            if (firstOfEachKey)
                previous.assign(key);
            any = true;
        }
        readers[source].next();
        if (!readers[source].done())
            heads.push(source);
    }
}

std::uint64_t MdxKeySorter::distinctKeys()
{
    std::uint64_t keys = 0;
    merge([&](std::string_view, std::uint32_t) { ++keys; }, true);
    return keys;
}

} // namespace dbase
