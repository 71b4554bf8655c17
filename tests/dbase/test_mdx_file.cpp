// The index file as a whole: tags added, refused, deleted and rebuilt, records kept current, the file read
// by DBD::XBase's index_dump, and several processes on one file.

#include "dbase/Errors.h"
#include "dbase/Expression.h"
#include "dbase/MdxIndex.h"
#include "MdxTestSupport.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using dbase::DatabaseError;
using dbase::IndexEntry;
using dbase::MdxIndex;
using dbase::MdxOptions;
using mdxtest::expectDatabaseError;
using mdxtest::fields;
using mdxtest::Refusal;
using mdxtest::TestRecords;

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<IndexEntry> entriesOf(MdxIndex& index, const std::string& tag)
{
    std::vector<IndexEntry> entries;
    index.forEachEntry(tag, [&](const IndexEntry& entry) { entries.push_back(entry); });
    return entries;
}

// What a tag must hold for these records: each record's key, in tag order.
std::vector<IndexEntry> expectedEntries(TestRecords& records, const std::string& expression, bool descending)
{
    const dbase::Expression key(expression, fields());
    std::vector<IndexEntry> entries;
    records.forEach([&](std::uint32_t number, const dbase::RecordSource& values) {
        entries.push_back({key.evaluate(values), number});
    });
    std::sort(entries.begin(), entries.end(), mdxtest::TagOrder{descending});
    return entries;
}

void expectTagsMatchRecords(MdxIndex& index, TestRecords& records)
{
    for (const dbase::MdxTag& tag : index.tags())
        EXPECT_EQ(entriesOf(index, tag.name), expectedEntries(records, tag.expression, tag.descending))
            << tag.name;
    const std::vector<std::string> problems = index.check();
    EXPECT_TRUE(problems.empty()) << problems.front();
}

// A random stamp; ISSUED stays within years a key can show.
void randomStamp(mdxtest::TestRecord& record, std::mt19937& random)
{
    static const char* words[] = {"Penny", "black",      "Mauritius", "inverted",
                                  "Jenny", "\xc4gypten", "zeppelin",  ""};
    const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    record.set("TITLE", std::string(words[pick(8)]) + " " + words[pick(8)])
        .set("MARK", pick(2) ? "2" : "0")
        .set("PRICE", std::to_string(pick(100000)) + "." + std::to_string(10 + pick(90)))
        .set("ISSUED", pick(5) == 0 ? ""
                                    : std::to_string(1840 + pick(180)) + "0" + std::to_string(1 + pick(9)) +
                                          "1" + std::to_string(pick(10)))
        .set("NUMBER", std::to_string(pick(100000)))
        .setMemo("NOTES", pick(3) == 0 ? "" : std::string(words[pick(8)]) + "\r\nsecond line");
}

TestRecords randomStamps(std::uint32_t count, unsigned seed)
{
    TestRecords records(fields());
    std::mt19937 random(seed);
    for (std::uint32_t n = 1; n <= count; ++n)
        randomStamp(records.add(n), random);
    return records;
}

struct TagDefinition
{
    const char* name;
    const char* expression;
    bool descending;
};

const TagDefinition stampTags[] = {
    {"IDX0", "UPPER(TITLE)", false},
    {"IDX1", "UPPER(TITLE)", true},
    {"IDX2", "STR(PRICE, 20, 4)+DTOS(ISSUED)", false},
    {"IDX3", "MARK+UPPER(MLINE(NOTES, 1))", false},
    {"IDX4", "STR(999999999999999999-NUMBER, 20, 4)", false},
    {"IDXF5", "MARK+UPPER(SUBSTR(TITLE, 1, 59))+STR({12/31/3099}-ISSUED, 10, 0)", true},
};

class MdxFile : public testing::Test
{
protected:
    std::string path() const { return folder_.file("stamps.mdx"); }
    MdxIndex open(bool writable = true, MdxOptions options = {})
    {
        return MdxIndex(path(), fields(), writable, std::move(options));
    }
    void createWithTags(TestRecords& records)
    {
        MdxIndex::create(path(), "STAMPS");
        MdxIndex index = open();
        for (const TagDefinition& tag : stampTags)
            index.addTag(tag.name, tag.expression, tag.descending, records);
    }

    mdxtest::TemporaryFolder folder_;
};

TEST_F(MdxFile, TagsAreListedInFileOrderAfterReopening)
{
    TestRecords records = randomStamps(50, 1);
    createWithTags(records);
    MdxIndex index = open(false);
    const std::vector<dbase::MdxTag> tags = index.tags();
    ASSERT_EQ(tags.size(), std::size(stampTags));
    for (std::size_t i = 0; i < tags.size(); ++i) {
        EXPECT_EQ(tags[i].name, stampTags[i].name);
        EXPECT_EQ(tags[i].expression, stampTags[i].expression);
        EXPECT_EQ(tags[i].descending, stampTags[i].descending);
        EXPECT_EQ(tags[i].keyLength, dbase::Expression(stampTags[i].expression, fields()).width());
        EXPECT_TRUE(tags[i].problem.empty());
    }
    EXPECT_TRUE(index.hasTag("idx0"));
    EXPECT_FALSE(index.hasTag("IDX9"));
    EXPECT_EQ(index.tableName(), "STAMPS");
    expectTagsMatchRecords(index, records);
}

TEST_F(MdxFile, TagNamesAreCheckedAndUniqueWithoutCase)
{
    TestRecords none(fields());
    MdxIndex::create(path(), "STAMPS");
    MdxIndex index = open();
    index.addTag("IDX", "UPPER(TITLE)", false, none);
    for (const char* bad : {"", "1ABC", "TOOLONGNAME", "A-B", "A B"})
        expectDatabaseError([&] { index.addTag(bad, "TITLE", false, none); }, "is not valid");
    expectDatabaseError([&] { index.addTag("idx", "TITLE", false, none); }, "has a tag \"idx\" already");
    EXPECT_EQ(index.tags().size(), 1u);
}

TEST_F(MdxFile, RefusedTagsLeaveTheFileAsItWas)
{
    TestRecords records(fields());
    records.add(1).set("TITLE", "Penny Black").set("ISSUED", "18400506");
    records.add(2).set("TITLE", "Inverted Jenny").set("ISSUED", "01000101");
    MdxIndex::create(path(), "STAMPS");
    MdxIndex index = open();
    index.addTag("IDX0", "UPPER(TITLE)", false, records);
    const std::string before = readFile(path());

    const Refusal refusals[] = {
        {"UPPER(NAM)", "Expression \"UPPER(NAM)\": unknown field NAM at position 7"},
        {"PRICE", "the key is a number"},
        {"DESCR", "the key is 120 bytes long"},
        {"UPPER(TITLE", "missing \")\""},
        {"DTOS(ISSUED - 500000)",
         "Tag IDX1, record 2: Expression \"DTOS(ISSUED - 500000)\": cannot be evaluated"},
    };
    for (const Refusal& refusal : refusals) {
        expectDatabaseError([&] { index.addTag("IDX1", refusal.input, false, records); }, refusal.fault);
        EXPECT_EQ(readFile(path()), before) << refusal.input;
        EXPECT_EQ(index.tags().size(), 1u);
    }
}

TEST_F(MdxFile, AtMostFortySevenTags)
{
    TestRecords none(fields());
    MdxIndex::create(path(), "STAMPS");
    MdxIndex index = open();
    for (int i = 0; i < 47; ++i)
        index.addTag("T" + std::to_string(i), i % 2 ? "TITLE" : "MARK+TITLE", i % 3 == 0, none);
    EXPECT_THROW(index.addTag("T47", "TITLE", false, none), DatabaseError);
    MdxIndex reopened = open(false);
    ASSERT_EQ(reopened.tags().size(), 47u);
    EXPECT_EQ(reopened.tags().back().name, "T46");
    EXPECT_TRUE(reopened.check().empty());
}

TEST_F(MdxFile, DeletedTagsGiveTheirPagesToTheNextOne)
{
    TestRecords records = randomStamps(3000, 2);
    MdxIndex::create(path(), "STAMPS");
    MdxIndex index = open();
    index.addTag("IDX0", "UPPER(TITLE)", false, records);
    index.addTag("IDX1", "STR(999999999999999999-NUMBER, 20, 4)", false, records);
    const auto size = std::filesystem::file_size(path());
    index.deleteTag("idx0");
    EXPECT_FALSE(index.hasTag("IDX0"));
    EXPECT_TRUE(index.check().empty());
    EXPECT_THROW(index.deleteTag("IDX0"), DatabaseError);
    index.addTag("IDX2", "UPPER(TITLE)", true, records);
    EXPECT_EQ(std::filesystem::file_size(path()), size);
    expectTagsMatchRecords(index, records);
}

TEST_F(MdxFile, ReadOnlyObjectsRefuseChanges)
{
    TestRecords records(fields());
    records.add(1).set("TITLE", "Penny Black");
    createWithTags(records);
    MdxIndex index = open(false);
    EXPECT_EQ(index.count("IDX0"), 1);
    EXPECT_THROW(index.addTag("IDX9", "TITLE", false, records), DatabaseError);
    EXPECT_THROW(index.insertRecord(2, records.at(1)), DatabaseError);
    EXPECT_THROW(index.deleteTag("IDX0"), DatabaseError);
    EXPECT_THROW(index.rebuild(records), DatabaseError);
    EXPECT_THROW(index.setTableName("OTHER"), DatabaseError);
    EXPECT_EQ(index.count("IDX0"), 1);
}

// Appends, edits and deletes through the record-level calls keep every tag equal to the records' keys.
TEST_F(MdxFile, RecordChangesKeepEveryTagCurrent)
{
    TestRecords records(fields());
    createWithTags(records);
    MdxIndex index = open();
    std::mt19937 random(3);
    std::uint32_t next = 0;
    for (int step = 0; step < 3000; ++step) {
        const int action = std::uniform_int_distribution<int>(0, 9)(random);
        if (records.size() == 0 || action < 5) {
            auto& record = records.add(++next);
            randomStamp(record, random);
            index.insertRecord(next, record);
        } else {
            const auto number = std::uniform_int_distribution<std::uint32_t>(1, next)(random);
            if (!records.contains(number))
                continue;
            if (action < 8) {
                const mdxtest::TestRecord before = records.at(number);
                randomStamp(records.add(number), random);
                index.updateRecord(number, before, records.at(number));
            } else {
                index.removeRecord(number, records.at(number));
                records.erase(number);
            }
        }
        if (step % 1000 == 999)
            expectTagsMatchRecords(index, records);
    }
    expectTagsMatchRecords(index, records);

    // A record one tag cannot evaluate changes no tag.
    index.addTag("IDX9", "DTOS(ISSUED + 2900000)", false, records);
    const std::string before = readFile(path());
    auto& bad = records.add(++next);
    bad.set("TITLE", "Too late").set("ISSUED", "90000101");
    EXPECT_THROW(index.insertRecord(next, bad), DatabaseError);
    EXPECT_EQ(readFile(path()), before);
    records.erase(next);
    expectTagsMatchRecords(index, records);
}

TEST_F(MdxFile, RebuildWritesAFreshCompactFile)
{
    TestRecords records = randomStamps(2000, 4);
    createWithTags(records);
    MdxIndex index = open();
    for (std::uint32_t n = 1; n <= 2000; n += 2) {
        index.removeRecord(n, records.at(n));
        records.erase(n);
    }
    const auto grown = std::filesystem::file_size(path());
    index.rebuild(records);
    EXPECT_LT(std::filesystem::file_size(path()), grown);
    expectTagsMatchRecords(index, records);
    MdxIndex reopened = open(false);
    expectTagsMatchRecords(reopened, records);
}

// A tag built in one go holds exactly what adding its records one by one gives, also when its keys no
// longer fit the sorting memory and sorted runs go through a temporary file.
TEST_F(MdxFile, BulkBuildEqualsIncrementalInsertion)
{
    TestRecords records = randomStamps(6000, 5);
    const std::string incrementalPath = folder_.file("incremental.mdx");
    MdxIndex::create(path(), "BULK");
    MdxIndex::create(incrementalPath, "INCREMENTAL");
    MdxIndex bulk = open(true, MdxOptions{16384, 16 * 1024, folder_.path().string()});
    MdxIndex incremental(incrementalPath, fields(), true);
    TestRecords none(fields());
    for (const TagDefinition& tag : stampTags) {
        bulk.addTag(tag.name, tag.expression, tag.descending, records);
        incremental.addTag(tag.name, tag.expression, tag.descending, none);
    }
    records.forEach([&](std::uint32_t number, const dbase::RecordSource& values) {
        incremental.insertRecord(number, values);
    });
    for (const TagDefinition& tag : stampTags) {
        EXPECT_EQ(entriesOf(bulk, tag.name), entriesOf(incremental, tag.name)) << tag.name;
        EXPECT_EQ(bulk.count(tag.name), 6000);
    }
    EXPECT_TRUE(bulk.check().empty());
    EXPECT_TRUE(incremental.check().empty());
    // Bottom-up pages are full: the bulk-built file is the smaller one.
    EXPECT_LT(std::filesystem::file_size(path()), std::filesystem::file_size(incrementalPath));
    // The sort's temporary runs are gone.
    std::size_t leftovers = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.path()))
        leftovers += entry.path().filename().string().rfind("mdxsort", 0) == 0;
    EXPECT_EQ(leftovers, 0u);
}

TEST_F(MdxFile, TableNameFollowsARename)
{
    MdxIndex::create(path(), "STAMPS");
    open().setTableName("RENAMED");
    EXPECT_EQ(open(false).tableName(), "RENAMED");
}

// --- index_dump from DBD::XBase ---------------------------------------------------------------------------

std::string run(const std::string& command)
{
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return output;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, got);
    ::pclose(pipe);
    return output;
}

std::string dumpOf(MdxIndex& index, const std::string& tag)
{
    std::string dump;
    index.forEachEntry(
        tag, [&](const IndexEntry& entry) { dump += entry.key + " " + std::to_string(entry.record) + "\n"; });
    return dump;
}

// index_dump walks every tag's B-tree the way DBD::XBase reads it and prints keys with record numbers.
TEST_F(MdxFile, IndexDumpReadsEveryTagInOrder)
{
    ASSERT_EQ(::access("/usr/bin/index_dump", X_OK), 0) << "index_dump (Debian libdbd-xbase-perl) is needed";
    TestRecords records = randomStamps(4000, 6);
    createWithTags(records);
    {
        // Deletes and re-inserts merge and split pages and use the free list.
        MdxIndex index = open();
        std::mt19937 random(60);
        for (std::uint32_t n = 1; n <= 4000; n += 3) {
            index.removeRecord(n, records.at(n));
            records.erase(n);
        }
        for (std::uint32_t n = 4001; n <= 4600; ++n) {
            randomStamp(records.add(n), random);
            index.insertRecord(n, records.at(n));
        }
    }
    MdxIndex index = open(false);
    std::vector<std::string> names;
    for (const dbase::MdxTag& tag : index.tags())
        names.push_back(tag.name);
    std::sort(names.begin(), names.end());
    std::string listed;
    for (const std::string& name : names)
        listed += name + "\n";
    EXPECT_EQ(run("index_dump '" + path() + "' 2>&1"), listed);
    for (const dbase::MdxTag& tag : index.tags()) {
        const std::string dump = run("index_dump '" + path() + "' " + tag.name + " 2>&1");
        EXPECT_EQ(dump, dumpOf(index, tag.name)) << tag.name;
        EXPECT_EQ(std::count(dump.begin(), dump.end(), '\n'), static_cast<std::ptrdiff_t>(records.size()))
            << tag.name;
    }
}

// --- Several processes
// --------------------------------------------------------------------------------------

// Runs body in a child process and returns its exit status; a failed expectation is a non-zero status.
int inChild(const std::function<int()>& body)
{
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        int status = 1;
        try {
            status = body();
        } catch (...) {
            status = 2;
        }
        ::_exit(status);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

TEST_F(MdxFile, ChangesOfAnotherProcessAreSeenAfterRefresh)
{
    TestRecords records(fields());
    records.add(1).set("TITLE", "Penny Black");
    createWithTags(records);
    MdxIndex index = open();
    EXPECT_EQ(index.count("IDX0"), 1);
    EXPECT_FALSE(index.refresh());

    const int status = inChild([&] {
        MdxIndex other(path(), fields(), true);
        TestRecords more(fields());
        for (std::uint32_t n = 2; n <= 500; ++n)
            other.insertRecord(n, more.add(n).set("TITLE", "Mauritius " + std::to_string(n)));
        other.addTag("IDX9", "UPPER(SUBSTR(TITLE, 1, 9))", false, more);
        return other.count("IDX0") == 500 ? 0 : 3;
    });
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(index.refresh());
    EXPECT_EQ(index.count("IDX0"), 500);
    EXPECT_EQ(index.count("IDX9"), 499);
    EXPECT_EQ(index.count("IDX0", {"MAURITIUS", "MAURITIUS"}), 499);
    EXPECT_TRUE(index.check().empty());

    // And the other way round.
    index.removeRecord(1, records.at(1));
    const int seen = inChild([&] {
        MdxIndex other(path(), fields(), false);
        return other.count("IDX0") == 499 && !other.find("IDX0", "PENNY BLACK") ? 0 : 3;
    });
    EXPECT_TRUE(WIFEXITED(seen) && WEXITSTATUS(seen) == 0) << seen;
}

// A process killed inside an update leaves a mark that the next open sees; rebuilding clears it.
TEST_F(MdxFile, AnUpdateKilledHalfwayIsDetectedAndRebuilt)
{
    TestRecords records = randomStamps(300, 7);
    createWithTags(records);

    const int status = inChild([&] {
        MdxIndex other(path(), fields(), true, MdxOptions{64, 1u << 20, {}});
        TestRecords more(fields());
        std::mt19937 own(8);
        other.beginUpdate();
        for (std::uint32_t n = 301; n <= 2000; ++n) {
            randomStamp(more.add(n), own);
            other.insertRecord(n, more.at(n)); // the small cache writes blocks long before the end
        }
        ::raise(SIGKILL);
        return 0;
    });
    ASSERT_TRUE(WIFSIGNALED(status)) << status;

    MdxIndex index = open();
    EXPECT_TRUE(index.interruptedUpdate());
    const std::vector<std::string> problems = index.check();
    ASSERT_FALSE(problems.empty());
    EXPECT_NE(problems.front().find("interrupted"), std::string::npos) << problems.front();
    // Ordinary changes do not hide the mark; only a rebuild does.
    index.insertRecord(2001, records.add(2001).set("TITLE", "after the crash"));
    EXPECT_TRUE(open(false).interruptedUpdate());
    index.rebuild(records);
    EXPECT_FALSE(index.interruptedUpdate());
    expectTagsMatchRecords(index, records);
    EXPECT_FALSE(open(false).interruptedUpdate());
}

TEST_F(MdxFile, AbandonedUpdatesLeaveNoTrace)
{
    TestRecords records(fields());
    records.add(1).set("TITLE", "Penny Black");
    createWithTags(records);
    const std::string before = readFile(path());
    MdxIndex index = open();
    index.beginUpdate();
    index.insertRecord(2, records.add(2).set("TITLE", "Inverted Jenny"));
    EXPECT_EQ(index.count("IDX0"), 2);
    index.abandonUpdate();
    records.erase(2);
    EXPECT_EQ(index.count("IDX0"), 1);
    EXPECT_FALSE(index.interruptedUpdate());
    EXPECT_EQ(readFile(path()), before);
    expectTagsMatchRecords(index, records);
    index.endUpdate(); // a stray end after an abandon does nothing
    EXPECT_EQ(readFile(path()), before);
}

// Bytes 48 on of the header are unused by the format: in another writer's file they mean nothing to us
// until our first update writes the coherence block there.
TEST_F(MdxFile, OtherWritersFilesGetTheCoherenceBlockOnTheirFirstUpdate)
{
    TestRecords records = randomStamps(500, 9);
    createWithTags(records);
    {
        MdxIndex index = open();
        for (std::uint32_t n = 1; n <= 500; n += 2) {
            index.removeRecord(n, records.at(n));
            records.erase(n);
        }
    }
    std::string bytes = readFile(path());
    bytes.replace(48, 24, "foreign bytes, a 1 here:");
    bytes[64] = 1;
    bytes.replace(40, 4, std::string("\x39\x30\0\0", 4)); // a free-block count of 12345
    std::ofstream(path(), std::ios::binary | std::ios::trunc) << bytes;

    MdxIndex index = open();
    EXPECT_FALSE(index.interruptedUpdate());
    EXPECT_TRUE(index.check().empty());
    MdxIndex other = open();
    index.insertRecord(501, records.add(501).set("TITLE", "First change"));
    EXPECT_TRUE(other.refresh());
    EXPECT_EQ(other.count("IDX0"), 251);
    expectTagsMatchRecords(index, records);
}

TEST_F(MdxFile, SecondObjectSeesTagsAddedAndDeleted)
{
    TestRecords records(fields());
    records.add(1).set("TITLE", "Penny Black");
    MdxIndex::create(path(), "STAMPS");
    MdxIndex first = open();
    MdxIndex second = open();
    first.addTag("IDX0", "UPPER(TITLE)", false, records);
    EXPECT_TRUE(second.refresh());
    ASSERT_TRUE(second.hasTag("IDX0"));
    EXPECT_EQ(second.count("IDX0"), 1);
    second.deleteTag("IDX0");
    EXPECT_TRUE(first.refresh());
    EXPECT_FALSE(first.hasTag("IDX0"));
    EXPECT_THROW(first.count("IDX0"), DatabaseError);
}

} // namespace
