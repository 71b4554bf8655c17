#pragma once

#include "dbase/Table.h"
#include "Prompts.h"
#include "Session.h"

#include <bitset>
#include <QString>
#include <string>
#include <vector>

namespace store {

// What the program knows of the record table's columns, learnt from its field descriptors whenever it
// is opened. Columns are counted from 0; form field n lives in column n + 1.
struct ColumnSets
{
    std::bitset<256> text;
    std::bitset<256> memo;
    std::bitset<256> binary;
    std::vector<int> decimals; // per column; 0 for columns that are not numeric

    static ColumnSets of(const dbase::Table& table);
};

// First form field's column: column 0 is the record number, column 1 the filter mark.
inline constexpr int FirstFieldOffset = 2;

// The table list "master.dbf" of a database folder: one row per database, ordered by the tag "IDX0" on the
// file name.
namespace tablelist {
inline const QString fileName = QStringLiteral("master.dbf");
inline const std::string tag = "IDX0";
inline constexpr int fileNameColumn = 0;
inline constexpr int databaseNameColumn = 1;
inline constexpr int descriptionColumn = 2;
inline constexpr int lastNumberColumn = 3; // the last record number given out
} // namespace tablelist

// The tables of the database folder that the record window works with: the table list "master.dbf", the
// copy buffer "copy.dbf", the browse table (the current record table, sorted and ranged) and the edit table
// (a second cursor on the same file, holding the current record). It opens them, creating missing files
// from the program folder's templates and repairing damaged indexes on the way.
class DatabaseFolder
{
public:
    DatabaseFolder(Session& session, Prompts& prompts);
    ~DatabaseFolder();
    DatabaseFolder(const DatabaseFolder&) = delete;
    DatabaseFolder& operator=(const DatabaseFolder&) = delete;

    // Opens the table list, the copy buffer and the current record table of the database folder. False
    // after the user was told why; the window then closes.
    bool OpenDatabase();
    // Closes the browse table, the table list and the copy buffer (the edit table has its own close).
    void CloseDatabase();
    // Whether fileName in folder is the record table now open (names compared without case).
    bool isOpenDatabase(const QString& folder, const QString& fileName) const;
    // Makes fileName in folder the current table: every table is closed, the edit table too, and the
    // database is opened there. What the window keeps per table (sort, filters, tab order) is its own to
    // save before and to re-apply after. False after the user was told why.
    bool LoadDatabase(const QString& folder, const QString& fileName);
    // The last opening found the record table unusable and put a new one in its place: its sort settings
    // and filter definitions no longer apply.
    bool recordTableReplaced() const { return m_recordTableReplaced; }

    // Opens a table of the database folder (or of another folder), putting a spare index in place of a
    // damaged one; false at once when the table file does not exist.
    bool OpenTableWithRepair(dbase::Table& table, const QString& fileName, bool exclusive);
    bool OpenTableWithRepair(dbase::Table& table, const QString& folder, const QString& fileName,
                             bool exclusive);
    // A copy of the program folder's "data.dbf" (or "master.dbf" for that name) under fileName in the
    // database folder (or in another folder), replacing an existing table of that name; without keepTags
    // every index tag of the copy is deleted.
    bool CreateTableFromTemplate(const QString& fileName, bool keepTags);
    bool CreateTableFromTemplate(const QString& folder, const QString& fileName, bool keepTags);
    // The after-insert handler of the browse and edit tables: numbers a new record.
    void AssignRecordNumber(dbase::Table& table);

    // The edit table follows the browse table's file; it holds the current record in edit mode.
    void OpenEditTable();
    void CloseEditTable();
    bool editTableOpen() const;

    dbase::Table& browseTable() { return m_browse; }
    dbase::Table& editTable() { return m_edit; }
    dbase::Table& copyBuffer() { return m_copyBuffer; }
    dbase::Table& tableList() { return m_tableList; }
    const ColumnSets& columns() const { return m_columns; }

    // The table list's entry for the open record table.
    QString databaseName();
    // Positions the table list on the entry of fileName; false when it has none.
    bool findTableListEntry(const QString& fileName);
    // Reads the decimals of the numeric columns again (after the table was reopened).
    void refreshColumns();
    // Sets the table-list entry's last record number (after the records were renumbered).
    void setLastRecordNumber(double number);

    // The table list of another folder, for the Load Database dialog: reopened there with tag "IDX0" (a
    // missing one is created from the template, an unreadable one left alone). False when it cannot be
    // opened.
    bool openTableListIn(const QString& folder);
    // Back in the database folder, on the entry of the open record table.
    bool returnTableList();

    Session& session() { return m_session; }

    // The window title: prefix, " - Database: " and the database name, and the read-only mark.
    QString windowTitle();

private:
    bool openTableList(const QString& folder, bool replaceUnreadable);
    bool openCopyBuffer();
    bool openRecordTable();
    bool createRecordTable();
    void replaceDamagedRecordTable();
    bool heldByAnother(const QString& fileName) const;
    void ensureTableListEntry();
    void editTableListEntry();
    bool restoreSpareIndex(dbase::Table& table, const QString& folder, const QString& fileName,
                           bool exclusive);

    Session& m_session;
    Prompts& m_prompts;
    dbase::Table m_tableList;
    dbase::Table m_copyBuffer;
    dbase::Table m_browse;
    dbase::Table m_edit;
    ColumnSets m_columns;
    bool m_recordTableReplaced = false;
};

} // namespace store
