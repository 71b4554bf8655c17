#pragma once

#include "DbfHeader.h"
#include "File.h"
#include "MdxIndex.h"
#include "MemoFile.h"
#include "Table.h"
#include "TableRecords.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dbase {

// The state behind one Table object. Functions named ...Locked expect the caller to hold the table-wide
// lock; everything else takes it itself, never nested.
struct Table::Impl
{
    static constexpr std::chrono::milliseconds lockTimeout{10000};

    // --- Files ---
    std::string folder;
    std::string fileName;
    File dbf;
    MemoFile memo;
    DbfHeader header;
    bool exclusive = false;
    // The production index, when the header says there is one.
    std::unique_ptr<MdxIndex> index;
    // Why the index cannot be kept current (a tag this engine cannot evaluate): writing would leave it
    // stale, so the table is read-only. Empty when it can.
    std::string indexProblem;

    // --- Cursor ---
    State state = State::Inactive;
    std::uint32_t current = 0;
    bool atEof = true;
    bool atBof = true;
    std::string row; // the current record's bytes, or the record being edited
    std::uint32_t lockedRecord = 0;
    std::uint32_t positionBeforeInsert = 0;
    bool modified = false;

    // --- Order: the active tag (empty for record order), its range, and the current row's key on it ---
    std::string activeTag;
    KeyRange range;
    bool ranged = false;
    std::string currentKey;

    // Memo and binary values, read when first asked for and kept until the row changes.
    struct MemoSlot
    {
        bool loaded = false;
        bool changed = false;
        std::string value;
    };
    std::vector<MemoSlot> memos;

    // Holds the table-wide readers/writer lock for a scope; an exclusive open needs none.
    class TableLock
    {
    public:
        // With refresh, what others changed is taken in under the lock (refreshLocked for a reader,
        // prepareWriteLocked for a writer). Opening, before the header is known, and memo values, which need
        // neither the count nor the index, go without.
        TableLock(Impl& impl, bool write, bool refresh = true);
        ~TableLock();
        TableLock(const TableLock&) = delete;
        TableLock& operator=(const TableLock&) = delete;

    private:
        Impl& impl_;
        bool held_;
    };

    void requireOpen() const;
    void requireExclusive(const char* operation) const;
    void requireWritable() const;
    void requireEditing() const;
    const FieldDescriptor& field(std::size_t index) const;
    std::string_view fieldBytes(std::size_t index) const;
    void putFieldBytes(std::size_t index, std::string_view bytes);

    // Brackets the index changes of one table change: begun on construction, abandoned unless committed.
    class IndexUpdate
    {
    public:
        explicit IndexUpdate(MdxIndex* index);
        ~IndexUpdate();
        IndexUpdate(const IndexUpdate&) = delete;
        IndexUpdate& operator=(const IndexUpdate&) = delete;
        void commit();

    private:
        MdxIndex* index_;
    };

    // --- Records ---
    // Under a reader's lock, before anything is read: the index as others left it, when the order is a tag.
    // The record count is looked at again only where a row beyond it is wanted: while this object has the
    // table open nobody can shrink it.
    void refreshLocked();
    void refreshIndexLocked();
    // Under the write lock, before anything is written: also repairs an index a killed writer left behind.
    void prepareWriteLocked();
    void refreshCountLocked();
    std::string readRecordLocked(std::uint32_t recordNumber) const;
    // Writes a record's new bytes (after is the whole record, deletion flag included). The one place where
    // every post and delete passes with the record's old contents (none for an append) and new ones.
    void storeRecordLocked(std::uint32_t recordNumber, const std::string* before, const std::string& after);
    // From record `from`, stepping by +1 or -1, passes up to `wanted` live records; returns the last one
    // reached (0 when none) and leaves its bytes in row.
    struct Walk
    {
        std::uint32_t recordNumber = 0;
        std::int64_t passed = 0;
    };
    Walk walkLocked(std::uint32_t from, int step, std::int64_t wanted);
    std::int64_t countLiveLocked();
    void showRow(std::uint32_t recordNumber);
    // Makes a record the current row; on a tag its key becomes the position.
    void showRecordLocked(std::uint32_t recordNumber, std::string bytes);

    // --- Index ---
    TableRecords liveRecords() const { return TableRecords(dbf, header, memo.isOpen() ? &memo : nullptr); }
    RecordValues valuesOf(std::string_view record) const
    {
        return RecordValues(header, record, memo.isOpen() ? &memo : nullptr);
    }
    void openIndexLocked(const std::string& indexPath);
    // Notes whether every tag can be kept current, after the tags were (re)read.
    void noteIndexTags();
    void rebuildIndexLocked();
    // The index's part of storeRecordLocked: every tag learns of the record's change.
    void indexRecordLocked(std::uint32_t recordNumber, const std::string* before, const std::string& after);
    std::string keyOfLocked(std::string_view record) const;
    void showEntryLocked(const std::optional<IndexEntry>& entry);
    // The stored name of a tag, found without case; DatabaseError when there is none or it is unusable.
    std::string usableTagName(const std::string& name) const;
    // First (step +1) or last (step -1) row of the order within the range; no row when it is empty.
    void showEndLocked(int step);
    // Moves up to n rows from the current one in the order; returns how many it moved.
    std::int64_t moveLocked(std::int64_t n);
    // After the current record was deleted: the next row in the order, else the one before.
    void showNeighbourLocked(std::uint32_t deleted, const std::string& deletedRecord);
    bool inRangeLocked(const IndexEntry& entry);
    std::int64_t countRangeLocked();
    // Before the cursor moves: pending changes are posted when there are any, dropped otherwise.
    void leaveEditing(Table& owner);
    void resetMemos();

    // --- Memo values ---
    const std::string& memoValue(std::size_t index);
    std::uint64_t memoSizeAt(std::uint32_t block);
    void setMemoValue(std::size_t index, std::string value);
    // Writes the changed memo values of rowImage into the memo file and returns the blocks they replace.
    std::vector<std::uint32_t> writeChangedMemosLocked(std::string& rowImage, const std::string* before);

    void stampDateLocked();
    // Pack: copies the live records, with their memo values, into new files; returns how many.
    std::uint32_t copyLiveRecords(File& target, MemoFile* targetMemo);
};

} // namespace dbase
