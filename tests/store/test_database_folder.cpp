#include "DatabaseFixture.h"
#include "TablePeer.h"

#include <gtest/gtest.h>

TEST(DatabaseFolder, AFreshFolderGetsItsTablesAndNumbersRecordsFromTheTableList)
{
    Database db;
    db.open();
    EXPECT_EQ(db.folder->copyBuffer().recordCount(), 1); // the copy buffer's row 0
    EXPECT_EQ(db.folder->databaseName(), "data.dbf");
    EXPECT_FALSE(db.folder->recordTableReplaced());
    db.appendStamps(3);
    EXPECT_EQ(recordNumbers(db.folder->browseTable()), (std::vector<int>{2, 3, 4}));
    db.close();
    for (const char* name : {"master.dbf", "master.mdx", "copy.dbf", "data.dbf", "data.dbt", "data.mdx"})
        EXPECT_TRUE(QFile::exists(db.file(name))) << name;
    db.open();
    db.appendStamps(1);
    EXPECT_EQ(recordNumbers(db.folder->browseTable()).back(), 5) << "numbers are never given out twice";
    EXPECT_TRUE(db.prompts.messages.isEmpty()) << db.prompts.messages.join("\n").toStdString();
}

TEST(DatabaseFolder, ARecordTableWithoutItsMemoFileIsSetAsideAndReplaced)
{
    Database db;
    db.open();
    db.appendStamps(2);
    db.close();
    const QByteArray damaged = db.read(db.file("data.dbf"));
    ASSERT_TRUE(QFile::remove(db.file("data.dbt")));
    // What an earlier replacement set aside goes, all of it: its memo file must not pass for this table's.
    for (const char* ext : {"dbf", "dbt", "mdx"})
        db.program.write(QStringLiteral("DATA/bad$$$.") + ext, "older");

    db.open();
    ASSERT_EQ(db.prompts.messages.size(), 1);
    EXPECT_EQ(db.prompts.messages[0],
              "warning: Could not Open the database! A new database will be created. The original file (if "
              "existed) was renamed to BAD$$$.DBF.");
    EXPECT_EQ(db.read(db.file("bad$$$.dbf")), damaged);
    EXPECT_TRUE(QFile::exists(db.file("bad$$$.mdx")));
    EXPECT_FALSE(QFile::exists(db.file("bad$$$.dbt")));
    EXPECT_TRUE(db.folder->recordTableReplaced());
    dbase::Table& table = db.folder->browseTable();
    EXPECT_EQ(table.recordCount(), 0);
    EXPECT_EQ(table.tags().size(), 1u) << "the new table keeps the template's tags";
    EXPECT_TRUE(QFile::exists(db.file("data.dbt")));
    db.appendStamps(1);
    EXPECT_EQ(recordNumbers(table), (std::vector<int>{4})) << "the table list still counts on";
}

// The spare index: "DATA.MDX" for data.dbf, "MASTER.MDX" for the table list, the template's index under
// the table's own name for any other record table.
TEST(DatabaseFolder, ADeletedIndexIsRestoredSilentlyFromTheSpare)
{
    struct Case
    {
        const char* table;
        const char* index;
    };
    for (const Case& c :
         {Case{"data.dbf", "data.mdx"}, Case{"data_7.dbf", "data_7.mdx"}, Case{"data.dbf", "master.mdx"}}) {
        SCOPED_TRACE(c.index);
        Database db;
        db.session.tableFileName = c.table;
        db.open();
        db.appendStamps(4);
        db.close();
        ASSERT_TRUE(QFile::remove(db.file(c.index)));

        db.open();
        EXPECT_TRUE(db.prompts.messages.isEmpty()) << db.prompts.messages.join("\n").toStdString();
        EXPECT_FALSE(db.folder->recordTableReplaced());
        dbase::Table& table = db.folder->browseTable();
        ASSERT_EQ(table.tags().size(), 1u);
        table.setActiveTag("IDX0");
        EXPECT_EQ(table.recordCount(), 4);
        EXPECT_TRUE(db.folder->findTableListEntry(c.table));
        db.appendStamps(1);
        EXPECT_EQ(recordNumbers(table).back(), 6);
    }
}

TEST(DatabaseFolder, LoadingAnotherDatabaseOpensItsFolderAndNumbersFromItsOwnList)
{
    Database db;
    db.open();
    db.appendStamps(2);
    const QString privateFolder = db.folderBeside("data0001");

    EXPECT_TRUE(db.folder->isOpenDatabase(db.session.folders.publicDatabase, "DATA.DBF"));
    EXPECT_FALSE(db.folder->isOpenDatabase(privateFolder, "data.dbf"));
    ASSERT_TRUE(db.folder->LoadDatabase(privateFolder, "data_2.dbf"));
    EXPECT_EQ(db.session.folders.database, privateFolder);
    EXPECT_EQ(db.session.tableFileName, "data_2.dbf");
    EXPECT_TRUE(db.folder->isOpenDatabase(privateFolder, "data_2.dbf"));
    EXPECT_EQ(db.folder->browseTable().recordCount(), 0);
    EXPECT_TRUE(db.folder->browseTable().activeTag().empty());
    for (const char* name : {"master.dbf", "copy.dbf", "data_2.dbf", "data_2.dbt"})
        EXPECT_TRUE(QFile::exists(privateFolder + "/" + name)) << name;
    EXPECT_EQ(db.folder->windowTitle(), "Kestovan Stamp Tessary - Database: data_2.dbf");
    db.appendStamps(1);
    EXPECT_EQ(recordNumbers(db.folder->browseTable()), (std::vector<int>{2}));

    ASSERT_TRUE(db.folder->LoadDatabase(db.session.folders.publicDatabase, "data.dbf"));
    db.appendStamps(1);
    EXPECT_EQ(recordNumbers(db.folder->browseTable()), (std::vector<int>{2, 3, 4}));
    EXPECT_TRUE(db.prompts.messages.isEmpty()) << db.prompts.messages.join("\n").toStdString();
}

TEST(DatabaseFolder, ReadOnlyModeIsMarkedInTheTitle)
{
    Database db;
    db.session.publicAccess = store::PublicAccess::ReadOnly;
    db.open();
    EXPECT_EQ(db.folder->windowTitle(), "Kestovan Stamp Tessary - Database: data.dbf [Read Only Mode]");
    const QString privateFolder = db.folderBeside("data0001");
    ASSERT_TRUE(db.folder->LoadDatabase(privateFolder, "data.dbf"));
    EXPECT_EQ(db.folder->windowTitle(), "Kestovan Stamp Tessary - Database: data.dbf");
}

TEST(DatabaseFolder, TheTableListComesBackToTheOpenTableAfterVisitingAnotherFolder)
{
    Database db;
    db.open();
    db.appendStamps(1);
    const QString other = db.folderBeside("data0002");
    ASSERT_TRUE(db.folder->openTableListIn(other));
    EXPECT_TRUE(QFile::exists(other + "/master.dbf")) << "a folder without a table list gets one";
    EXPECT_EQ(db.folder->tableList().recordCount(), 0);
    ASSERT_TRUE(db.folder->returnTableList());
    EXPECT_EQ(db.folder->databaseName(), "data.dbf");
    db.appendStamps(1);
    EXPECT_EQ(recordNumbers(db.folder->browseTable()), (std::vector<int>{2, 3}));
}

TEST(DatabaseFolder, ATableHeldByAnotherUserIsNotTakenForDamaged)
{
    Database db;
    db.open();
    db.appendStamps(3);
    db.close();
    const QByteArray records = db.read(db.file("data.dbf"));
    TablePeer peer = TablePeer::holdingOpen(db.session.folders.database, "data.dbf", true);
    ASSERT_TRUE(peer.ready());
    store::DatabaseFolder folder(db.session, db.prompts);
    EXPECT_FALSE(folder.OpenDatabase());
    EXPECT_EQ(db.prompts.messages,
              QStringList({"question: Cannot open the file: data.dbf\nRetry?",
                           "error: Could not Open the database! It is in use by someone else."}));
    peer.release();
    EXPECT_FALSE(QFile::exists(db.file("bad$$$.dbf")));
    EXPECT_EQ(db.read(db.file("data.dbf")), records);
    db.prompts.messages.clear();
    db.open();
    EXPECT_EQ(db.folder->browseTable().recordCount(), 3);
}
