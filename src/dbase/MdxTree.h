#pragma once

#include "MdxEntry.h"
#include "MdxPage.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace dbase {

// The B-tree of one tag: ordered navigation, counting, and single-entry changes.
//
// Entries are ordered by key (bytes compared without sign, reversed for a descending tag) and then by
// record number. A branch's key i is the highest key under child i, so a search that meets equal keys
// looks at the records at the ends of the children to pick one.
//
// Counting and moving by n use entry counts of subtrees, noted on the cached blocks and recomputed only
// along the paths a change touches, so they skip whole subtrees instead of visiting entries.
//
// Damage (pointers out of the file, impossible counts, uneven depth, cycles) raises DatabaseError.
class MdxTree
{
public:
    MdxTree(MdxStorage& storage, MdxTreeShape& shape, std::string tagName);

    std::optional<IndexEntry> first(const KeyRange& range);
    std::optional<IndexEntry> last(const KeyRange& range);
    // The nearest entry after (before) a position, which need not be an entry of the tag.
    std::optional<IndexEntry> next(const IndexEntry& after, const KeyRange& range);
    std::optional<IndexEntry> prior(const IndexEntry& before, const KeyRange& range);
    // The first entry at or after a position.
    std::optional<IndexEntry> seek(const IndexEntry& at, const KeyRange& range);
    // The first entry whose key equals key padded with blanks.
    std::optional<IndexEntry> find(std::string_view key, const KeyRange& range);
    std::int64_t count(const KeyRange& range);

    struct Move
    {
        std::optional<IndexEntry> entry; // where the move ended; empty when it could not move at all
        std::int64_t moved = 0;          // entries moved, negative backwards
    };
    // Moves up to steps entries from a position (forwards when positive); a position outside the range
    // moves to the range's nearest end first, as next and prior do.
    Move advance(const IndexEntry& from, std::int64_t steps, const KeyRange& range);

    void forEach(const std::function<void(const IndexEntry&)>& visit);

    // False when the entry is there already, or a unique tag has its key.
    bool insert(const IndexEntry& entry);
    // False when the entry is not there.
    bool remove(const IndexEntry& entry);

    bool empty();
    std::uint32_t firstLeaf();
    std::uint32_t lastLeaf();
    // Every page of the tree, each once; pages shared by damage are listed once.
    std::vector<std::uint32_t> pages();
    // Blocks allocated minus blocks released by this object's changes.
    std::int64_t blockChange() const { return blockChange_; }

    // Structural check: page bounds, no page used twice (also across tags, through pageOwners), uniform
    // depth, entry counts, order, separators. With exactSeparators a separator must equal the highest key
    // below it, as this engine keeps them. Returns the number of entries.
    std::int64_t check(std::vector<std::string>& problems,
                       std::unordered_map<std::uint32_t, std::string>& pageOwners, bool exactSeparators);

    // Keys in this tag's order: negative, zero or positive.
    int compareKeys(std::string_view a, std::string_view b) const;
    // A key cut or padded with blanks to the key length; nothing when the cut would drop non-blanks.
    std::optional<std::string> fullKey(std::string_view key) const;

private:
    struct Loaded
    {
        MdxBlockPtr block;
        MdxPageView view;
        std::uint32_t page;
    };
    struct Level
    {
        Loaded node;
        std::uint32_t index; // the entry in a leaf, the child in a branch
    };
    struct Cursor
    {
        std::vector<Level> levels;
        bool valid = false;
    };
    // Splits the entries into a left part and the rest; the search finds the first entry of the rest.
    struct Boundary
    {
        enum class Kind
        {
            BeforeEntry,
            AfterEntry,
            BeforePrefix,
            AfterPrefix
        };
        Kind kind;
        std::string key;
        std::uint32_t record = 0;
    };

    static Boundary beforeEntry(const IndexEntry& entry);
    static Boundary afterEntry(const IndexEntry& entry);
    static Boundary rangeStart(const KeyRange& range);
    static Boundary rangeEnd(const KeyRange& range);

    int comparePrefix(std::string_view key, std::string_view bound) const;
    int classify(const Boundary& boundary, std::string_view key) const;
    bool isLeft(const Boundary& boundary, std::string_view key, std::uint32_t record) const;
    bool withinStart(const IndexEntry& entry, const KeyRange& range) const;
    bool withinEnd(const IndexEntry& entry, const KeyRange& range) const;
    IndexEntry padded(const IndexEntry& entry) const;
    bool follows(const IndexEntry& b, const IndexEntry& a) const;
    void requireOrder(const IndexEntry& earlier, const IndexEntry& later) const;

    std::uint32_t height();
    Loaded load(std::uint32_t page, std::uint32_t depth);
    [[noreturn]] void damaged(const std::string& what) const;
    std::int64_t entryLimit() const;

    std::optional<IndexEntry> maxEntry(std::uint32_t page, std::uint32_t depth);
    std::uint32_t childFor(const Loaded& node, std::uint32_t depth, const Boundary& boundary);
    std::uint32_t firstNotLeft(const Loaded& leaf, const Boundary& boundary) const;
    Cursor descend(const Boundary& boundary, bool toNextLeaf);
    void descendEdge(Cursor& cursor, std::uint32_t page, bool rightmost);
    void settleForward(Cursor& cursor);
    void stepForward(Cursor& cursor);
    void stepBackward(Cursor& cursor);
    Cursor leftmost();
    Cursor rightmost();
    static IndexEntry entryAt(const Cursor& cursor);
    std::optional<IndexEntry> atOrAfter(const Boundary& boundary);
    std::optional<IndexEntry> firstFrom(const Boundary& boundary, const IndexEntry& position,
                                        const KeyRange& range, bool strictlyAfter);

    std::int64_t subtreeEntries(std::uint32_t page, std::uint32_t depth);
    std::optional<MdxOutlines::Outline> uncachedOutline(std::uint32_t page);
    std::int64_t outlineEntries(std::uint32_t page, std::uint32_t depth, const MdxOutlines::Outline& outline,
                                std::uint64_t& visits);
    std::int64_t childEntries(const Loaded& node, std::uint32_t child, std::uint32_t depth);
    std::int64_t rank(const Boundary& boundary);
    std::int64_t total();
    IndexEntry select(std::int64_t position);
    void forgetCounts(const std::vector<Level>& path);

    std::uint32_t allocate();
    void release(std::uint32_t page);
    void write(std::uint32_t page, const MdxNode& node);
    std::string subtreeMaxKey(const MdxNode& node, std::uint32_t depth);
    bool underfull(const MdxNode& node) const;
    void rebalance(MdxNode& parent, std::uint32_t child, MdxNode& node, std::uint32_t page,
                   std::uint32_t depth);

    MdxStorage& storage_;
    MdxTreeShape& shape_;
    std::string tagName_;
    std::uint32_t height_ = 0;
    std::int64_t blockChange_ = 0;
};

} // namespace dbase
