#pragma once

#include "RecordCopy.h"

#include <functional>
#include <optional>
#include <QString>

namespace dbase {
class Table;
}

namespace store {

class DatabaseFolder;
class Prompts;

struct MaintenanceResult
{
    enum class Outcome
    {
        Succeeded,
        Failed,    // nothing could be done, or some records could not be copied (failedRecords)
        TableInUse // exclusive use was refused; the user has been told and nothing changed
    };
    Outcome outcome = Outcome::Failed;
    int failedRecords = 0;
    int storedRecords = 0; // records in the table written

    bool succeeded() const { return outcome == Outcome::Succeeded; }
};

// The table-level maintenance of the current record table of a database folder, for the maintenance
// window. Each operation closes the edit table and the browse table (they need the files to themselves)
// and opens the browse table again afterwards with its tag, so the window re-applies its range.
class TableMaintenance
{
public:
    static const QString backupFolderName;    // "BACKUP", inside the database folder
    static const QString repairTargetName;    // "TEMP$00.DBF", the repair's new table
    static const QString previousTableName;   // "TEMP$$$.DBF", the table a repair or restore replaced
    static const QString exclusiveUseRefused; // the "Function Failed!" message

    // Messages go to prompts, so that each window shows its own.
    TableMaintenance(DatabaseFolder& folder, Prompts& prompts);

    // Copies every readable record into a fresh table from the template, renumbered 1 ... n, which then
    // takes the table's place; the old table stays as "TEMP$$$.DBF".
    MaintenanceResult RepairTable(CopyProgress* progress = nullptr);
    // Writes the records, renumbered, into "BACKUP" under the table's name, and the lookup lists beside
    // them. The previous backup is replaced only once the new one is complete.
    MaintenanceResult BackupTable(CopyProgress* progress = nullptr);
    // Puts the records of the backup in place of the table (kept as "TEMP$$$.DBF"), and with withLists
    // the lookup lists of the backup in place of the folder's.
    MaintenanceResult RestoreTable(bool withLists, CopyProgress* progress = nullptr);

    // These work on any open table of the database folder (the browse table or the table list) with
    // exclusive use, and leave it open as it was. False after the user was told why.
    bool PackTable(dbase::Table& table, bool regenerate);
    bool RegenerateIndexes(dbase::Table& table);
    bool EmptyTable(dbase::Table& table);

private:
    enum class ExclusiveOpen
    {
        Opened,
        InUse,
        Unusable
    };
    ExclusiveOpen openExclusively(dbase::Table& table, const QString& folder, const QString& fileName);
    // Nothing when the table is open with exclusive use; otherwise what the operation ends with.
    std::optional<MaintenanceResult> openToCopy(dbase::Table& table, const QString& folder,
                                                const QString& fileName);
    bool withExclusiveUse(dbase::Table& table, const std::function<void(dbase::Table&)>& work);
    MaintenanceResult refused();
    QString backupFolder() const;
    void setLastRecordNumber(const CopyResult& copy);

    DatabaseFolder& m_folder;
    Prompts& m_prompts;
};

} // namespace store
