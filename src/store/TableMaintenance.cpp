#include "TableMaintenance.h"

#include "DatabaseFolder.h"
#include "dbase/Errors.h"
#include "dbase/Table.h"
#include "FileNames.h"
#include "ListFiles.h"

#include <QDir>
#include <QFile>

namespace store {

const QString TableMaintenance::backupFolderName = QStringLiteral("BACKUP");
const QString TableMaintenance::repairTargetName = QStringLiteral("TEMP$00.DBF");
const QString TableMaintenance::previousTableName = QStringLiteral("TEMP$$$.DBF");
const QString TableMaintenance::exclusiveUseRefused =
    QStringLiteral("Function Failed!\nDatabase may be used by someone else - this function requires "
                   "Exclusive Database Use.");

namespace {

// Clean-up after a failure: what cannot be removed now is left for the next run to replace.
void deleteQuietly(const QString& folder, const QString& fileName)
{
    try {
        dbase::deleteTable(localPath(folder), localPath(fileName));
    } catch (const dbase::DatabaseError&) {
    }
}

void renameQuietly(const QString& folder, const QString& from, const QString& to)
{
    try {
        dbase::renameTable(localPath(folder), localPath(from), localPath(to));
    } catch (const dbase::DatabaseError&) {
    }
}

void openTable(dbase::Table& table, const QString& folder, const QString& fileName, bool exclusive)
{
    table.open(localPath(folder), localPath(fileName), exclusive);
}

// Every record of source into the table fileName of folder, opened exclusively for the copy.
CopyResult copyInto(dbase::Table& source, const QString& folder, const QString& fileName,
                    CopyProgress* progress)
{
    dbase::Table target;
    openTable(target, folder, fileName, true);
    return CopyRecords(source, target, progress);
}

MaintenanceResult outcomeOf(const CopyResult& copy)
{
    MaintenanceResult result;
    result.failedRecords = copy.failedRecords;
    result.storedRecords = copy.nextNumber - 1;
    result.outcome =
        copy.failedRecords == 0 ? MaintenanceResult::Outcome::Succeeded : MaintenanceResult::Outcome::Failed;
    return result;
}

} // namespace

// The browse and edit tables are closed for the length of an operation and the browse table opened again
// afterwards, whichever way the operation ends.
class LiveTablesSuspended
{
public:
    explicit LiveTablesSuspended(DatabaseFolder& folder) : m_folder(folder)
    {
        dbase::Table& browse = m_folder.browseTable();
        m_tag = browse.isOpen() ? browse.activeTag() : std::string();
        m_folder.CloseEditTable();
        browse.close();
    }
    ~LiveTablesSuspended()
    {
        dbase::Table& browse = m_folder.browseTable();
        if (!m_folder.OpenTableWithRepair(browse, m_folder.session().tableFileName, false))
            return;
        try {
            browse.setActiveTag(m_tag);
        } catch (const dbase::DatabaseError&) {
            // A table made from the template lacks the sort tags; the window builds them again.
        }
        m_folder.refreshColumns();
    }
    LiveTablesSuspended(const LiveTablesSuspended&) = delete;
    LiveTablesSuspended& operator=(const LiveTablesSuspended&) = delete;

private:
    DatabaseFolder& m_folder;
    std::string m_tag;
};

TableMaintenance::TableMaintenance(DatabaseFolder& folder, Prompts& prompts)
    : m_folder(folder), m_prompts(prompts)
{}

QString TableMaintenance::backupFolder() const
{
    return m_folder.session().folders.database + "/" + backupFolderName;
}

void TableMaintenance::setLastRecordNumber(const CopyResult& copy)
{
    try {
        m_folder.setLastRecordNumber(copy.nextNumber - 1);
    } catch (const dbase::DatabaseError&) {
        // The entry keeps a higher number: the numbers given out next are still unique.
    }
}

MaintenanceResult TableMaintenance::refused()
{
    m_prompts.error(exclusiveUseRefused);
    MaintenanceResult result;
    result.outcome = MaintenanceResult::Outcome::TableInUse;
    return result;
}

TableMaintenance::ExclusiveOpen TableMaintenance::openExclusively(dbase::Table& table, const QString& folder,
                                                                  const QString& fileName)
{
    if (m_folder.OpenTableWithRepair(table, folder, fileName, true))
        return ExclusiveOpen::Opened;
    // One more try tells a table in use from one that cannot be read.
    try {
        openTable(table, folder, fileName, true);
        return ExclusiveOpen::Opened;
    } catch (const dbase::LockError&) {
        return ExclusiveOpen::InUse;
    } catch (const dbase::DatabaseError&) {
        return ExclusiveOpen::Unusable;
    }
}

std::optional<MaintenanceResult> TableMaintenance::openToCopy(dbase::Table& table, const QString& folder,
                                                              const QString& fileName)
{
    switch (openExclusively(table, folder, fileName)) {
    case ExclusiveOpen::InUse:
        return refused();
    case ExclusiveOpen::Unusable:
        return MaintenanceResult{};
    case ExclusiveOpen::Opened:
        break;
    }
    return std::nullopt;
}

MaintenanceResult TableMaintenance::RepairTable(CopyProgress* progress)
{
    const QString folder = m_folder.session().folders.database;
    const QString name = m_folder.session().tableFileName;
    LiveTablesSuspended suspended(m_folder);
    dbase::Table source;
    if (const auto refusal = openToCopy(source, folder, name))
        return *refusal;
    if (!m_folder.CreateTableFromTemplate(folder, repairTargetName, true))
        return {};
    CopyResult copy;
    try {
        copy = copyInto(source, folder, repairTargetName, progress);
    } catch (const dbase::DatabaseError&) {
        deleteQuietly(folder, repairTargetName);
        return {};
    }
    source.close();
    try {
        dbase::deleteTable(localPath(folder), localPath(previousTableName));
        dbase::renameTable(localPath(folder), localPath(name), localPath(previousTableName));
    } catch (const dbase::DatabaseError&) {
        deleteQuietly(folder, repairTargetName);
        return {};
    }
    try {
        dbase::renameTable(localPath(folder), localPath(repairTargetName), localPath(name));
    } catch (const dbase::DatabaseError&) {
        renameQuietly(folder, previousTableName, name);
        deleteQuietly(folder, repairTargetName);
        return {};
    }
    setLastRecordNumber(copy);
    return outcomeOf(copy);
}

MaintenanceResult TableMaintenance::BackupTable(CopyProgress* progress)
{
    const QString folder = m_folder.session().folders.database;
    const QString name = m_folder.session().tableFileName;
    const QString backup = backupFolder();
    LiveTablesSuspended suspended(m_folder);
    dbase::Table source;
    if (const auto refusal = openToCopy(source, folder, name))
        return *refusal;
    // The new backup is written beside the old one, which it replaces only once it is complete.
    if (!QDir().mkpath(backup) || !m_folder.CreateTableFromTemplate(backup, repairTargetName, false))
        return {};
    CopyResult copy;
    try {
        copy = copyInto(source, backup, repairTargetName, progress);
        source.close();
        dbase::deleteTable(localPath(backup), localPath(name));
        dbase::renameTable(localPath(backup), localPath(repairTargetName), localPath(name));
    } catch (const dbase::DatabaseError&) {
        deleteQuietly(backup, repairTargetName);
        return {};
    }
    CopyListFiles(folder, backup);
    return outcomeOf(copy);
}

MaintenanceResult TableMaintenance::RestoreTable(bool withLists, CopyProgress* progress)
{
    const QString folder = m_folder.session().folders.database;
    const QString name = m_folder.session().tableFileName;
    const QString backup = backupFolder();
    LiveTablesSuspended suspended(m_folder);
    dbase::Table backupTable;
    try {
        openTable(backupTable, backup, name, false);
    } catch (const dbase::DatabaseError&) {
        return {};
    }
    {
        dbase::Table live;
        if (const auto refusal = openToCopy(live, folder, name))
            return *refusal;
    }
    try {
        dbase::deleteTable(localPath(folder), localPath(previousTableName));
        dbase::renameTable(localPath(folder), localPath(name), localPath(previousTableName));
    } catch (const dbase::DatabaseError&) {
        return {};
    }
    if (!m_folder.CreateTableFromTemplate(folder, name, true)) {
        renameQuietly(folder, previousTableName, name);
        return {};
    }
    CopyResult copy;
    try {
        copy = copyInto(backupTable, folder, name, progress);
    } catch (const dbase::DatabaseError&) {
        // A restore that broke off puts the original table back.
        deleteQuietly(folder, name);
        renameQuietly(folder, previousTableName, name);
        return {};
    }
    setLastRecordNumber(copy);
    if (withLists)
        CopyListFiles(backup, folder);
    return outcomeOf(copy);
}

bool TableMaintenance::withExclusiveUse(dbase::Table& table, const std::function<void(dbase::Table&)>& work)
{
    const bool tableList = &table == &m_folder.tableList();
    if (&table == &m_folder.browseTable())
        m_folder.CloseEditTable();
    const QString folder = QFile::decodeName(table.folder().c_str());
    const QString fileName = QFile::decodeName(table.fileName().c_str());
    const std::string tag = table.activeTag();
    table.close();
    bool done = false;
    if (openExclusively(table, folder, fileName) == ExclusiveOpen::Opened) {
        try {
            work(table);
            done = true;
        } catch (const dbase::DatabaseError& error) {
            m_prompts.error(QString::fromStdString(error.what()));
        }
        table.close();
    } else {
        m_prompts.error(exclusiveUseRefused);
    }
    if (tableList) {
        m_folder.returnTableList();
    } else if (m_folder.OpenTableWithRepair(table, folder, fileName, false)) {
        try {
            table.setActiveTag(tag);
        } catch (const dbase::DatabaseError&) {
        }
    }
    return done;
}

bool TableMaintenance::PackTable(dbase::Table& table, bool regenerate)
{
    return withExclusiveUse(table, [regenerate](dbase::Table& exclusive) { exclusive.pack(regenerate); });
}

bool TableMaintenance::RegenerateIndexes(dbase::Table& table)
{
    return withExclusiveUse(table, [](dbase::Table& exclusive) { exclusive.regenerateIndexes(); });
}

bool TableMaintenance::EmptyTable(dbase::Table& table)
{
    return withExclusiveUse(table, [](dbase::Table& exclusive) { exclusive.emptyTable(); });
}

} // namespace store
