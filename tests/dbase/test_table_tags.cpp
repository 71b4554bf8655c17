// Index tags through the table cursor: adding and refusing tags, order, ranges, keys and bookmarks on a
// tag, every change reaching every tag, maintenance, table files with their index, damaged indexes, and
// lock conflicts told apart from damage.
#include "dbase/Errors.h"
#include "dbase/Table.h"
#include "dbase/TableCheck.h"
#include "TableTestSupport.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>

using namespace dbase;
using dbase::fixtures::TempFolder;

namespace {

using namespace fixtures::CatalogColumn;

const std::vector<std::string> sampleTitles = {"penny black", "Mauritius", "inverted Jenny", "Basel dove",
                                               "blue boy",    "zeppelin",  "Mauritius",      "",
                                               "1840 cover",  "\xc4gypten"};

class TableTags : public ::testing::Test
{
protected:
    void SetUp() override { createTable(folder.path(), "stamps.dbf", fixtures::catalogFields()); }

    void appendTitles(Table& table, const std::vector<std::string>& titles)
    {
        for (const std::string& title : titles) {
            table.append();
            table.setNumber(Number, ++lastNumber);
            table.setString(Title, title);
            table.post();
        }
    }

    // Opens the table exclusively, adds the tags, and reopens it shared on the first one.
    void addTags(const std::vector<TagInfo>& tags)
    {
        Table table;
        table.open(folder.path(), "stamps.dbf", true);
        for (const TagInfo& tag : tags)
            table.addTag(tag);
    }

    static std::vector<std::uint32_t> forward(Table& table)
    {
        std::vector<std::uint32_t> records;
        for (table.first(); !table.eof(); table.next())
            records.push_back(table.recordNumber());
        return records;
    }

    static std::vector<std::uint32_t> backward(Table& table)
    {
        std::vector<std::uint32_t> records;
        for (table.last(); !table.bof(); table.prior())
            records.push_back(table.recordNumber());
        std::reverse(records.begin(), records.end());
        return records;
    }

    // The records in the order of UPPER(TITLE): keys as unsigned bytes, equal keys by record number.
    static std::vector<std::uint32_t> byUpperTitle(Table& table, bool descending)
    {
        std::vector<std::pair<std::string, std::uint32_t>> keys;
        for (table.setActiveTag({}); !table.eof(); table.next()) {
            std::string key = table.asString(Title);
            for (char& c : key)
                c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c == '\xe4' ? '\xc4' : c;
            keys.emplace_back(key, table.recordNumber());
        }
        // strcmp compares as unsigned bytes, and a shorter title sorts first as its blank padding does.
        std::stable_sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
            const int order = std::strcmp(a.first.c_str(), b.first.c_str());
            return descending ? order > 0 : order < 0;
        });
        std::vector<std::uint32_t> records;
        for (const auto& [key, record] : keys)
            records.push_back(record);
        return records;
    }

    void expectSound()
    {
        const CheckReport report = checkTable(folder.path(), "stamps.dbf");
        EXPECT_TRUE(report.sound()) << (report.problems.empty() ? "" : report.problems.front());
    }

    TempFolder folder;
    int lastNumber = 0;
};

TEST_F(TableTags, TagsAreAddedListedAndRefused)
{
    Table table;
    table.open(folder.path(), "stamps.dbf");
    appendTitles(table, {"b", "a"});
    EXPECT_TRUE(table.tags().empty());
    EXPECT_THROW(table.addTag({"IDX0", "UPPER(TITLE)", false}), DatabaseError) << "needs exclusive use";
    table.open(folder.path(), "stamps.dbf", true);

    struct Refusal
    {
        TagInfo tag;
        const char* fault;
    };
    const Refusal refusals[] = {
        {{"IDX0", "UPPER(NAM)", false}, "unknown field NAM"},
        {{"IDX0", "PRICE", false}, "the key is a number"},
        {{"IDX0", "UPPER(TITLE", false}, "missing \")\""},
        {{"0IDX", "TITLE", false}, "is not valid"},
    };
    for (const Refusal& refusal : refusals) {
        try {
            table.addTag(refusal.tag);
            ADD_FAILURE() << refusal.tag.expression << " was accepted";
        } catch (const DatabaseError& error) {
            EXPECT_NE(std::string(error.what()).find(refusal.fault), std::string::npos) << error.what();
        }
        // A refused first tag leaves neither an index file nor the production-index flag behind.
        EXPECT_FALSE(std::filesystem::exists(folder.file("stamps.mdx"))) << refusal.tag.expression;
        EXPECT_EQ(fixtures::readFile(folder.file("stamps.dbf"))[28], '\0');
    }

    table.addTag({"IDX0", "UPPER(TITLE)", false});
    EXPECT_TRUE(std::filesystem::exists(folder.file("stamps.mdx")));
    EXPECT_EQ(fixtures::readFile(folder.file("stamps.dbf"))[28], '\1');
    table.addTag({"IDX1", "MARK+UPPER(TITLE)", true});
    EXPECT_THROW(table.addTag({"idx1", "TITLE", false}), DatabaseError) << "names are compared without case";
    EXPECT_THROW(table.deleteTag("IDX7"), DatabaseError);
    EXPECT_EQ(table.tags(),
              (std::vector<TagInfo>{{"IDX0", "UPPER(TITLE)", false}, {"IDX1", "MARK+UPPER(TITLE)", true}}));

    table.open(folder.path(), "stamps.dbf", false, "idx1");
    EXPECT_EQ(table.activeTag(), "IDX1");
    EXPECT_EQ(table.recordCount(), 2);
    EXPECT_EQ(table.asString(Title), "b") << "descending";
    EXPECT_THROW(table.setActiveTag("IDX9"), DatabaseError);
    EXPECT_THROW(table.open(folder.path(), "stamps.dbf", false, "IDX9"), DatabaseError);

    table.open(folder.path(), "stamps.dbf", true, "IDX1");
    table.deleteTag("IDX1");
    EXPECT_EQ(table.activeTag(), "") << "deleting the active tag leaves record order";
    EXPECT_EQ(table.tags(), (std::vector<TagInfo>{{"IDX0", "UPPER(TITLE)", false}}));
    table.close();
    expectSound();
}

TEST_F(TableTags, NavigationFollowsTheTagInBothDirections)
{
    addTags({{"UP", "UPPER(TITLE)", false}, {"DOWN", "UPPER(TITLE)", true}});
    Table table;
    table.open(folder.path(), "stamps.dbf");
    appendTitles(table, sampleTitles);
    table.first();
    table.deleteRecord(); // record 1 leaves every tag
    for (const bool descending : {false, true}) {
        SCOPED_TRACE(descending);
        const std::vector<std::uint32_t> expected = byUpperTitle(table, descending);
        table.setActiveTag(descending ? "DOWN" : "UP");
        EXPECT_EQ(forward(table), expected);
        EXPECT_EQ(backward(table), expected);
        EXPECT_EQ(table.recordCount(), 9);

        // Moves by n land where n steps of next land, and stop at the ends.
        for (std::int64_t n : {0, 1, 4, 8}) {
            table.first();
            EXPECT_EQ(table.moveBy(n), n);
            EXPECT_EQ(table.recordNumber(), expected[static_cast<std::size_t>(n)]) << n;
            EXPECT_FALSE(table.eof());
        }
        table.first();
        EXPECT_EQ(table.moveBy(20), 8);
        EXPECT_TRUE(table.eof());
        EXPECT_EQ(table.recordNumber(), expected.back());
        EXPECT_EQ(table.moveBy(-3), -3);
        EXPECT_EQ(table.recordNumber(), expected[5]);
        EXPECT_EQ(table.moveBy(-10), -5);
        EXPECT_TRUE(table.bof());
        EXPECT_EQ(table.recordNumber(), expected.front());
        table.last();
        table.next();
        EXPECT_TRUE(table.eof());
        EXPECT_EQ(table.recordNumber(), expected.back()) << "stays on the last row";
    }
}

TEST_F(TableTags, RangesLimitNavigationAndCounts)
{
    addTags({{"UP", "UPPER(TITLE)", false}, {"DOWN", "UPPER(TITLE)", true}});
    Table table;
    table.open(folder.path(), "stamps.dbf");
    EXPECT_THROW(table.setRange("A", "B"), DatabaseError) << "no active tag";
    appendTitles(table, sampleTitles);
    struct Case
    {
        const char* tag;
        std::string start;
        std::string end;
        std::vector<std::string> titles;
    };
    const Case cases[] = {
        {"UP", "B", "B", {"Basel dove", "blue boy"}},
        {"UP", "MAURITIUS", "P", {"Mauritius", "Mauritius", "penny black"}},
        {"UP", "", "A", {"", "1840 cover"}},
        {"UP", "Z", "\xff", {"zeppelin", "\xc4gypten"}},
        {"UP", "Z", "Z\xff", {"zeppelin"}},
        {"UP", "Q", "Y", {}},
        {"UP", "M", "B", {}},
        {"DOWN", "P", "I", {"penny black", "Mauritius", "Mauritius", "inverted Jenny"}},
        {"DOWN", "B", "P", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.tag) + " " + c.start + ".." + c.end);
        table.setActiveTag(c.tag);
        table.setRange(c.start, c.end);
        EXPECT_TRUE(table.hasRange());
        std::vector<std::string> titles;
        for (table.first(); !table.eof(); table.next())
            titles.push_back(table.asString(Title));
        EXPECT_EQ(titles, c.titles);
        EXPECT_EQ(table.recordCount(), static_cast<std::int64_t>(c.titles.size()));
        table.first();
        EXPECT_EQ(table.eof(), c.titles.empty());
        EXPECT_EQ(table.bof(), c.titles.empty());
        if (c.titles.empty()) {
            EXPECT_EQ(table.recordNumber(), 0u);
        }
    }
    table.setActiveTag("UP");
    table.setRange("B", "B");
    table.cancelRange();
    EXPECT_FALSE(table.hasRange());
    EXPECT_EQ(table.recordCount(), 10);
    table.setRange("B", "B");
    table.setActiveTag("DOWN");
    EXPECT_FALSE(table.hasRange()) << "a new tag cancels the range";
}

TEST_F(TableTags, KeysBookmarksAndSecondCursorsWorkInTagOrder)
{
    addTags({{"UP", "UPPER(TITLE)", false}});
    Table table;
    table.open(folder.path(), "stamps.dbf", false, "UP");
    EXPECT_THROW(Table().findKey("A"), DatabaseError);
    appendTitles(table, sampleTitles);

    EXPECT_TRUE(table.findKey("MAURITIUS"));
    EXPECT_EQ(table.recordNumber(), 2u) << "the first of two equal keys";
    table.next();
    EXPECT_EQ(table.recordNumber(), 7u);
    table.next();
    EXPECT_EQ(table.asString(Title), "penny black");
    EXPECT_FALSE(table.findKey("MAURI")) << "an exact match only";
    EXPECT_FALSE(table.findKey("mauritius")) << "keys are compared as stored";
    EXPECT_EQ(table.asString(Title), "penny black") << "position unchanged";

    // A bookmark returns to the record and the walk goes on from there in tag order.
    table.findKey("BASEL DOVE");
    const Table::Bookmark basel = table.bookmark();
    table.last();
    ASSERT_TRUE(table.gotoBookmark(basel));
    table.next();
    EXPECT_EQ(table.asString(Title), "blue boy");
    table.setRange("P", "P");
    EXPECT_FALSE(table.gotoBookmark(basel)) << "outside the range";
    EXPECT_EQ(table.asString(Title), "penny black");
    EXPECT_FALSE(table.findKey("BASEL DOVE")) << "keys outside the range are not found";

    Table other;
    other.open(folder.path(), "stamps.dbf", false, "UP");
    other.findKey("INVERTED JENNY");
    table.cancelRange();
    table.goToCurrent(other);
    EXPECT_EQ(table.asString(Title), "inverted Jenny");
    table.prior();
    EXPECT_EQ(table.asString(Title), "blue boy");
}

TEST_F(TableTags, EveryPostAndDeleteKeepsEveryTagCurrent)
{
    addTags({{"UP", "UPPER(TITLE)", false}, {"NOTE", "MARK+UPPER(MLINE(NOTES, 1))", true}});
    Table table;
    table.open(folder.path(), "stamps.dbf", false, "UP");
    Table other;
    other.open(folder.path(), "stamps.dbf", false, "NOTE");
    appendTitles(table, {"delta", "alpha", "charlie"});
    appendTitles(other, {"bravo"});
    EXPECT_EQ(table.recordCount(), 4);
    EXPECT_EQ(forward(table), (std::vector<std::uint32_t>{2, 4, 3, 1}));

    // An edit that moves the key: the cursor stays on the record and goes on from its new place.
    ASSERT_TRUE(table.findKey("ALPHA"));
    table.edit();
    table.setString(Title, "echo");
    table.setMemoLines(Notes, {"a note", "second line"});
    table.post();
    EXPECT_EQ(table.recordNumber(), 2u);
    table.prior();
    EXPECT_EQ(table.asString(Title), "delta");
    EXPECT_EQ(forward(table), (std::vector<std::uint32_t>{4, 3, 1, 2}));
    ASSERT_TRUE(other.findKey(" A NOTE")) << "the memo's first line keys the other tag";
    EXPECT_EQ(other.recordNumber(), 2u);

    // A delete moves to the next row in tag order, or the one before at the end.
    ASSERT_TRUE(table.findKey("CHARLIE"));
    table.deleteRecord();
    EXPECT_EQ(table.asString(Title), "delta");
    table.last();
    table.deleteRecord();
    EXPECT_TRUE(table.eof());
    EXPECT_EQ(table.asString(Title), "delta");
    EXPECT_EQ(forward(table), (std::vector<std::uint32_t>{4, 1}));
    EXPECT_EQ(other.recordCount(), 2);
    EXPECT_FALSE(other.findKey(" A NOTE"));
    table.close();
    other.close();
    expectSound();
}

TEST_F(TableTags, EditReadsWhatTheLastHolderPosted)
{
    addTags({{"UP", "UPPER(TITLE)", false}});
    Table first;
    first.open(folder.path(), "stamps.dbf", false, "UP");
    appendTitles(first, {"before"});
    Table second;
    second.open(folder.path(), "stamps.dbf", false, "UP");
    second.edit();
    second.setString(Title, "after");
    second.setMemoLines(Notes, {"posted by the second"});
    second.post();
    first.edit(); // first still shows the row as it read it
    EXPECT_EQ(first.asString(Title), "after");
    EXPECT_EQ(first.memoLines(Notes), (std::vector<std::string>{"posted by the second"}));
    first.setString(Price, "1.5");
    first.post();
    second.first();
    EXPECT_EQ(second.asString(Title), "after");
    EXPECT_EQ(second.asString(Price), "1.50");
}

TEST_F(TableTags, PackEmptyAndRegenerateKeepTheTags)
{
    addTags({{"UP", "UPPER(TITLE)", false}, {"NUM", "STR(NUMBER, 10, 0)", true}});
    {
        Table table;
        table.open(folder.path(), "stamps.dbf");
        appendTitles(table, sampleTitles);
        for (std::uint32_t record : {1u, 4u, 5u, 9u}) {
            ASSERT_TRUE(table.gotoBookmark(record));
            table.deleteRecord();
        }
    }
    Table table;
    table.open(folder.path(), "stamps.dbf", true, "UP");
    table.pack();
    EXPECT_EQ(table.activeTag(), "UP");
    EXPECT_EQ(table.recordCount(), 6);
    const std::vector<std::uint32_t> expected = byUpperTitle(table, false);
    table.setActiveTag("UP");
    EXPECT_EQ(forward(table), expected) << "renumbered records, rebuilt tags";
    table.setActiveTag("NUM");
    EXPECT_EQ(forward(table), (std::vector<std::uint32_t>{6, 5, 4, 3, 2, 1}));
    table.close();
    expectSound();

    // Regenerating puts right a tag that no longer matches the records.
    const std::string sound = fixtures::readFile(folder.file("stamps.mdx"));
    {
        Table writer;
        writer.open(folder.path(), "stamps.dbf");
        appendTitles(writer, {"added later"});
    }
    fixtures::writeFile(folder.file("stamps.mdx"), sound);
    EXPECT_FALSE(checkTable(folder.path(), "stamps.dbf").sound());
    table.open(folder.path(), "stamps.dbf", true);
    EXPECT_THROW(Table().regenerateIndexes(), DatabaseError);
    table.regenerateIndexes();
    table.setActiveTag("UP");
    EXPECT_EQ(table.recordCount(), 7);
    table.close();
    expectSound();

    table.open(folder.path(), "stamps.dbf", true, "NUM");
    table.emptyTable();
    EXPECT_EQ(table.recordCount(), 0);
    EXPECT_EQ(table.tags().size(), 2u);
    appendTitles(table, {"new"});
    EXPECT_EQ(forward(table), (std::vector<std::uint32_t>{1}));
    table.close();
    expectSound();
}

// The index file's header names its table: bytes 4 to 19.
std::string indexTableName(const std::string& path)
{
    const std::string bytes = fixtures::readFile(path).substr(4, 16);
    return bytes.substr(0, bytes.find('\0'));
}

TEST(TableFilesWithTags, CreateCopyAndRenameCarryTheIndex)
{
    TempFolder folder;
    const std::vector<TagInfo> tags = {{"IDX0", "STR(NUMBER, 20, 4)", false}, {"IDX1", "UPPER(TITLE)", true}};
    EXPECT_THROW(
        createTable(folder.path(), "bad.dbf", fixtures::catalogFields(), {{"IDX0", "UPPER(NOSUCH)", false}}),
        DatabaseError);
    EXPECT_FALSE(tableExists(folder.path(), "bad.dbf"));
    EXPECT_FALSE(std::filesystem::exists(folder.file("bad.mdx")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("bad.dbt")));

    createTable(folder.path(), "source.dbf", fixtures::catalogFields(), tags);
    EXPECT_EQ(fixtures::readFile(folder.file("source.dbf"))[28], '\1');
    EXPECT_EQ(indexTableName(folder.file("source.mdx")), "source");
    {
        Table table;
        table.open(folder.path(), "source.dbf", false, "IDX1");
        EXPECT_EQ(table.tags(), tags);
        for (const char* title : {"a", "c", "b"}) {
            table.append();
            table.setString(Title, title);
            table.post();
        }
    }
    copyTable(folder.path(), "source.dbf", folder.path(), "copy.dbf", false);
    EXPECT_EQ(indexTableName(folder.file("copy.mdx")), "copy");
    EXPECT_EQ(indexTableName(folder.file("source.mdx")), "source");
    renameTable(folder.path(), "copy.dbf", "MOVED.DBF");
    EXPECT_EQ(indexTableName(folder.file("MOVED.MDX")), "MOVED");
    Table moved;
    moved.open(folder.path(), "moved.dbf", false, "IDX1");
    std::string titles;
    for (moved.first(); !moved.eof(); moved.next())
        titles += moved.asString(Title);
    EXPECT_EQ(titles, "cba");
    moved.close();
    EXPECT_TRUE(checkTable(folder.path(), "moved.dbf").sound());
}

TEST_F(TableTags, DamagedOrMissingIndexIsRefusedOnOpen)
{
    addTags({{"UP", "UPPER(TITLE)", false}});
    {
        Table table;
        table.open(folder.path(), "stamps.dbf");
        appendTitles(table, sampleTitles);
    }
    const std::string sound = fixtures::readFile(folder.file("stamps.mdx"));
    struct Case
    {
        const char* name;
        std::function<std::string()> bytes; // empty: no file at all
    };
    const Case cases[] = {
        {"missing", nullptr},
        {"empty", [] { return std::string(); }},
        {"cut inside the header", [&] { return sound.substr(0, 1000); }},
        {"block size garbled", [&] { return std::string(sound).replace(22, 2, std::string("\0\x08", 2)); }},
        {"tag count beyond the tag table",
         [&] { return std::string(sound).replace(28, 2, std::string("\x63\0", 2)); }},
        {"tag header outside the file",
         [&] { return std::string(sound).replace(544, 4, std::string("\xff\xff\0\0", 4)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(folder.file("stamps.mdx"));
        if (c.bytes)
            fixtures::writeFile(folder.file("stamps.mdx"), c.bytes());
        Table table;
        try {
            table.open(folder.path(), "stamps.dbf");
            ADD_FAILURE() << "opened";
        } catch (const LockError& error) {
            ADD_FAILURE() << "damage reported as a lock conflict: " << error.what();
        } catch (const DatabaseError&) {
        }
        EXPECT_FALSE(checkTable(folder.path(), "stamps.dbf").sound());
    }

    // A tag with a FOR condition is one this engine cannot keep current: the table stays readable, not
    // writable.
    std::string filtered = sound;
    const std::size_t tagHeader = 512 * static_cast<unsigned char>(sound[544]);
    filtered[tagHeader + 245] = 1;
    fixtures::writeFile(folder.file("stamps.mdx"), filtered);
    Table table;
    table.open(folder.path(), "stamps.dbf");
    EXPECT_EQ(table.recordCount(), 10);
    EXPECT_THROW(table.setActiveTag("UP"), DatabaseError);
    EXPECT_THROW(table.edit(), DatabaseError);
    EXPECT_THROW(table.append(), DatabaseError);
    EXPECT_EQ(table.tags().size(), 1u);
}

TEST_F(TableTags, AnInterruptedIndexUpdateIsRebuiltOnOpen)
{
    addTags({{"UP", "UPPER(TITLE)", false}});
    {
        Table table;
        table.open(folder.path(), "stamps.dbf");
        appendTitles(table, {"c", "a"});
    }
    // The index as a writer killed after the mark but before its tags learnt of two more records.
    std::string stale = fixtures::readFile(folder.file("stamps.mdx"));
    {
        Table table;
        table.open(folder.path(), "stamps.dbf");
        appendTitles(table, {"d", "b"});
    }
    stale[64] = 1;
    fixtures::writeFile(folder.file("stamps.mdx"), stale);
    EXPECT_FALSE(checkTable(folder.path(), "stamps.dbf").sound());

    Table table;
    table.open(folder.path(), "stamps.dbf", false, "UP");
    EXPECT_EQ(table.recordCount(), 4);
    EXPECT_EQ(forward(table), (std::vector<std::uint32_t>{2, 4, 1, 3}));
    table.close();
    expectSound();
}

TEST_F(TableTags, LockConflictsAreLockErrors)
{
    Table holder;
    holder.open(folder.path(), "stamps.dbf");
    appendTitles(holder, {"a"});
    holder.edit();
    Table other;
    other.open(folder.path(), "stamps.dbf");
    EXPECT_THROW(other.edit(), LockError);
    EXPECT_THROW(other.deleteRecord(), LockError);
    holder.cancel();
    EXPECT_THROW(Table().open(folder.path(), "stamps.dbf", true), LockError) << "in use";
    EXPECT_THROW(renameTable(folder.path(), "stamps.dbf", "other.dbf"), LockError);
    EXPECT_THROW(deleteTable(folder.path(), "stamps.dbf"), LockError);
    holder.close();
    other.close();

    Table exclusive;
    exclusive.open(folder.path(), "stamps.dbf", true);
    EXPECT_THROW(Table().open(folder.path(), "stamps.dbf"), LockError) << "opened exclusively elsewhere";
    EXPECT_THROW(copyTable(folder.path(), "stamps.dbf", folder.path(), "copy.dbf", false), LockError);
    // Not a lock conflict: a table that is not there.
    try {
        Table().open(folder.path(), "missing.dbf");
        ADD_FAILURE() << "opened";
    } catch (const LockError&) {
        ADD_FAILURE() << "a missing table is no lock conflict";
    } catch (const DatabaseError&) {
    }
}

} // namespace
