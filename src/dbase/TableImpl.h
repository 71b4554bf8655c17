#pragma once

#include "DbfHeader.h"
#include "File.h"
#include "MemoFile.h"
#include "Table.h"

#include <chrono>
#include <cstdint>
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
    // A production index this build cannot keep current: writing would leave it stale.
    bool unmaintainedIndex = false;

    // --- Cursor ---
    State state = State::Inactive;
    std::uint32_t current = 0;
    bool atEof = true;
    bool atBof = true;
    std::string row; // the current record's bytes, or the record being edited
    std::uint32_t lockedRecord = 0;
    std::uint32_t positionBeforeInsert = 0;
    bool modified = false;

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
        TableLock(Impl& impl, bool write);
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

    // --- Records ---
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
