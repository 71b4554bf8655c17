#include "MdxPage.h"

#include <cstring>

namespace dbase {

MdxPageView::MdxPageView(const MdxStorage& storage, const std::uint8_t* bytes, std::uint32_t page,
                         const MdxTreeShape& shape)
    : bytes_(bytes), shape_(shape), count_(mdx::get32(bytes + mdx::entryCountOffset))
{
    if (count_ > shape.capacity)
        storage.damaged("page " + std::to_string(page) + " claims " + std::to_string(count_) +
                        " entries, but " + std::to_string(shape.capacity) + " fit");
    // A zero after the last entry marks a leaf; a branch keeps its last child there.
    leaf_ = mdx::get32(item(count_)) == 0;
}

MdxNode MdxNode::from(const MdxPageView& view)
{
    MdxNode node;
    node.leaf = view.isLeaf();
    for (std::uint32_t i = 0; i < view.count(); ++i) {
        node.pointers.push_back(view.pointer(i));
        node.keys.emplace_back(view.key(i));
    }
    if (!node.leaf)
        node.pointers.push_back(view.pointer(view.count()));
    return node;
}

MdxBlock::Bytes MdxNode::encode(const MdxTreeShape& shape) const
{
    MdxBlock::Bytes bytes{};
    mdx::put32(&bytes[mdx::entryCountOffset], count());
    for (std::size_t i = 0; i < pointers.size(); ++i) {
        std::uint8_t* item = &bytes[mdx::entriesOffset + i * shape.itemLength];
        mdx::put32(item, pointers[i]);
        if (i < keys.size())
            std::memcpy(item + 4, keys[i].data(), shape.keyLength);
    }
    return bytes;
}

} // namespace dbase
