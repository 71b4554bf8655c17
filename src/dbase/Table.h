#pragma once

#include "Date.h"
#include "Field.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace dbase {

// One index tag of a table's production index (.mdx).
struct TagInfo
{
    std::string name;       // at most 10 characters, compared without case
    std::string expression; // dBASE key expression
    bool descending = false;

    bool operator==(const TagInfo&) const = default;
};

// A cursor on one dBASE table: the table object every other layer works with.
//
// Several Table objects, in one process or in several, may have the same table open in shared mode.
// Each one re-reads what it shows from disk, so it always sees the posts of the others. Record locks and
// exclusive opens are byte-range locks on the table file.
//
// Text is Windows-1252 bytes, passed through unchanged. Record numbers are physical (1-based), as in the
// file; positions are counted in the active tag's order within the current range, skipping deleted
// records.
class Table
{
public:
    enum class State { Inactive, Browse, Edit, Insert };
    using Handler = std::function<void(Table&)>;
    using Bookmark = std::uint32_t; // the physical record number; 0 means none

    Table();
    ~Table(); // an unposted edit is cancelled, never written
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    // --- Opening -----------------------------------------------------------------------------------------
    // The file name is looked up without case in the folder, and so are the memo (.dbt) and index (.mdx)
    // files beside it. An empty tag name means record-number order. Throws DatabaseError when the table is
    // missing or unreadable, when its memo or index file is missing or damaged, or when the tag is unknown;
    // LockError (a DatabaseError) when exclusive use is asked and another table object has it open, or when
    // another has it open exclusively. An index that a killed writer left half-updated is rebuilt here.
    // A table whose index has a tag this engine cannot keep current opens read-only.
    void open(const std::string& folder, const std::string& fileName, bool exclusive = false,
              const std::string& tagName = {});
    void close(); // cancels an unposted edit
    bool isOpen() const;
    bool isExclusive() const;
    const std::string& folder() const;
    const std::string& fileName() const; // as the caller gave it
    std::string path() const;            // the file actually opened

    // --- Structure ---------------------------------------------------------------------------------------
    std::size_t fieldCount() const;
    const FieldDescriptor& fieldDescriptor(std::size_t index) const;
    const std::vector<FieldDescriptor>& fieldDescriptors() const;
    int fieldIndex(std::string_view name) const; // without case; -1 when there is no such field

    // --- Index tags --------------------------------------------------------------------------------------
    // Read afresh from the index file, in the file's tag order.
    std::vector<TagInfo> tags();
    // Both need exclusive use. addTag refuses, with a DatabaseError that names the fault, an expression
    // that cannot be parsed or evaluated on this table, and a name already in use; it builds the new tag
    // from the live records. Adding the first tag creates the index file.
    void addTag(const TagInfo& tag);
    void deleteTag(const std::string& name);
    // Selects the order; an empty name is record-number order. Cancels the range and moves to the first
    // row. Throws DatabaseError for an unknown tag.
    void setActiveTag(const std::string& name);
    const std::string& activeTag() const;

    // --- Navigation --------------------------------------------------------------------------------------
    void first();
    void last();
    void next();
    void prior();
    // Moves up to n rows (negative: backwards) and returns how many it moved.
    std::int64_t moveBy(std::int64_t n);
    bool eof() const; // moved past the last row, or the range is empty
    bool bof() const; // moved before the first row, or the range is empty
    // Live records in the current range.
    std::int64_t recordCount();
    // Physical record number of the current row; 0 when there is none.
    std::uint32_t recordNumber() const;

    // --- Ranges and keys on the active tag ---------------------------------------------------------------
    // Limits navigation and counting to the keys that lie, in the tag's own order, from startKey to endKey
    // inclusive, each bound compared on its own length (a partial key). Moves to the first row of the
    // range. Throws DatabaseError without an active tag.
    void setRange(std::string_view startKey, std::string_view endKey);
    void cancelRange(); // moves to the first row when there was a range
    bool hasRange() const;
    // Positions on the first row whose key equals key, padded with blanks to the key length. Returns false,
    // and leaves the position unchanged, when there is none.
    bool findKey(std::string_view key);

    // --- Bookmarks ---------------------------------------------------------------------------------------
    Bookmark bookmark() const;
    // False, position unchanged, when the record is deleted or lies outside the range.
    bool gotoBookmark(Bookmark bookmark);
    // Positions on the record that another table object on the same table file stands on.
    void goToCurrent(const Table& other);

    // --- Editing -----------------------------------------------------------------------------------------
    State state() const;
    // Locks the current record for this table object and reads it afresh, so that what another user posted
    // is what gets edited. Throws LockError when another table object, in this process or another, holds
    // its lock; DatabaseError when there is no current record.
    void edit();
    // A blank record in insert state; the after-insert handler runs. Nothing is written before post.
    void append();
    // Runs the before-post handler, then writes the record, its memo and binary values and its index keys,
    // and releases the lock. When post returns the data has been handed to the operating system, so a killed
    // process loses no completed post. The after-post handler runs last. Throws DatabaseError when the
    // write fails; the buffer then stays in its state.
    void post();
    void cancel();
    // Soft delete of the current record (it stays in the file until pack); its keys leave every tag. Moves
    // to the next row, or to the one before when there is none. Throws LockError when another table object
    // holds the record's lock.
    void deleteRecord();
    // Forces posted data to stable storage.
    void saveChanges();

    Handler afterInsert;
    Handler beforePost;
    Handler afterPost;

    // --- Field values of the current row (or of the record being edited) ---------------------------------
    // Memo and binary values are read from the memo file when first asked for; a damaged value throws
    // EngineError.
    bool isNull(std::size_t index) const; // blank text, number, date or logical; no memo or binary value
    void clear(std::size_t index);
    // Text without trailing blanks; a number as stored, without blanks; a date as "YYYYMMDD" or ""; a
    // logical as "T", "F" or ""; a memo's text (lines separated by CR LF); a binary value's bytes.
    std::string asString(std::size_t index) const;
    // Text is cut to the field's width; numbers are parsed (an unreadable text is a DatabaseError); dates
    // take "YYYYMMDD" or ""; logicals take T, t, Y, y, F, f, N, n or "".
    void setString(std::size_t index, std::string_view value);
    double asNumber(std::size_t index) const; // blank is 0
    // Written with the field's decimals, rounded; DatabaseError when it does not fit the width.
    void setNumber(std::size_t index, double value);
    Date asDate(std::size_t index) const; // blank or unreadable is the blank date
    void setDate(std::size_t index, const Date& value);
    bool asBool(std::size_t index) const;
    void setBool(std::size_t index, bool value);
    // Memos as line lists: CR LF, LF or CR end a line.
    std::vector<std::string> memoLines(std::size_t index) const;
    void setMemoLines(std::size_t index, const std::vector<std::string>& lines);
    std::string blob(std::size_t index) const;
    void setBlob(std::size_t index, std::string_view bytes);
    // Copies one value from another table's field, converting between kinds where it must.
    void assignField(std::size_t index, const Table& source, std::size_t sourceIndex);

    // --- Maintenance: each needs exclusive use -----------------------------------------------------------
    // Removes deleted records and unused memo blocks. Record numbers change, so every tag is rebuilt; with
    // regenerate set the tags are rebuilt from their definitions even when they look sound.
    void pack(bool regenerate = true);
    // Rebuilds every tag from the live records.
    void regenerateIndexes();
    // Removes every record and memo value; the tags stay, empty.
    void emptyTable();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// --- Table files ---------------------------------------------------------------------------------------
// Every function finds files without case in their folder. They throw DatabaseError on failure.

// Creates an empty table (dBASE IV; with a memo file when a column needs one) and its tags.
void createTable(const std::string& folder, const std::string& fileName, const std::vector<FieldSpec>& fields,
                 const std::vector<TagInfo>& tags = {});
// Copies the table with its memo and index files; refuses to replace an existing table unless overwrite.
void copyTable(const std::string& sourceFolder, const std::string& sourceName, const std::string& targetFolder,
               const std::string& targetName, bool overwrite);
// Renames the .dbf, .dbt and .mdx files; the index file learns its new table name.
void renameTable(const std::string& folder, const std::string& oldName, const std::string& newName);
// Deletes whichever of the three files exist.
void deleteTable(const std::string& folder, const std::string& fileName);
bool tableExists(const std::string& folder, const std::string& fileName);

// The path of the file in folder whose name equals name without case; an exact match wins. Empty when
// there is none.
std::string findFileNoCase(const std::string& folder, const std::string& name);

// Copies a file, expanding it when it is compressed in the SZDD format of the classic LZ expander.
void lzExpandCopy(const std::string& sourcePath, const std::string& targetPath);

} // namespace dbase
