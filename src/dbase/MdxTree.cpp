#include "MdxTree.h"

#include "Errors.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <unordered_set>
#include <utility>

namespace dbase {

namespace {

constexpr std::uint32_t maxDepth = 32;
constexpr std::size_t maxProblems = 100;

int sign(int value)
{
    return (value > 0) - (value < 0);
}

void report(std::vector<std::string>& problems, std::string problem)
{
    if (problems.size() < maxProblems)
        problems.push_back(std::move(problem));
}

} // namespace

MdxTree::MdxTree(MdxStorage& storage, MdxTreeShape& shape, std::string tagName)
    : storage_(storage), shape_(shape), tagName_(std::move(tagName))
{}

// --- Keys and boundaries ---------------------------------------------------------------------------------

int MdxTree::compareKeys(std::string_view a, std::string_view b) const
{
    const std::size_t common = std::min(a.size(), b.size());
    int result = sign(std::memcmp(a.data(), b.data(), common));
    if (result == 0)
        result = sign(static_cast<int>(a.size() > b.size()) - static_cast<int>(a.size() < b.size()));
    return shape_.descending ? -result : result;
}

// The key against a partial bound: the key cut to the bound's length, or padded with blanks to it.
int MdxTree::comparePrefix(std::string_view key, std::string_view bound) const
{
    const std::size_t common = std::min(key.size(), bound.size());
    int result = sign(std::memcmp(key.data(), bound.data(), common));
    for (std::size_t i = common; result == 0 && i < bound.size(); ++i)
        result = sign(static_cast<int>(' ') - static_cast<int>(static_cast<unsigned char>(bound[i])));
    return shape_.descending ? -result : result;
}

std::optional<std::string> MdxTree::fullKey(std::string_view key) const
{
    if (key.size() > shape_.keyLength) {
        if (key.find_first_not_of(' ', shape_.keyLength) != std::string_view::npos)
            return std::nullopt;
        key = key.substr(0, shape_.keyLength);
    }
    std::string result(key);
    result.resize(shape_.keyLength, ' ');
    return result;
}

IndexEntry MdxTree::padded(const IndexEntry& entry) const
{
    IndexEntry result = entry;
    result.key.resize(shape_.keyLength, ' ');
    return result;
}

MdxTree::Boundary MdxTree::beforeEntry(const IndexEntry& entry)
{
    return {Boundary::Kind::BeforeEntry, entry.key, entry.record};
}

MdxTree::Boundary MdxTree::afterEntry(const IndexEntry& entry)
{
    return {Boundary::Kind::AfterEntry, entry.key, entry.record};
}

MdxTree::Boundary MdxTree::rangeStart(const KeyRange& range)
{
    return {Boundary::Kind::BeforePrefix, range.start.value_or(std::string()), 0};
}

MdxTree::Boundary MdxTree::rangeEnd(const KeyRange& range)
{
    return {Boundary::Kind::AfterPrefix, range.end.value_or(std::string()), 0};
}

// -1 when every entry with this key lies left of the boundary, +1 when none does, 0 when the record
// decides.
int MdxTree::classify(const Boundary& boundary, std::string_view key) const
{
    switch (boundary.kind) {
    case Boundary::Kind::BeforeEntry:
    case Boundary::Kind::AfterEntry:
        return compareKeys(key, boundary.key);
    case Boundary::Kind::BeforePrefix:
        return comparePrefix(key, boundary.key) < 0 ? -1 : 1;
    case Boundary::Kind::AfterPrefix:
        return comparePrefix(key, boundary.key) <= 0 ? -1 : 1;
    }
    return 1;
}

bool MdxTree::isLeft(const Boundary& boundary, std::string_view key, std::uint32_t record) const
{
    const int c = classify(boundary, key);
    if (c != 0)
        return c < 0;
    return boundary.kind == Boundary::Kind::BeforeEntry ? record < boundary.record
                                                        : record <= boundary.record;
}

bool MdxTree::withinStart(const IndexEntry& entry, const KeyRange& range) const
{
    return !range.start || comparePrefix(entry.key, *range.start) >= 0;
}

bool MdxTree::withinEnd(const IndexEntry& entry, const KeyRange& range) const
{
    return !range.end || comparePrefix(entry.key, *range.end) <= 0;
}

// --- Pages -----------------------------------------------------------------------------------------------

void MdxTree::damaged(const std::string& what) const
{
    storage_.damaged("tag " + tagName_ + ": " + what);
}

std::int64_t MdxTree::entryLimit() const
{
    return static_cast<std::int64_t>(storage_.endPage() / mdx::pagesPerBlock) * shape_.capacity;
}

// The number of levels, measured down the leftmost path; every other path must reach its leaf as deep.
std::uint32_t MdxTree::height()
{
    if (height_ != 0)
        return height_;
    std::uint32_t page = shape_.rootPage;
    for (std::uint32_t levels = 1;; ++levels) {
        if (levels > maxDepth)
            damaged("the tree is deeper than " + std::to_string(maxDepth) + " levels");
        const MdxBlockPtr block = storage_.read(page);
        const MdxPageView view(storage_, block->bytes.data(), page, shape_);
        if (view.isLeaf()) {
            height_ = levels;
            return height_;
        }
        page = view.pointer(0);
    }
}

MdxTree::Loaded MdxTree::load(std::uint32_t page, std::uint32_t depth)
{
    if (depth >= maxDepth)
        damaged("the tree is deeper than " + std::to_string(maxDepth) + " levels");
    MdxBlockPtr block = storage_.read(page);
    Loaded loaded{block, MdxPageView(storage_, block->bytes.data(), page, shape_), page};
    if (loaded.view.isLeaf() != (depth + 1 == height()))
        damaged("page " + std::to_string(page) + " lies at an uneven depth");
    return loaded;
}

std::optional<IndexEntry> MdxTree::maxEntry(std::uint32_t page, std::uint32_t depth)
{
    for (;; ++depth) {
        const Loaded node = load(page, depth);
        const std::uint32_t count = node.view.count();
        if (node.view.isLeaf()) {
            if (count == 0)
                return std::nullopt;
            return IndexEntry{std::string(node.view.key(count - 1)), node.view.pointer(count - 1)};
        }
        page = node.view.pointer(count);
    }
}

// The first child of a branch whose entries do not all lie left of the boundary; the last child when
// there is none.
std::uint32_t MdxTree::childFor(const Loaded& node, std::uint32_t depth, const Boundary& boundary)
{
    const MdxPageView& view = node.view;
    const std::uint32_t n = view.count();
    std::uint32_t low = 0;
    std::uint32_t high = n;
    while (low < high) {
        const std::uint32_t mid = low + (high - low) / 2;
        if (classify(boundary, view.key(mid)) < 0)
            low = mid + 1;
        else
            high = mid;
    }
    if (low == n || classify(boundary, view.key(low)) > 0)
        return low;
    // Children whose highest key is the boundary's key: the record at the end of each one decides.
    std::uint32_t runEnd = low;
    high = n;
    while (runEnd < high) {
        const std::uint32_t mid = runEnd + (high - runEnd) / 2;
        if (classify(boundary, view.key(mid)) <= 0)
            runEnd = mid + 1;
        else
            high = mid;
    }
    high = runEnd;
    while (low < high) {
        const std::uint32_t mid = low + (high - low) / 2;
        const std::optional<IndexEntry> last = maxEntry(view.pointer(mid), depth + 1);
        if (!last || isLeft(boundary, last->key, last->record))
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

std::uint32_t MdxTree::firstNotLeft(const Loaded& leaf, const Boundary& boundary) const
{
    std::uint32_t low = 0;
    std::uint32_t high = leaf.view.count();
    while (low < high) {
        const std::uint32_t mid = low + (high - low) / 2;
        if (isLeft(boundary, leaf.view.key(mid), leaf.view.pointer(mid)))
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

// --- Cursors ---------------------------------------------------------------------------------------------

MdxTree::Cursor MdxTree::descend(const Boundary& boundary, bool toNextLeaf)
{
    Cursor cursor;
    std::uint32_t page = shape_.rootPage;
    for (std::uint32_t depth = 0;; ++depth) {
        Loaded node = load(page, depth);
        if (node.view.isLeaf()) {
            const std::uint32_t index = firstNotLeft(node, boundary);
            cursor.levels.push_back({std::move(node), index});
            break;
        }
        const std::uint32_t child = childFor(node, depth, boundary);
        page = node.view.pointer(child);
        cursor.levels.push_back({std::move(node), child});
    }
    cursor.valid = true;
    if (toNextLeaf)
        settleForward(cursor);
    return cursor;
}

// Goes down from page along the first (or last) children to a leaf.
void MdxTree::descendEdge(Cursor& cursor, std::uint32_t page, bool rightmost)
{
    for (auto depth = static_cast<std::uint32_t>(cursor.levels.size());; ++depth) {
        Loaded node = load(page, depth);
        const std::uint32_t count = node.view.count();
        if (node.view.isLeaf()) {
            cursor.levels.push_back({std::move(node), rightmost && count > 0 ? count - 1 : 0});
            return;
        }
        const std::uint32_t child = rightmost ? count : 0;
        page = node.view.pointer(child);
        cursor.levels.push_back({std::move(node), child});
    }
}

// From a position at the end of a leaf on to the first entry of the next non-empty leaf.
void MdxTree::settleForward(Cursor& cursor)
{
    while (cursor.valid && cursor.levels.back().index >= cursor.levels.back().node.view.count()) {
        cursor.levels.pop_back();
        while (!cursor.levels.empty() && cursor.levels.back().index >= cursor.levels.back().node.view.count())
            cursor.levels.pop_back();
        if (cursor.levels.empty()) {
            cursor.valid = false;
            return;
        }
        Level& branch = cursor.levels.back();
        ++branch.index;
        const std::uint32_t child = branch.node.view.pointer(branch.index);
        descendEdge(cursor, child, false);
    }
}

void MdxTree::stepForward(Cursor& cursor)
{
    ++cursor.levels.back().index;
    settleForward(cursor);
}

void MdxTree::stepBackward(Cursor& cursor)
{
    for (;;) {
        Level& leaf = cursor.levels.back();
        if (leaf.index > 0) {
            --leaf.index;
            return;
        }
        cursor.levels.pop_back();
        while (!cursor.levels.empty() && cursor.levels.back().index == 0)
            cursor.levels.pop_back();
        if (cursor.levels.empty()) {
            cursor.valid = false;
            return;
        }
        Level& branch = cursor.levels.back();
        --branch.index;
        const std::uint32_t child = branch.node.view.pointer(branch.index);
        descendEdge(cursor, child, true);
        if (cursor.levels.back().node.view.count() > 0)
            return;
    }
}

MdxTree::Cursor MdxTree::leftmost()
{
    Cursor cursor;
    descendEdge(cursor, shape_.rootPage, false);
    cursor.valid = true;
    settleForward(cursor);
    return cursor;
}

MdxTree::Cursor MdxTree::rightmost()
{
    Cursor cursor;
    descendEdge(cursor, shape_.rootPage, true);
    cursor.valid = true;
    if (cursor.levels.back().node.view.count() == 0)
        stepBackward(cursor);
    return cursor;
}

IndexEntry MdxTree::entryAt(const Cursor& cursor)
{
    const Level& leaf = cursor.levels.back();
    return {std::string(leaf.node.view.key(leaf.index)), leaf.node.view.pointer(leaf.index)};
}

std::optional<IndexEntry> MdxTree::atOrAfter(const Boundary& boundary)
{
    const Cursor cursor = descend(boundary, true);
    if (!cursor.valid)
        return std::nullopt;
    return entryAt(cursor);
}

// --- Navigation ------------------------------------------------------------------------------------------

std::optional<IndexEntry> MdxTree::first(const KeyRange& range)
{
    std::optional<IndexEntry> entry;
    if (range.start) {
        entry = atOrAfter(rangeStart(range));
    } else if (const Cursor cursor = leftmost(); cursor.valid) {
        entry = entryAt(cursor);
    }
    if (entry && !withinEnd(*entry, range))
        return std::nullopt;
    return entry;
}

std::optional<IndexEntry> MdxTree::last(const KeyRange& range)
{
    Cursor cursor;
    if (range.end) {
        cursor = descend(rangeEnd(range), false);
        stepBackward(cursor);
    } else {
        cursor = rightmost();
    }
    if (!cursor.valid)
        return std::nullopt;
    IndexEntry entry = entryAt(cursor);
    if (!withinStart(entry, range))
        return std::nullopt;
    return entry;
}

// Whether b comes after a in tag order.
bool MdxTree::follows(const IndexEntry& b, const IndexEntry& a) const
{
    const int order = compareKeys(b.key, a.key);
    return order > 0 || (order == 0 && b.record > a.record);
}

// Steps through a tag by value must make progress even in a damaged file, or a caller's loop would never
// end: an answer on the wrong side of the position is damage.
void MdxTree::requireOrder(const IndexEntry& earlier, const IndexEntry& later) const
{
    if (!follows(later, earlier))
        damaged("entries out of order");
}

// The first entry of the range at the boundary or after it, which must not come before the position (nor
// equal it, when strictly after).
std::optional<IndexEntry> MdxTree::firstFrom(const Boundary& boundary, const IndexEntry& position,
                                             const KeyRange& range, bool strictlyAfter)
{
    std::optional<IndexEntry> entry = atOrAfter(boundary);
    if (entry && !withinStart(*entry, range))
        entry = atOrAfter(rangeStart(range));
    if (entry && !withinEnd(*entry, range))
        return std::nullopt;
    if (entry && (strictlyAfter || *entry != position))
        requireOrder(position, *entry);
    return entry;
}

std::optional<IndexEntry> MdxTree::next(const IndexEntry& after, const KeyRange& range)
{
    const IndexEntry position = padded(after);
    return firstFrom(afterEntry(position), position, range, true);
}

std::optional<IndexEntry> MdxTree::prior(const IndexEntry& before, const KeyRange& range)
{
    const IndexEntry position = padded(before);
    Cursor cursor = descend(beforeEntry(position), false);
    stepBackward(cursor);
    if (!cursor.valid)
        return std::nullopt;
    std::optional<IndexEntry> entry = entryAt(cursor);
    if (!withinEnd(*entry, range))
        entry = last(range);
    else if (!withinStart(*entry, range))
        return std::nullopt;
    if (entry)
        requireOrder(*entry, position);
    return entry;
}

std::optional<IndexEntry> MdxTree::seek(const IndexEntry& at, const KeyRange& range)
{
    const IndexEntry position = padded(at);
    return firstFrom(beforeEntry(position), position, range, false);
}

std::optional<IndexEntry> MdxTree::find(std::string_view key, const KeyRange& range)
{
    const std::optional<std::string> wanted = fullKey(key);
    if (!wanted)
        return std::nullopt;
    std::optional<IndexEntry> entry = atOrAfter(beforeEntry({*wanted, 0}));
    if (!entry || entry->key != *wanted || !withinStart(*entry, range) || !withinEnd(*entry, range))
        return std::nullopt;
    return entry;
}

// --- Counting --------------------------------------------------------------------------------------------

std::int64_t MdxTree::childEntries(const Loaded& node, std::uint32_t child, std::uint32_t depth)
{
    std::vector<std::int64_t>& counts = node.block->childEntries;
    if (counts.size() != node.view.children())
        counts.assign(node.view.children(), -1);
    if (counts[child] < 0) {
        const std::uint32_t page = node.view.pointer(child);
        if (const auto outline = uncachedOutline(page)) {
            std::uint64_t visits = 0;
            counts[child] = outlineEntries(page, depth + 1, *outline, visits);
            return counts[child];
        }
        // A leaf's count is all that is needed of it: a glance, without keeping the page in the cache.
        if (depth + 2 == height()) {
            const MdxPageView leaf(storage_, storage_.glance(page), page, shape_);
            if (!leaf.isLeaf())
                damaged("page " + std::to_string(page) + " lies at an uneven depth");
            counts[child] = leaf.count();
        } else {
            counts[child] = subtreeEntries(page, depth + 1);
        }
    }
    return counts[child];
}

std::optional<MdxOutlines::Outline> MdxTree::uncachedOutline(std::uint32_t page)
{
    if (storage_.cached(page))
        return std::nullopt; // the block itself may know its count already
    return storage_.outline(page, shape_.itemLength, shape_.capacity);
}

// The entries under a page that is not cached, from the outlines of it and of the pages below it.
std::int64_t MdxTree::outlineEntries(std::uint32_t page, std::uint32_t depth,
                                     const MdxOutlines::Outline& outline, std::uint64_t& visits)
{
    if (++visits > storage_.endPage() / mdx::pagesPerBlock)
        damaged("pages are shared between subtrees");
    const bool leafLevel = depth + 1 == height();
    if (leafLevel != (outline.children == nullptr))
        damaged("page " + std::to_string(page) + " lies at an uneven depth");
    if (leafLevel)
        return outline.entries;
    std::int64_t sum = 0;
    for (std::uint32_t i = 0; i <= outline.entries; ++i) {
        const std::uint32_t child = outline.children[i];
        const std::optional<MdxOutlines::Outline> inner = uncachedOutline(child);
        sum += inner ? outlineEntries(child, depth + 1, *inner, visits) : subtreeEntries(child, depth + 1);
        if (sum > entryLimit())
            damaged("more entries than the file can hold");
    }
    return sum;
}

std::int64_t MdxTree::subtreeEntries(std::uint32_t page, std::uint32_t depth)
{
    const Loaded node = load(page, depth);
    if (node.view.isLeaf())
        return node.view.count();
    if (node.block->entries >= 0)
        return node.block->entries;
    std::int64_t sum = 0;
    for (std::uint32_t child = 0; child < node.view.children(); ++child) {
        sum += childEntries(node, child, depth);
        if (sum > entryLimit())
            damaged("more entries than the file can hold");
    }
    node.block->entries = sum;
    return sum;
}

std::int64_t MdxTree::total()
{
    return subtreeEntries(shape_.rootPage, 0);
}

// Entries left of the boundary.
std::int64_t MdxTree::rank(const Boundary& boundary)
{
    std::int64_t result = 0;
    std::uint32_t page = shape_.rootPage;
    for (std::uint32_t depth = 0;; ++depth) {
        const Loaded node = load(page, depth);
        if (node.view.isLeaf())
            return result + firstNotLeft(node, boundary);
        const std::uint32_t chosen = childFor(node, depth, boundary);
        for (std::uint32_t child = 0; child < chosen; ++child)
            result += childEntries(node, child, depth);
        page = node.view.pointer(chosen);
    }
}

IndexEntry MdxTree::select(std::int64_t position)
{
    std::uint32_t page = shape_.rootPage;
    for (std::uint32_t depth = 0;; ++depth) {
        const Loaded node = load(page, depth);
        if (node.view.isLeaf()) {
            if (position < 0 || position >= node.view.count())
                damaged("entry counts do not add up");
            const auto index = static_cast<std::uint32_t>(position);
            return {std::string(node.view.key(index)), node.view.pointer(index)};
        }
        std::uint32_t child = 0;
        for (; child < node.view.children(); ++child) {
            const std::int64_t entries = childEntries(node, child, depth);
            if (position < entries)
                break;
            position -= entries;
        }
        if (child == node.view.children())
            damaged("entry counts do not add up");
        page = node.view.pointer(child);
    }
}

std::int64_t MdxTree::count(const KeyRange& range)
{
    const std::int64_t low = range.start ? rank(rangeStart(range)) : 0;
    const std::int64_t high = range.end ? rank(rangeEnd(range)) : total();
    return std::max<std::int64_t>(0, high - low);
}

MdxTree::Move MdxTree::advance(const IndexEntry& from, std::int64_t steps, const KeyRange& range)
{
    const IndexEntry at = padded(from);
    if (steps == 0) {
        std::optional<IndexEntry> here = seek(at, range);
        if (here && *here != at)
            here.reset();
        return {here, 0};
    }
    const std::int64_t low = range.start ? rank(rangeStart(range)) : 0;
    const std::int64_t high = range.end ? rank(rangeEnd(range)) : total();
    if (steps > 0) {
        const std::int64_t start = std::max(rank(afterEntry(at)), low);
        const std::int64_t moved = std::min(steps, std::max<std::int64_t>(0, high - start));
        if (moved == 0)
            return {};
        return {select(start + moved - 1), moved};
    }
    const std::int64_t start = std::min(rank(beforeEntry(at)), high);
    const std::int64_t wanted =
        steps == std::numeric_limits<std::int64_t>::min() ? std::numeric_limits<std::int64_t>::max() : -steps;
    const std::int64_t moved = std::min(wanted, std::max<std::int64_t>(0, start - low));
    if (moved == 0)
        return {};
    return {select(start - moved), -moved};
}

void MdxTree::forEach(const std::function<void(const IndexEntry&)>& visit)
{
    const std::int64_t limit = entryLimit();
    std::int64_t visited = 0;
    std::optional<IndexEntry> previous;
    for (Cursor cursor = leftmost(); cursor.valid; stepForward(cursor)) {
        if (++visited > limit)
            damaged("more entries than the file can hold");
        IndexEntry entry = entryAt(cursor);
        if (previous)
            requireOrder(*previous, entry);
        visit(entry);
        previous = std::move(entry);
    }
}

void MdxTree::forgetCounts(const std::vector<Level>& path)
{
    for (const Level& level : path) {
        const MdxBlockPtr block = storage_.cached(level.node.page);
        if (!block)
            continue;
        block->entries = -1;
        if (level.index < block->childEntries.size())
            block->childEntries[level.index] = -1;
    }
}

// --- Changes ---------------------------------------------------------------------------------------------

std::uint32_t MdxTree::allocate()
{
    ++blockChange_;
    return storage_.allocate();
}

void MdxTree::release(std::uint32_t page)
{
    --blockChange_;
    storage_.release(page);
}

void MdxTree::write(std::uint32_t page, const MdxNode& node)
{
    storage_.write(page, node.encode(shape_));
}

bool MdxTree::underfull(const MdxNode& node) const
{
    return node.count() < shape_.capacity / 2u;
}

// The highest key under a node that has just been written at the given depth.
std::string MdxTree::subtreeMaxKey(const MdxNode& node, std::uint32_t depth)
{
    if (node.leaf)
        return node.keys.back();
    const std::optional<IndexEntry> last = maxEntry(node.pointers.back(), depth + 1);
    if (!last)
        damaged("an empty page below a branch");
    return last->key;
}

bool MdxTree::insert(const IndexEntry& raw)
{
    if (raw.record == 0)
        throw DatabaseError("Tag " + tagName_ + ": record numbers start at 1");
    const IndexEntry entry = padded(raw);
    const std::optional<IndexEntry> existing =
        atOrAfter(beforeEntry(shape_.unique ? IndexEntry{entry.key, 0} : entry));
    if (existing && (shape_.unique ? existing->key == entry.key : *existing == entry))
        return false;

    Cursor cursor = descend(beforeEntry(entry), false);
    const std::vector<Level>& path = cursor.levels;
    // Appending after the last entry of the tree leaves full pages behind instead of half-full ones.
    bool append = true;
    for (const Level& level : path)
        append = append && level.index == level.node.view.count();

    std::size_t level = path.size() - 1;
    MdxNode node = MdxNode::from(path[level].node.view);
    node.keys.insert(node.keys.begin() + path[level].index, entry.key);
    node.pointers.insert(node.pointers.begin() + path[level].index, entry.record);
    std::uint32_t page = path[level].node.page;
    while (node.count() > shape_.capacity) {
        MdxNode right;
        right.leaf = node.leaf;
        std::string separator;
        const std::uint32_t n = node.count();
        if (node.leaf) {
            const std::uint32_t keep = append ? n - 1 : (n + 1) / 2;
            right.keys.assign(node.keys.begin() + keep, node.keys.end());
            right.pointers.assign(node.pointers.begin() + keep, node.pointers.end());
            node.keys.resize(keep);
            node.pointers.resize(keep);
            separator = node.keys.back();
        } else {
            const std::uint32_t middle = append ? n - 2 : n / 2;
            right.keys.assign(node.keys.begin() + middle + 1, node.keys.end());
            right.pointers.assign(node.pointers.begin() + middle + 1, node.pointers.end());
            separator = node.keys[middle];
            node.keys.resize(middle);
            node.pointers.resize(middle + 1);
        }
        const std::uint32_t rightPage = allocate();
        write(page, node);
        write(rightPage, right);
        if (level == 0) {
            MdxNode root;
            root.leaf = false;
            root.keys.push_back(separator);
            root.pointers = {page, rightPage};
            const std::uint32_t rootPage = allocate();
            write(rootPage, root);
            shape_.rootPage = rootPage;
            ++height_;
            forgetCounts(path);
            return true;
        }
        --level;
        MdxNode parent = MdxNode::from(path[level].node.view);
        const std::uint32_t child = path[level].index;
        parent.keys.insert(parent.keys.begin() + child, separator);
        parent.pointers.insert(parent.pointers.begin() + child + 1, rightPage);
        node = std::move(parent);
        page = path[level].node.page;
    }
    write(page, node);
    forgetCounts(path);
    return true;
}

bool MdxTree::remove(const IndexEntry& raw)
{
    const IndexEntry entry = padded(raw);
    const Cursor cursor = descend(beforeEntry(entry), true);
    if (!cursor.valid || entryAt(cursor) != entry)
        return false;
    const std::vector<Level>& path = cursor.levels;

    std::size_t level = path.size() - 1;
    MdxNode node = MdxNode::from(path[level].node.view);
    const std::uint32_t index = path[level].index;
    // Whether the highest key under the current node may have changed.
    bool maxChanged = index + 1 == node.count();
    node.keys.erase(node.keys.begin() + index);
    node.pointers.erase(node.pointers.begin() + index);
    std::uint32_t page = path[level].node.page;
    for (;;) {
        if (level == 0) {
            if (!node.leaf && node.count() == 0) { // a root with one child gives way to it
                release(page);
                shape_.rootPage = node.pointers[0];
                --height_;
            } else {
                write(page, node);
            }
            break;
        }
        const Level& above = path[level - 1];
        MdxNode parent = MdxNode::from(above.node.view);
        const std::uint32_t child = above.index;
        const bool lastChild = child == parent.count();
        bool parentChanged = false;
        if (underfull(node) && parent.pointers.size() > 1) {
            rebalance(parent, child, node, page, static_cast<std::uint32_t>(level));
            parentChanged = true;
        } else {
            write(page, node);
            if (maxChanged && !lastChild && node.count() > 0) {
                parent.keys[child] = subtreeMaxKey(node, static_cast<std::uint32_t>(level));
                parentChanged = true;
            }
        }
        maxChanged = maxChanged && lastChild;
        if (!parentChanged && !maxChanged)
            break;
        node = std::move(parent);
        page = above.node.page;
        --level;
    }
    forgetCounts(path);
    return true;
}

// Merges an underfull node with a sibling, or evens the two out, and sets the parent's keys for them.
void MdxTree::rebalance(MdxNode& parent, std::uint32_t child, MdxNode& node, std::uint32_t page,
                        std::uint32_t depth)
{
    const bool nodeIsLeft = child == 0;
    const std::uint32_t leftIndex = nodeIsLeft ? 0 : child - 1;
    const std::uint32_t siblingPage = parent.pointers[nodeIsLeft ? 1 : child - 1];
    const Loaded loaded = load(siblingPage, depth);
    MdxNode sibling = MdxNode::from(loaded.view);
    MdxNode& left = nodeIsLeft ? node : sibling;
    MdxNode& right = nodeIsLeft ? sibling : node;
    const std::uint32_t leftPage = nodeIsLeft ? page : siblingPage;
    const std::uint32_t rightPage = nodeIsLeft ? siblingPage : page;

    const auto mergeIntoLeft = [&] {
        left.keys.insert(left.keys.end(), right.keys.begin(), right.keys.end());
        left.pointers.insert(left.pointers.end(), right.pointers.begin(), right.pointers.end());
        write(leftPage, left);
        release(rightPage);
        parent.keys.erase(parent.keys.begin() + leftIndex);
        parent.pointers.erase(parent.pointers.begin() + leftIndex + 1);
        if (leftIndex < parent.count() && (!left.leaf || left.count() > 0))
            parent.keys[leftIndex] = subtreeMaxKey(left, depth);
    };

    if (left.leaf) {
        if (left.count() + right.count() <= shape_.capacity) {
            mergeIntoLeft();
            return;
        }
        std::vector<std::string> keys = std::move(left.keys);
        keys.insert(keys.end(), right.keys.begin(), right.keys.end());
        std::vector<std::uint32_t> pointers = std::move(left.pointers);
        pointers.insert(pointers.end(), right.pointers.begin(), right.pointers.end());
        const std::size_t keep = (keys.size() + 1) / 2;
        left.keys.assign(keys.begin(), keys.begin() + static_cast<std::ptrdiff_t>(keep));
        left.pointers.assign(pointers.begin(), pointers.begin() + static_cast<std::ptrdiff_t>(keep));
        right.keys.assign(keys.begin() + static_cast<std::ptrdiff_t>(keep), keys.end());
        right.pointers.assign(pointers.begin() + static_cast<std::ptrdiff_t>(keep), pointers.end());
    } else {
        const std::optional<IndexEntry> leftLast = maxEntry(left.pointers.back(), depth + 1);
        const std::string leftMax = leftLast ? leftLast->key : parent.keys[leftIndex];
        if (left.count() + right.count() + 1 <= shape_.capacity) {
            left.keys.push_back(leftMax);
            mergeIntoLeft();
            return;
        }
        std::vector<std::string> keys = std::move(left.keys);
        keys.push_back(leftMax);
        keys.insert(keys.end(), right.keys.begin(), right.keys.end());
        std::vector<std::uint32_t> pointers = std::move(left.pointers);
        pointers.insert(pointers.end(), right.pointers.begin(), right.pointers.end());
        const std::size_t keep = pointers.size() / 2;
        left.pointers.assign(pointers.begin(), pointers.begin() + static_cast<std::ptrdiff_t>(keep));
        left.keys.assign(keys.begin(), keys.begin() + static_cast<std::ptrdiff_t>(keep) - 1);
        right.pointers.assign(pointers.begin() + static_cast<std::ptrdiff_t>(keep), pointers.end());
        right.keys.assign(keys.begin() + static_cast<std::ptrdiff_t>(keep), keys.end());
    }
    write(leftPage, left);
    write(rightPage, right);
    parent.keys[leftIndex] = subtreeMaxKey(left, depth);
    if (leftIndex + 1 < parent.count())
        parent.keys[leftIndex + 1] = subtreeMaxKey(right, depth);
}

// --- Whole-tree questions --------------------------------------------------------------------------------

bool MdxTree::empty()
{
    return !leftmost().valid;
}

std::uint32_t MdxTree::firstLeaf()
{
    Cursor cursor;
    descendEdge(cursor, shape_.rootPage, false);
    return cursor.levels.back().node.page;
}

std::uint32_t MdxTree::lastLeaf()
{
    Cursor cursor;
    descendEdge(cursor, shape_.rootPage, true);
    return cursor.levels.back().node.page;
}

std::vector<std::uint32_t> MdxTree::pages()
{
    std::vector<std::uint32_t> result;
    std::unordered_set<std::uint32_t> seen;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> pending{{shape_.rootPage, 0}};
    while (!pending.empty()) {
        const auto [page, depth] = pending.back();
        pending.pop_back();
        if (!seen.insert(page).second)
            continue;
        result.push_back(page);
        const Loaded node = load(page, depth);
        for (std::uint32_t child = 0; child < node.view.children(); ++child)
            pending.emplace_back(node.view.pointer(child), depth + 1);
    }
    return result;
}

std::int64_t MdxTree::check(std::vector<std::string>& problems,
                            std::unordered_map<std::uint32_t, std::string>& pageOwners, bool exactSeparators)
{
    const std::string prefix = "tag " + tagName_ + ": ";
    std::optional<IndexEntry> previous;
    std::int64_t entries = 0;
    std::optional<std::uint32_t> leafDepth;

    // Returns false when the walk must stop.
    std::function<bool(std::uint32_t, std::uint32_t, const std::string*)> visit =
        [&](std::uint32_t page, std::uint32_t depth, const std::string* bound) -> bool {
        if (depth >= maxDepth) {
            report(problems, prefix + "the tree is deeper than " + std::to_string(maxDepth) + " levels");
            return false;
        }
        if (!storage_.isBlockPage(page)) {
            report(problems, prefix + "a pointer to page " + std::to_string(page) + ", outside the file");
            return true;
        }
        const auto [owner, fresh] = pageOwners.emplace(page, tagName_);
        if (!fresh) {
            report(problems, prefix + "page " + std::to_string(page) + " is used twice (also by " +
                                 owner->second + ")");
            return true;
        }
        MdxBlockPtr block;
        std::optional<MdxPageView> view;
        try {
            block = storage_.read(page);
            view.emplace(storage_, block->bytes.data(), page, shape_);
        } catch (const DatabaseError& error) {
            report(problems, error.what());
            return true;
        }
        if (view->isLeaf()) {
            if (!leafDepth)
                leafDepth = depth;
            if (*leafDepth != depth)
                report(problems, prefix + "leaf page " + std::to_string(page) + " lies at an uneven depth");
            if (view->count() == 0 && depth > 0)
                report(problems, prefix + "leaf page " + std::to_string(page) + " is empty");
            for (std::uint32_t i = 0; i < view->count(); ++i) {
                IndexEntry entry{std::string(view->key(i)), view->pointer(i)};
                if (entry.record == 0)
                    report(problems, prefix + "page " + std::to_string(page) + " holds record number 0");
                if (previous) {
                    const int order = compareKeys(previous->key, entry.key);
                    if (order > 0 || (order == 0 && previous->record >= entry.record))
                        report(problems, prefix + "entries out of order on page " + std::to_string(page));
                }
                if (bound && compareKeys(entry.key, *bound) > 0)
                    report(problems,
                           prefix + "page " + std::to_string(page) + " holds a key above its separator");
                previous = std::move(entry);
                ++entries;
            }
            return true;
        }
        if (leafDepth && depth >= *leafDepth)
            report(problems, prefix + "branch page " + std::to_string(page) + " lies at an uneven depth");
        for (std::uint32_t child = 0; child < view->children(); ++child) {
            const std::string separator(child < view->count() ? view->key(child) : std::string_view());
            const std::string* childBound = child < view->count() ? &separator : bound;
            if (!visit(view->pointer(child), depth + 1, childBound))
                return false;
            if (exactSeparators && child < view->count() && (!previous || previous->key != separator))
                report(problems, prefix + "separator " + std::to_string(child) + " on page " +
                                     std::to_string(page) + " is not the highest key below it");
        }
        return true;
    };
    visit(shape_.rootPage, 0, nullptr);

    if (const MdxBlockPtr root = storage_.cached(shape_.rootPage);
        root && root->entries >= 0 && root->entries != entries)
        report(problems, prefix + "the remembered entry count " + std::to_string(root->entries) +
                             " differs from the " + std::to_string(entries) + " entries found");
    return entries;
}

} // namespace dbase
