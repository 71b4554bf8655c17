#include "search/ReplaceRun.h"
#include "SearchCatalog.h"

#include <gtest/gtest.h>

namespace {

using search::ReplaceRequest;
using search::ReplaceRun;

struct ReplaceCase
{
    const char* name;
    int records;
    QList<int> markedRecords; // 1-based; the others fail the filter; empty: all pass
    ReplaceRequest request;
    int startAt; // the 0-based record shown in the sort order, for "Current Record"
    int replaced;
    QStringList firstValues; // the replaced column of the first records in record order
};

TEST(Replace, ModesScopesAndStartingPoints)
{
    const ReplaceCase cases[] = {
        {"normal filter changes the marked records only",
         10,
         {2, 5, 9},
         {.column = column::country, .text = "Done", .fromFirstRecord = true, .filterScope = 1},
         0,
         3,
         {"Aland", "Done", "Cland", "Dland", "Done"}},
        {"from the current record onwards",
         10,
         {2, 5, 9},
         {.column = column::country, .text = "Done", .filterScope = 1},
         3,
         2,
         {"Aland", "Bland", "Cland", "Dland", "Done"}},
        {"reversed filter changes the others",
         5,
         {2, 5},
         {.column = column::country, .text = "Done", .fromFirstRecord = true, .filterScope = 2},
         0,
         3,
         {"Done", "Bland", "Done", "Done", "Eland"}},
        {"a substring, first occurrence, any letter case",
         3,
         {},
         {.column = column::country,
          .mode = ReplaceRequest::Substring,
          .substring = "LAN",
          .text = "X",
          .fromFirstRecord = true},
         0,
         3,
         {"AXd", "BXd", "CXd"}},
        {"an empty substring replaces the whole field",
         2,
         {},
         {.column = column::country,
          .mode = ReplaceRequest::Substring,
          .text = "Whole",
          .fromFirstRecord = true},
         0,
         2,
         {"Whole", "Whole"}},
        {"auto-increment on text fills to the count's width",
         250,
         {},
         {.column = column::country,
          .mode = ReplaceRequest::AutoIncrement,
          .fromFirstRecord = true,
          .counterStart = 7},
         0,
         250,
         {"007", "008", "009", "010"}},
        {"auto-decrement below zero keeps the width",
         12,
         {},
         {.column = column::country,
          .mode = ReplaceRequest::AutoDecrement,
          .fromFirstRecord = true,
          .counterStart = 1},
         0,
         12,
         {"01", "00", "-1", "-2"}},
        {"auto-increment on a number",
         3,
         {},
         {.column = column::cost,
          .mode = ReplaceRequest::AutoIncrement,
          .fromFirstRecord = true,
          .counterStart = 7},
         0,
         3,
         {"7.00", "8.00", "9.00"}},
        {"a memo takes the lines",
         2,
         {},
         {.column = column::notes, .lines = {"one", "two"}, .fromFirstRecord = true},
         0,
         2,
         {"one\r\ntwo\r\n", "one\r\ntwo\r\n"}},
        {"a date takes the date",
         1,
         {},
         {.column = column::issued, .date = QDate(2001, 2, 3), .fromFirstRecord = true},
         0,
         1,
         {"20010203"}},
    };
    for (const ReplaceCase& test : cases) {
        SCOPED_TRACE(test.name);
        SearchCatalog catalog;
        for (int i = 1; i <= test.records; ++i)
            catalog.add({.description = QStringLiteral("Stamp %1").arg(i, 3, 10, QLatin1Char('0')),
                         .country = QString(QChar('A' + (i - 1) % 26)) + "land",
                         .mark = test.markedRecords.isEmpty() || test.markedRecords.contains(i) ? "2" : "0"});
        ASSERT_TRUE(catalog.sortBy(column::description));
        catalog.browse().first();
        catalog.browse().moveBy(test.startAt);
        ReplaceRun run(catalog.browse(), &catalog.filters);
        ASSERT_EQ(run.Run(test.request), ReplaceRun::Outcome::Completed);
        EXPECT_EQ(run.ReplacedCount, test.replaced);
        EXPECT_EQ(run.FailedCount, 0);
        dbase::Table table;
        table.open(store::localPath(catalog.session.folders.database), "data.dbf");
        QStringList values;
        for (table.first(); !table.eof() && values.size() < test.firstValues.size(); table.next())
            values.append(
                QString::fromStdString(table.asString(static_cast<std::size_t>(test.request.column))));
        EXPECT_EQ(values, test.firstValues);
        for (const QString& marked : catalog.marksOf(column::description))
            EXPECT_LT(marked.back(), QChar('5')) << marked.toStdString();
    }
}

TEST(Replace, ASortFieldMovedToTheEndIsReplacedOnce)
{
    SearchCatalog catalog;
    catalog.addNumbered(100);
    ASSERT_TRUE(catalog.sortBy(column::description));
    ReplaceRun run(catalog.browse(), &catalog.filters);
    ReplaceRequest request{.column = column::description,
                           .mode = ReplaceRequest::Substring,
                           .substring = "Stamp",
                           .text = "ZZ Stamp",
                           .fromFirstRecord = true};
    ASSERT_EQ(run.Run(request), ReplaceRun::Outcome::Completed);
    EXPECT_EQ(run.ReplacedCount, 100);
    for (const QString& value : catalog.marksOf(column::description))
        EXPECT_TRUE(value.startsWith("ZZ Stamp ") && !value.startsWith("ZZ Stamp ZZ")) << value.toStdString();
}

TEST(Replace, AStoppedRunLeavesNoRaisedMark)
{
    SearchCatalog catalog;
    catalog.addNumbered(100);
    ASSERT_TRUE(catalog.sortBy(column::description));
    catalog.filters.AttachTable(catalog.browse());
    catalog.filters.AutoMarking = true;
    ReplaceRun run(catalog.browse(), &catalog.filters);
    run.yield = [&run] {
        if (run.ReplacedCount == 40)
            run.Stop();
    };
    ASSERT_EQ(run.Run({.column = column::country, .text = "Stopped", .fromFirstRecord = true}),
              ReplaceRun::Outcome::Stopped);
    EXPECT_EQ(run.ReplacedCount, 40);
    EXPECT_FALSE(catalog.filters.AutoMarking);
    EXPECT_TRUE(static_cast<bool>(catalog.browse().beforePost));
    const QStringList values = catalog.marksOf(column::country);
    EXPECT_EQ(values.count("Stopped=2"), 40);
    for (const QString& value : values)
        EXPECT_EQ(value.back(), QChar('2')) << value.toStdString();
}

TEST(Replace, ALockedRecordCountsAsFailed)
{
    SearchCatalog catalog;
    catalog.addNumbered(3);
    dbase::Table other;
    other.open(store::localPath(catalog.session.folders.database), "data.dbf");
    other.first();
    other.edit(); // holds record 1
    ReplaceRun run(catalog.browse(), nullptr);
    catalog.browse().first();
    ASSERT_EQ(run.Run({.column = column::country, .text = "New"}), ReplaceRun::Outcome::Completed);
    EXPECT_EQ(run.ReplacedCount, 2);
    EXPECT_EQ(run.FailedCount, 1);
}

} // namespace
