#pragma once

#include "Expression.h"
#include "Field.h"
#include "MdxEntry.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dbase {

class MdxStorage;
class MdxTree;

// The records a tag is built from. The table walks its live (not deleted) records.
class LiveRecords
{
public:
    virtual ~LiveRecords() = default;
    virtual void
    forEach(const std::function<void(std::uint32_t record, const RecordSource& values)>& visit) = 0;
    // About how many records forEach visits, so that room for their keys is made at once; 0 if unknown.
    virtual std::uint64_t expectedCount() const { return 0; }
};

// One tag as the index file describes it.
struct MdxTag
{
    std::string name;
    std::string expression;
    bool descending = false;
    bool unique = false; // only a key's first record is indexed
    std::size_t keyLength = 0;
    // Why this engine cannot use the tag (a numeric or date key, a FOR condition, an expression it
    // cannot evaluate on the table's fields); empty when it can.
    std::string problem;
};

struct MdxOptions
{
    std::size_t cacheBlocks = 16384;         // 16 MB of 1024-byte blocks
    std::size_t sortMemoryBytes = 64u << 20; // for building tags; beyond it sorted runs go to a file
    std::string temporaryFolder;             // for those runs; empty is the system's temporary folder
};

// Where a move by n entries ended.
struct IndexMove
{
    std::optional<IndexEntry> entry; // empty when there was no entry to move to
    std::int64_t moved = 0;          // entries moved, negative backwards
};

// A table's production index (.mdx) in the dBASE IV on-disk structure, readable by other dBASE tools:
// up to 47 tags, each a B-tree of character keys of at most 100 bytes (Expression::indexKey), ascending
// or descending, equal keys in record-number order. The table keeps only live records in its tags.
//
// How the table uses it:
// - Open it next to the table with the table's field descriptors; a missing file is created with
//   create(). A damaged file header, tag table, tag header or page raises DatabaseError.
// - Hold the table-wide lock around every call: a reader's lock for navigation, a writer's lock for
//   changes. Call refresh() first under each lock; it drops cached pages when another process changed the
//   file. Every change is an update; calls outside beginUpdate()/endUpdate() make their own.
// - If interruptedUpdate() is true after opening, a process was killed inside an update: call rebuild().
// - Append: insertRecord(record, values). Post of an edit: updateRecord(record, before, after). Delete:
//   removeRecord(record, values). Pack: rebuild() once the records are renumbered.
// - Ranges and positions: a position in a tag is an IndexEntry (key and record). first/last/next/prior/
//   seek/find/advance take a KeyRange (Table::setRange's bounds) and stay inside it; count counts it.
// - check() and forEachEntry() let a checker compare every tag with the live records' keys (keyOf).
class MdxIndex
{
public:
    // Writes a new index file without tags, replacing any file of that name.
    static void create(const std::string& path, std::string_view tableName);

    MdxIndex(const std::string& path, std::vector<FieldDescriptor> fields, bool writable,
             MdxOptions options = {});
    ~MdxIndex();
    MdxIndex(const MdxIndex&) = delete;
    MdxIndex& operator=(const MdxIndex&) = delete;

    const std::string& path() const;
    bool writable() const;
    std::string tableName() const;
    void setTableName(std::string_view name);

    // --- Coherence -------------------------------------------------------------------------------------
    // True when another process changed the file since this object last looked; tags are then re-read.
    bool refresh();
    // Updates nest; the outermost endUpdate writes the changes and the header with the next change
    // counter. abandonUpdate forgets what was not written yet; after a failed change it is called already.
    void beginUpdate();
    void endUpdate();
    void abandonUpdate();
    // Inside an update: marks the file as being updated before the caller writes the table, so that a kill
    // between the two writes is seen as an interrupted update. A later abandon leaves the mark in place.
    void announceUpdate();
    // A killed process left an update unfinished; only rebuild() clears it.
    bool interruptedUpdate() const;
    // Forces written changes to stable storage.
    void sync();

    // --- Tags --------------------------------------------------------------------------------------------
    // In file order.
    std::vector<MdxTag> tags() const;
    bool hasTag(std::string_view name) const;
    // Builds the tag from the records, bottom-up from sorted keys. The name has at most 10 letters, digits
    // or underscores, starts with a letter and is not in use (without case). Refuses an expression that
    // cannot be parsed or evaluated (DatabaseError naming it and the fault) and leaves the file as it was.
    void addTag(std::string_view name, std::string_view expression, bool descending, LiveRecords& records);
    // Frees the tag's pages.
    void deleteTag(std::string_view name);
    // Rebuilds every tag from the records into a fresh file body.
    void rebuild(LiveRecords& records);

    // --- Keys ------------------------------------------------------------------------------------------
    std::string keyOf(std::string_view tag, const RecordSource& values) const;
    // Each computes every tag's keys first, so a record that cannot be evaluated changes nothing. True
    // when some tag changed.
    bool insertRecord(std::uint32_t record, const RecordSource& values);
    bool removeRecord(std::uint32_t record, const RecordSource& values);
    bool updateRecord(std::uint32_t record, const RecordSource& before, const RecordSource& after);
    // One entry; false when it was there already (insert) or was not there (remove).
    bool insert(std::string_view tag, const IndexEntry& entry);
    bool remove(std::string_view tag, const IndexEntry& entry);

    // --- Navigation on one tag -----------------------------------------------------------------------------
    std::optional<IndexEntry> first(std::string_view tag, const KeyRange& range = {});
    std::optional<IndexEntry> last(std::string_view tag, const KeyRange& range = {});
    // The nearest entry after (before) a position, which need not be an entry of the tag.
    std::optional<IndexEntry> next(std::string_view tag, const IndexEntry& after, const KeyRange& range = {});
    std::optional<IndexEntry> prior(std::string_view tag, const IndexEntry& before,
                                    const KeyRange& range = {});
    // The first entry at or after a position.
    std::optional<IndexEntry> seek(std::string_view tag, const IndexEntry& at, const KeyRange& range = {});
    // The first entry whose key equals key padded with blanks to the key length.
    std::optional<IndexEntry> find(std::string_view tag, std::string_view key, const KeyRange& range = {});
    std::int64_t count(std::string_view tag, const KeyRange& range = {});
    // Moves up to steps entries (backwards when negative) from a position, skipping whole pages.
    IndexMove advance(std::string_view tag, const IndexEntry& from, std::int64_t steps,
                      const KeyRange& range = {});
    void forEachEntry(std::string_view tag, const std::function<void(const IndexEntry&)>& visit);

    // --- Check ---------------------------------------------------------------------------------------------
    // Every structural fault found, in words; empty for a sound file.
    std::vector<std::string> check();

private:
    struct TagState;

    void loadTags();
    TagState& tag(std::string_view name);
    const TagState& tag(std::string_view name) const;
    TagState& usableTag(std::string_view name);
    void requireAllUsable() const;
    MdxTree treeOf(TagState& tag);
    std::string evaluate(const TagState& tag, std::uint32_t record, const RecordSource& values) const;
    std::vector<std::string> keysOf(std::uint32_t record, const RecordSource& values) const;
    template <class Change>
    void changing(Change&& change);
    void noteChange(TagState& tag, const MdxTree& tree);
    bool changeEntry(std::string_view tag, const std::function<bool(MdxTree&)>& change);
    bool changeEveryTag(std::uint32_t record, const RecordSource& values, bool insert);
    void writeNewTagHeader(const TagState& tag, std::uint32_t tagPages);
    void patchTagHeaders();
    void writeTagTable();

    std::unique_ptr<MdxStorage> storage_;
    std::vector<FieldDescriptor> fields_;
    MdxOptions options_;
    std::vector<TagState> tags_;
    int updateDepth_ = 0;
};

} // namespace dbase
