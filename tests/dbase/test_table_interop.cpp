// Independent readers and writers of dBASE files (Debian's DBD::XBase, python3-dbfread, python3-dbf)
// against the engine. Their known quirks are stated where they show, not worked around in the engine.
#include "dbase/Table.h"
#include "dbase/TableCheck.h"
#include "TableTestSupport.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

using namespace dbase;
using fixtures::TempFolder;

namespace {

std::string hex(const std::string& bytes)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    for (char c : bytes) {
        text += digits[static_cast<unsigned char>(c) >> 4];
        text += digits[static_cast<unsigned char>(c) & 15];
    }
    return text;
}

std::string unhex(const std::string& text)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2)
        bytes += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
    return bytes;
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

std::vector<std::string> splitCells(const std::string& line)
{
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (std::size_t end; (end = line.find(',', start)) != std::string::npos; start = end + 1)
        cells.push_back(line.substr(start, end - start));
    cells.push_back(line.substr(start));
    return cells;
}

struct Stamp
{
    std::string title;
    std::string price; // as stored, without blanks
    Date issued;
    std::string notes;
    std::string picture;
};

std::vector<Stamp> sampleStamps()
{
    std::string noUnitSeparator = fixtures::binaryPattern(9000, 11);
    for (char& c : noUnitSeparator)
        if (c == '\x1f')
            c = 'x';
    return {
        {"Penny Black",
         "1234.50",
         {1840, 5, 6},
         "Plate 1a\r\nblack ink\r\n",
         fixtures::binaryPattern(70000, 1)},
        {"Z\xfcrich 4", "-2.25", {1843, 3, 1}, "", noUnitSeparator},
        {"Blank", "", {}, "one line\r\n", ""},
    };
}

void writeStamps(const std::string& folder)
{
    createTable(folder, "stamps.dbf", fixtures::catalogFields());
    Table table;
    table.open(folder, "stamps.dbf");
    for (const Stamp& stamp : sampleStamps()) {
        table.append();
        table.setString(2, stamp.title);
        table.setString(3, stamp.price);
        table.setDate(4, stamp.issued);
        table.setString(6, stamp.notes);
        table.setBlob(7, stamp.picture);
        table.post();
    }
    // A deleted record that readers must skip or flag.
    table.append();
    table.setString(2, "deleted");
    table.post();
    table.deleteRecord();
}

constexpr const char* xbaseReader = R"(
use strict; use XBase;
my $t = XBase->new(shift) or die XBase->errstr;
for my $i (0 .. $t->last_record) {
    my ($deleted, @values) = $t->get_record($i);
    next if $deleted;
    print join(",", map { defined $_ ? unpack("H*", $_) : "-" } @values), "\n";
}
)";

TEST(Interop, DbdXBaseReadsTablesMemosAndBinaryValuesTheEngineWrote)
{
    TempFolder folder;
    writeStamps(folder.path());
    fixtures::writeFile(folder.file("read.pl"), xbaseReader);
    const auto result = fixtures::runCommand("perl " + fixtures::quoted(folder.file("read.pl")) + " " +
                                             fixtures::quoted(folder.file("stamps.dbf")));
    ASSERT_EQ(result.exitCode, 0);
    const std::vector<std::string> lines = splitLines(result.output);
    const std::vector<Stamp> stamps = sampleStamps();
    ASSERT_EQ(lines.size(), stamps.size());
    for (std::size_t i = 0; i < stamps.size(); ++i) {
        const std::vector<std::string> cells = splitCells(lines[i]);
        ASSERT_EQ(cells.size(), 8u);
        EXPECT_EQ(cells[2], hex(stamps[i].title)) << i;
        // XBase gives numbers as numbers (1234.5), blank numbers and dates as undefined.
        if (stamps[i].price.empty()) {
            EXPECT_EQ(cells[3], "-") << i;
        } else {
            EXPECT_EQ(std::stod(unhex(cells[3])), std::stod(stamps[i].price)) << i;
        }
        EXPECT_EQ(cells[4], stamps[i].issued.isBlank() ? "-" : hex(stamps[i].issued.toStored())) << i;
        EXPECT_EQ(cells[6], stamps[i].notes.empty() ? "-" : hex(stamps[i].notes)) << i;
        EXPECT_EQ(cells[7], stamps[i].picture.empty() ? "-" : hex(stamps[i].picture)) << "binary value " << i;
    }

    const auto dump =
        fixtures::runCommand("dbf_dump --fs '|' " + fixtures::quoted(folder.file("stamps.dbf")));
    ASSERT_EQ(dump.exitCode, 0);
    EXPECT_NE(dump.output.find("|Penny Black|1234.5|18400506|"), std::string::npos)
        << dump.output.substr(0, 200);
    EXPECT_NE(dump.output.find("Plate 1a\r\nblack ink"), std::string::npos);
}

constexpr const char* dbfreadReader = R"(
import sys, dbfread
def cell(v):
    if v is None:
        return "-"
    if isinstance(v, bytes):
        return v.hex()
    if isinstance(v, str):
        return v.encode("cp1252").hex()
    return str(v).encode().hex()
for record in dbfread.DBF(sys.argv[1], ignore_missing_memofile=False):
    print(",".join(cell(v) for v in record.values()))
)";

TEST(Interop, DbfreadReadsTablesMemosAndBinaryValuesTheEngineWrote)
{
    TempFolder folder;
    writeStamps(folder.path());
    fixtures::writeFile(folder.file("read.py"), dbfreadReader);
    const auto result = fixtures::runCommand("/usr/bin/python3 " + fixtures::quoted(folder.file("read.py")) +
                                             " " + fixtures::quoted(folder.file("stamps.dbf")));
    ASSERT_EQ(result.exitCode, 0);
    const std::vector<std::string> lines = splitLines(result.output);
    const std::vector<Stamp> stamps = sampleStamps();
    ASSERT_EQ(lines.size(), stamps.size());
    for (std::size_t i = 0; i < stamps.size(); ++i) {
        const std::vector<std::string> cells = splitCells(lines[i]);
        ASSERT_EQ(cells.size(), 8u);
        EXPECT_EQ(unhex(cells[2]), stamps[i].title) << i;
        if (!stamps[i].price.empty()) {
            EXPECT_EQ(std::stod(unhex(cells[3])), std::stod(stamps[i].price)) << i;
        }
        // Quirk: dbfread reads a dBASE IV value's length as the size of the data after the 8-byte block
        // header, but the length counts those 8 bytes, so it returns 8 bytes too many (here the zeros that
        // pad the block); and it cuts every value at its first 0x1F byte.
        for (std::size_t column : {6, 7}) {
            const std::string& expected = column == 6 ? stamps[i].notes : stamps[i].picture;
            if (expected.empty()) {
                EXPECT_EQ(cells[column], "-") << i;
                continue;
            }
            const std::string cut = expected.substr(0, expected.find('\x1f'));
            const bool longer = cut.size() == expected.size();
            EXPECT_EQ(cells[column], hex(cut) + (longer ? std::string(16, '0') : ""))
                << "row " << i << " column " << column;
        }
    }
}

TEST(Interop, EngineReadsDBaseIVWrittenByDbdXBase)
{
    TempFolder folder;
    const std::string picture = fixtures::binaryPattern(1500, 5);
    fixtures::writeFile(folder.file("picture.bin"), picture);
    fixtures::writeFile(folder.file("write.pl"), R"(
use strict; use XBase;
my ($name, $picture) = @ARGV;
open(my $in, "<:raw", $picture) or die; local $/; my $bytes = <$in>;
my $t = XBase->create(name => $name, version => 0x0B,
    field_names => [qw(TITLE PRICE ISSUED NOTES PICTURE)], field_types => [qw(C N D M B)],
    field_lengths => [20, 10, 8, 10, 10], field_decimals => [0, 2, 0, 0, 0]) or die XBase->errstr;
$t->set_record(0, "Penny Black", 12.5, "18400506", "line one\r\nline two", $bytes) or die $t->errstr;
$t->set_record(1, "Nothing", undef, undef, undef, undef) or die $t->errstr;
$t->set_record(2, "Third", 3, "19991231", "x" x 1200, "") or die $t->errstr;
$t->close;
)");
    const auto result = fixtures::runCommand("perl " + fixtures::quoted(folder.file("write.pl")) + " " +
                                             fixtures::quoted(folder.file("xbase.dbf")) + " " +
                                             fixtures::quoted(folder.file("picture.bin")));
    ASSERT_EQ(result.exitCode, 0);
    ASSERT_EQ(fixtures::readFile(folder.file("xbase.dbf"))[0], '\x8b');
    Table table;
    table.open(folder.path(), "XBASE.DBF");
    ASSERT_EQ(table.recordCount(), 3);
    EXPECT_EQ(table.asString(0), "Penny Black");
    EXPECT_EQ(table.asNumber(1), 12.5);
    EXPECT_EQ(table.asDate(2), (Date{1840, 5, 6}));
    EXPECT_EQ(table.memoLines(3), (std::vector<std::string>{"line one", "line two"}));
    EXPECT_EQ(table.blob(4), picture);
    table.next();
    EXPECT_TRUE(table.isNull(1));
    EXPECT_TRUE(table.isNull(2)) << "XBase writes an empty date as \"       0\"";
    EXPECT_TRUE(table.isNull(3));
    EXPECT_TRUE(table.isNull(4));
    table.next();
    EXPECT_EQ(table.asString(3), std::string(1200, 'x'));
    // The engine can go on writing what XBase started.
    table.edit();
    table.setString(3, "rewritten");
    table.post();
    table.close();
    EXPECT_TRUE(checkTable(folder.path(), "xbase.dbf").sound());
}

TEST(Interop, EngineReadsDBaseIIIWithMemoWrittenByPythonDbf)
{
    TempFolder folder;
    fixtures::writeFile(folder.file("write.py"), R"(
import sys, datetime, dbf
t = dbf.Table(sys.argv[1], 'TITLE C(20); PRICE N(10,2); ISSUED D; NOTES M', dbf_type='db3')
t.open(dbf.READ_WRITE)
t.append(('Inverted Jenny', 12.5, datetime.date(1918, 5, 10), 'memo line 1\r\nline 2'))
t.append(('Nothing', None, None, ''))
t.append(('Long', 1, datetime.date(2000, 1, 1), 'y' * 1500))
t.close()
)");
    const auto result = fixtures::runCommand("/usr/bin/python3 " + fixtures::quoted(folder.file("write.py")) +
                                             " " + fixtures::quoted(folder.file("db3.dbf")));
    ASSERT_EQ(result.exitCode, 0);
    ASSERT_EQ(fixtures::readFile(folder.file("db3.dbf"))[0], '\x83');
    Table table;
    table.open(folder.path(), "db3.dbf");
    ASSERT_EQ(table.recordCount(), 3);
    EXPECT_EQ(table.asString(0), "Inverted Jenny");
    EXPECT_EQ(table.asString(1), "12.50");
    EXPECT_EQ(table.asDate(2), (Date{1918, 5, 10}));
    EXPECT_EQ(table.memoLines(3), (std::vector<std::string>{"memo line 1", "line 2"}));
    table.next();
    EXPECT_TRUE(table.isNull(1));
    EXPECT_TRUE(table.isNull(2));
    EXPECT_TRUE(table.isNull(3));
    table.next();
    EXPECT_EQ(table.asString(3), std::string(1500, 'y'));
    // Writes keep the dBASE III layout: text ended by 0x1A, appended.
    table.edit();
    table.setString(3, "new text");
    table.post();
    table.close();
    table.open(folder.path(), "db3.dbf");
    table.last();
    EXPECT_EQ(table.asString(3), "new text");
    table.close();
    EXPECT_TRUE(checkTable(folder.path(), "db3.dbf").sound());
}

// --- Index tags written through the cursor -------------------------------------------------------------

std::string upperAscii(std::string text, std::size_t width)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    text.resize(width, ' ');
    return text;
}

std::string rightAligned(const std::string& text, std::size_t width)
{
    return std::string(width - text.size(), ' ') + text;
}

// DBD::XBase's dbf_dump and index_dump read a table and its tags as the cursor wrote them, through appends,
// edits that move keys, and deletes whose keys leave the tags.
TEST(Interop, DbfDumpAndIndexDumpAgreeWithTaggedTablesTheEngineWrote)
{
    TempFolder folder;
    struct TagCase
    {
        TagInfo tag;
        std::function<std::string(long number, const std::string& mark, const std::string& title)> key;
    };
    const TagCase tagCases[] = {
        {{"NUMBERS", "STR(NUMBER, 10, 0)", false},
         [](long number, const std::string&, const std::string&) {
             return rightAligned(std::to_string(number), 10);
         }},
        {{"TITLES", "UPPER(TITLE)", true},
         [](long, const std::string&, const std::string& title) { return upperAscii(title, 40); }},
        {{"MARKED", "MARK+UPPER(SUBSTR(TITLE, 1, 12))", false},
         [](long, const std::string& mark, const std::string& title) {
             return upperAscii(mark.empty() ? " " : mark, 1) + upperAscii(title.substr(0, 12), 12);
         }},
    };
    std::vector<TagInfo> tags;
    for (const TagCase& c : tagCases)
        tags.push_back(c.tag);
    createTable(folder.path(), "stamps.dbf", fixtures::catalogFields(), tags);
    {
        Table table;
        table.open(folder.path(), "stamps.dbf", false, "TITLES");
        const char* words[] = {"penny", "Black", "mauritius", "Post Office", "jenny", "dove", "zeppelin"};
        for (long n = 1; n <= 700; ++n) {
            table.append();
            table.setNumber(0, static_cast<double>(n));
            table.setString(1, n % 3 ? "2" : "0");
            table.setString(2, std::string(words[n % 7]) + " " + std::to_string(n * 7919 % 1000));
            table.post();
        }
        for (std::uint32_t record = 5; record <= 700; record += 9) {
            ASSERT_TRUE(table.gotoBookmark(record));
            table.edit();
            table.setString(2, "moved " + std::to_string(record));
            table.post();
            ASSERT_TRUE(table.gotoBookmark(record - 3));
            table.deleteRecord();
        }
    }
    Table table;
    table.open(folder.path(), "stamps.dbf");
    std::string records;
    for (table.first(); !table.eof(); table.next())
        records += table.asString(0) + "|" + table.asString(2) + "\n";
    const auto dump = fixtures::runCommand("dbf_dump --nomemo --fs '|' --fields NUMBER,TITLE " +
                                           fixtures::quoted(folder.file("stamps.dbf")));
    ASSERT_EQ(dump.exitCode, 0);
    EXPECT_EQ(dump.output, records) << "dbf_dump skips deleted records";

    const auto listed = fixtures::runCommand("index_dump " + fixtures::quoted(folder.file("stamps.mdx")));
    EXPECT_EQ(listed.output, "MARKED\nNUMBERS\nTITLES\n") << "index_dump lists tags by name";
    for (const TagCase& c : tagCases) {
        SCOPED_TRACE(c.tag.name);
        table.setActiveTag(c.tag.name);
        std::string expected;
        for (table.first(); !table.eof(); table.next())
            expected += c.key(static_cast<long>(table.asNumber(0)), table.asString(1), table.asString(2)) +
                        " " + std::to_string(table.recordNumber()) + "\n";
        const auto entries = fixtures::runCommand(
            "index_dump " + fixtures::quoted(folder.file("stamps.mdx")) + " " + c.tag.name);
        ASSERT_EQ(entries.exitCode, 0);
        EXPECT_EQ(entries.output, expected);
        EXPECT_EQ(std::count(expected.begin(), expected.end(), '\n'), table.recordCount());
    }
}

} // namespace
