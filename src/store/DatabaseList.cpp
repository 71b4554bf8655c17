#include "DatabaseList.h"

#include "ColumnValues.h"
#include "DatabaseFolder.h"
#include "dbase/Errors.h"
#include "FileNames.h"
#include "TableMaintenance.h"

#include <QSet>

namespace store {

namespace {

void deleteTableQuietly(const QString& folder, const QString& fileName)
{
    try {
        dbase::deleteTable(localPath(folder), localPath(fileName));
    } catch (const dbase::DatabaseError&) {
    }
}

void cancelEditing(dbase::Table& table)
{
    if (table.state() == dbase::Table::State::Edit || table.state() == dbase::Table::State::Insert)
        table.cancel();
}

} // namespace

DatabaseList::DatabaseList(DatabaseFolder& folder, Prompts& prompts) : m_database(folder), m_prompts(prompts)
{}

DatabaseList::~DatabaseList()
{
    finish();
}

void DatabaseList::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    m_entries.clear();
    m_database.returnTableList();
}

bool DatabaseList::showFolder(const QString& folder)
{
    m_finished = false;
    m_folder = folder;
    m_entries.clear();
    if (!m_database.openTableListIn(folder)) {
        m_prompts.error(QStringLiteral("Error openning master.dbf file!"));
        return false;
    }
    if (!readEntries()) {
        m_prompts.error(QStringLiteral("Error openning master.dbf file!"));
        return false;
    }
    return true;
}

bool DatabaseList::readEntries()
{
    m_entries.clear();
    dbase::Table& list = m_database.tableList();
    try {
        for (list.first(); !list.eof(); list.next())
            m_entries.append({columnText(list, tablelist::fileNameColumn),
                              columnText(list, tablelist::databaseNameColumn),
                              columnText(list, tablelist::descriptionColumn)});
        return true;
    } catch (const dbase::DatabaseError&) {
        m_entries.clear();
        return false;
    }
}

int DatabaseList::indexOf(const QString& fileName) const
{
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].fileName.compare(fileName, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString DatabaseList::realFileName(int index) const
{
    if (index < 0 || index >= m_entries.size())
        return {};
    return (m_folder + "/" + m_entries[index].fileName).toUpper();
}

bool DatabaseList::updateEntry(const QString& fileName, const QString& name, const QString& description)
{
    dbase::Table& list = m_database.tableList();
    try {
        if (!m_database.findTableListEntry(fileName))
            return false;
        list.edit();
        setColumnText(list, tablelist::databaseNameColumn, name);
        setColumnText(list, tablelist::descriptionColumn, description);
        list.post();
        readEntries();
        return true;
    } catch (const dbase::DatabaseError& error) {
        cancelEditing(list);
        m_prompts.error(QString::fromStdString(error.what()));
        return false;
    }
}

QString DatabaseList::freeFileName() const
{
    QSet<QString> listed;
    for (const DatabaseEntry& entry : m_entries)
        listed.insert(entry.fileName.toLower());
    for (int n = 1; n <= maximumDatabases; ++n) {
        const QString candidate = QStringLiteral("data_%1.dbf").arg(n);
        if (!listed.contains(candidate))
            return candidate;
    }
    return {};
}

int DatabaseList::addEntry(const QString& name, const QString& description)
{
    const QString fileName = freeFileName();
    if (fileName.isEmpty()) {
        m_prompts.information(
            QStringLiteral("Cannot Create a new Table! You have reached the limit of 999 per user."));
        return -1;
    }
    dbase::Table& list = m_database.tableList();
    try {
        list.append();
        setColumnText(list, tablelist::fileNameColumn, fileName);
        setColumnText(list, tablelist::databaseNameColumn, name);
        setColumnText(list, tablelist::descriptionColumn, description);
        list.setNumber(tablelist::lastNumberColumn, 1);
        list.post();
        readEntries();
    } catch (const dbase::DatabaseError& error) {
        cancelEditing(list);
        m_prompts.error(QString::fromStdString(error.what()));
        return -1;
    }
    if (!dbase::tableExists(localPath(m_folder), localPath(fileName)))
        m_database.CreateTableFromTemplate(m_folder, fileName, true);
    return indexOf(fileName);
}

bool DatabaseList::canDelete(const QString& fileName)
{
    if (!dbase::tableExists(localPath(m_folder), localPath(fileName)))
        return true;
    try {
        dbase::Table probe;
        probe.open(localPath(m_folder), localPath(fileName), true);
    } catch (const dbase::LockError&) {
        m_prompts.information(QStringLiteral("Table in use - cannot be deleted at this time!"));
        return false;
    } catch (const dbase::DatabaseError&) {
        // A table that cannot even be read is no one's: it may go.
    }
    return true;
}

bool DatabaseList::deleteEntry(const QString& fileName)
{
    dbase::Table& list = m_database.tableList();
    try {
        if (!m_database.findTableListEntry(fileName)) {
            m_prompts.error(QStringLiteral("Table Could Not Be Deleted!"));
            return false;
        }
        list.deleteRecord();
    } catch (const dbase::DatabaseError&) {
        m_prompts.error(QStringLiteral("Table Could Not Be Deleted!"));
        return false;
    }
    deleteTableQuietly(m_folder, fileName);
    deleteTableQuietly(m_folder + "/" + TableMaintenance::backupFolderName, fileName);
    packTableList();
    readEntries();
    m_prompts.information(QStringLiteral("Table Deleted."));
    return true;
}

// The deleted entry leaves the file; when someone else has the list open it waits for a later pack.
void DatabaseList::packTableList()
{
    m_database.tableList().close();
    try {
        dbase::Table exclusive;
        exclusive.open(localPath(m_folder), localPath(tablelist::fileName), true);
        exclusive.pack(true);
    } catch (const dbase::DatabaseError&) {
    }
    m_database.openTableListIn(m_folder);
}

bool DatabaseList::prepareToLoad(const QString& fileName)
{
    if (dbase::tableExists(localPath(m_folder), localPath(fileName)))
        return true;
    return m_database.CreateTableFromTemplate(m_folder, fileName, true);
}

} // namespace store
