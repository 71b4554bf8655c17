// Partial-key ranges on real tags: the letter tabs of the record list, ascending and descending, with and
// without the filter mark in front, and how fast the 26 letter counts of a large tag are.

#include "dbase/MdxIndex.h"
#include "MdxTestSupport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <string>
#include <vector>

using dbase::IndexEntry;
using dbase::KeyRange;
using dbase::MdxIndex;

namespace {

// The letter tab's range: from L (chr(1) for A) to L + chr(255) (chr(255) alone for Z), reversed on a
// descending tag, with the filter mark in front of both keys when a filter is on.
KeyRange letterRange(char letter, bool descending, const std::string& mark = {})
{
    const std::string lower = mark + (letter == 'A' ? std::string(1, '\x01') : std::string(1, letter));
    const std::string upper = mark + (letter == 'Z' ? std::string(1, '\xff') : std::string{letter, '\xff'});
    return descending ? KeyRange{upper, lower} : KeyRange{lower, upper};
}

// The tab a title belongs to: its first capital, with everything below A in A and everything above Z in Z.
char tabOf(const std::string& upperKey)
{
    const auto first = static_cast<unsigned char>(upperKey[0]);
    return static_cast<char>(std::clamp<unsigned char>(first, 'A', 'Z'));
}

class LetterRanges : public testing::Test
{
protected:
    void SetUp() override
    {
        const std::vector<std::string> titles = {
            "apple",     "Avocado", "",         "123 Stamp", "(Bracket", "banana", "Berry", "cherry",
            "Zebra",     "zulu",    "\xc4rger", "\xe4rger",  "[x",       "~tilde", "M",     "Mm",
            "Mauritius", "Y",       "Ypsilon",  "Z",         "a",        "A",      " lead", "\x80uro",
        };
        std::mt19937 random(1840);
        std::uint32_t number = 0;
        for (const std::string& title : titles)
            add(++number, title, random);
        for (int i = 0; i < 1500; ++i) {
            std::string title(std::uniform_int_distribution<std::size_t>(0, 8)(random), ' ');
            for (char& c : title)
                c = static_cast<char>(std::uniform_int_distribution<int>(0x20, 0xff)(random));
            add(++number, title, random);
        }
        MdxIndex::create(path(), "STAMPS");
        index_.emplace(path(), mdxtest::stampFields(), true);
        index_->addTag("T_ASC", "UPPER(TITLE)", false, records_);
        index_->addTag("T_DESC", "UPPER(TITLE)", true, records_);
        index_->addTag("F_ASC", "MARK+UPPER(TITLE)", false, records_);
        index_->addTag("F_DESC", "MARK+UPPER(TITLE)", true, records_);
    }

    void add(std::uint32_t number, const std::string& title, std::mt19937& random)
    {
        const std::string mark = std::uniform_int_distribution<int>(0, 1)(random) ? "2" : "0";
        records_.add(number).set("TITLE", title).set("MARK", mark);
        marks_[number] = mark;
    }

    std::string path() const { return folder_.file("stamps.mdx"); }

    // The tag's entries whose record passes the filter and belongs to the tab, in tag order.
    std::vector<IndexEntry> expected(const std::string& tag, char letter, const std::string& mark)
    {
        std::vector<IndexEntry> entries;
        index_->forEachEntry(tag, [&](const IndexEntry& entry) {
            const std::string title = mark.empty() ? entry.key : entry.key.substr(1);
            if ((mark.empty() || marks_.at(entry.record) == mark) && tabOf(title) == letter)
                entries.push_back(entry);
        });
        return entries;
    }

    std::vector<IndexEntry> walk(const std::string& tag, const KeyRange& range)
    {
        std::vector<IndexEntry> entries;
        for (auto entry = index_->first(tag, range); entry; entry = index_->next(tag, *entry, range))
            entries.push_back(*entry);
        return entries;
    }

    mdxtest::TemporaryFolder folder_;
    mdxtest::TestRecords records_{mdxtest::stampFields()};
    std::map<std::uint32_t, std::string> marks_;
    std::optional<MdxIndex> index_;
};

TEST_F(LetterRanges, EachTabHoldsItsLettersAndTheEdgesGoToAAndZ)
{
    struct Variant
    {
        const char* tag;
        bool descending;
        const char* mark;
    };
    const Variant variants[] = {{"T_ASC", false, ""},  {"T_DESC", true, ""},  {"F_ASC", false, "2"},
                                {"F_DESC", true, "2"}, {"F_ASC", false, "0"}, {"F_DESC", true, "0"}};
    for (const Variant& variant : variants) {
        std::int64_t total = 0;
        for (char letter = 'A'; letter <= 'Z'; ++letter) {
            SCOPED_TRACE(std::string(variant.tag) + " mark '" + variant.mark + "' tab " + letter);
            const KeyRange range = letterRange(letter, variant.descending, variant.mark);
            const std::vector<IndexEntry> wanted = expected(variant.tag, letter, variant.mark);
            EXPECT_EQ(index_->count(variant.tag, range), static_cast<std::int64_t>(wanted.size()));
            EXPECT_EQ(walk(variant.tag, range), wanted);
            std::vector<IndexEntry> backwards;
            for (auto entry = index_->last(variant.tag, range); entry;
                 entry = index_->prior(variant.tag, *entry, range))
                backwards.push_back(*entry);
            std::reverse(backwards.begin(), backwards.end());
            EXPECT_EQ(backwards, wanted);
            total += index_->count(variant.tag, range);
        }
        const std::int64_t all = std::string(variant.mark).empty()
                                     ? static_cast<std::int64_t>(records_.size())
                                     : std::count_if(marks_.begin(), marks_.end(), [&](const auto& mark) {
                                           return mark.second == variant.mark;
                                       });
        EXPECT_EQ(total, all) << variant.tag << " '" << variant.mark
                              << "': every record is in exactly one tab";
    }
}

TEST_F(LetterRanges, TheEdgeTitlesLandInTheDocumentedTabs)
{
    const auto tabOfRecord = [&](std::uint32_t record) {
        for (char letter = 'A'; letter <= 'Z'; ++letter) {
            const KeyRange range = letterRange(letter, false);
            for (auto entry = index_->first("T_ASC", range); entry;
                 entry = index_->next("T_ASC", *entry, range))
                if (entry->record == record)
                    return letter;
        }
        return '?';
    };
    EXPECT_EQ(tabOfRecord(1), 'A');  // apple
    EXPECT_EQ(tabOfRecord(3), 'A');  // empty
    EXPECT_EQ(tabOfRecord(4), 'A');  // a digit
    EXPECT_EQ(tabOfRecord(5), 'A');  // punctuation below A
    EXPECT_EQ(tabOfRecord(6), 'B');  // banana, lower case
    EXPECT_EQ(tabOfRecord(10), 'Z'); // zulu
    EXPECT_EQ(tabOfRecord(11), 'Z'); // a capital with an accent lies above Z
    EXPECT_EQ(tabOfRecord(12), 'Z'); // and its small letter folds to it
    EXPECT_EQ(tabOfRecord(13), 'Z'); // punctuation above Z
    EXPECT_EQ(tabOfRecord(23), 'A'); // a leading blank
}

// The descending tag lists Z first and A last, each tab in descending order within itself.
TEST_F(LetterRanges, DescendingTagsRunFromZToA)
{
    const auto firstZ = index_->first("T_DESC", letterRange('Z', true));
    const auto firstOverall = index_->first("T_DESC");
    ASSERT_TRUE(firstZ && firstOverall);
    EXPECT_EQ(*firstZ, *firstOverall);
    const auto lastA = index_->last("T_DESC", letterRange('A', true));
    const auto lastOverall = index_->last("T_DESC");
    ASSERT_TRUE(lastA && lastOverall);
    EXPECT_EQ(*lastA, *lastOverall);
    const std::vector<IndexEntry> m = walk("T_DESC", letterRange('M', true));
    ASSERT_GE(m.size(), 3u);
    for (std::size_t i = 1; i < m.size(); ++i)
        EXPECT_GE(m[i - 1].key, m[i].key);
    EXPECT_NE(std::find_if(m.begin(), m.end(),
                           [](const IndexEntry& e) { return e.key.rfind("MAURITIUS", 0) == 0; }),
              m.end());
    EXPECT_EQ(m.back().key, mdxtest::padded("M", 30));
}

TEST_F(LetterRanges, FilterMarkRangesAlone)
{
    const auto passing =
        std::count_if(marks_.begin(), marks_.end(), [](const auto& m) { return m.second == "2"; });
    const auto failing = static_cast<std::int64_t>(marks_.size()) - passing;
    EXPECT_EQ(index_->count("F_ASC", {"2", "3"}), passing);
    EXPECT_EQ(index_->count("F_ASC", {"0", "1"}), failing);
    // Bounds are in the tag's own order: a descending tag takes the higher mark first.
    EXPECT_EQ(index_->count("F_DESC", {"3", "2"}), passing);
    EXPECT_EQ(index_->count("F_DESC", {"1", "0"}), failing);
    EXPECT_EQ(index_->count("F_DESC", {"2", "3"}), 0);
    for (auto entry = index_->first("F_ASC", {"2", "3"}); entry;
         entry = index_->next("F_ASC", *entry, {"2", "3"}))
        EXPECT_EQ(marks_.at(entry->record), "2");
}

TEST_F(LetterRanges, BoundsLongerThanTheKeyAndEmptyRanges)
{
    const std::string longBound = mdxtest::padded("MAURITIUS", 30) + "   ";
    EXPECT_EQ(index_->count("T_ASC", {longBound, longBound}), 1); // the key padded with blanks
    EXPECT_EQ(index_->count("T_ASC", {"N", "M"}), 0);
    EXPECT_EQ(index_->first("T_ASC", {"N", "M"}), std::nullopt);
    EXPECT_EQ(index_->last("T_ASC", {"N", "M"}), std::nullopt);
    EXPECT_EQ(index_->count("T_ASC", {std::nullopt, std::string("\x01")}), 0);
    EXPECT_EQ(index_->count("T_ASC", {std::string(), std::string()}),
              static_cast<std::int64_t>(records_.size())); // empty bounds hold everything
    EXPECT_TRUE(index_->find("T_ASC", "MAURITIUS").has_value());
    EXPECT_FALSE(index_->find("T_ASC", "MAURITIUS", letterRange('B', false)).has_value());
    EXPECT_FALSE(index_->find("T_ASC", "MAURITIU").has_value());
}

// Records of a synthetic catalog: a capitalised random word as title and a long description.
void fillCatalog(mdxtest::TestRecords& records, std::uint32_t count)
{
    std::mt19937 random(4711);
    std::uniform_int_distribution<int> letter(0, 25);
    std::uniform_int_distribution<std::size_t> length(3, 25);
    for (std::uint32_t number = 1; number <= count; ++number) {
        std::string title(length(random), ' ');
        for (char& c : title)
            c = static_cast<char>('a' + letter(random));
        title[0] = static_cast<char>(title[0] - 'a' + 'A');
        records.add(number).set("TITLE", title).set("DESCR", title + " " + title + " " + title);
    }
}

double countLetterTabs(MdxIndex& index, const std::string& tag, std::int64_t& total)
{
    const auto start = std::chrono::steady_clock::now();
    total = 0;
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        total += index.count(tag, letterRange(letter, false));
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The 26 letter-tab counts of a 100,000-record tag stay well below 20 ms: they add up entry counts of
// whole subtrees instead of visiting entries.
TEST(LetterRangeSpeed, TwentySixCountsOfAHundredThousandRecords)
{
    constexpr std::uint32_t records = 100000;
    mdxtest::TemporaryFolder folder;
    mdxtest::TestRecords catalog(mdxtest::stampFields());
    fillCatalog(catalog, records);
    const std::string path = folder.file("catalog.mdx");
    MdxIndex::create(path, "CATALOG");
    {
        MdxIndex index(path, mdxtest::stampFields(), true);
        index.addTag("IDX0", "UPPER(TITLE)", false, catalog);
        index.addTag("IDX1", "UPPER(SUBSTR(DESCR, 1, 99))", false, catalog);
        for (const char* tag : {"IDX0", "IDX1"}) {
            std::int64_t total = 0;
            const double first = countLetterTabs(index, tag, total);
            EXPECT_EQ(total, records);
            const double again = countLetterTabs(index, tag, total);
            std::printf("%s: 26 counts %.2f ms, again %.2f ms\n", tag, first, again);
#if defined(NDEBUG) && !defined(__SANITIZE_ADDRESS__)
            EXPECT_LT(first, 20.0);
            EXPECT_LT(again, 5.0);
#endif
        }
    }
    // A fresh process reads the pages once.
    MdxIndex reopened(path, mdxtest::stampFields(), false);
    std::int64_t total = 0;
    const double cold = countLetterTabs(reopened, "IDX1", total);
    EXPECT_EQ(total, records);
    std::printf("IDX1 after opening: 26 counts %.2f ms\n", cold);
#if defined(NDEBUG) && !defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(cold, 20.0);
#endif
}

} // namespace
