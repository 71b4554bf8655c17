#pragma once

#include "MdxStorage.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dbase {

// How the B-tree of one tag lays out its pages.
struct MdxTreeShape
{
    std::uint32_t rootPage = 0;
    std::uint16_t keyLength = 0;
    std::uint16_t itemLength = 0;
    std::uint16_t capacity = 0; // entries a page holds
    bool descending = false;
    bool unique = false;
};

// A read-only look at one B-tree page. The entry count is checked against the page's capacity.
class MdxPageView
{
public:
    MdxPageView(const MdxStorage& storage, const std::uint8_t* bytes, std::uint32_t page,
                const MdxTreeShape& shape);

    std::uint32_t count() const { return count_; }
    bool isLeaf() const { return leaf_; }
    // A record number in a leaf, a child page in a branch; a branch has count() + 1 of them.
    std::uint32_t pointer(std::uint32_t i) const { return mdx::get32(item(i)); }
    std::uint32_t children() const { return leaf_ ? 0 : count_ + 1; }
    std::string_view key(std::uint32_t i) const
    {
        return {reinterpret_cast<const char*>(item(i) + 4), shape_.keyLength};
    }

private:
    const std::uint8_t* item(std::uint32_t i) const
    {
        return bytes_ + mdx::entriesOffset + static_cast<std::size_t>(i) * shape_.itemLength;
    }

    const std::uint8_t* bytes_;
    const MdxTreeShape& shape_;
    std::uint32_t count_;
    bool leaf_;
};

// A B-tree page taken apart for changing it: keys[i] goes with pointers[i]; a branch has one pointer more.
struct MdxNode
{
    bool leaf = true;
    std::vector<std::uint32_t> pointers;
    std::vector<std::string> keys;

    static MdxNode from(const MdxPageView& view);
    MdxBlock::Bytes encode(const MdxTreeShape& shape) const;
    std::uint32_t count() const { return static_cast<std::uint32_t>(keys.size()); }
};

} // namespace dbase
