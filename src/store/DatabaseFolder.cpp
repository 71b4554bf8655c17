#include "DatabaseFolder.h"

#include "ColumnValues.h"
#include "dbase/Errors.h"
#include "FileNames.h"
#include "ProgramTexts.h"
#include "settings/ProgramSettings.h"

#include <cmath>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace store {

namespace {

const QString copyBufferName = QStringLiteral("copy.dbf");
const QString recordTemplateName = QStringLiteral("data.dbf");

QString tableListKey(const QString& fileName)
{
    return fileName.toUpper();
}

void removeTableFile(const QString& folder, const QString& fileName, const char* ext)
{
    const QString path = findFileNoCase(folder, QFileInfo(fileName).completeBaseName() + "." + ext);
    if (!path.isEmpty())
        QFile::remove(path);
}

} // namespace

ColumnSets ColumnSets::of(const dbase::Table& table)
{
    ColumnSets sets;
    const auto& fields = table.fieldDescriptors();
    sets.decimals.assign(fields.size(), 0);
    for (std::size_t i = 0; i < fields.size() && i < 256; ++i) {
        sets.text[i] = fields[i].isText();
        sets.memo[i] = fields[i].isMemo();
        sets.binary[i] = fields[i].isBinary();
        if (fields[i].isNumeric())
            sets.decimals[i] = fields[i].decimals;
    }
    return sets;
}

DatabaseFolder::DatabaseFolder(Session& session, Prompts& prompts) : m_session(session), m_prompts(prompts) {}

DatabaseFolder::~DatabaseFolder() = default;

bool DatabaseFolder::OpenTableWithRepair(dbase::Table& table, const QString& fileName, bool exclusive)
{
    return OpenTableWithRepair(table, m_session.folders.database, fileName, exclusive);
}

bool DatabaseFolder::OpenTableWithRepair(dbase::Table& table, const QString& folder, const QString& fileName,
                                         bool exclusive)
{
    const std::string where = localPath(folder);
    if (!dbase::tableExists(where, localPath(fileName)))
        return false;
    if (table.isOpen())
        return true;
    try {
        table.open(where, localPath(fileName), exclusive);
        return true;
    } catch (const dbase::LockError&) {
        // Someone else holds the table: its index is not to blame, so it is left alone.
    } catch (const dbase::DatabaseError&) {
        if (restoreSpareIndex(table, folder, fileName, exclusive))
            return true;
    }
    for (int attempt = 0;; ++attempt) {
        try {
            table.open(where, localPath(fileName), exclusive);
            return true;
        } catch (const dbase::DatabaseError&) {
            if (attempt < 10)
                continue;
            if (exclusive || !m_prompts.askYesNo(QStringLiteral("Cannot open the file: ") + fileName +
                                                 QStringLiteral("\nRetry?")))
                return false;
        }
    }
}

// The table's index is replaced by a spare one with the right tags, which is then rebuilt from the records.
bool DatabaseFolder::restoreSpareIndex(dbase::Table& table, const QString& folder, const QString& fileName,
                                       bool exclusive)
{
    const QString program = m_session.folders.program;
    const QString base = QFileInfo(fileName).completeBaseName();
    removeTableFile(folder, fileName, "mdx");
    const QString target = folder + "/" + base + ".mdx";
    try {
        const QString upper = fileName.toUpper();
        if (upper == QLatin1String("DATA.DBF") || upper == QLatin1String("MASTER.DBF")) {
            const QString spare = findFileNoCase(program, base.toUpper() + ".MDX");
            dbase::lzExpandCopy(localPath(spare), localPath(target));
        } else {
            // The template's index under the table's own name, written in a scratch folder.
            QTemporaryDir scratch;
            if (!scratch.isValid())
                return false;
            dbase::copyTable(localPath(program), localPath(recordTemplateName), localPath(scratch.path()),
                             localPath(fileName), true);
            const QString spare = findFileNoCase(scratch.path(), base + ".mdx");
            dbase::lzExpandCopy(localPath(spare), localPath(target));
        }
        dbase::Table rebuild;
        rebuild.open(localPath(folder), localPath(fileName), true);
        rebuild.regenerateIndexes();
        rebuild.close();
        table.open(localPath(folder), localPath(fileName), exclusive);
        return true;
    } catch (const dbase::DatabaseError&) {
        return false;
    }
}

bool DatabaseFolder::CreateTableFromTemplate(const QString& fileName, bool keepTags)
{
    return CreateTableFromTemplate(m_session.folders.database, fileName, keepTags);
}

bool DatabaseFolder::CreateTableFromTemplate(const QString& folder, const QString& fileName, bool keepTags)
{
    const QString templateName = fileName.compare(tablelist::fileName, Qt::CaseInsensitive) == 0
                                     ? tablelist::fileName
                                     : recordTemplateName;
    const std::string where = localPath(folder);
    try {
        dbase::deleteTable(where, localPath(fileName));
        dbase::copyTable(localPath(m_session.folders.program), localPath(templateName), where,
                         localPath(fileName), true);
        if (!keepTags) {
            dbase::Table table;
            table.open(where, localPath(fileName), true);
            for (const dbase::TagInfo& tag : table.tags())
                table.deleteTag(tag.name);
        }
        return true;
    } catch (const dbase::DatabaseError&) {
        return false;
    }
}

bool DatabaseFolder::openTableList(const QString& folder, bool replaceUnreadable)
{
    m_tableList.close();
    const bool exists = dbase::tableExists(localPath(folder), localPath(tablelist::fileName));
    if (!exists || !OpenTableWithRepair(m_tableList, folder, tablelist::fileName, false)) {
        if ((exists && !replaceUnreadable) || !CreateTableFromTemplate(folder, tablelist::fileName, true) ||
            !OpenTableWithRepair(m_tableList, folder, tablelist::fileName, false))
            return false;
    }
    try {
        m_tableList.setActiveTag(tablelist::tag);
    } catch (const dbase::DatabaseError&) {
        m_tableList.close();
        return false;
    }
    return true;
}

bool DatabaseFolder::openTableListIn(const QString& folder)
{
    // Only a missing list is made anew: an unreadable one still lists databases someone may need.
    return openTableList(folder, false);
}

bool DatabaseFolder::returnTableList()
{
    if (!openTableList(m_session.folders.database, true))
        return false;
    try {
        ensureTableListEntry();
        return true;
    } catch (const dbase::DatabaseError&) {
        return false;
    }
}

bool DatabaseFolder::openCopyBuffer()
{
    m_copyBuffer.close();
    if (!OpenTableWithRepair(m_copyBuffer, copyBufferName, false)) {
        if (!CreateTableFromTemplate(copyBufferName, false) ||
            !OpenTableWithRepair(m_copyBuffer, copyBufferName, false)) {
            m_prompts.error(QStringLiteral("Could not Open the Copy/Paste file!"));
            return false;
        }
    }
    try {
        // Row 0 is the copy buffer; the rows after it hold the record templates.
        if (m_copyBuffer.recordCount() == 0) {
            m_copyBuffer.append();
            m_copyBuffer.post();
        }
    } catch (const dbase::DatabaseError&) {
        m_prompts.error(QStringLiteral("Could not Open the Copy/Paste file!"));
        return false;
    }
    return true;
}

bool DatabaseFolder::openRecordTable()
{
    const QString& name = m_session.tableFileName;
    m_browse.close();
    m_recordTableReplaced = false;
    // A record table without its memo file is damaged: its memo and picture columns point nowhere.
    const bool memoFileExists =
        !findFileNoCase(m_session.folders.database, QFileInfo(name).completeBaseName() + ".dbt").isEmpty();
    if (memoFileExists && OpenTableWithRepair(m_browse, name, false)) {
        m_columns = ColumnSets::of(m_browse);
        return true;
    }
    // A folder that has no such table yet simply gets one: there is nothing damaged to set aside.
    if (!dbase::tableExists(localPath(m_session.folders.database), localPath(name)))
        return createRecordTable();
    // A table that someone else holds is sound: it must not be set aside as damaged.
    if (memoFileExists && heldByAnother(name)) {
        m_prompts.error(QStringLiteral("Could not Open the database! It is in use by someone else."));
        return false;
    }
    m_prompts.warning(
        QStringLiteral("Could not Open the database! A new database will be created. The original "
                       "file (if existed) was renamed to BAD$$$.DBF."));
    replaceDamagedRecordTable();
    m_recordTableReplaced = true;
    return createRecordTable();
}

bool DatabaseFolder::createRecordTable()
{
    const QString& name = m_session.tableFileName;
    if (!CreateTableFromTemplate(name, true) || !OpenTableWithRepair(m_browse, name, false)) {
        m_prompts.error(QStringLiteral("Could not Open the new database!"));
        return false;
    }
    m_columns = ColumnSets::of(m_browse);
    return true;
}

bool DatabaseFolder::heldByAnother(const QString& fileName) const
{
    try {
        dbase::Table probe;
        probe.open(localPath(m_session.folders.database), localPath(fileName), false);
        return false;
    } catch (const dbase::LockError&) {
        return true;
    } catch (const dbase::DatabaseError&) {
        return false;
    }
}

void DatabaseFolder::replaceDamagedRecordTable()
{
    const QString folder = m_session.folders.database;
    const QString base = QFileInfo(m_session.tableFileName).completeBaseName();
    const QString bad = QStringLiteral("bad$$$.dbf");
    // All of an older set go, so that no file of it is taken for part of this one.
    for (const char* ext : {"dbf", "dbt", "mdx"})
        removeTableFile(folder, bad, ext);
    for (const char* ext : {"dbf", "dbt", "mdx"}) {
        const QString old = findFileNoCase(folder, base + "." + ext);
        if (!old.isEmpty())
            QFile::rename(old, folder + QStringLiteral("/bad$$$.") + ext);
    }
}

void DatabaseFolder::ensureTableListEntry()
{
    if (findTableListEntry(m_session.tableFileName))
        return;
    m_tableList.append();
    setColumnText(m_tableList, tablelist::fileNameColumn, m_session.tableFileName);
    setColumnText(m_tableList, tablelist::databaseNameColumn, m_session.tableFileName);
    setColumnText(m_tableList, tablelist::descriptionColumn, QString());
    m_tableList.setNumber(tablelist::lastNumberColumn, 1);
    m_tableList.post();
    findTableListEntry(m_session.tableFileName);
}

bool DatabaseFolder::OpenDatabase()
{
    if (!openTableList(m_session.folders.database, true)) {
        m_prompts.error(QStringLiteral("Could not Open the Master.dbf file!"));
        return false;
    }
    if (!openCopyBuffer() || !openRecordTable())
        return false;
    try {
        ensureTableListEntry();
    } catch (const dbase::DatabaseError& error) {
        m_prompts.error(QString::fromStdString(error.what()));
        return false;
    }
    m_browse.afterInsert = [this](dbase::Table& table) { AssignRecordNumber(table); };
    return true;
}

void DatabaseFolder::CloseDatabase()
{
    m_browse.close();
    m_tableList.close();
    m_copyBuffer.close();
}

bool DatabaseFolder::isOpenDatabase(const QString& folder, const QString& fileName) const
{
    return m_browse.isOpen() && settings::SameFolder(folder, m_session.folders.database) &&
           fileName.compare(m_session.tableFileName, Qt::CaseInsensitive) == 0;
}

bool DatabaseFolder::LoadDatabase(const QString& folder, const QString& fileName)
{
    // The browse table opens again without a tag: the window applies the new table's sort.
    CloseEditTable();
    CloseDatabase();
    m_session.folders.database = folder;
    m_session.tableFileName = fileName;
    return OpenDatabase();
}

bool DatabaseFolder::findTableListEntry(const QString& fileName)
{
    const QByteArray key = toTableText(tableListKey(fileName));
    return m_tableList.findKey(std::string_view(key.constData(), static_cast<std::size_t>(key.size())));
}

QString DatabaseFolder::databaseName()
{
    if (!m_tableList.isOpen() || m_tableList.eof())
        return m_session.tableFileName;
    return columnText(m_tableList, tablelist::databaseNameColumn);
}

QString DatabaseFolder::windowTitle()
{
    QString title = windowTitlePrefix + QStringLiteral(" - Database: ") + databaseName();
    if (m_session.isReadOnlyMode())
        title += QStringLiteral(" [Read Only Mode]");
    return title;
}

void DatabaseFolder::editTableListEntry()
{
    // The entry's lock makes the read and the change one step, so two users never get the same number.
    for (int attempt = 0;; ++attempt) {
        try {
            m_tableList.edit();
            return;
        } catch (const dbase::LockError&) {
            if (attempt == 100)
                throw;
        }
    }
}

void DatabaseFolder::AssignRecordNumber(dbase::Table& table)
{
    if (!table.isNull(0))
        return;
    editTableListEntry();
    const double number = std::round(m_tableList.asNumber(tablelist::lastNumberColumn)) + 1;
    m_tableList.setNumber(tablelist::lastNumberColumn, number);
    m_tableList.post();
    table.setNumber(0, number);
}

void DatabaseFolder::setLastRecordNumber(double number)
{
    editTableListEntry();
    m_tableList.setNumber(tablelist::lastNumberColumn, number);
    m_tableList.post();
}

void DatabaseFolder::OpenEditTable()
{
    if (!m_edit.isOpen())
        m_edit.open(m_browse.folder(), m_browse.fileName(), false);
    m_edit.afterInsert = [this](dbase::Table& table) { AssignRecordNumber(table); };
    // The record written through the edit table gets its filter mark as one written through the list.
    m_edit.beforePost = m_browse.beforePost;
}

void DatabaseFolder::CloseEditTable()
{
    m_edit.close();
}

bool DatabaseFolder::editTableOpen() const
{
    return m_edit.isOpen();
}

void DatabaseFolder::refreshColumns()
{
    m_columns = ColumnSets::of(m_browse);
}

} // namespace store
