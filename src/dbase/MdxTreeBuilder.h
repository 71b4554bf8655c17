#pragma once

#include "MdxPage.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace dbase {

// Builds the B-tree of a tag bottom-up from entries that arrive in tag order, writing each page once.
// Knowing the number of entries in advance, it spreads them evenly over the pages of every level, so that
// no page is left nearly empty. Memory holds one page per level.
class MdxTreeBuilder
{
public:
    MdxTreeBuilder(MdxStorage& storage, const MdxTreeShape& shape, std::uint64_t entries);

    void add(std::string_view key, std::uint32_t record);
    // Writes the last pages and returns the root page.
    std::uint32_t finish();
    std::int64_t blocksAllocated() const { return blocks_; }

private:
    struct Level
    {
        std::uint64_t items = 0; // entries of a leaf level, children of a branch level
        std::uint64_t nodes = 0;
        std::uint64_t written = 0;
        MdxNode node;
    };

    std::uint64_t targetSize(const Level& level) const;
    void push(std::size_t level, std::string_view key, std::uint32_t pointer);
    // Finished pages wait here while they follow each other in the file, and go out together.
    void store(std::uint32_t page, const MdxNode& node);
    void writeRun();

    MdxStorage& storage_;
    const MdxTreeShape& shape_;
    std::vector<Level> levels_;
    std::uint32_t root_ = 0;
    std::int64_t blocks_ = 0;
    std::vector<std::uint8_t> run_;
    std::uint32_t runFirst_ = 0;
};

} // namespace dbase
