#include "MdxKeySorter.h"

#include "Errors.h"
#include "MdxFileIo.h"
#include "MdxFormat.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <numeric>
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
    const std::uint64_t budget = memoryBytes_ - memoryBytes_ / (recordBytes() + sizeof(std::uint32_t)) * 4;
    memory_.reserve(static_cast<std::size_t>(std::min(bytes, budget)));
}

void MdxKeySorter::add(std::string_view key, std::uint32_t record)
{
    memory_.insert(memory_.end(), key.begin(), key.end());
    std::uint8_t number[4];
    mdx::put32(number, record);
    memory_.insert(memory_.end(), number, number + 4);
    ++total_;
    sorted_ = false;
    // Each entry in memory also takes a place in the order array when it is sorted.
    if (memory_.size() + memory_.size() / recordBytes() * sizeof(std::uint32_t) >= memoryBytes_)
        spill();
}

void MdxKeySorter::sortMemory()
{
    if (sorted_)
        return;
    order_.resize(memory_.size() / recordBytes());
    std::iota(order_.begin(), order_.end(), 0u);
    const std::size_t size = recordBytes();
    std::sort(order_.begin(), order_.end(), [&](std::uint32_t a, std::uint32_t b) {
        return less(memory_.data() + static_cast<std::size_t>(a) * size,
                    memory_.data() + static_cast<std::size_t>(b) * size);
    });
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
