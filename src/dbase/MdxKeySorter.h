#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace dbase {

// Sorts the entries of a tag under construction into tag order (key, reversed for a descending tag,
// then record number). Entries are kept in memory up to a budget; beyond it sorted runs go to an
// unnamed temporary file and are merged at the end, so memory does not grow with the table.
class MdxKeySorter
{
public:
    using Sink = std::function<void(std::string_view key, std::uint32_t record)>;

    MdxKeySorter(std::size_t keyLength, bool descending, std::size_t memoryBytes,
                 std::string temporaryFolder);
    ~MdxKeySorter();
    MdxKeySorter(const MdxKeySorter&) = delete;
    MdxKeySorter& operator=(const MdxKeySorter&) = delete;

    // Room for that many entries, as far as the memory budget goes: no copying while they are added.
    void reserve(std::uint64_t entries);
    // key must be exactly keyLength bytes.
    void add(std::string_view key, std::uint32_t record);
    std::uint64_t size() const { return total_; }
    // Hands every entry to sink in order; with firstOfEachKey only the first entry of each key.
    // May be called more than once.
    void merge(const Sink& sink, bool firstOfEachKey = false);
    // The number of distinct keys.
    std::uint64_t distinctKeys();
    // Whether sorted runs had to be written to the temporary file.
    bool spilled() const { return !runs_.empty(); }

private:
    struct Run
    {
        std::uint64_t offset;
        std::uint64_t entries;
    };
    class RunReader;

    std::size_t recordBytes() const { return keyLength_ + 4; }
    bool less(const char* a, const char* b) const;
    void sortMemory();
    void spill();
    void openTemporary();

    std::size_t keyLength_;
    bool descending_;
    std::size_t memoryBytes_;
    std::string temporaryFolder_;
    std::vector<char> memory_;
    std::vector<std::uint32_t> order_;
    bool sorted_ = true;
    std::vector<Run> runs_;
    std::uint64_t fileBytes_ = 0;
    int fd_ = -1;
    std::uint64_t total_ = 0;
    // Whether the entries in memory came in ascending record order, so that equal keys are in order.
    bool recordsAscending_ = true;
    std::uint32_t lastRecord_ = 0;
};

} // namespace dbase
