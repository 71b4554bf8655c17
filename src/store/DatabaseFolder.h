#pragma once

#include "dbase/Table.h"
#include "Prompts.h"
#include "Session.h"

#include <bitset>
#include <QString>
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

    bool OpenTableWithRepair(dbase::Table& table, const QString& fileName, bool exclusive);
    // A copy of the program folder's "data.dbf" (or "master.dbf" for that name) under fileName, replacing
    // an existing table of that name; without keepTags every index tag of the copy is deleted.
    bool CreateTableFromTemplate(const QString& fileName, bool keepTags);
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

    // The window title: prefix, " - Database: " and the database name, and the read-only mark.
    QString windowTitle();

private:
    bool openTableList();
    bool openCopyBuffer();
    bool openRecordTable();
    void replaceDamagedRecordTable();
    void ensureTableListEntry();
    bool restoreSpareIndex(dbase::Table& table, const QString& fileName, bool exclusive);
    std::string databaseFolder() const;

    Session& m_session;
    Prompts& m_prompts;
    dbase::Table m_tableList;
    dbase::Table m_copyBuffer;
    dbase::Table m_browse;
    dbase::Table m_edit;
    ColumnSets m_columns;
};

} // namespace store
