// The engine against a plain in-memory model, driven by one long seeded sequence of appends, edits,
// deletes, packs, moves, tag additions, range queries and key searches: any difference in order, counts or
// values fails, and the table, memo file and tags check out at the end.
#include "dbase/Table.h"
#include "dbase/TableCheck.h"
#include "TableTestSupport.h"

#include <algorithm>
#include <cstring>
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

// The tags the run adds, each with its key computed here from the row, independently of the engine.
enum class KeyKind
{
    UpperTitle, // UPPER(TITLE)
    Number,     // STR(NUMBER, 10, 0)
    MemoLine    // UPPER(MLINE(NOTES, 1))
};

// Partial-key bounds of a range, in the tag's own order.
struct Bounds
{
    std::string start;
    std::string end;
};

struct ModelTag
{
    std::string name;
    KeyKind kind;
    bool descending;
};

const char* expressionOf(KeyKind kind)
{
    switch (kind) {
    case KeyKind::UpperTitle:
        return "UPPER(TITLE)";
    case KeyKind::Number:
        return "STR(NUMBER, 10, 0)";
    case KeyKind::MemoLine:
        return "UPPER(MLINE(NOTES, 1))";
    }
    return "";
}

unsigned char upperCase(unsigned char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return static_cast<unsigned char>(c - 0x20);
    switch (c) {
    case 0x9A:
        return 0x8A;
    case 0x9C:
        return 0x8C;
    case 0x9E:
        return 0x8E;
    case 0xFF:
        return 0x9F;
    default:
        return c;
    }
}

std::string fitted(std::string text, std::size_t width)
{
    text.resize(width, ' ');
    return text;
}

std::string keyOf(const Row& row, KeyKind kind)
{
    std::string text;
    switch (kind) {
    case KeyKind::UpperTitle:
        text = fitted(row.title, 40);
        break;
    case KeyKind::Number: {
        const std::string digits = std::to_string(row.number);
        return std::string(10 - digits.size(), ' ') + digits;
    }
    case KeyKind::MemoLine:
        text = fitted(row.notes.substr(0, row.notes.find_first_of("\r\n")), 99);
        break;
    }
    for (char& c : text)
        c = static_cast<char>(upperCase(static_cast<unsigned char>(c)));
    return text;
}

// Keys as unsigned bytes, reversed for a descending tag.
int compareKeys(const std::string& a, const std::string& b, bool descending)
{
    const int order = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    const int sized = order != 0 ? order : (a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0);
    return descending ? -sized : sized;
}

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
        // Each action with its chance in a hundred; the rest compares everything.
        using Action = void (ModelRun::*)();
        static constexpr std::pair<int, Action> actions[] = {
            {33, &ModelRun::append},     {22, &ModelRun::edit},       {11, &ModelRun::remove},
            {2, &ModelRun::pack},        {12, &ModelRun::moveAround}, {1, &ModelRun::addTag},
            {3, &ModelRun::chooseOrder}, {6, &ModelRun::queryRange},  {3, &ModelRun::findKey},
        };
        int choice = pick(0, 99);
        for (const auto& [chance, action] : actions) {
            if (choice < chance) {
                (this->*action)();
                return;
            }
            choice -= chance;
        }
        compareAll();
    }

    void compareAll()
    {
        const std::vector<std::uint32_t> expected = order();
        ASSERT_EQ(table_.recordCount(), static_cast<std::int64_t>(expected.size()));
        expectWalks(expected, true);
    }

    // Walking forward and backward gives the expected rows, with their values when asked.
    void expectWalks(const std::vector<std::uint32_t>& expected, bool values)
    {
        std::vector<std::uint32_t> forward;
        for (table_.first(); !table_.eof(); table_.next()) {
            forward.push_back(table_.recordNumber());
            if (values)
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
        const auto check = fixtures::runCommand(std::string(TESSARY_DB_TOOL) + " check " +
                                                fixtures::quoted(folder_ + "/model.dbf"));
        EXPECT_EQ(check.exitCode, 0) << check.output;
    }

    std::size_t tagCount() const { return tags_.size(); }

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
        const std::string tag = table_.activeTag();
        table_.close();
        table_.open(folder_, "model.dbf", true, tag);
        table_.pack();
        table_.close();
        table_.open(folder_, "model.dbf", false, tag);
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
        const std::vector<std::uint32_t> rows = order();
        const auto live = static_cast<std::int64_t>(rows.size());
        const std::uint32_t expected =
            rows.empty() ? 0 : rows[static_cast<std::size_t>(std::min(steps, live - 1))];
        ASSERT_EQ(moved, std::min(steps, std::max<std::int64_t>(live - 1, 0)));
        ASSERT_EQ(table_.recordNumber(), expected);
        EXPECT_EQ(table_.eof(), live == 0 || steps > live - 1);
        if (expected != 0)
            expectRow(expected);
        if (live > 2) {
            // And back again from the last row.
            table_.last();
            const std::int64_t back = table_.moveBy(-steps);
            ASSERT_EQ(back, -std::min(steps, live - 1));
            ASSERT_EQ(table_.recordNumber(), rows[static_cast<std::size_t>(live - 1 + back)]);
        }
    }

    // --- Tags ------------------------------------------------------------------------------------------

    const ModelTag* activeTag() const
    {
        for (const ModelTag& tag : tags_)
            if (tag.name == table_.activeTag())
                return &tag;
        return nullptr;
    }

    // The live records in the active order, within the range of the active tag when there is one.
    std::vector<std::uint32_t> order(const std::optional<Bounds>& range = std::nullopt) const
    {
        std::vector<std::pair<std::string, std::uint32_t>> keyed;
        const ModelTag* tag = activeTag();
        for (std::size_t i = 0; i < model_.size(); ++i) {
            if (!model_[i])
                continue;
            std::string key = tag ? keyOf(*model_[i], tag->kind) : std::string();
            if (range && !inRange(key, *range, tag->descending))
                continue;
            keyed.emplace_back(std::move(key), static_cast<std::uint32_t>(i + 1));
        }
        // Equal keys keep record order: the sort is stable.
        std::stable_sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
            return tag && compareKeys(a.first, b.first, tag->descending) < 0;
        });
        std::vector<std::uint32_t> records;
        for (const auto& entry : keyed)
            records.push_back(entry.second);
        return records;
    }

    // Each bound is compared with the key cut or padded to the bound's own length.
    static bool inRange(const std::string& key, const Bounds& range, bool descending)
    {
        return compareKeys(fitted(key, range.start.size()), range.start, descending) >= 0 &&
               compareKeys(fitted(key, range.end.size()), range.end, descending) <= 0;
    }

    void addTag()
    {
        if (tags_.size() >= 5)
            return;
        const ModelTag tag{"IDX" + std::to_string(tags_.size()), static_cast<KeyKind>(pick(0, 2)),
                           pick(0, 1) == 1};
        table_.close();
        table_.open(folder_, "model.dbf", true);
        table_.addTag({tag.name, expressionOf(tag.kind), tag.descending});
        tags_.push_back(tag);
        table_.open(folder_, "model.dbf", false, tag.name);
        compareAll();
    }

    void chooseOrder()
    {
        const int which = pick(-1, static_cast<int>(tags_.size()) - 1);
        table_.setActiveTag(which < 0 ? std::string() : tags_[static_cast<std::size_t>(which)].name);
    }

    std::string randomBound(KeyKind kind)
    {
        if (kind == KeyKind::Number) {
            const std::string digits = std::to_string(pick(1, lastNumber_ + 1));
            return std::string(10 - digits.size(), ' ') + digits;
        }
        switch (pick(0, 3)) {
        case 0: // the letter tabs' bounds
            return std::string(1, static_cast<char>(pick(0, 1) ? 1 : 255));
        case 1:
            return std::string(1, static_cast<char>(pick('A', 'Z')));
        case 2:
            return std::string(1, static_cast<char>(pick('A', 'Z'))) +
                   static_cast<char>(pick(0, 1) ? 'M' : 255);
        default:
            return {};
        }
    }

    void queryRange()
    {
        const ModelTag* tag = activeTag();
        if (!tag)
            return;
        Bounds range{randomBound(tag->kind), randomBound(tag->kind)};
        if (pick(0, 3) > 0 && compareKeys(range.start, range.end, tag->descending) > 0)
            std::swap(range.start, range.end); // mostly ranges that hold something
        table_.setRange(range.start, range.end);
        const std::vector<std::uint32_t> expected = order(range);
        ASSERT_EQ(table_.recordCount(), static_cast<std::int64_t>(expected.size()));
        expectWalks(expected, false);
        if (::testing::Test::HasFatalFailure())
            return;
        if (!expected.empty()) {
            table_.first();
            const auto steps = static_cast<std::int64_t>(pick(0, static_cast<int>(expected.size())));
            const std::int64_t moved = table_.moveBy(steps);
            ASSERT_EQ(moved, std::min<std::int64_t>(steps, static_cast<std::int64_t>(expected.size()) - 1));
            ASSERT_EQ(table_.recordNumber(), expected[static_cast<std::size_t>(moved)]);
        }
        table_.cancelRange();
    }

    void findKey()
    {
        const ModelTag* tag = activeTag();
        const auto target = randomLive();
        if (!tag || !target)
            return;
        const std::string key = keyOf(*model_[*target - 1], tag->kind);
        const std::vector<std::uint32_t> rows = order();
        // The first record of that key in tag order.
        const auto first = std::find_if(rows.begin(), rows.end(), [&](std::uint32_t record) {
            return keyOf(*model_[record - 1], tag->kind) == key;
        });
        std::string trimmed = key;
        trimmed.erase(trimmed.find_last_not_of(' ') + 1);
        ASSERT_TRUE(table_.findKey(trimmed)) << trimmed;
        ASSERT_EQ(table_.recordNumber(), *first);
        expectRow(*first);
        const std::string absent = "#" + trimmed; // no key starts with '#'
        ASSERT_FALSE(table_.findKey(absent.substr(0, key.size())));
        ASSERT_EQ(table_.recordNumber(), *first);
    }

    std::string folder_;
    std::mt19937 random_;
    Table table_;
    std::vector<std::optional<Row>> model_;
    std::vector<ModelTag> tags_;
    int lastNumber_ = 0;
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
        EXPECT_GT(run.tagCount(), 0u);
        run.finish();
    }
}

} // namespace
