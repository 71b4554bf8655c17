// Building tags: the sort that spills to a temporary file beyond its memory, the bottom-up builder that
// spreads entries evenly over the pages of every level, and unique tags of other writers.

#include "dbase/MdxIndex.h"
#include "dbase/MdxKeySorter.h"
#include "dbase/MdxStorage.h"
#include "dbase/MdxTree.h"
#include "dbase/MdxTreeBuilder.h"
#include "MdxTestSupport.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

using dbase::IndexEntry;
using dbase::MdxKeySorter;

namespace {

std::vector<IndexEntry> randomEntries(std::size_t count, std::size_t keyLength, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<IndexEntry> entries;
    for (std::size_t i = 0; i < count; ++i) {
        std::string key(keyLength, ' ');
        for (char& c : key)
            c = static_cast<char>(
                std::uniform_int_distribution<int>(0x41, 0x44)(random)); // few keys, many equal
        entries.push_back({key, std::uniform_int_distribution<std::uint32_t>(1, 5000000)(random)});
    }
    return entries;
}

std::vector<IndexEntry> merged(MdxKeySorter& sorter, bool firstOfEachKey = false)
{
    std::vector<IndexEntry> out;
    sorter.merge(
        [&](std::string_view key, std::uint32_t record) {
            out.push_back({std::string(key), record});
        },
        firstOfEachKey);
    return out;
}

TEST(MdxKeySorter, SpillsBeyondItsMemoryAndMergesInTagOrder)
{
    mdxtest::TemporaryFolder folder;
    for (const bool descending : {false, true}) {
        SCOPED_TRACE(descending ? "descending" : "ascending");
        const std::vector<IndexEntry> entries = randomEntries(40000, 5, 3);
        MdxKeySorter sorter(5, descending, 8192, folder.path().string());
        for (const IndexEntry& entry : entries)
            sorter.add(entry.key, entry.record);
        EXPECT_TRUE(sorter.spilled());
        EXPECT_EQ(sorter.size(), entries.size());
        std::vector<IndexEntry> expected = entries;
        std::stable_sort(expected.begin(), expected.end(), mdxtest::TagOrder{descending});
        EXPECT_EQ(merged(sorter), expected);
        EXPECT_EQ(merged(sorter), expected) << "a second merge gives the same";

        std::vector<IndexEntry> firsts;
        for (const IndexEntry& entry : expected)
            if (firsts.empty() || firsts.back().key != entry.key)
                firsts.push_back(entry);
        EXPECT_EQ(merged(sorter, true), firsts);
        EXPECT_EQ(sorter.distinctKeys(), firsts.size());
    }
    // The runs lived in an unnamed file: nothing is left behind.
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST(MdxKeySorter, SmallSetsStayInMemory)
{
    MdxKeySorter sorter(3, false, 1u << 20, {});
    sorter.add("BBB", 2);
    sorter.add("AAA", 9);
    sorter.add("BBB", 1);
    EXPECT_FALSE(sorter.spilled());
    EXPECT_EQ(merged(sorter), (std::vector<IndexEntry>{{"AAA", 9}, {"BBB", 1}, {"BBB", 2}}));
}

// Keys longer than the eight bytes the sort compares first, with many of them equal there: the rest of the
// key decides, then the record, whether the records came in order or not.
TEST(MdxKeySorter, LongKeysThatTieOnTheirFirstBytes)
{
    for (const bool descending : {false, true}) {
        for (const bool recordsInOrder : {true, false}) {
            SCOPED_TRACE(std::string(descending ? "descending" : "ascending") +
                         (recordsInOrder ? ", records in order" : ", records shuffled"));
            std::mt19937 random(11);
            std::vector<IndexEntry> entries;
            for (std::uint32_t n = 1; n <= 3000; ++n) {
                std::string key = n % 3 ? "SAMEHEAD" : "OTHERHEA";
                for (int i = 0; i < 12; ++i)
                    key += static_cast<char>(n % 5 ? 'A' + random() % 2 : ' ');
                entries.push_back(
                    {key, recordsInOrder ? n : 1 + static_cast<std::uint32_t>(random() % 100000)});
            }
            MdxKeySorter sorter(20, descending, 1u << 20, {});
            for (const IndexEntry& entry : entries)
                sorter.add(entry.key, entry.record);
            std::vector<IndexEntry> expected = entries;
            std::stable_sort(expected.begin(), expected.end(), mdxtest::TagOrder{descending});
            EXPECT_EQ(merged(sorter), expected);
        }
    }
}

// A million entries through a quarter of a megabyte: the sort holds a bounded part of them at a time.
TEST(MdxKeySorter, AMillionEntriesInBoundedMemory)
{
    mdxtest::TemporaryFolder folder;
    MdxKeySorter sorter(8, false, 256 * 1024, folder.path().string());
    std::mt19937 random(9);
    for (std::uint32_t record = 1; record <= 1000000; ++record) {
        std::string key(8, ' ');
        for (char& c : key)
            c = static_cast<char>('A' + random() % 26);
        sorter.add(key, record);
    }
    EXPECT_TRUE(sorter.spilled());
    std::uint64_t count = 0;
    std::string previousKey;
    std::uint32_t previousRecord = 0;
    bool ordered = true;
    sorter.merge([&](std::string_view key, std::uint32_t record) {
        ordered =
            ordered && (count == 0 || previousKey < key || (previousKey == key && previousRecord < record));
        previousKey.assign(key);
        previousRecord = record;
        ++count;
    });
    EXPECT_TRUE(ordered);
    EXPECT_EQ(count, 1000000u);
}

// The builder spreads entries evenly: every page of a level holds within one entry of the others, so no
// page is left nearly empty at the end of a level.
TEST(MdxTreeBuilder, SpreadsEntriesEvenlyOverEveryLevel)
{
    mdxtest::TemporaryFolder folder;
    const std::string path = folder.file("built.mdx");
    dbase::MdxStorage::create(path, "BUILT");
    dbase::MdxStorage storage(path, true, 4096);
    dbase::MdxTreeShape shape;
    shape.keyLength = 100;
    shape.itemLength = 104;
    shape.capacity = 9;
    for (const std::uint64_t entries : {0u, 1u, 9u, 10u, 91u, 811u, 5000u}) {
        SCOPED_TRACE(std::to_string(entries) + " entries");
        storage.beginUpdate();
        dbase::MdxTreeBuilder builder(storage, shape, entries);
        for (std::uint64_t i = 0; i < entries; ++i) {
            std::string key = "K" + std::to_string(100000 + i);
            key.resize(100, ' ');
            builder.add(key, static_cast<std::uint32_t>(i + 1));
        }
        shape.rootPage = builder.finish();
        storage.endUpdate();

        std::map<std::uint32_t, std::vector<std::uint32_t>> sizesByDepth;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> pending{{shape.rootPage, 0}};
        while (!pending.empty()) {
            const auto [page, depth] = pending.back();
            pending.pop_back();
            const dbase::MdxBlockPtr block = storage.read(page);
            const dbase::MdxPageView view(storage, block->bytes.data(), page, shape);
            sizesByDepth[depth].push_back(view.isLeaf() ? view.count() : view.children());
            for (std::uint32_t child = 0; child < view.children(); ++child)
                pending.emplace_back(view.pointer(child), depth + 1);
        }
        for (const auto& [depth, sizes] : sizesByDepth) {
            const auto [smallest, largest] = std::minmax_element(sizes.begin(), sizes.end());
            EXPECT_LE(*largest - *smallest, 1u) << "depth " << depth;
            if (sizes.size() > 1) {
                EXPECT_GE(*smallest, 5u) << "depth " << depth;
            }
        }
        dbase::MdxTree tree(storage, shape, "BUILT");
        std::vector<std::string> problems;
        std::unordered_map<std::uint32_t, std::string> owners;
        EXPECT_EQ(tree.check(problems, owners, true), static_cast<std::int64_t>(entries));
        EXPECT_TRUE(problems.empty()) << problems.front();
    }
}

// Another writer's unique tag indexes only the first record of each key; the engine keeps it that way.
TEST(MdxUniqueTag, KeepsTheFirstRecordOfEachKey)
{
    mdxtest::TemporaryFolder folder;
    const std::string path = folder.file("unique.mdx");
    mdxtest::TestRecords records(mdxtest::fields());
    for (std::uint32_t n = 1; n <= 300; ++n)
        records.add(n).set("TITLE", "T" + std::to_string(n % 40));
    dbase::MdxIndex::create(path, "UNIQUE");
    dbase::MdxIndex(path, mdxtest::fields(), true).addTag("TITLES", "TITLE", false, records);
    {
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        char headerPage[4];
        file.seekg(544);
        file.read(headerPage, 4);
        const auto page = static_cast<std::uint32_t>(static_cast<unsigned char>(headerPage[0]) |
                                                     static_cast<unsigned char>(headerPage[1]) << 8);
        file.seekp(page * 512 + 23);
        file.put(1);
    }
    dbase::MdxIndex index(path, mdxtest::fields(), true);
    ASSERT_TRUE(index.tags().at(0).unique);
    index.rebuild(records);
    EXPECT_EQ(index.count("TITLES"), 40);
    const auto first = index.find("TITLES", "T7");
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->record, 7u);
    EXPECT_FALSE(index.insert("TITLES", {"T7", 1000}));
    EXPECT_TRUE(index.insert("TITLES", {"NEW", 1000}));
    EXPECT_EQ(index.count("TITLES"), 41);
    EXPECT_TRUE(index.check().empty());
}

} // namespace
