#include "ScriptedPrompts.h"
#include "security/ActivityLog.h"
#include "security/TLogForm.h"
#include "settings/ValueReader.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

namespace {

using security::ActivityLog;

struct LogFolder
{
    QString path() const { return dir.path() + "/log.dat"; }
    void write(const QByteArray& bytes) const
    {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    // The descriptions in the file, read with a reader of its own.
    QStringList descriptions() const
    {
        settings::ValueReader reader(path());
        QStringList read;
        reader.ReadListBegin();
        while (!reader.EndOfList()) {
            QStringList entry;
            for (int i = 0; i < 4; ++i)
                entry.append(reader.ReadString());
            read.append(entry.at(2) + ": " + entry.at(3));
        }
        reader.ReadListEnd();
        return read;
    }

    QTemporaryDir dir;
    QDateTime now = QDateTime(QDate(2026, 3, 1), QTime(10, 0, 0));
};

TEST(ActivityLog, EntriesAreWrittenAtOnceAndRepeatsWithinASecondAreDropped)
{
    LogFolder folder;
    ActivityLog log(folder.path(), [&folder] { return folder.now; });
    struct Step
    {
        int secondsLater;
        const char* database;
        const char* description;
    } steps[] = {
        {0, "Stamps", "Database Backed Up - 12 records."},
        {0, "Stamps", "Database Backed Up - 12 records."}, // the same backup twice in one second
        {0, "Covers", "Database Backed Up - 12 records."},
        {1, "Stamps", "Database Backed Up - 12 records."},
        {0, "Stamps", "3 Records Replaced."},
    };
    for (const Step& step : steps) {
        folder.now = folder.now.addSecs(step.secondsLater);
        ASSERT_TRUE(log.AddEntry(step.database, step.description));
    }
    EXPECT_EQ(
        folder.descriptions(),
        QStringList({"Stamps: Database Backed Up - 12 records.", "Covers: Database Backed Up - 12 records.",
                     "Stamps: Database Backed Up - 12 records.", "Stamps: 3 Records Replaced."}));
    EXPECT_EQ(log.entries().first().Time, "10:00:00");
    EXPECT_EQ(log.entries().last().Time, "10:00:01");
    EXPECT_EQ(ActivityLog(folder.path()).entries(), log.entries()) << "read back as written";
}

TEST(ActivityLog, ADamagedFileOpensEmptyAndIsOverwritten)
{
    LogFolder folder;
    {
        ActivityLog log(folder.path(), [&folder] { return folder.now; });
        log.AddEntry("Stamps", "Database Packed.");
        log.AddEntry("Stamps", "Database Reindexed.");
    }
    QFile file(folder.path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    file.close();
    folder.write(whole.left(whole.size() - 5));
    ActivityLog damaged(folder.path(), [&folder] { return folder.now; });
    EXPECT_TRUE(damaged.entries().isEmpty()) << "nothing of a damaged log is kept";
    damaged.AddEntry("Stamps", "Database Repaired.");
    EXPECT_EQ(folder.descriptions(), QStringList({"Stamps: Database Repaired."}));
}

TEST(ActivityLog, AnUnwritableFileIsReported)
{
    LogFolder folder;
    ActivityLog log(folder.dir.path() + "/missing/log.dat");
    EXPECT_FALSE(log.AddEntry("Stamps", "Database Packed."));
    EXPECT_EQ(log.entries().size(), 1);
}

TEST(LogForm, DeletedRowsStayDeletedWhenTheProgramEnds)
{
    LogFolder folder;
    {
        ActivityLog log(folder.path(), [&folder] { return folder.now; });
        for (const char* description :
             {"Database Packed.", "Database Reindexed.", "Indexes Deleted.", "Database Repaired."})
            log.AddEntry("Stamps", description);
    }
    ScriptedPrompts prompts;
    {
        TLogForm form(folder.dir.path(), prompts);
        ASSERT_EQ(form.LogList->topLevelItemCount(), 4);
        EXPECT_EQ(form.LogList->topLevelItem(1)->text(3), "Database Reindexed.");
        EXPECT_EQ(form.LogList->headerItem()->text(2), "Database File");
        form.LogList->topLevelItem(0)->setSelected(true);
        form.LogList->topLevelItem(2)->setSelected(true);
        form.DeleteBtn->click();
        EXPECT_EQ(form.LogList->topLevelItemCount(), 4) << "answered No";
        prompts.answerYes = true;
        form.DeleteBtn->click();
        EXPECT_EQ(form.LogList->topLevelItemCount(), 2);
    }
    EXPECT_EQ(prompts.messages,
              QStringList({"question: Remove Selected Items?", "question: Remove Selected Items?"}));
    EXPECT_EQ(folder.descriptions(),
              QStringList({"Stamps: Database Reindexed.", "Stamps: Database Repaired."}));

    {
        TLogForm form(folder.dir.path(), prompts);
        form.ClearBtn->click();
        EXPECT_EQ(form.LogList->topLevelItemCount(), 0);
        form.AddEntry("Covers", "Database Packed.");
        EXPECT_EQ(form.LogList->topLevelItemCount(), 1);
    }
    EXPECT_EQ(folder.descriptions(), QStringList({"Covers: Database Packed."}));
}

} // namespace
