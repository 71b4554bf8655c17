#include "MdxOutlines.h"

#include "MdxFormat.h"

namespace dbase {

void MdxOutlines::start(std::size_t itemLength, std::size_t capacity, std::uint32_t blocks)
{
    itemLength_ = itemLength;
    capacity_ = capacity;
    entries_.assign(blocks, unknown);
    firstChild_.assign(blocks, 0);
    children_.clear();
}

void MdxOutlines::add(std::uint32_t block, const std::uint8_t* bytes)
{
    if (block >= entries_.size())
        return;
    const std::uint32_t entries = mdx::get32(bytes + mdx::entryCountOffset);
    if (entries > capacity_) {
        entries_[block] = unknown; // loading it reports the damage
        return;
    }
    const auto pointer = [&](std::uint32_t i) {
        return mdx::get32(bytes + mdx::entriesOffset + i * itemLength_);
    };
    entries_[block] = entries;
    // A zero after the last entry marks a leaf; a branch keeps its last child there.
    if (pointer(entries) == 0) {
        firstChild_[block] = 0;
        return;
    }
    firstChild_[block] = static_cast<std::uint32_t>(children_.size()) + 1;
    for (std::uint32_t i = 0; i <= entries; ++i)
        children_.push_back(pointer(i));
}

void MdxOutlines::forget()
{
    itemLength_ = 0;
    entries_.clear();
    firstChild_.clear();
    children_.clear();
}

void MdxOutlines::forgetBlock(std::uint32_t block)
{
    if (block < entries_.size())
        entries_[block] = unknown;
}

std::optional<MdxOutlines::Outline> MdxOutlines::at(std::uint32_t block) const
{
    if (block >= entries_.size() || entries_[block] == unknown)
        return std::nullopt;
    const std::uint32_t first = firstChild_[block];
    return Outline{entries_[block], first == 0 ? nullptr : &children_[first - 1]};
}

} // namespace dbase
