#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace dbase {

// Every block of an index file as counting sees it, for tags of one entry length: its entry count and,
// for a branch, its child pages. Counting a tag needs the entry counts of all pages under the counted
// range, and the pages of a tag built up by inserts lie anywhere in the file: read in one pass of large
// reads, they cost a fraction of loading them one by one, and they take a few bytes per block instead of a
// block each.
class MdxOutlines
{
public:
    struct Outline
    {
        std::uint32_t entries = 0;
        const std::uint32_t* children = nullptr; // entries + 1 pages for a branch; null for a leaf
    };

    bool covers(std::size_t itemLength) const { return itemLength_ == itemLength && itemLength != 0; }
    // Starts over for blocks of itemLength-byte entries, capacity of them to a page.
    void start(std::size_t itemLength, std::size_t capacity, std::uint32_t blocks);
    // The bytes of block index (0 is the first block after the file header).
    void add(std::uint32_t block, const std::uint8_t* bytes);
    void forget();
    // A block that was written is left to be loaded.
    void forgetBlock(std::uint32_t block);
    // Nothing when the block is not covered or its count does not fit a page.
    std::optional<Outline> at(std::uint32_t block) const;

private:
    static constexpr std::uint32_t unknown = UINT32_MAX;

    std::size_t itemLength_ = 0;
    std::size_t capacity_ = 0;
    std::vector<std::uint32_t> entries_;
    std::vector<std::uint32_t> firstChild_; // into children_, plus one; 0 for a leaf
    std::vector<std::uint32_t> children_;
};

} // namespace dbase
