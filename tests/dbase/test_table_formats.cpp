// Files as other writers leave them, and files that are damaged: the variants are read, the damage is
// reported as DatabaseError or EngineError, never passed over.
#include "dbase/Errors.h"
#include "dbase/Table.h"
#include "dbase/TableCheck.h"
#include "TableTestSupport.h"

#include <gtest/gtest.h>

using namespace dbase;
using fixtures::TempFolder;

namespace {

std::string u16(unsigned value)
{
    return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

std::string u32(unsigned value)
{
    return u16(value & 0xFFFF) + u16(value >> 16);
}

std::string descriptor(const std::string& name, char type, unsigned length, unsigned decimals = 0)
{
    std::string bytes(32, '\0');
    bytes.replace(0, name.size(), name);
    bytes[11] = type;
    bytes[16] = static_cast<char>(length);
    bytes[17] = static_cast<char>(decimals);
    return bytes;
}

// A table in the bytes another writer would leave: columns TITLE C(8), PRICE N(6,2), WHEN D, NOTES M.
struct ForeignTable
{
    unsigned char version = 0x8B;
    unsigned char yearByte = 124;
    std::size_t extraHeaderBytes = 0;
    std::vector<std::string> records; // the bytes after the deletion flag

    std::string bytes() const
    {
        const std::string fields = descriptor("TITLE", 'C', 8) + descriptor("PRICE", 'N', 6, 2) +
                                   descriptor("WHEN", 'D', 8) + descriptor("NOTES", 'M', 10);
        const unsigned headerLength = static_cast<unsigned>(32 + fields.size() + 1 + extraHeaderBytes);
        std::string out(1, static_cast<char>(version));
        out += static_cast<char>(yearByte);
        out += "\x05\x11";
        out += u32(static_cast<unsigned>(records.size())) + u16(headerLength) + u16(1 + 8 + 6 + 8 + 10);
        out += std::string(20, '\0');
        out += fields + "\r" + std::string(extraHeaderBytes, '\0');
        for (const std::string& record : records)
            out += " " + record;
        return out + "\x1a";
    }
};

// A dBASE IV memo file with one value "hello" at block 1, and its block size at offset 20 or 4.
std::string memoFile(unsigned blockSize, bool sizeAtOffset4)
{
    std::string header(blockSize, '\0');
    header.replace(0, 4, u32(2));
    header.replace(sizeAtOffset4 ? 4 : 20, sizeAtOffset4 ? 4 : 2,
                   sizeAtOffset4 ? u32(blockSize) : u16(blockSize));
    std::string block = std::string("\xff\xff\x08\x00", 4) + u32(8 + 5) + "hello";
    block.resize(blockSize, '\0');
    return header + block;
}

TEST(Formats, VariantsOfOtherWritersAreRead)
{
    struct Case
    {
        const char* name;
        ForeignTable table;
        std::string memo;
        int year;
    };
    const std::string record = "Stamp   "
                               "  1.50"
                               "19991231";
    const Case cases[] = {
        {"years since 1900, blank-padded pointer",
         {0x8B, 124, 0, {record + "         1"}},
         memoFile(512, false),
         2024},
        {"year modulo 100, zero-padded pointer",
         {0x8B, 24, 0, {record + "0000000001"}},
         memoFile(512, false),
         2024},
        {"pointer padded after the digits",
         {0x8B, 99, 0, {record + "1         "}},
         memoFile(512, false),
         1999},
        {"header one byte longer", {0x8B, 124, 1, {record + "         1"}}, memoFile(512, false), 2024},
        {"block size at offset 4", {0x8B, 124, 0, {record + "         1"}}, memoFile(1024, true), 2024},
        {"block size of 64", {0x8B, 124, 0, {record + "         1"}}, memoFile(64, false), 2024},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        fixtures::writeFile(folder.file("foreign.dbf"), c.table.bytes());
        fixtures::writeFile(folder.file("FOREIGN.DBT"), c.memo);
        Table table;
        table.open(folder.path(), "Foreign.dbf");
        ASSERT_EQ(table.recordCount(), 1);
        EXPECT_EQ(table.asString(0), "Stamp");
        EXPECT_EQ(table.asNumber(1), 1.5);
        EXPECT_EQ(table.asDate(2), (Date{1999, 12, 31}));
        EXPECT_EQ(table.asString(3), "hello");
        table.close();
        EXPECT_TRUE(checkTable(folder.path(), "foreign.dbf").sound());
        const auto info = fixtures::runCommand(std::string(TESSARY_DB_TOOL) + " info " +
                                               fixtures::quoted(folder.file("foreign.dbf")));
        EXPECT_NE(info.output.find("last update: " + std::to_string(c.year) + "-05-17"), std::string::npos)
            << info.output;
    }
}

TEST(Formats, DBaseIIIMemoTextEndsAtItsMark)
{
    TempFolder folder;
    ForeignTable table{0x83,
                       99,
                       0,
                       {"Old     "
                        "      "
                        "        "
                        "         1"}};
    fixtures::writeFile(folder.file("old.dbf"), table.bytes());
    std::string memo(512, '\0');
    memo.replace(0, 4, u32(3));
    memo[16] = 3;
    memo += std::string(600, 'm') + "\x1a\x1a";
    memo.resize(3 * 512, '\0');
    fixtures::writeFile(folder.file("old.dbt"), memo);
    Table reader;
    reader.open(folder.path(), "old.dbf");
    EXPECT_EQ(reader.asString(3), std::string(600, 'm'));
    EXPECT_TRUE(reader.isNull(1));
    EXPECT_TRUE(reader.isNull(2));
}

// Valid files to start from, and the ways they get damaged.
class Damage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        createTable(folder.path(), "t.dbf", fixtures::catalogFields());
        Table table;
        table.open(folder.path(), "t.dbf");
        for (int i = 1; i <= 3; ++i) {
            table.append();
            table.setNumber(0, i);
            table.setString(6, "memo " + std::to_string(i));
            table.setBlob(7, fixtures::binaryPattern(1000, static_cast<unsigned>(i)));
            table.post();
        }
        table.close();
        dbf = fixtures::readFile(folder.file("t.dbf"));
        dbt = fixtures::readFile(folder.file("t.dbt"));
    }

    std::size_t headerLength() const
    {
        return static_cast<unsigned char>(dbf[8]) | static_cast<unsigned char>(dbf[9]) << 8;
    }
    std::size_t recordLength() const
    {
        return static_cast<unsigned char>(dbf[10]) | static_cast<unsigned char>(dbf[11]) << 8;
    }
    // Offset of a column's bytes in record n (1-based).
    std::size_t at(std::size_t record, std::size_t offsetInRecord) const
    {
        return headerLength() + (record - 1) * recordLength() + offsetInRecord;
    }

    TempFolder folder;
    std::string dbf;
    std::string dbt;
};

TEST_F(Damage, DamagedTableFilesAreRefusedOnOpen)
{
    struct Case
    {
        const char* name;
        std::function<void(std::string&)> damage;
    };
    const Case cases[] = {
        {"empty file", [](std::string& f) { f.clear(); }},
        {"cut inside the header", [](std::string& f) { f.resize(40); }},
        {"cut inside the records", [this](std::string& f) { f.resize(at(3, 5)); }},
        {"unknown version", [](std::string& f) { f[0] = 0x30; }},
        {"header length too small",
         [](std::string& f) {
             f[8] = 40;
             f[9] = 0;
         }},
        {"header length beyond the file",
         [](std::string& f) {
             f[8] = '\xff';
             f[9] = '\x7f';
         }},
        {"record length wrong", [](std::string& f) { f[10] = static_cast<char>(f[10] + 1); }},
        {"unknown column kind", [](std::string& f) { f[32 + 11] = 'X'; }},
        {"date column of width 9", [](std::string& f) { f[32 + 4 * 32 + 16] = 9; }},
        {"no end of the column list", [this](std::string& f) { f[headerLength() - 1] = 'A'; }},
        {"record count far too big", [](std::string& f) { f[7] = 0x10; }},
    };
    for (const Case& c : cases) {
        std::string bytes = dbf;
        c.damage(bytes);
        fixtures::writeFile(folder.file("t.dbf"), bytes);
        Table table;
        EXPECT_THROW(table.open(folder.path(), "t.dbf"), DatabaseError) << c.name;
        EXPECT_FALSE(checkTable(folder.path(), "t.dbf").sound()) << c.name;
    }
}

TEST_F(Damage, DamagedValuesRaiseEngineErrorAndFailTheCheck)
{
    // Record 2's memo is block 4: each record has a one-block memo and a two-block picture.
    const std::size_t notes = 1 + 10 + 1 + 40 + 12 + 8 + 1;
    struct Case
    {
        const char* name;
        bool inTable;
        std::function<void(std::string&)> damage;
        bool memoError; // reading record 2's memo fails
    };
    const Case cases[] = {
        {"pointer beyond the memo file", true,
         [&](std::string& f) { f.replace(at(2, notes), 10, "    999999"); }, true},
        {"pointer that is no number", true,
         [&](std::string& f) { f.replace(at(2, notes), 10, "   12x4   "); }, true},
        {"pointer into the middle of a value", true,
         [&](std::string& f) { f.replace(at(2, notes), 10, "         3"); }, true},
        {"block without its mark", false, [&](std::string& f) { f[4 * 512] = 'x'; }, true},
        {"impossible value length", false, [&](std::string& f) { f[4 * 512 + 7] = 0x40; }, true},
        {"memo file cut short", false, [&](std::string& f) { f.resize(4 * 512 + 4); }, true},
        {"number that is no number", true, [&](std::string& f) { f.replace(at(2, 1), 10, "   12a    "); },
         false},
        {"date that is no date", true, [&](std::string& f) { f.replace(at(2, 65), 8, "20231341"); }, false},
        {"deletion flag garbled", true, [&](std::string& f) { f[at(2, 0)] = 'X'; }, false},
        {"two records share a block", true,
         [&](std::string& f) { f.replace(at(2, notes), 10, f.substr(at(1, notes), 10)); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string table = dbf;
        std::string memo = dbt;
        c.damage(c.inTable ? table : memo);
        fixtures::writeFile(folder.file("t.dbf"), table);
        fixtures::writeFile(folder.file("t.dbt"), memo);
        if (c.memoError) {
            Table reader;
            reader.open(folder.path(), "t.dbf");
            ASSERT_TRUE(reader.gotoBookmark(2));
            EXPECT_THROW(reader.asString(6), EngineError);
            EXPECT_THROW(reader.memoLines(6), EngineError);
            reader.first();
            EXPECT_EQ(reader.asString(6), "memo 1") << "the rest of the table stays usable";
        }
        const CheckReport report = checkTable(folder.path(), "t.dbf");
        EXPECT_FALSE(report.sound());
        const auto check = fixtures::runCommand(std::string(TESSARY_DB_TOOL) + " check " +
                                                fixtures::quoted(folder.file("t.dbf")));
        EXPECT_EQ(check.exitCode, 1) << check.output;
    }
}

TEST_F(Damage, FreeListThatDoesNotCheckOutIsDroppedNotTrusted)
{
    // The list head names record 2's memo block, with a check word that matches.
    const unsigned head = 4;
    const unsigned check = head ^ 0x4C465354u;
    for (int i = 0; i < 4; ++i) {
        dbt[24 + i] = static_cast<char>((head >> (8 * i)) & 0xFF);
        dbt[28 + i] = static_cast<char>((check >> (8 * i)) & 0xFF);
    }
    fixtures::writeFile(folder.file("t.dbt"), dbt);
    const CheckReport before = checkTable(folder.path(), "t.dbf");
    ASSERT_FALSE(before.sound());
    EXPECT_NE(before.problems.front().find("free list"), std::string::npos) << before.problems.front();
    Table table;
    table.open(folder.path(), "t.dbf");
    table.edit();
    table.setString(6, "a new memo for record 1");
    table.post();
    ASSERT_TRUE(table.gotoBookmark(2));
    EXPECT_EQ(table.asString(6), "memo 2");
    table.close();
    const CheckReport after = checkTable(folder.path(), "t.dbf");
    EXPECT_TRUE(after.sound()) << after.problems.front();
}

TEST_F(Damage, MissingOrGarbledMemoFileIsRefusedOnOpen)
{
    std::filesystem::remove(folder.file("t.dbt"));
    Table table;
    EXPECT_THROW(table.open(folder.path(), "t.dbf"), DatabaseError);
    fixtures::writeFile(folder.file("t.dbt"), std::string(10, '\0'));
    EXPECT_THROW(table.open(folder.path(), "t.dbf"), DatabaseError);
    std::string noBlockSize = dbt;
    noBlockSize.replace(4, 4, std::string(4, '\0'));
    noBlockSize.replace(20, 2, std::string(2, '\0'));
    fixtures::writeFile(folder.file("t.dbt"), noBlockSize);
    EXPECT_THROW(table.open(folder.path(), "t.dbf"), DatabaseError);
}

} // namespace
