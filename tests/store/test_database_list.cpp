#include "DatabaseFixture.h"
#include "store/DatabaseList.h"
#include "TablePeer.h"

#include <gtest/gtest.h>
#include <optional>

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

// The record window's database open, and the list of databases the dialog shows.
struct Listed : Database
{
    Listed() { open(); }
    // The databases of folder, by default the database folder, read afresh.
    store::DatabaseList& show(const QString& where = {})
    {
        if (!list)
            list.emplace(*folder, prompts);
        EXPECT_TRUE(list->showFolder(where.isEmpty() ? session.folders.database : where));
        return *list;
    }
    std::optional<store::DatabaseList> list;
};

} // namespace

TEST(DatabaseList, ListsTheDatabasesOfAFolderInFileNameOrder)
{
    Listed db;
    listTables(*db.folder, {"data_2.dbf", "DATA_1.DBF"});
    store::DatabaseList& list = db.show();
    EXPECT_EQ(fileNames(list), QStringList({"data.dbf", "DATA_1.DBF", "data_2.dbf"}));
    EXPECT_EQ(list.entries()[0].name, "data.dbf");
    EXPECT_EQ(list.realFileName(2), (db.session.folders.database + "/data_2.dbf").toUpper());
    EXPECT_EQ(list.indexOf("data_1.dbf"), 1);
}

TEST(DatabaseList, NewTakesTheSmallestFreeNumberAndCreatesTheTable)
{
    Listed db;
    listTables(*db.folder, {"data_1.dbf", "data_3.dbf"});
    store::DatabaseList& list = db.show();
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
    Listed db;
    db.appendStamps(2);
    db.close();
    for (const char* ext : {"dbf", "dbt", "mdx"})
        ASSERT_TRUE(
            QFile::rename(db.file(QStringLiteral("data.") + ext), db.file(QStringLiteral("data_1.") + ext)));
    db.open();
    store::DatabaseList& list = db.show();
    ASSERT_EQ(list.entries()[list.addEntry("Found again", {})].fileName, "data_1.dbf");
    EXPECT_EQ(tableNumbers(db.session.folders.database, "data_1.dbf").size(), 2u);
}

TEST(DatabaseList, NewRefusesWhenAll999NamesAreListed)
{
    Listed db;
    QStringList names;
    for (int n = 1; n <= 999; ++n)
        names.append(QStringLiteral("data_%1.dbf").arg(n));
    listTables(*db.folder, names);
    store::DatabaseList& list = db.show();
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
    Listed db;
    ASSERT_TRUE(db.show().updateEntry("DATA.DBF", "Main catalog", QString(250, QLatin1Char('d'))));
    EXPECT_EQ(db.list->entries()[0].name, "Main catalog");
    db.list.reset();
    EXPECT_EQ(db.folder->databaseName(), "Main catalog");
    db.close();
    db.open();
    EXPECT_EQ(db.show().entries()[0].description, QString(250, QLatin1Char('d')));
}

TEST(DatabaseList, DeleteRemovesTheEntryAndTheTableHereAndInTheBackup)
{
    Listed db;
    store::DatabaseList& list = db.show();
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
    Listed db;
    store::DatabaseList& list = db.show();
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
    Listed db;
    store::DatabaseList& list = db.show();
    EXPECT_FALSE(list.deleteEntry("data_5.dbf"));
    EXPECT_EQ(db.prompts.messages, QStringList("error: Table Could Not Be Deleted!"));
}

TEST(DatabaseList, AnotherFolderIsListedAndTheTableListReturnsAfterwards)
{
    Listed db;
    db.appendStamps(1);
    const QString privateFolder = db.folderBeside("data0001");
    store::DatabaseList& list = db.show(privateFolder);
    EXPECT_TRUE(list.entries().isEmpty());
    const int index = list.addEntry("Mine", {});
    EXPECT_EQ(list.entries()[index].fileName, "data_1.dbf");
    EXPECT_TRUE(QFile::exists(privateFolder + "/data_1.dbf"));
    EXPECT_TRUE(list.prepareToLoad("data_1.dbf"));
    EXPECT_TRUE(list.prepareToLoad("data_9.dbf"));
    EXPECT_TRUE(QFile::exists(privateFolder + "/data_9.dbt"));
    list.finish();
    EXPECT_EQ(db.folder->databaseName(), "data.dbf");
    db.appendStamps(1);
    EXPECT_EQ(recordNumbers(db.folder->browseTable()), (std::vector<int>{2, 3}));
    EXPECT_TRUE(db.prompts.messages.isEmpty()) << db.prompts.messages.join("\n").toStdString();
}

TEST(DatabaseList, ATableListThatCannotBeOpenedIsReported)
{
    Database db;
    db.open();
    const QString broken = db.folderBeside("broken");
    db.program.write("broken/master.dbf", "not a table");
    store::DatabaseList list(*db.folder, db.prompts);
    db.prompts.answerYes = false;
    EXPECT_FALSE(list.showFolder(broken));
    EXPECT_TRUE(list.entries().isEmpty());
    EXPECT_EQ(db.prompts.messages.last(), "error: Error openning master.dbf file!");
}
