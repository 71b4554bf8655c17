#include "DatabaseFixture.h"
#include "settings/TextFile.h"
#include "store/RecordTemplateRows.h"
#include "store/TRecordTemplateList.h"
#include "TablePeer.h"

#include <gtest/gtest.h>

namespace {

constexpr int issued = 7;      // date, field 6
constexpr int customDate = 27; // date, field 26
constexpr int country = 3;     // text

// A database folder with the record-template list of its settings folder.
struct Templates : Database
{
    Templates() { open(); }

    dbase::Table& copyBuffer() { return folder->copyBuffer(); }

    // What "Save Record To Template" does with the form: its template's row gets the description.
    int save(const QString& name, const QString& text, const QList<int>& todayColumns = {})
    {
        int index = list->FindTemplate(name);
        if (index < 0) {
            EXPECT_TRUE(list->AddTemplate(name));
            index = list->Count() - 1;
        }
        store::PrepareTemplateRow(copyBuffer(), index);
        copyBuffer().edit();
        store::setColumnText(copyBuffer(), description, text);
        copyBuffer().post();
        store::SetTodayMarkers(copyBuffer(), todayColumns);
        return index;
    }
    // The description the template's row holds; empty when it has no row.
    QString applied(const QString& name)
    {
        const int index = list->FindTemplate(name);
        if (index < 0 || !store::GoToTemplateRow(copyBuffer(), index))
            return {};
        return store::columnText(copyBuffer(), description);
    }

    std::unique_ptr<store::TRecordTemplateList> list =
        std::make_unique<store::TRecordTemplateList>(session.folders.settings);
};

} // namespace

TEST(RecordTemplates, NamesAreWrittenToRecordsTmlAsTheyChange)
{
    Templates t;
    EXPECT_EQ(t.list->Count(), 0) << "no file, no names";
    ASSERT_TRUE(t.list->AddTemplate("Mint"));
    ASSERT_TRUE(t.list->AddTemplate("mint"));
    ASSERT_TRUE(t.list->AddTemplate("Used"));
    EXPECT_EQ(t.read(t.file("records.tml")), "Mint\r\nmint\r\nUsed\r\n");
    EXPECT_EQ(t.list->FindTemplate("mint"), 1);
    EXPECT_EQ(t.list->FindTemplate("MINT"), -1);

    EXPECT_FALSE(t.list->AddTemplate(""));
    EXPECT_FALSE(t.list->AddTemplate("two\nlines")) << "it would come back as two names";
    EXPECT_EQ(t.list->Count(), 3);

    t.list->DeleteTemplate(1);
    t.list->DeleteTemplate(7);
    EXPECT_EQ(t.read(t.file("records.tml")), "Mint\r\nUsed\r\n");
    store::TRecordTemplateList again(t.session.folders.settings);
    EXPECT_EQ(again.Names(), (QStringList{"Mint", "Used"}));
}

TEST(RecordTemplates, RowsFollowTheNamesThroughSavingOverwritingAndDeleting)
{
    Templates t;
    t.save("A", "first");
    t.save("B", "second");
    t.save("C", "third");
    EXPECT_EQ(t.copyBuffer().recordCount(), 4) << "the copy buffer and three templates";
    EXPECT_EQ(t.applied("B"), "second");

    EXPECT_EQ(t.save("B", "second, again"), 1) << "an existing name keeps its place";
    EXPECT_EQ(t.copyBuffer().recordCount(), 4);
    EXPECT_EQ(t.applied("B"), "second, again");

    EXPECT_EQ(store::RemoveRecordTemplate(*t.list, *t.folder, 1), store::TemplateRemoval::Removed);
    EXPECT_EQ(t.list->Names(), (QStringList{"A", "C"}));
    EXPECT_EQ(t.applied("C"), "third") << "the third template now lives in the second row";
    EXPECT_EQ(t.applied("A"), "first");
    EXPECT_EQ(t.read(t.file("records.tml")), "A\r\nC\r\n");
    EXPECT_EQ(t.copyBuffer().recordCount(), 3);
    EXPECT_EQ(tableNumbers(t.session.folders.database, "copy.dbf").size(), 3u) << "packed";
}

TEST(RecordTemplates, AShortCopyBufferGrowsToTheTemplatesRow)
{
    Templates t;
    EXPECT_FALSE(store::GoToTemplateRow(t.copyBuffer(), 0));
    EXPECT_EQ(t.copyBuffer().recordNumber(), 1u) << "a missing row leaves the position alone";
    store::PrepareTemplateRow(t.copyBuffer(), 2);
    EXPECT_EQ(t.copyBuffer().recordCount(), 4);
    EXPECT_EQ(t.copyBuffer().recordNumber(), 4u);
    EXPECT_TRUE(store::GoToTemplateRow(t.copyBuffer(), 1));
    EXPECT_EQ(t.copyBuffer().recordNumber(), 3u);
}

TEST(RecordTemplates, TickedDateColumnsHoldTheTodayMarker)
{
    Templates t;
    EXPECT_EQ(store::TemplateDateColumns(t.copyBuffer()), (QList<int>{issued, customDate}));
    t.save("Dated", "x", {customDate, country, 200});
    ASSERT_TRUE(store::GoToTemplateRow(t.copyBuffer(), 0));
    EXPECT_EQ(store::TodayMarkedColumns(t.copyBuffer()), QList<int>{customDate});
    EXPECT_EQ(t.copyBuffer().asString(customDate), "18991231");
    EXPECT_EQ(store::columnText(t.copyBuffer(), country), "") << "only date columns take the marker";

    t.save("Dated", "x", {issued});
    EXPECT_EQ(store::TodayMarkedColumns(t.copyBuffer()), (QList<int>{issued, customDate}))
        << "marking adds; the form's post is what replaces a date";
}

TEST(RecordTemplates, ATemplateWithoutItsRowCanStillBeRemoved)
{
    Templates t;
    ASSERT_TRUE(t.list->AddTemplate("Lost"));
    EXPECT_TRUE(t.applied("Lost").isEmpty());
    EXPECT_EQ(store::RemoveRecordTemplate(*t.list, *t.folder, 0), store::TemplateRemoval::Removed);
    EXPECT_EQ(t.list->Count(), 0);
    EXPECT_EQ(t.copyBuffer().recordCount(), 1) << "the copy buffer's own row stays";
}

TEST(RecordTemplates, AnotherUserKeepsTheCopyBufferUnpackedOrTheTemplateInPlace)
{
    Templates t;
    t.save("A", "first");
    t.save("B", "second");
    t.save("C", "third");
    {
        TablePeer peer = TablePeer::holdingOpen(t.session.folders.database, "copy.dbf", false);
        ASSERT_TRUE(peer.ready());
        EXPECT_EQ(store::RemoveRecordTemplate(*t.list, *t.folder, 0),
                  store::TemplateRemoval::RemovedUnpacked);
        EXPECT_EQ(t.list->Names(), (QStringList{"B", "C"}));
        EXPECT_EQ(t.applied("B"), "second");
        EXPECT_EQ(t.applied("C"), "third");
    }
    ASSERT_TRUE(store::GoToTemplateRow(t.copyBuffer(), 1));
    const int rowOfC = static_cast<int>(t.copyBuffer().recordNumber());
    TablePeer peer = TablePeer::holdingRecordLock(t.session.folders.database, "copy.dbf", rowOfC);
    ASSERT_TRUE(peer.ready());
    EXPECT_EQ(store::RemoveRecordTemplate(*t.list, *t.folder, 1), store::TemplateRemoval::RowInUse);
    EXPECT_EQ(t.list->Names(), (QStringList{"B", "C"}));
    EXPECT_EQ(t.applied("C"), "third");
    peer.release();
    EXPECT_EQ(store::RemoveRecordTemplate(*t.list, *t.folder, 1), store::TemplateRemoval::Removed);
    EXPECT_EQ(t.list->Names(), QStringList{"B"});
}

TEST(RecordTemplates, ACaptionStandsForBlankATemplatesRowOrNothing)
{
    Templates t;
    t.save("Mint", "mint stamp");
    ASSERT_TRUE(t.list->AddTemplate("Rowless"));
    struct Case
    {
        const char* caption;
        store::TemplateChoice choice;
    };
    for (const Case& c :
         {Case{"Blank", store::TemplateChoice::Blank}, Case{"Mint", store::TemplateChoice::Row},
          Case{"Rowless", store::TemplateChoice::Missing},
          Case{"Deleted since", store::TemplateChoice::Missing},
          Case{"blank", store::TemplateChoice::Missing}}) {
        EXPECT_EQ(store::LocateTemplate(*t.list, t.copyBuffer(), QString::fromLatin1(c.caption)), c.choice)
            << c.caption;
    }
    ASSERT_EQ(store::LocateTemplate(*t.list, t.copyBuffer(), "Mint"), store::TemplateChoice::Row);
    EXPECT_EQ(store::columnText(t.copyBuffer(), Database::description), "mint stamp");
}
