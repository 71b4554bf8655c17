#include "DatabaseFixture.h"
#include "store/ListFiles.h"
#include "store/TableMaintenance.h"
#include "TablePeer.h"

#include <gtest/gtest.h>
#include <QRandomGenerator>

namespace {

using Outcome = store::MaintenanceResult::Outcome;

class Progress : public store::CopyProgress
{
public:
    void start(int count) override { total = count; }
    void advance() override { ++steps; }
    int total = -1;
    int steps = 0;
};

QByteArray randomBytes(int size, quint32 seed)
{
    QRandomGenerator generator(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes)
        byte = static_cast<char>(generator.bounded(256));
    return bytes;
}

// A catalog with a memo, pictures holding every byte value (end-of-file marks and NULs included) and an
// empty picture.
void fillCatalog(Database& db)
{
    db.appendStamp("Penny Black", {"first line", "", "third line with \x1a inside"}, randomBytes(5000, 1));
    db.appendStamp("Inverted Jenny", {}, {});
    db.appendStamp("Blue Mauritius", {"one"}, randomBytes(70000, 2));
    dbase::Table& table = db.folder->browseTable();
    table.last();
    table.edit();
    store::setColumnBlob(table, Database::smallPicture, randomBytes(300, 3));
    table.setNumber(Database::cost, 1234.5);
    table.post();
}

// Puts a memo block number far beyond the end of the memo file into the record's memo column.
void damageMemo(const QString& tablePath, int record, int column)
{
    QFile file(tablePath);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const QByteArray header = file.read(32);
    const int headerLength = static_cast<quint8>(header[8]) | static_cast<quint8>(header[9]) << 8;
    const int recordLength = static_cast<quint8>(header[10]) | static_cast<quint8>(header[11]) << 8;
    dbase::Table table;
    table.open(QFile::encodeName(QFileInfo(tablePath).path()).toStdString(),
               QFile::encodeName(QFileInfo(tablePath).fileName()).toStdString());
    const auto offset = table.fieldDescriptor(static_cast<std::size_t>(column)).offset;
    table.close();
    ASSERT_TRUE(file.seek(headerLength + (record - 1) * recordLength + offset));
    file.write("  99999999");
}

QStringList listFilesIn(const QString& folder)
{
    return QDir(folder).entryList({"list*"}, QDir::Files, QDir::Name);
}

void writeLists(const QString& folder, int count, const QByteArray& content)
{
    for (int n = 1; n <= count; ++n) {
        for (const char* ext : {"dbf", "mdx"}) {
            QFile file(QStringLiteral("%1/list%2.%3").arg(folder).arg(n).arg(ext));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(content + QByteArray::number(n));
        }
    }
}

} // namespace

TEST(TableMaintenance, RepairRenumbersTheRecordsInTheirOrderAndTheNextRecordFollows)
{
    Database db;
    db.open();
    dbase::Table& table = db.folder->browseTable();
    for (int number : {5, 9, 7, 12}) {
        table.append();
        table.setNumber(0, number);
        store::setColumnText(table, Database::description, QStringLiteral("Stamp %1").arg(number));
        table.post();
    }
    table.first();
    table.moveBy(2);
    table.deleteRecord();
    table.setActiveTag("IDX0");
    const auto values = tableValues(db.session.folders.database, "data.dbf");

    Progress progress;
    const store::MaintenanceResult result =
        store::TableMaintenance(*db.folder, db.prompts).RepairTable(&progress);
    EXPECT_EQ(result.outcome, Outcome::Succeeded);
    EXPECT_EQ(result.storedRecords, 3);
    EXPECT_EQ(progress.total, 3);
    EXPECT_EQ(progress.steps, 3);

    EXPECT_EQ(tableValues(db.session.folders.database, "data.dbf"), values);
    EXPECT_EQ(tableNumbers(db.session.folders.database, "data.dbf"), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(tableNumbers(db.session.folders.database, "TEMP$$$.DBF"), (std::vector<int>{5, 9, 12}))
        << "the original file is kept";
    EXPECT_FALSE(QFile::exists(db.file("TEMP$00.DBF")));
    ASSERT_TRUE(table.isOpen()) << "the browse table is open again";
    EXPECT_EQ(table.activeTag(), "IDX0");
    db.appendStamps(1);
    EXPECT_EQ(recordNumbers(table), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_TRUE(db.prompts.messages.isEmpty()) << db.prompts.messages.join("\n").toStdString();
}

TEST(TableMaintenance, RepairKeepsWhatCanBeReadOfARecordWithADamagedMemo)
{
    Database db;
    db.open();
    fillCatalog(db);
    db.close();
    damageMemo(db.file("data.dbf"), 1, Database::notes);
    db.open();

    const store::MaintenanceResult result = store::TableMaintenance(*db.folder, db.prompts).RepairTable();
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(result.failedRecords, 1);
    EXPECT_EQ(result.storedRecords, 3) << "the damaged record stays, without its memo";
    dbase::Table& table = db.folder->browseTable();
    table.first();
    EXPECT_EQ(store::columnText(table, Database::description), "Penny Black");
    EXPECT_TRUE(table.isNull(Database::notes));
    EXPECT_EQ(store::columnBlob(table, Database::picture), randomBytes(5000, 1));
}

TEST(TableMaintenance, BackupThenRestoreGivesBackEveryRecordByteForByte)
{
    Database db;
    db.open();
    fillCatalog(db);
    const auto values = tableValues(db.session.folders.database, "data.dbf");
    store::TableMaintenance maintenance(*db.folder, db.prompts);

    Progress progress;
    const store::MaintenanceResult backup = maintenance.BackupTable(&progress);
    ASSERT_EQ(backup.outcome, Outcome::Succeeded);
    EXPECT_EQ(backup.storedRecords, 3);
    EXPECT_EQ(progress.steps, 3);
    EXPECT_EQ(tableValues(db.session.folders.database + "/BACKUP", "data.dbf"), values);
    {
        dbase::Table copy;
        copy.open(QFile::encodeName(db.file("BACKUP")).toStdString(), "data.dbf");
        EXPECT_TRUE(copy.tags().empty()) << "a backup carries no index tags";
    }

    // Everything changes after the backup ...
    dbase::Table& table = db.folder->browseTable();
    table.first();
    table.deleteRecord();
    table.edit();
    store::setColumnText(table, Database::description, "changed");
    store::setColumnBlob(table, Database::picture, "other");
    table.post();
    db.appendStamps(2);

    // ... and the restore brings back what was backed up, renumbered.
    const store::MaintenanceResult restore = maintenance.RestoreTable(false, &progress);
    ASSERT_EQ(restore.outcome, Outcome::Succeeded);
    EXPECT_EQ(restore.storedRecords, 3);
    EXPECT_EQ(tableValues(db.session.folders.database, "data.dbf"), values);
    EXPECT_EQ(tableNumbers(db.session.folders.database, "data.dbf"), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(tableValues(db.session.folders.database, "TEMP$$$.DBF").size(), 4u);
    ASSERT_TRUE(table.isOpen());
    EXPECT_EQ(table.tags().size(), 1u) << "the restored table has the template's tags";
    db.appendStamps(1);
    EXPECT_EQ(recordNumbers(table).back(), 4);
    EXPECT_TRUE(db.prompts.messages.isEmpty()) << db.prompts.messages.join("\n").toStdString();
}

TEST(TableMaintenance, ANewBackupReplacesTheOldOne)
{
    Database db;
    db.open();
    db.appendStamps(5);
    store::TableMaintenance maintenance(*db.folder, db.prompts);
    ASSERT_TRUE(maintenance.BackupTable().succeeded());
    dbase::Table& table = db.folder->browseTable();
    table.first();
    table.deleteRecord();
    ASSERT_TRUE(maintenance.BackupTable().succeeded());
    EXPECT_EQ(tableNumbers(db.file("BACKUP"), "data.dbf"), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_FALSE(QFile::exists(db.backupFile("TEMP$00.DBF")));
}

TEST(TableMaintenance, ABackupFolderThatIsMissingIsCreated)
{
    Database db;
    ASSERT_TRUE(QDir(db.file("BACKUP")).removeRecursively());
    db.open();
    db.appendStamps(2);
    EXPECT_TRUE(store::TableMaintenance(*db.folder, db.prompts).BackupTable().succeeded());
    EXPECT_EQ(tableNumbers(db.file("BACKUP"), "data.dbf"), (std::vector<int>{1, 2}));
}

TEST(TableMaintenance, RestoreWithoutABackupChangesNothing)
{
    Database db;
    db.open();
    db.appendStamps(2);
    const QByteArray records = db.read(db.file("data.dbf"));
    const store::MaintenanceResult result =
        store::TableMaintenance(*db.folder, db.prompts).RestoreTable(true);
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(result.failedRecords, 0);
    EXPECT_EQ(db.read(db.file("data.dbf")), records);
    EXPECT_FALSE(QFile::exists(db.file("TEMP$$$.DBF")));
    EXPECT_EQ(db.folder->browseTable().recordCount(), 2);
}

TEST(TableMaintenance, BackupLeavesExactlyTheFoldersListsInTheBackup)
{
    Database db;
    writeLists(db.session.folders.database, 3, "live");
    writeLists(db.file("BACKUP"), 5, "old");
    db.open();
    ASSERT_TRUE(store::TableMaintenance(*db.folder, db.prompts).BackupTable().succeeded());
    EXPECT_EQ(listFilesIn(db.file("BACKUP")),
              QStringList({"list1.dbf", "list1.mdx", "list2.dbf", "list2.mdx", "list3.dbf", "list3.mdx"}));
    EXPECT_EQ(db.read(db.backupFile("list2.mdx")), "live2");
}

TEST(TableMaintenance, RestoreBringsBackTheListsOnlyWhenAsked)
{
    for (bool withLists : {false, true}) {
        SCOPED_TRACE(withLists);
        Database db;
        db.open();
        db.appendStamps(1);
        writeLists(db.session.folders.database, 2, "backed up");
        store::TableMaintenance maintenance(*db.folder, db.prompts);
        ASSERT_TRUE(maintenance.BackupTable().succeeded());
        writeLists(db.session.folders.database, 4, "changed");
        ASSERT_TRUE(maintenance.RestoreTable(withLists).succeeded());
        if (withLists) {
            EXPECT_EQ(listFilesIn(db.session.folders.database).size(), 4u);
            EXPECT_EQ(db.read(db.file("list1.dbf")), "backed up1");
        } else {
            EXPECT_EQ(listFilesIn(db.session.folders.database).size(), 8u);
            EXPECT_EQ(db.read(db.file("list1.dbf")), "changed1");
        }
    }
}

TEST(TableMaintenance, CopyingListsStopsAtTheFirstIncompleteList)
{
    Database db;
    const QString source = db.folderBeside("source");
    const QString target = db.folderBeside("target");
    writeLists(source, 3, "s");
    ASSERT_TRUE(QFile::remove(source + "/list2.mdx"));
    store::CopyListFiles(source, target);
    EXPECT_EQ(listFilesIn(target), QStringList({"list1.dbf", "list1.mdx", "list2.dbf"}));
}

// Another user has the table open: nothing that needs the table to itself may go on, and nothing changes.
TEST(TableMaintenance, EveryOperationNeedingExclusiveUseRefusesWhileAnotherUserHasTheTable)
{
    Database db;
    db.open();
    db.appendStamps(3);
    store::TableMaintenance maintenance(*db.folder, db.prompts);
    ASSERT_TRUE(maintenance.BackupTable().succeeded());
    dbase::Table& table = db.folder->browseTable();
    table.first();
    table.deleteRecord();
    table.setActiveTag("IDX0");
    const QByteArray records = db.read(db.file("data.dbf"));
    TablePeer peer = TablePeer::holdingOpen(db.session.folders.database, "data.dbf", false);
    ASSERT_TRUE(peer.ready());

    struct Case
    {
        const char* name;
        std::function<bool()> run;
    };
    const std::vector<Case> cases{
        {"repair", [&] { return maintenance.RepairTable().outcome == Outcome::TableInUse; }},
        {"backup", [&] { return maintenance.BackupTable().outcome == Outcome::TableInUse; }},
        {"restore", [&] { return maintenance.RestoreTable(true).outcome == Outcome::TableInUse; }},
        {"pack", [&] { return !maintenance.PackTable(table, true); }},
        {"reindex", [&] { return !maintenance.RegenerateIndexes(table); }},
        {"empty", [&] { return !maintenance.EmptyTable(table); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        db.prompts.messages.clear();
        EXPECT_TRUE(c.run());
        EXPECT_EQ(db.prompts.messages,
                  QStringList("error: Function Failed!\nDatabase may be used by someone else - this function "
                              "requires Exclusive Database Use."));
        EXPECT_EQ(db.read(db.file("data.dbf")), records);
        ASSERT_TRUE(table.isOpen());
        EXPECT_EQ(table.activeTag(), "IDX0");
        EXPECT_EQ(table.recordCount(), 2);
    }
    EXPECT_FALSE(QFile::exists(db.file("TEMP$$$.DBF")));
    EXPECT_EQ(tableNumbers(db.file("BACKUP"), "data.dbf").size(), 3u) << "the backup is untouched";
}

TEST(TableMaintenance, PackRemovesDeletedRecordsAndLeavesTheTableAsItWas)
{
    Database db;
    db.open();
    db.appendStamps(4);
    dbase::Table& table = db.folder->browseTable();
    table.setActiveTag("IDX0");
    table.first();
    table.deleteRecord();
    store::TableMaintenance maintenance(*db.folder, db.prompts);
    EXPECT_TRUE(maintenance.PackTable(table, true));
    EXPECT_FALSE(table.isExclusive());
    EXPECT_EQ(table.activeTag(), "IDX0");
    EXPECT_EQ(recordNumbers(table), (std::vector<int>{3, 4, 5}));
    {
        dbase::Table raw;
        raw.open(QFile::encodeName(db.session.folders.database).toStdString(), "data.dbf");
        EXPECT_EQ(raw.recordCount(), 3);
        EXPECT_EQ(raw.recordNumber(), 1u) << "the deleted record has left the file";
    }

    EXPECT_TRUE(maintenance.RegenerateIndexes(table));
    EXPECT_EQ(recordNumbers(table), (std::vector<int>{3, 4, 5}));
    EXPECT_TRUE(db.prompts.messages.isEmpty()) << db.prompts.messages.join("\n").toStdString();
}

TEST(TableMaintenance, PackingTheTableListKeepsItOnTheOpenTablesEntry)
{
    Database db;
    db.open();
    db.appendStamps(1);
    dbase::Table& list = db.folder->tableList();
    list.append();
    store::setColumnText(list, store::tablelist::fileNameColumn, "data_1.dbf");
    list.post();
    list.deleteRecord();
    store::TableMaintenance maintenance(*db.folder, db.prompts);
    EXPECT_TRUE(maintenance.PackTable(list, true));
    EXPECT_EQ(list.activeTag(), "IDX0");
    EXPECT_EQ(db.folder->databaseName(), "data.dbf");
    db.appendStamps(1);
    EXPECT_EQ(recordNumbers(db.folder->browseTable()), (std::vector<int>{2, 3}));
}

TEST(TableMaintenance, EmptyingRemovesEveryRecordButNumbersGoOn)
{
    Database db;
    db.open();
    fillCatalog(db);
    dbase::Table& table = db.folder->browseTable();
    EXPECT_TRUE(store::TableMaintenance(*db.folder, db.prompts).EmptyTable(table));
    EXPECT_EQ(table.recordCount(), 0);
    EXPECT_FALSE(table.isExclusive());
    db.appendStamps(1);
    EXPECT_EQ(recordNumbers(table), (std::vector<int>{5}));
}
