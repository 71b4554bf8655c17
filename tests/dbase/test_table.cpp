#include "dbase/Errors.h"
#include "dbase/Table.h"
#include "dbase/TableCheck.h"
#include "TableTestSupport.h"

#include <gtest/gtest.h>

using namespace dbase;
using dbase::fixtures::TempFolder;

namespace {

using namespace fixtures::CatalogColumn;

class TableTest : public ::testing::Test
{
protected:
    void SetUp() override { createTable(folder.path(), "stamps.dbf", fixtures::catalogFields()); }

    // Appends records titled by the given texts, numbered 1, 2, 3 ...
    void appendTitles(Table& table, const std::vector<std::string>& titles)
    {
        for (const std::string& title : titles) {
            table.append();
            table.setNumber(Number, static_cast<double>(table.recordCount() + 1));
            table.setString(Title, title);
            table.post();
        }
    }

    std::vector<std::string> titlesForward(Table& table)
    {
        std::vector<std::string> titles;
        for (table.first(); !table.eof(); table.next())
            titles.push_back(table.asString(Title));
        return titles;
    }

    TempFolder folder;
};

TEST_F(TableTest, NewTableIsEmptyAndPositionedNowhere)
{
    Table table;
    table.open(folder.path(), "STAMPS.DBF");
    EXPECT_TRUE(table.isOpen());
    EXPECT_EQ(table.fieldCount(), 8u);
    EXPECT_EQ(table.fieldIndex("price"), Price);
    EXPECT_EQ(table.fieldIndex("nothing"), -1);
    EXPECT_EQ(table.recordCount(), 0);
    EXPECT_TRUE(table.eof());
    EXPECT_TRUE(table.bof());
    EXPECT_EQ(table.recordNumber(), 0u);
    EXPECT_THROW(table.edit(), DatabaseError);
    EXPECT_EQ(table.path(), folder.file("stamps.dbf"));
}

TEST_F(TableTest, ValuesOfEveryKindRoundTrip)
{
    const std::string picture = fixtures::binaryPattern(3 * 1024 * 1024 + 17, 7);
    {
        Table table;
        table.open(folder.path(), "stamps.dbf");
        table.append();
        table.setNumber(Number, 42);
        table.setString(Mark, "2");
        table.setString(Title, "Penny Black \xe9 1840");
        table.setNumber(Price, 1234.565);
        table.setDate(Issued, Date{1840, 5, 6});
        table.setBool(Mint, true);
        table.setMemoLines(Notes, {"first line", "", "third line"});
        table.setBlob(Picture, picture);
        table.post();
    }
    Table table;
    table.open(folder.path(), "stamps.dbf");
    ASSERT_EQ(table.recordCount(), 1);
    EXPECT_EQ(table.asNumber(Number), 42);
    EXPECT_EQ(table.asString(Number), "42");
    EXPECT_EQ(table.asString(Title), "Penny Black \xe9 1840");
    EXPECT_EQ(table.asString(Price), "1234.57");
    EXPECT_DOUBLE_EQ(table.asNumber(Price), 1234.57);
    EXPECT_EQ(table.asDate(Issued), (Date{1840, 5, 6}));
    EXPECT_EQ(table.asString(Issued), "18400506");
    EXPECT_TRUE(table.asBool(Mint));
    EXPECT_EQ(table.asString(Mint), "T");
    EXPECT_EQ(table.memoLines(Notes), (std::vector<std::string>{"first line", "", "third line"}));
    EXPECT_EQ(table.asString(Notes), "first line\r\n\r\nthird line\r\n");
    EXPECT_EQ(table.blob(Picture), picture);
    for (std::size_t i = 0; i < table.fieldCount(); ++i)
        EXPECT_FALSE(table.isNull(i)) << i;
}

TEST_F(TableTest, BlankValuesAreNull)
{
    Table table;
    table.open(folder.path(), "stamps.dbf");
    table.append();
    table.post();
    for (std::size_t i = 0; i < table.fieldCount(); ++i)
        EXPECT_TRUE(table.isNull(i)) << i;
    EXPECT_EQ(table.asString(Issued), "");
    EXPECT_TRUE(table.asDate(Issued).isBlank());
    EXPECT_EQ(table.asNumber(Price), 0);
    EXPECT_FALSE(table.asBool(Mint));
    EXPECT_TRUE(table.memoLines(Notes).empty());
    EXPECT_EQ(table.blob(Picture), "");
}

TEST_F(TableTest, SettersConvertAndRefuseWhatDoesNotFit)
{
    Table table;
    table.open(folder.path(), "stamps.dbf");
    EXPECT_THROW(table.setString(Title, "not editing"), DatabaseError);
    table.append();
    struct Case
    {
        std::size_t column;
        const char* input;
        const char* stored; // nullptr: refused
    };
    const Case cases[] = {
        {Title, "a text far longer than the forty characters of the column",
         "a text far longer than the forty charact"},
        {Price, " 12.5 ", "12.50"},
        {Price, "-0.001", "0.00"},
        {Price, "", ""},
        {Price, "12,5", nullptr},
        {Price, "abc", nullptr},
        {Price, "123456789012", nullptr},
        {Number, "+7", "7"},
        {Issued, "20240229", "20240229"},
        {Issued, "", ""},
        {Issued, "20230229", nullptr},
        {Issued, "2024-02-29", nullptr},
        {Mint, "y", "T"},
        {Mint, "N", "F"},
        {Mint, "", ""},
        {Mint, "maybe", nullptr},
    };
    for (const Case& c : cases) {
        if (c.stored) {
            table.setString(c.column, c.input);
            EXPECT_EQ(table.asString(c.column), c.stored) << c.input;
        } else {
            EXPECT_THROW(table.setString(c.column, c.input), DatabaseError) << c.input;
        }
    }
    EXPECT_THROW(table.setNumber(Price, 1e12), DatabaseError);
    EXPECT_THROW(table.setNumber(Issued, 1), DatabaseError);
    EXPECT_THROW(table.setDate(Issued, Date{2023, 2, 29}), DatabaseError);
    table.setNumber(Title, 2.5);
    EXPECT_EQ(table.asString(Title), "2.5");
}

TEST_F(TableTest, MemoLinesAcceptEveryLineEnd)
{
    Table table;
    table.open(folder.path(), "stamps.dbf");
    table.append();
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"one\r\ntwo", {"one", "two"}},
        {"one\ntwo\n", {"one", "two"}},
        {"one\rtwo\r\n\r\n", {"one", "two", ""}},
        {"", {}},
    };
    for (const auto& [text, lines] : cases) {
        table.setString(Notes, text);
        EXPECT_EQ(table.memoLines(Notes), lines) << text;
    }
}

TEST_F(TableTest, NavigationSkipsDeletedRecordsAndReportsTheEnds)
{
    Table table;
    table.open(folder.path(), "stamps.dbf");
    appendTitles(table, {"a", "b", "c", "d", "e"});
    ASSERT_TRUE(table.gotoBookmark(2));
    table.deleteRecord();
    EXPECT_EQ(table.asString(Title), "c"); // moved on to the next row
    ASSERT_TRUE(table.gotoBookmark(5));
    table.deleteRecord();
    EXPECT_EQ(table.asString(Title), "d"); // no next row: the one before
    EXPECT_TRUE(table.eof());

    EXPECT_EQ(table.recordCount(), 3);
    EXPECT_EQ(titlesForward(table), (std::vector<std::string>{"a", "c", "d"}));

    table.last();
    EXPECT_EQ(table.asString(Title), "d");
    EXPECT_FALSE(table.eof());
    table.next();
    EXPECT_TRUE(table.eof());
    EXPECT_EQ(table.asString(Title), "d"); // stays on the last row
    table.first();
    EXPECT_FALSE(table.bof());
    table.prior();
    EXPECT_TRUE(table.bof());
    EXPECT_EQ(table.asString(Title), "a");

    table.first();
    EXPECT_EQ(table.moveBy(2), 2);
    EXPECT_EQ(table.asString(Title), "d");
    EXPECT_EQ(table.moveBy(-5), -2);
    EXPECT_TRUE(table.bof());
    EXPECT_EQ(table.asString(Title), "a");
    EXPECT_EQ(table.moveBy(10), 2);
    EXPECT_TRUE(table.eof());

    EXPECT_FALSE(table.gotoBookmark(2)) << "a deleted record";
    EXPECT_FALSE(table.gotoBookmark(99));
    EXPECT_EQ(table.asString(Title), "d") << "position unchanged";
}

TEST_F(TableTest, ChunkedScansCrossManyDeletedRecords)
{
    Table table;
    table.open(folder.path(), "stamps.dbf", true);
    for (int i = 1; i <= 3000; ++i) {
        table.append();
        table.setNumber(Number, i);
        table.post();
    }
    for (table.first(); !table.eof();) {
        const auto n = static_cast<int>(table.asNumber(Number));
        if (n != 1 && n != 1500 && n != 3000)
            table.deleteRecord();
        else
            table.next();
    }
    EXPECT_EQ(table.recordCount(), 3);
    std::vector<int> forward;
    for (table.first(); !table.eof(); table.next())
        forward.push_back(static_cast<int>(table.asNumber(Number)));
    EXPECT_EQ(forward, (std::vector<int>{1, 1500, 3000}));
    std::vector<int> backward;
    for (table.last(); !table.bof(); table.prior())
        backward.push_back(static_cast<int>(table.asNumber(Number)));
    EXPECT_EQ(backward, (std::vector<int>{3000, 1500, 1}));
}

TEST_F(TableTest, EditCancelAndPostWithHandlers)
{
    Table table;
    table.open(folder.path(), "stamps.dbf");
    std::vector<std::string> events;
    table.afterInsert = [&](Table& t) {
        events.push_back("afterInsert");
        t.setNumber(Number, 100);
    };
    table.beforePost = [&](Table& t) {
        events.push_back("beforePost");
        t.setString(Mark, "2");
    };
    table.afterPost = [&](Table&) { events.push_back("afterPost"); };
    table.append();
    table.setString(Title, "first");
    table.post();
    EXPECT_EQ(events, (std::vector<std::string>{"afterInsert", "beforePost", "afterPost"}));
    EXPECT_EQ(table.asNumber(Number), 100);
    EXPECT_EQ(table.asString(Mark), "2");
    EXPECT_EQ(table.recordNumber(), 1u);

    table.edit();
    EXPECT_EQ(table.state(), Table::State::Edit);
    table.setString(Title, "changed");
    table.cancel();
    EXPECT_EQ(table.asString(Title), "first");

    table.append();
    table.cancel();
    EXPECT_EQ(table.recordCount(), 1);
    EXPECT_EQ(table.recordNumber(), 1u) << "cancel returns to the record before the append";

    // Moving away posts a changed record and drops an unchanged one.
    table.edit();
    table.setString(Title, "moved away");
    table.first();
    EXPECT_EQ(table.asString(Title), "moved away");
    table.append();
    table.last();
    EXPECT_EQ(table.recordCount(), 1);
}

TEST_F(TableTest, HandlersMayUseAnotherTableOnTheSameFile)
{
    Table numbers;
    numbers.open(folder.path(), "stamps.dbf");
    Table table;
    table.open(folder.path(), "stamps.dbf");
    table.beforePost = [&](Table& t) {
        // A handler that reads another cursor: no lock of the posting table may be held here.
        t.setNumber(Number, static_cast<double>(numbers.recordCount() + 1));
    };
    table.afterPost = [&](Table&) {
        numbers.last();
        numbers.edit();
        numbers.setString(Mark, "0");
        numbers.post();
    };
    for (int i = 0; i < 3; ++i) {
        table.append();
        table.post();
    }
    EXPECT_EQ(titlesForward(numbers).size(), 3u);
    numbers.first();
    EXPECT_EQ(numbers.asNumber(Number), 1);
    numbers.last();
    EXPECT_EQ(numbers.asNumber(Number), 3);
    EXPECT_EQ(numbers.asString(Mark), "0");
}

TEST_F(TableTest, TwoCursorsSeeEachOthersPostsAndLocks)
{
    Table browse;
    browse.open(folder.path(), "stamps.dbf");
    Table editor;
    editor.open(folder.path(), "stamps.dbf");
    appendTitles(browse, {"one", "two"});
    editor.last();
    EXPECT_EQ(editor.asString(Title), "two");

    browse.first();
    editor.goToCurrent(browse);
    EXPECT_EQ(editor.recordNumber(), 1u);
    editor.edit();
    EXPECT_THROW(browse.edit(), DatabaseError) << "the record lock holds between table objects";
    EXPECT_THROW(browse.deleteRecord(), DatabaseError);
    editor.setMemoLines(Notes, {"from the editor"});
    editor.post();
    browse.edit();
    browse.cancel();
    browse.first();
    EXPECT_EQ(browse.memoLines(Notes), (std::vector<std::string>{"from the editor"}));

    // A row read before someone else rewrote its memo twice (its old blocks freed and reused) is read
    // again before its memo pointer is followed.
    browse.next();
    browse.first();
    for (const char* text : {"second version", "third version"}) {
        editor.edit();
        editor.setMemoLines(Notes, {text});
        editor.post();
    }
    EXPECT_EQ(browse.memoLines(Notes), (std::vector<std::string>{"third version"}));
}

TEST_F(TableTest, CursorsSeeRecordsAppendedElsewhereBehindDeletedOnes)
{
    Table browse;
    browse.open(folder.path(), "stamps.dbf");
    appendTitles(browse, {"one", "two", "three"});
    browse.deleteRecord();
    browse.first();
    browse.next();
    ASSERT_EQ(browse.asString(Title), "two");
    Table other;
    other.open(folder.path(), "stamps.dbf");
    appendTitles(other, {"four"});
    browse.next();
    EXPECT_FALSE(browse.eof());
    EXPECT_EQ(browse.asString(Title), "four");
    appendTitles(other, {"five"});
    browse.last();
    EXPECT_EQ(browse.asString(Title), "five");
    EXPECT_EQ(browse.recordCount(), 4);
}

TEST_F(TableTest, ExclusiveUseIsRefusedWhileOpenElsewhere)
{
    Table shared;
    shared.open(folder.path(), "stamps.dbf");
    Table other;
    EXPECT_THROW(other.open(folder.path(), "stamps.dbf", true), DatabaseError);
    EXPECT_THROW(shared.pack(), DatabaseError);
    shared.close();
    other.open(folder.path(), "stamps.dbf", true);
    EXPECT_TRUE(other.isExclusive());
    EXPECT_THROW(shared.open(folder.path(), "stamps.dbf"), DatabaseError);
}

TEST_F(TableTest, UnchangedMemoValuesAreNotWrittenAgain)
{
    Table table;
    table.open(folder.path(), "stamps.dbf");
    table.append();
    table.setBlob(Picture, fixtures::binaryPattern(200000, 3));
    table.post();
    const auto size = std::filesystem::file_size(folder.file("stamps.dbt"));
    for (int i = 0; i < 5; ++i) {
        table.edit();
        table.setBlob(Picture, fixtures::binaryPattern(200000, 3));
        table.setString(Title, "round " + std::to_string(i));
        table.post();
    }
    EXPECT_EQ(std::filesystem::file_size(folder.file("stamps.dbt")), size);
}

TEST_F(TableTest, FreedMemoBlocksAreReused)
{
    Table table;
    table.open(folder.path(), "stamps.dbf");
    appendTitles(table, {"a", "b"});
    table.first();
    table.edit();
    table.setString(Notes, std::string(3000, 'x'));
    table.post();
    const auto size = std::filesystem::file_size(folder.file("stamps.dbt"));
    for (int round = 0; round < 20; ++round) {
        table.edit();
        table.setString(Notes, std::string(2000 + round * 50, static_cast<char>('a' + round)));
        table.post();
    }
    EXPECT_LE(std::filesystem::file_size(folder.file("stamps.dbt")), size + 6 * 512);
    EXPECT_EQ(table.asString(Notes), std::string(2950, 't'));
    EXPECT_TRUE(checkTable(folder.path(), "stamps.dbf").sound());
}

TEST_F(TableTest, AssignFieldConvertsBetweenKinds)
{
    createTable(folder.path(), "other.dbf",
                {{"TEXT", FieldType::Character, 12, 0},
                 {"AMOUNT", FieldType::Numeric, 8, 1},
                 {"WHEN", FieldType::Date, 0, 0},
                 {"MEMO", FieldType::Memo, 0, 0}});
    Table source;
    source.open(folder.path(), "stamps.dbf");
    source.append();
    source.setString(Title, "A long title for a short column");
    source.setNumber(Price, 12.34);
    source.setDate(Issued, Date{2001, 2, 3});
    source.setString(Notes, "memo text");
    source.post();
    Table target;
    target.open(folder.path(), "other.dbf");
    target.append();
    target.assignField(0, source, Title);
    target.assignField(1, source, Price);
    target.assignField(2, source, Issued);
    target.assignField(3, source, Notes);
    EXPECT_EQ(target.asString(0), "A long title");
    EXPECT_EQ(target.asString(1), "12.3");
    EXPECT_EQ(target.asDate(2), (Date{2001, 2, 3}));
    EXPECT_EQ(target.asString(3), "memo text");
    target.assignField(0, source, Price);
    EXPECT_EQ(target.asString(0), "12.34");
    target.assignField(3, source, Picture);
    EXPECT_TRUE(target.isNull(3));
    EXPECT_THROW(target.assignField(1, source, Title), DatabaseError) << "a text that is no number";
}

TEST_F(TableTest, PackRemovesDeletedRecordsAndCompactsTheMemoFile)
{
    {
        Table table;
        table.open(folder.path(), "stamps.dbf");
        for (int i = 1; i <= 30; ++i) {
            table.append();
            table.setNumber(Number, i);
            table.setString(Notes, "memo " + std::to_string(i));
            table.setBlob(Picture, fixtures::binaryPattern(5000 + static_cast<std::size_t>(i),
                                                           static_cast<unsigned>(i)));
            table.post();
        }
        for (table.first(); !table.eof();)
            if (static_cast<int>(table.asNumber(Number)) % 3 != 0)
                table.deleteRecord();
            else
                table.next();
    }
    const auto memoBefore = std::filesystem::file_size(folder.file("stamps.dbt"));
    Table table;
    table.open(folder.path(), "stamps.dbf", true);
    table.pack();
    EXPECT_EQ(table.recordCount(), 10);
    EXPECT_LT(std::filesystem::file_size(folder.file("stamps.dbt")), memoBefore / 2);
    int expected = 3;
    for (table.first(); !table.eof(); table.next(), expected += 3) {
        EXPECT_EQ(table.recordNumber(), static_cast<std::uint32_t>(expected / 3));
        EXPECT_EQ(table.asNumber(Number), expected);
        EXPECT_EQ(table.asString(Notes), "memo " + std::to_string(expected));
        EXPECT_EQ(table.blob(Picture), fixtures::binaryPattern(5000 + static_cast<std::size_t>(expected),
                                                               static_cast<unsigned>(expected)));
    }
    table.append();
    table.setNumber(Number, 99);
    table.post();
    EXPECT_EQ(table.recordNumber(), 11u);
    table.close();
    EXPECT_FALSE(std::filesystem::exists(folder.file("stamps.dbf.packing")));
    EXPECT_TRUE(checkTable(folder.path(), "stamps.dbf").sound());
}

TEST_F(TableTest, EmptyTableKeepsTheStructure)
{
    Table table;
    table.open(folder.path(), "stamps.dbf");
    appendTitles(table, {"a", "b"});
    EXPECT_THROW(table.emptyTable(), DatabaseError);
    table.open(folder.path(), "stamps.dbf", true);
    table.emptyTable();
    EXPECT_EQ(table.recordCount(), 0);
    EXPECT_TRUE(table.eof());
    appendTitles(table, {"c"});
    EXPECT_EQ(table.recordNumber(), 1u);
    table.close();
    EXPECT_TRUE(checkTable(folder.path(), "stamps.dbf").sound());
}

TEST_F(TableTest, RecordOrderIsTheOnlyOrderForNow)
{
    Table table;
    table.open(folder.path(), "stamps.dbf");
    EXPECT_TRUE(table.tags().empty());
    EXPECT_EQ(table.activeTag(), "");
    EXPECT_THROW(table.setActiveTag("IDX1"), DatabaseError);
    EXPECT_THROW(table.setRange("A", "B"), DatabaseError);
    EXPECT_THROW(table.findKey("A"), DatabaseError);
    EXPECT_FALSE(table.hasRange());
    Table tagged;
    EXPECT_THROW(tagged.open(folder.path(), "stamps.dbf", false, "IDX1"), DatabaseError);
}

} // namespace
