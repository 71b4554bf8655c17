// Sharing between real processes: record locks, exclusive opens, concurrent appends, and a writer killed in
// the middle of its posts. The table has index tags, so every append also goes through the index file.
#include "dbase/Errors.h"
#include "dbase/Table.h"
#include "dbase/TableCheck.h"
#include "TableTestSupport.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace dbase;
using fixtures::PeerProcess;
using fixtures::TempFolder;

namespace {

constexpr std::size_t numberColumn = 0;
constexpr std::size_t notesColumn = 6;

const std::vector<TagInfo> sharedTags = {{"IDX0", "STR(NUMBER, 10, 0)", false},
                                         {"IDX1", "UPPER(TITLE)", true},
                                         {"IDX2", "UPPER(MLINE(NOTES, 2))", false}};

class Sharing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        createTable(folder.path(), "stamps.dbf", fixtures::catalogFields(), sharedTags);
        Table table;
        table.open(folder.path(), "stamps.dbf");
        for (int i = 1; i <= 2; ++i) {
            table.append();
            table.setNumber(numberColumn, i);
            table.post();
        }
    }

    PeerProcess peer(const std::vector<std::string>& arguments)
    {
        std::vector<std::string> all{TESSARY_TABLE_PEER};
        all.insert(all.end(), arguments.begin(), arguments.end());
        return PeerProcess(all);
    }

    // Every record's number must be one of the numbers written, once, with its own memo. The number tag
    // lists them in ascending order, each record once, as many as the table holds.
    std::map<long, int> numbersInTable()
    {
        Table table;
        table.open(folder.path(), "stamps.dbf", false, "IDX0");
        std::map<long, int> seen;
        long previous = 0;
        for (table.first(); !table.eof(); table.next()) {
            const auto number = static_cast<long>(table.asNumber(numberColumn));
            EXPECT_GT(number, previous);
            previous = number;
        }
        const std::int64_t inTagOrder = table.recordCount();
        table.setActiveTag({});
        EXPECT_EQ(table.recordCount(), inTagOrder);
        for (table.first(); !table.eof(); table.next()) {
            const auto number = static_cast<long>(table.asNumber(numberColumn));
            ++seen[number];
            if (number > 2) {
                const std::vector<std::string> lines = table.memoLines(notesColumn);
                EXPECT_GE(lines.size(), 2u);
                EXPECT_EQ(lines.size() >= 2 ? lines[1] : "", std::to_string(number));
            }
        }
        return seen;
    }

    TempFolder folder;
};

TEST_F(Sharing, HeldRecordLockMakesTheOtherProcessesEditFail)
{
    PeerProcess holder = peer({"lock", folder.path(), "stamps.dbf", "1"});
    ASSERT_EQ(holder.readLine(), "locked");
    Table table;
    table.open(folder.path(), "stamps.dbf");
    ASSERT_EQ(table.recordNumber(), 1u);
    try {
        table.edit();
        FAIL() << "edit succeeded on a record locked elsewhere";
    } catch (const DatabaseError& error) {
        EXPECT_NE(std::string(error.what()).find("locked"), std::string::npos) << error.what();
    }
    EXPECT_EQ(table.state(), Table::State::Browse);
    EXPECT_THROW(table.deleteRecord(), DatabaseError);
    table.next();
    table.edit(); // another record is free
    table.cancel();
    holder.release();
    EXPECT_EQ(holder.wait(), 0);
    table.first();
    table.edit();
    table.post();
}

TEST_F(Sharing, ExclusiveOpenFailsWhileOpenElsewhere)
{
    {
        PeerProcess shared = peer({"open", folder.path(), "stamps.dbf", "shared"});
        ASSERT_EQ(shared.readLine(), "opened");
        Table table;
        EXPECT_THROW(table.open(folder.path(), "stamps.dbf", true), DatabaseError);
        table.open(folder.path(), "stamps.dbf"); // shared use together is fine
        shared.release();
        EXPECT_EQ(shared.wait(), 0);
    }
    PeerProcess exclusive = peer({"open", folder.path(), "stamps.dbf", "exclusive"});
    ASSERT_EQ(exclusive.readLine(), "opened");
    Table table;
    EXPECT_THROW(table.open(folder.path(), "stamps.dbf"), DatabaseError);
    PeerProcess refused = peer({"open", folder.path(), "stamps.dbf", "shared"});
    EXPECT_EQ(refused.readLine().substr(0, 7), "failed:");
    exclusive.release();
    EXPECT_EQ(exclusive.wait(), 0);
    table.open(folder.path(), "stamps.dbf", true);
}

TEST_F(Sharing, ConcurrentAppendsFromSeveralProcessesStayConsistent)
{
    PeerProcess first = peer({"append", folder.path(), "stamps.dbf", "1000", "250"});
    PeerProcess second = peer({"append", folder.path(), "stamps.dbf", "2000", "250"});
    // This process appends at the same time, through two cursors of its own.
    Table one;
    one.open(folder.path(), "stamps.dbf");
    Table two;
    two.open(folder.path(), "stamps.dbf");
    for (int i = 0; i < 100; ++i) {
        Table& table = i % 2 ? one : two;
        table.append();
        table.setNumber(numberColumn, 3000 + i);
        table.setMemoLines(notesColumn, {"note of", std::to_string(3000 + i)});
        table.post();
    }
    EXPECT_EQ(first.wait(), 0);
    EXPECT_EQ(second.wait(), 0);
    const std::map<long, int> seen = numbersInTable();
    EXPECT_EQ(seen.size(), 2u + 500u + 100u);
    for (const auto& [number, count] : seen)
        EXPECT_EQ(count, 1) << number;
    EXPECT_EQ(one.recordCount(), 602);
    const CheckReport report = checkTable(folder.path(), "stamps.dbf");
    EXPECT_TRUE(report.sound()) << (report.problems.empty() ? "" : report.problems.front());
}

// The writer is killed at a different moment of its posts each round: some kills land between a post's
// index and table writes, and the next open rebuilds the tags.
TEST_F(Sharing, KilledWriterLosesNoCompletedPost)
{
    std::set<long> reported;
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        {
            const long from = 10 + round * 10000L;
            PeerProcess writer = peer({"append", folder.path(), "stamps.dbf", std::to_string(from), "0"});
            for (std::size_t posts = 0; posts < 150; ++posts) {
                const std::string line = writer.readLine();
                ASSERT_FALSE(line.empty()) << "the writer stopped";
                reported.insert(std::stol(line));
            }
            ::usleep(static_cast<useconds_t>(round * 300));
            writer.kill();
            writer.wait();
        }
        const std::map<long, int> seen = numbersInTable();
        for (long number : reported)
            EXPECT_EQ(seen.count(number), 1u) << "completed post " << number << " lost";
        for (const auto& [number, count] : seen)
            EXPECT_EQ(count, 1) << number;
        const CheckReport report = checkTable(folder.path(), "stamps.dbf");
        ASSERT_TRUE(report.sound()) << (report.problems.empty() ? "" : report.problems.front());
    }
    // The table goes on taking posts after the kills.
    Table table;
    table.open(folder.path(), "stamps.dbf");
    table.append();
    table.setNumber(numberColumn, 99999);
    table.post();
    EXPECT_EQ(table.asNumber(numberColumn), 99999);
}

} // namespace
