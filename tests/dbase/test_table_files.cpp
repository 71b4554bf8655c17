// Table files as a whole: create, copy, rename, delete, lookup without case, the LZ-expanding copy, and a
// pack interrupted at each of its steps.
#include "dbase/Errors.h"
#include "dbase/Table.h"
#include "dbase/TableCheck.h"
#include "TableTestSupport.h"

#include <gtest/gtest.h>

using namespace dbase;
using fixtures::TempFolder;

namespace {

void fillTable(const std::string& folder, const std::string& name, int records)
{
    createTable(folder, name, fixtures::catalogFields());
    Table table;
    table.open(folder, name);
    for (int i = 1; i <= records; ++i) {
        table.append();
        table.setNumber(0, i);
        table.setString(6, "memo " + std::to_string(i));
        table.post();
    }
}

std::vector<int> numbersOf(const std::string& folder, const std::string& name)
{
    Table table;
    table.open(folder, name);
    std::vector<int> numbers;
    for (table.first(); !table.eof(); table.next()) {
        numbers.push_back(static_cast<int>(table.asNumber(0)));
        EXPECT_EQ(table.asString(6), "memo " + std::to_string(numbers.back()));
    }
    return numbers;
}

TEST(TableFiles, CreateRefusesUnusableColumnsAndWritesDBaseIV)
{
    TempFolder folder;
    const std::vector<std::vector<FieldSpec>> refused = {
        {},
        {{"", FieldType::Character, 10, 0}},
        {{"ELEVENCHARS", FieldType::Character, 10, 0}},
        {{"1ST", FieldType::Character, 10, 0}},
        {{"A", FieldType::Character, 0, 0}},
        {{"A", FieldType::Numeric, 21, 0}},
        {{"A", FieldType::Numeric, 5, 4}},
        {{"A", FieldType::Character, 5, 0}, {"a", FieldType::Character, 5, 0}},
    };
    for (const auto& fields : refused)
        EXPECT_THROW(createTable(folder.path(), "bad.dbf", fields), DatabaseError) << fields.size();
    EXPECT_FALSE(tableExists(folder.path(), "bad.dbf"));

    createTable(folder.path(), "plain", {{"name", FieldType::Character, 20, 0}});
    const std::string plain = fixtures::readFile(folder.file("plain.dbf"));
    EXPECT_EQ(plain[0], '\x03');
    EXPECT_EQ(plain[29], '\x03') << "language driver: Windows ANSI";
    EXPECT_EQ(plain.substr(32, 4), std::string("NAME", 4));
    EXPECT_EQ(plain.back(), '\x1a');
    EXPECT_FALSE(std::filesystem::exists(folder.file("plain.dbt")));

    createTable(folder.path(), "memo.dbf", fixtures::catalogFields());
    const std::string memo = fixtures::readFile(folder.file("memo.dbf"));
    EXPECT_EQ(memo[0], '\x8b');
    EXPECT_GE(static_cast<unsigned char>(memo[1]), 124) << "years since 1900";
    EXPECT_EQ(std::filesystem::file_size(folder.file("memo.dbt")), 512u);
}

TEST(TableFiles, NamesAreFoundWithoutCase)
{
    TempFolder folder;
    fillTable(folder.path(), "Data.DBF", 2);
    EXPECT_EQ(findFileNoCase(folder.path(), "data.dbf"), folder.file("Data.DBF"));
    EXPECT_EQ(findFileNoCase(folder.path(), "Data.DBF"), folder.file("Data.DBF"));
    EXPECT_EQ(findFileNoCase(folder.path(), "missing.dbf"), "");
    EXPECT_TRUE(std::filesystem::exists(folder.file("Data.DBT"))) << "the memo file follows the name's case";
    std::filesystem::rename(folder.file("Data.DBT"), folder.file("data.dbt"));
    EXPECT_TRUE(tableExists(folder.path(), "DATA"));
    EXPECT_EQ(numbersOf(folder.path(), "DATA.dbf"), (std::vector<int>{1, 2}));
    fixtures::writeFile(folder.file("data.dbf"), "exact match wins");
    EXPECT_EQ(findFileNoCase(folder.path(), "data.dbf"), folder.file("data.dbf"));
}

TEST(TableFiles, CopyRenameAndDelete)
{
    TempFolder folder;
    fillTable(folder.path(), "source.dbf", 3);
    copyTable(folder.path(), "SOURCE.DBF", folder.path(), "copy.dbf", false);
    EXPECT_EQ(numbersOf(folder.path(), "copy.dbf"), (std::vector<int>{1, 2, 3}));
    EXPECT_THROW(copyTable(folder.path(), "source.dbf", folder.path(), "copy.dbf", false), DatabaseError);
    EXPECT_THROW(copyTable(folder.path(), "source.dbf", folder.path(), "source.dbf", true), DatabaseError);
    EXPECT_THROW(copyTable(folder.path(), "none.dbf", folder.path(), "x.dbf", true), DatabaseError);
    {
        Table open;
        open.open(folder.path(), "copy.dbf");
        EXPECT_THROW(copyTable(folder.path(), "source.dbf", folder.path(), "copy.dbf", true), DatabaseError)
            << "the target is in use";
        EXPECT_THROW(renameTable(folder.path(), "copy.dbf", "moved.dbf"), DatabaseError);
        EXPECT_THROW(deleteTable(folder.path(), "copy.dbf"), DatabaseError);
    }
    fillTable(folder.path(), "other.dbf", 1);
    copyTable(folder.path(), "other.dbf", folder.path(), "copy.dbf", true);
    EXPECT_EQ(numbersOf(folder.path(), "copy.dbf"), (std::vector<int>{1}));

    EXPECT_THROW(renameTable(folder.path(), "copy.dbf", "source.dbf"), DatabaseError) << "the name is taken";
    renameTable(folder.path(), "copy.dbf", "MOVED.DBF");
    EXPECT_FALSE(tableExists(folder.path(), "copy.dbf"));
    EXPECT_TRUE(std::filesystem::exists(folder.file("MOVED.DBT")));
    EXPECT_EQ(numbersOf(folder.path(), "moved.dbf"), (std::vector<int>{1}));

    deleteTable(folder.path(), "moved.dbf");
    EXPECT_FALSE(std::filesystem::exists(folder.file("MOVED.DBF")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("MOVED.DBT")));
    fixtures::writeFile(folder.file("orphan.dbt"), "memo without its table");
    deleteTable(folder.path(), "orphan.dbf");
    EXPECT_FALSE(std::filesystem::exists(folder.file("orphan.dbt")));
}

TEST(TableFiles, CreatingOverAnOldTableDropsItsCompanions)
{
    TempFolder folder;
    fillTable(folder.path(), "t.dbf", 2);
    fixtures::writeFile(folder.file("t.mdx"), "an old index");
    createTable(folder.path(), "T.DBF", {{"NAME", FieldType::Character, 5, 0}});
    EXPECT_FALSE(std::filesystem::exists(folder.file("t.dbt")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("t.mdx")));
    Table table;
    table.open(folder.path(), "t.dbf");
    EXPECT_EQ(table.fieldCount(), 1u);
    EXPECT_EQ(table.recordCount(), 0);
}

// Builds an SZDD stream by hand: literals, a back reference into the output and one into the initial
// blanks of the window.
std::string szdd(const std::string& payload, std::uint32_t size)
{
    std::string header("SZDD\x88\xF0\x27\x33", 8);
    header += 'A';
    header += 't';
    for (int i = 0; i < 4; ++i)
        header += static_cast<char>((size >> (8 * i)) & 0xFF);
    return header + payload;
}

TEST(TableFiles, LzExpandCopyExpandsSzddAndCopiesOtherFiles)
{
    TempFolder folder;
    // "abcd" as literals (window 4080..4083), then "abcdab" from 4080 (length 6), then four blanks from
    // position 0, which never was written.
    std::string payload;
    payload += static_cast<char>(0x4F); // literal, literal, literal, literal, reference, reference, literal
    payload += "abcd";
    payload += static_cast<char>(4080 & 0xFF);
    payload += static_cast<char>(((4080 >> 4) & 0xF0) | (6 - 3));
    payload += static_cast<char>(0x00);
    payload += static_cast<char>(0x01);
    payload += "!";
    const struct
    {
        const char* name;
        std::string input;
        const char* expected; // nullptr: refused
    } cases[] = {
        {"expanded", szdd(payload, 15), "abcdabcdab    !"},
        {"plain file copied", "just bytes\x00\x01", "just bytes"},
        {"cut short", szdd(payload.substr(0, 7), 15), nullptr},
        {"size far beyond the data", szdd(payload, 1u << 30), nullptr},
    };
    for (const auto& c : cases) {
        fixtures::writeFile(folder.file("in"), c.input);
        std::filesystem::remove(folder.file("out"));
        if (c.expected) {
            lzExpandCopy(folder.file("in"), folder.file("out"));
            EXPECT_EQ(fixtures::readFile(folder.file("out")), std::string(c.expected)) << c.name;
        } else {
            EXPECT_THROW(lzExpandCopy(folder.file("in"), folder.file("out")), DatabaseError) << c.name;
            EXPECT_FALSE(std::filesystem::exists(folder.file("out"))) << c.name;
        }
    }
    EXPECT_THROW(lzExpandCopy(folder.file("missing"), folder.file("out")), DatabaseError);
}

TEST(TableFiles, PackInterruptedAtAnyStepLeavesOneWholeTable)
{
    // The states a kill can leave: new files without the commit mark (old table stands), the mark with
    // both or one of the new files still to be renamed (the open completes the pack).
    enum class Stage
    {
        NewFilesOnly,
        Committed,
        MemoRenamed
    };
    for (Stage stage : {Stage::NewFilesOnly, Stage::Committed, Stage::MemoRenamed}) {
        TempFolder folder;
        fillTable(folder.path(), "t.dbf", 4);
        {
            Table table;
            table.open(folder.path(), "t.dbf");
            table.gotoBookmark(2);
            table.deleteRecord();
        }
        // The packed files, as pack writes them, are made by packing a copy.
        copyTable(folder.path(), "t.dbf", folder.path(), "p.dbf", false);
        {
            Table table;
            table.open(folder.path(), "p.dbf", true);
            table.pack();
        }
        std::filesystem::rename(folder.file("p.dbf"), folder.file("t.dbf.packing"));
        std::filesystem::rename(folder.file("p.dbt"), folder.file("t.dbt.packing"));
        if (stage != Stage::NewFilesOnly)
            fixtures::writeFile(folder.file("t.dbf.pack-done"), "");
        if (stage == Stage::MemoRenamed)
            std::filesystem::rename(folder.file("t.dbt.packing"), folder.file("t.dbt"));

        Table table;
        table.open(folder.path(), "t.dbf");
        EXPECT_EQ(table.recordCount(), 3);
        table.close();
        const std::vector<int> expected{1, 3, 4};
        EXPECT_EQ(numbersOf(folder.path(), "t.dbf"), expected);
        for (const char* leftover : {"t.dbf.packing", "t.dbt.packing", "t.dbf.pack-done"})
            EXPECT_FALSE(std::filesystem::exists(folder.file(leftover))) << leftover;
        Table reopened;
        reopened.open(folder.path(), "t.dbf", true);
        EXPECT_EQ(reopened.recordCount(), 3);
        EXPECT_EQ(reopened.fieldCount(), 8u);
        reopened.close();
        EXPECT_TRUE(checkTable(folder.path(), "t.dbf").sound());
        // Only a pack that got to its commit mark changes record numbers.
        Table numbers;
        numbers.open(folder.path(), "t.dbf");
        numbers.last();
        EXPECT_EQ(numbers.recordNumber(), stage == Stage::NewFilesOnly ? 4u : 3u);
    }
}

} // namespace
