// The engine against a plain in-memory model, driven by one long seeded sequence of appends, edits,
// deletes, packs and moves: any difference in order, counts or values fails.
#include "dbase/Table.h"
#include "dbase/TableCheck.h"
#include "TableTestSupport.h"

#include <gtest/gtest.h>
#include <optional>
#include <random>

using namespace dbase;
using fixtures::TempFolder;

namespace {

using namespace fixtures::CatalogColumn;

struct Row
{
    long number = 0;
    std::string title;
    std::string price; // as asString gives it
    std::string notes;
    std::string picture;

    bool operator==(const Row&) const = default;
};

class ModelRun
{
public:
    ModelRun(const std::string& folder, unsigned seed) : folder_(folder), random_(seed)
    {
        createTable(folder, "model.dbf", fixtures::catalogFields());
        table_.open(folder, "model.dbf");
    }

    void step()
    {
        const int choice = pick(0, 99);
        if (choice < 35)
            append();
        else if (choice < 60)
            edit();
        else if (choice < 72)
            remove();
        else if (choice < 74)
            pack();
        else if (choice < 88)
            moveAround();
        else
            compareAll();
    }

    void compareAll()
    {
        std::vector<std::uint32_t> expected;
        for (std::size_t i = 0; i < model_.size(); ++i)
            if (model_[i])
                expected.push_back(static_cast<std::uint32_t>(i + 1));
        ASSERT_EQ(table_.recordCount(), static_cast<std::int64_t>(expected.size()));
        std::vector<std::uint32_t> forward;
        for (table_.first(); !table_.eof(); table_.next()) {
            forward.push_back(table_.recordNumber());
            expectRow(table_.recordNumber());
        }
        ASSERT_EQ(forward, expected);
        std::vector<std::uint32_t> backward;
        for (table_.last(); !table_.bof(); table_.prior())
            backward.push_back(table_.recordNumber());
        std::reverse(backward.begin(), backward.end());
        ASSERT_EQ(backward, expected);
    }

    void finish()
    {
        compareAll();
        table_.close();
        const CheckReport report = checkTable(folder_, "model.dbf");
        EXPECT_TRUE(report.sound()) << (report.problems.empty() ? "" : report.problems.front());
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    std::string randomText(std::size_t maxLength)
    {
        std::string text(static_cast<std::size_t>(pick(0, static_cast<int>(maxLength))), ' ');
        for (char& c : text)
            c = static_cast<char>(pick(0, 9) == 0 ? pick(0xC0, 0xFF) : pick('a', 'z'));
        return text;
    }

    Row randomRow()
    {
        Row row;
        row.number = ++lastNumber_;
        row.title = randomText(40);
        while (!row.title.empty() && row.title.back() == ' ')
            row.title.pop_back();
        if (pick(0, 4) > 0) {
            const int cents = pick(-99999, 9999999);
            row.price = std::to_string(cents / 100) + "." + (std::abs(cents % 100) < 10 ? "0" : "") +
                        std::to_string(std::abs(cents % 100));
            if (cents < 0 && cents > -100)
                row.price = "-" + row.price;
        }
        const int memo = pick(0, 9);
        row.notes = memo < 3 ? std::string() : memo < 9 ? randomText(300) + "\r\n" : randomText(5000);
        if (pick(0, 3) == 0)
            row.picture = fixtures::binaryPattern(static_cast<std::size_t>(pick(1, 40000)),
                                                  static_cast<unsigned>(row.number));
        return row;
    }

    void store(const Row& row)
    {
        table_.setNumber(Number, static_cast<double>(row.number));
        table_.setString(Title, row.title);
        table_.setString(Price, row.price);
        table_.setString(Notes, row.notes);
        table_.setBlob(Picture, row.picture);
    }

    void expectRow(std::uint32_t recordNumber)
    {
        const Row& row = *model_.at(recordNumber - 1);
        Row actual{static_cast<long>(table_.asNumber(Number)), table_.asString(Title), table_.asString(Price),
                   table_.asString(Notes), table_.blob(Picture)};
        ASSERT_EQ(actual, row) << "record " << recordNumber;
    }

    std::optional<std::uint32_t> randomLive()
    {
        std::vector<std::uint32_t> live;
        for (std::size_t i = 0; i < model_.size(); ++i)
            if (model_[i])
                live.push_back(static_cast<std::uint32_t>(i + 1));
        if (live.empty())
            return std::nullopt;
        return live[static_cast<std::size_t>(pick(0, static_cast<int>(live.size()) - 1))];
    }

    void append()
    {
        const Row row = randomRow();
        table_.append();
        store(row);
        if (pick(0, 9) == 0) {
            table_.cancel();
            return;
        }
        table_.post();
        model_.push_back(row);
        ASSERT_EQ(table_.recordNumber(), model_.size());
    }

    void edit()
    {
        const auto target = randomLive();
        if (!target)
            return;
        ASSERT_TRUE(table_.gotoBookmark(*target));
        table_.edit();
        Row row = *model_[*target - 1];
        const Row fresh = randomRow();
        switch (pick(0, 3)) {
        case 0:
            row.title = fresh.title;
            break;
        case 1:
            row.notes = fresh.notes;
            break;
        case 2:
            row.picture = fresh.picture;
            break;
        default:
            row.price = fresh.price;
            row.notes = fresh.notes;
        }
        store(row);
        if (pick(0, 7) == 0) {
            table_.cancel();
            expectRow(*target);
            return;
        }
        table_.post();
        model_[*target - 1] = row;
    }

    void remove()
    {
        const auto target = randomLive();
        if (!target)
            return;
        ASSERT_TRUE(table_.gotoBookmark(*target));
        table_.deleteRecord();
        model_[*target - 1].reset();
        EXPECT_FALSE(table_.gotoBookmark(*target));
    }

    void pack()
    {
        table_.close();
        table_.open(folder_, "model.dbf", true);
        table_.pack();
        table_.close();
        table_.open(folder_, "model.dbf");
        std::vector<std::optional<Row>> packed;
        for (const auto& row : model_)
            if (row)
                packed.push_back(row);
        model_ = std::move(packed);
    }

    void moveAround()
    {
        table_.first();
        const auto steps = static_cast<std::int64_t>(pick(0, 12));
        const std::int64_t moved = table_.moveBy(steps);
        std::int64_t live = 0;
        std::uint32_t expected = 0;
        for (std::size_t i = 0; i < model_.size(); ++i) {
            if (!model_[i])
                continue;
            if (live <= steps)
                expected = static_cast<std::uint32_t>(i + 1);
            ++live;
        }
        ASSERT_EQ(moved, std::min(steps, std::max<std::int64_t>(live - 1, 0)));
        ASSERT_EQ(table_.recordNumber(), expected);
        EXPECT_EQ(table_.eof(), live == 0 || steps > live - 1);
        if (expected != 0)
            expectRow(expected);
    }

    std::string folder_;
    std::mt19937 random_;
    Table table_;
    std::vector<std::optional<Row>> model_;
    long lastNumber_ = 0;
};

TEST(Model, LongRandomSequenceMatchesTheModel)
{
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        TempFolder folder;
        ModelRun run(folder.path(), seed);
        for (int i = 0; i < 700; ++i) {
            run.step();
            if (::testing::Test::HasFatalFailure())
                return;
        }
        run.finish();
    }
}

} // namespace
