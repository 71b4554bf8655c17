#include "MdxTreeBuilder.h"

#include <stdexcept>

namespace dbase {

MdxTreeBuilder::MdxTreeBuilder(MdxStorage& storage, const MdxTreeShape& shape, std::uint64_t entries)
    : storage_(storage), shape_(shape)
{
    std::uint64_t items = entries;
    std::uint64_t perNode = shape.capacity;
    for (;;) {
        Level level;
        level.items = items;
        level.nodes = items == 0 ? 1 : (items + perNode - 1) / perNode;
        level.node.leaf = levels_.empty();
        levels_.push_back(std::move(level));
        if (levels_.back().nodes == 1)
            break;
        items = levels_.back().nodes;
        perNode = shape.capacity + 1u; // a branch has one child more than keys
    }
}

// Nodes of a level share its items evenly; the first ones take one more.
std::uint64_t MdxTreeBuilder::targetSize(const Level& level) const
{
    const std::uint64_t base = level.items / level.nodes;
    return base + (level.written < level.items % level.nodes ? 1 : 0);
}

void MdxTreeBuilder::add(std::string_view key, std::uint32_t record)
{
    push(0, key, record);
}

void MdxTreeBuilder::push(std::size_t index, std::string_view key, std::uint32_t pointer)
{
    Level& level = levels_[index];
    if (level.written == level.nodes)
        throw std::logic_error("more index entries than announced");
    level.node.keys.emplace_back(key);
    level.node.pointers.push_back(pointer);
    if (level.node.pointers.size() < targetSize(level))
        return;

    MdxNode done = std::move(level.node);
    level.node = MdxNode();
    level.node.leaf = done.leaf;
    ++level.written;
    // A branch keeps no key for its last child; that key is the branch's own highest key.
    std::string highest = done.keys.back();
    if (!done.leaf)
        done.keys.pop_back();
    const std::uint32_t page = storage_.allocate();
    ++blocks_;
    store(page, done);
    if (index + 1 == levels_.size())
        root_ = page;
    else
        push(index + 1, highest, page);
}

void MdxTreeBuilder::store(std::uint32_t page, const MdxNode& node)
{
    constexpr std::size_t runBlocks = 64;
    const std::size_t blocks = run_.size() / mdx::blockBytes;
    if (blocks == runBlocks || (blocks > 0 && page != runFirst_ + blocks * mdx::pagesPerBlock))
        writeRun();
    if (run_.empty())
        runFirst_ = page;
    const MdxBlock::Bytes bytes = node.encode(shape_);
    run_.insert(run_.end(), bytes.begin(), bytes.end());
}

void MdxTreeBuilder::writeRun()
{
    if (!run_.empty())
        storage_.writeThrough(runFirst_, run_.data(), run_.size() / mdx::blockBytes);
    run_.clear();
}

std::uint32_t MdxTreeBuilder::finish()
{
    if (levels_.front().items == 0) {
        root_ = storage_.allocate();
        ++blocks_;
        storage_.write(root_, MdxNode().encode(shape_));
        return root_;
    }
    writeRun();
    for (const Level& level : levels_)
        if (level.written != level.nodes)
            throw std::logic_error("fewer index entries than announced");
    return root_;
}

} // namespace dbase
