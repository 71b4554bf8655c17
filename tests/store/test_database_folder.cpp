#include "ProgramFolder.h"
#include "ScriptedPrompts.h"
#include "dbase/Table.h"
#include "store/ColumnValues.h"
#include "store/DatabaseFolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

// A program folder with its public database folder as the session's database folder.
struct Database
{
    Database()
    {
        QDir().mkpath(program.file("DATA"));
        session.folders.program = program.path();
        session.folders.dataRoot = program.path();
        session.folders.publicDatabase = program.file("DATA");
        session.folders.settings = session.folders.publicDatabase;
        session.folders.database = session.folders.publicDatabase;
    }

    QString file(const QString& name) const { return session.folders.database + "/" + name; }

    // Appends records the way the record window does: numbered on insert, posted.
    void appendRecords(store::DatabaseFolder& folder, int count)
    {
        dbase::Table& table = folder.browseTable();
        for (int i = 0; i < count; ++i) {
            table.append();
            store::setColumnText(table, 2, QStringLiteral("Stamp %1").arg(i + 1));
            table.post();
        }
    }

    ProgramFolder program;
    store::Session session;
    ScriptedPrompts prompts;
};

std::vector<int> recordNumbers(dbase::Table& table)
{
    std::vector<int> numbers;
    for (table.first(); !table.eof(); table.next())
        numbers.push_back(static_cast<int>(table.asNumber(0)));
    return numbers;
}

} // namespace

TEST(DatabaseFolder, AFreshFolderGetsItsTablesAndNumbersRecordsFromTheTableList)
{
    Database db;
    {
        store::DatabaseFolder folder(db.session, db.prompts);
        ASSERT_TRUE(folder.OpenDatabase()) << db.prompts.messages.join("\n").toStdString();
        EXPECT_EQ(folder.copyBuffer().recordCount(), 1); // the copy buffer's row 0
        EXPECT_EQ(folder.databaseName(), "data.dbf");
        db.appendRecords(folder, 3);
        EXPECT_EQ(recordNumbers(folder.browseTable()), (std::vector<int>{2, 3, 4}));
    }
    for (const char* name : {"master.dbf", "master.mdx", "copy.dbf", "data.dbf", "data.dbt", "data.mdx"})
        EXPECT_TRUE(QFile::exists(db.file(name))) << name;
    store::DatabaseFolder folder(db.session, db.prompts);
    ASSERT_TRUE(folder.OpenDatabase());
    db.appendRecords(folder, 1);
    EXPECT_EQ(recordNumbers(folder.browseTable()).back(), 5) << "numbers are never given out twice";
    EXPECT_TRUE(db.prompts.messages.isEmpty()) << db.prompts.messages.join("\n").toStdString();
}

TEST(DatabaseFolder, ARecordTableWithoutItsMemoFileIsSetAsideAndReplaced)
{
    Database db;
    {
        store::DatabaseFolder folder(db.session, db.prompts);
        ASSERT_TRUE(folder.OpenDatabase());
        db.appendRecords(folder, 2);
    }
    ASSERT_TRUE(QFile::remove(db.file("data.dbt")));
    store::DatabaseFolder folder(db.session, db.prompts);
    ASSERT_TRUE(folder.OpenDatabase());
    ASSERT_EQ(db.prompts.messages.size(), 1);
    EXPECT_TRUE(db.prompts.messages[0].startsWith("warning: Could not Open the database! A new database will be created."));
    EXPECT_TRUE(QFile::exists(db.file("bad$$$.dbf")));
    EXPECT_TRUE(QFile::exists(db.file("bad$$$.mdx")));
    EXPECT_EQ(folder.browseTable().recordCount(), 0);
    EXPECT_TRUE(QFile::exists(db.file("data.dbt")));
}

TEST(DatabaseFolder, ADeletedIndexIsRestoredSilentlyFromTheSpare)
{
    Database db;
    {
        store::DatabaseFolder folder(db.session, db.prompts);
        ASSERT_TRUE(folder.OpenDatabase());
        db.appendRecords(folder, 4);
    }
    ASSERT_TRUE(QFile::remove(db.file("data.mdx")));
    store::DatabaseFolder folder(db.session, db.prompts);
    ASSERT_TRUE(folder.OpenDatabase());
    EXPECT_TRUE(db.prompts.messages.isEmpty()) << db.prompts.messages.join("\n").toStdString();
    dbase::Table& table = folder.browseTable();
    EXPECT_EQ(table.tags().size(), 1u);
    table.setActiveTag("IDX0");
    EXPECT_EQ(table.recordCount(), 4);
}
