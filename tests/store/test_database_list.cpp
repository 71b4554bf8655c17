#include "DatabaseFixture.h"
#include "store/DatabaseList.h"
#include "TablePeer.h"

#include <gtest/gtest.h>

namespace {

QStringList fileNames(const store::DatabaseList& list)
{
    QStringList names;
    for (const store::DatabaseEntry& entry : list.entries())
        names.append(entry.fileName);
    return names;
}

// Lists the file names in the folder's table list directly, as the program's table list would hold them.
void listTables(store::DatabaseFolder& folder, const QStringList& names)
{
    dbase::Table& list = folder.tableList();
    for (const QString& name : names) {
        list.append();
        store::setColumnText(list, store::tablelist::fileNameColumn, name);
        store::setColumnText(list, store::tablelist::databaseNameColumn, name);
        list.post();
    }
}

} // namespace

TEST(DatabaseList, ListsTheDatabasesOfAFolderInFileNameOrder)
{
    Database db;
    db.open();
    listTables(*db.folder, {"data_2.dbf", "DATA_1.DBF"});
    store::DatabaseList list(*db.folder, db.prompts);
    ASSERT_TRUE(list.showFolder(db.session.folders.database));
    EXPECT_EQ(fileNames(list), QStringList({"data.dbf", "DATA_1.DBF", "data_2.dbf"}));
    EXPECT_EQ(list.entries()[0].name, "data.dbf");
    EXPECT_EQ(list.realFileName(2), (db.session.folders.database + "/data_2.dbf").toUpper());
    EXPECT_EQ(list.indexOf("data_1.dbf"), 1);
}

TEST(DatabaseList, NewTakesTheSmallestFreeNumberAndCreatesTheTable)
{
    Database db;
    db.open();
    listTables(*db.folder, {"data_1.dbf", "data_3.dbf"});
    store::DatabaseList list(*db.folder, db.prompts);
    ASSERT_TRUE(list.showFolder(db.session.folders.database));
    const int index = list.addEntry("Airmail", "Stamps that flew");
    ASSERT_GE(index, 0);
    const store::DatabaseEntry& entry = list.entries()[index];
    EXPECT_EQ(entry.fileName, "data_2.dbf");
    EXPECT_EQ(entry.name, "Airmail");
    EXPECT_EQ(entry.description, "Stamps that flew");
    dbase::Table table;
    table.open(QFile::encodeName(db.session.folders.database).toStdString(), "data_2.dbf");
    EXPECT_EQ(table.tags().size(), 1u) << "a new database keeps the template's tags";
    const int next = list.addEntry("Next", {});
    EXPECT_EQ(list.entries()[next].fileName, "data_4.dbf");
}

TEST(DatabaseList, NewAdoptsATableFileThatIsNotListedYet)
{
    Database db;
    db.open();
    db.appendStamps(2);
    db.close();
    for (const char* ext : {"dbf", "dbt", "mdx"})
        ASSERT_TRUE(
            QFile::rename(db.file(QStringLiteral("data.") + ext), db.file(QStringLiteral("data_1.") + ext)));
    db.open();
    store::DatabaseList list(*db.folder, db.prompts);
    ASSERT_TRUE(list.showFolder(db.session.folders.database));
    ASSERT_EQ(list.entries()[list.addEntry("Found again", {})].fileName, "data_1.dbf");
    EXPECT_EQ(tableNumbers(db.session.folders.database, "data_1.dbf").size(), 2u);
}

TEST(DatabaseList, NewRefusesWhenAll999NamesAreListed)
{
    Database db;
    db.open();
    QStringList names;
    for (int n = 1; n <= 999; ++n)
        names.append(QStringLiteral("data_%1.dbf").arg(n));
    listTables(*db.folder, names);
    store::DatabaseList list(*db.folder, db.prompts);
    ASSERT_TRUE(list.showFolder(db.session.folders.database));
    EXPECT_EQ(list.entries().size(), 1000);
    EXPECT_TRUE(list.freeFileName().isEmpty());
    EXPECT_EQ(list.addEntry("One too many", {}), -1);
    EXPECT_EQ(
        db.prompts.messages,
        QStringList("information: Cannot Create a new Table! You have reached the limit of 999 per user."));
    EXPECT_EQ(list.entries().size(), 1000);
    EXPECT_FALSE(QFile::exists(db.file("data_1000.dbf")));
}

TEST(DatabaseList, EditWritesNameAndDescriptionBack)
{
    Database db;
    db.open();
    {
        store::DatabaseList list(*db.folder, db.prompts);
        ASSERT_TRUE(list.showFolder(db.session.folders.database));
        ASSERT_TRUE(list.updateEntry("DATA.DBF", "Main catalog", QString(250, QLatin1Char('d'))));
        EXPECT_EQ(list.entries()[0].name, "Main catalog");
    }
    EXPECT_EQ(db.folder->databaseName(), "Main catalog");
    db.close();
    db.open();
    store::DatabaseList list(*db.folder, db.prompts);
    ASSERT_TRUE(list.showFolder(db.session.folders.database));
    EXPECT_EQ(list.entries()[0].description, QString(250, QLatin1Char('d')));
}

TEST(DatabaseList, DeleteRemovesTheEntryAndTheTableHereAndInTheBackup)
{
    Database db;
    db.open();
    store::DatabaseList list(*db.folder, db.prompts);
    ASSERT_TRUE(list.showFolder(db.session.folders.database));
    list.addEntry("Old", {});
    list.addEntry("Older", {});
    ASSERT_TRUE(QFile::copy(db.file("data_1.dbf"), db.backupFile("data_1.dbf")));
    ASSERT_TRUE(QFile::copy(db.file("data_1.dbt"), db.backupFile("data_1.dbt")));
    ASSERT_TRUE(list.canDelete("data_1.dbf"));
    ASSERT_TRUE(list.deleteEntry("data_1.dbf"));
    EXPECT_EQ(db.prompts.messages, QStringList("information: Table Deleted."));
    EXPECT_EQ(fileNames(list), QStringList({"data.dbf", "data_2.dbf"}));
    for (const char* ext : {"dbf", "dbt", "mdx"}) {
        EXPECT_FALSE(QFile::exists(db.file(QStringLiteral("data_1.") + ext))) << ext;
        EXPECT_FALSE(QFile::exists(db.backupFile(QStringLiteral("data_1.") + ext))) << ext;
    }
    dbase::Table master;
    master.open(QFile::encodeName(db.session.folders.database).toStdString(), "master.dbf");
    master.last();
    EXPECT_EQ(master.recordNumber(), 2u) << "the table list was packed";
}

TEST(DatabaseList, ATableInUseCannotBeDeleted)
{
    Database db;
    db.open();
    store::DatabaseList list(*db.folder, db.prompts);
    ASSERT_TRUE(list.showFolder(db.session.folders.database));
    EXPECT_FALSE(list.canDelete("data.dbf")) << "the record window has it open";
    list.addEntry("Shared", {});
    TablePeer peer = TablePeer::holdingOpen(db.session.folders.database, "data_1.dbf", false);
    ASSERT_TRUE(peer.ready());
    EXPECT_FALSE(list.canDelete("data_1.dbf"));
    EXPECT_EQ(db.prompts.messages,
              QStringList(2, "information: Table in use - cannot be deleted at this time!"));
    peer.release();
    EXPECT_TRUE(list.canDelete("data_1.dbf"));
    EXPECT_TRUE(list.canDelete("never_there.dbf"));
}

TEST(DatabaseList, DeletingAnEntryThatIsGoneReportsIt)
{
    Database db;
    db.open();
    store::DatabaseList list(*db.folder, db.prompts);
    ASSERT_TRUE(list.showFolder(db.session.folders.database));
    EXPECT_FALSE(list.deleteEntry("data_5.dbf"));
    EXPECT_EQ(db.prompts.messages, QStringList("error: Table Could Not Be Deleted!"));
}

TEST(DatabaseList, AnotherFolderIsListedAndTheTableListReturnsAfterwards)
{
    Database db;
    db.open();
    db.appendStamps(1);
    const QString privateFolder = db.program.file("data0001");
    ASSERT_TRUE(QDir().mkpath(privateFolder));
    {
        store::DatabaseList list(*db.folder, db.prompts);
        ASSERT_TRUE(list.showFolder(privateFolder));
        EXPECT_TRUE(list.entries().isEmpty());
        const int index = list.addEntry("Mine", {});
        EXPECT_EQ(list.entries()[index].fileName, "data_1.dbf");
        EXPECT_TRUE(QFile::exists(privateFolder + "/data_1.dbf"));
        EXPECT_TRUE(list.prepareToLoad("data_1.dbf"));
        EXPECT_TRUE(list.prepareToLoad("data_9.dbf"));
        EXPECT_TRUE(QFile::exists(privateFolder + "/data_9.dbt"));
    }
    EXPECT_EQ(db.folder->databaseName(), "data.dbf");
    db.appendStamps(1);
    EXPECT_EQ(recordNumbers(db.folder->browseTable()), (std::vector<int>{2, 3}));
    EXPECT_TRUE(db.prompts.messages.isEmpty()) << db.prompts.messages.join("\n").toStdString();
}

TEST(DatabaseList, ATableListThatCannotBeOpenedIsReported)
{
    Database db;
    db.open();
    const QString broken = db.program.file("broken");
    ASSERT_TRUE(QDir().mkpath(broken));
    db.program.write("broken/master.dbf", "not a table");
    store::DatabaseList list(*db.folder, db.prompts);
    db.prompts.answerYes = false;
    EXPECT_FALSE(list.showFolder(broken));
    EXPECT_TRUE(list.entries().isEmpty());
    EXPECT_EQ(db.prompts.messages.last(), "error: Error openning master.dbf file!");
}
