// The B-tree of a tag against a simple model: a long seeded sequence of inserts and removes, checked for
// order, counts, range counts, moves by n, finds and the file's structure.

#include "dbase/Errors.h"
#include "dbase/MdxIndex.h"
#include "MdxTestSupport.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

using dbase::IndexEntry;
using dbase::KeyRange;
using dbase::MdxIndex;
using dbase::MdxOptions;
using mdxtest::TagOrder;

namespace {

int signOf(int value)
{
    return (value > 0) - (value < 0);
}

// The key against a partial bound, in tag order: the key cut or blank-padded to the bound's length.
int prefixOrder(const std::string& key, const std::string& bound, bool descending)
{
    std::string cut = key;
    cut.resize(bound.size(), ' ');
    const int order = signOf(std::memcmp(cut.data(), bound.data(), bound.size()));
    return descending ? -order : order;
}

struct Shape
{
    const char* name;
    const char* expression;
    std::size_t keyLength;
    bool descending;
    std::size_t cacheBlocks;
    int entries;
};

class ModelledTag
{
public:
    ModelledTag(MdxIndex& index, const Shape& shape, std::uint32_t seed)
        : index_(index), shape_(shape), model_(TagOrder{shape.descending}), random_(seed)
    {}

    std::string randomKey()
    {
        // Few distinct bytes, so that equal keys spread over many pages; bytes above 0x7F check that keys
        // compare without sign.
        static const char alphabet[] = {'A', 'B', 'C', ' ', '\xe4'};
        std::string key(std::uniform_int_distribution<std::size_t>(
                            0, std::min<std::size_t>(shape_.keyLength, 4))(random_),
                        ' ');
        for (char& c : key)
            c = alphabet[std::uniform_int_distribution<int>(0, 4)(random_)];
        key.resize(shape_.keyLength, ' ');
        return key;
    }
    std::string randomBound()
    {
        static const char alphabet[] = {'A', 'B', 'C', ' ', '\xe4', '\x01', '\xff'};
        std::string bound(std::uniform_int_distribution<std::size_t>(0, 3)(random_), ' ');
        for (char& c : bound)
            c = alphabet[std::uniform_int_distribution<int>(0, 6)(random_)];
        return bound;
    }
    IndexEntry randomPosition()
    {
        if (!model_.empty() && std::uniform_int_distribution<int>(0, 1)(random_) == 0) {
            auto at = model_.begin();
            std::advance(at, std::uniform_int_distribution<std::size_t>(0, model_.size() - 1)(random_));
            return *at;
        }
        return {randomKey(), std::uniform_int_distribution<std::uint32_t>(1, 2000)(random_)};
    }
    KeyRange randomRange()
    {
        KeyRange range;
        if (std::uniform_int_distribution<int>(0, 3)(random_) != 0)
            range.start = randomBound();
        if (std::uniform_int_distribution<int>(0, 3)(random_) != 0)
            range.end = randomBound();
        return range;
    }

    void insertRandom()
    {
        const IndexEntry entry{randomKey(), std::uniform_int_distribution<std::uint32_t>(1, 2000)(random_)};
        const bool expected = model_.insert(entry).second;
        ASSERT_EQ(index_.insert(shape_.name, entry), expected) << entry.key << " " << entry.record;
    }
    void removeRandom()
    {
        if (model_.empty() || std::uniform_int_distribution<int>(0, 9)(random_) == 0) {
            const IndexEntry absent{randomKey(), 2001};
            ASSERT_FALSE(index_.remove(shape_.name, absent));
            return;
        }
        auto at = model_.begin();
        std::advance(at, std::uniform_int_distribution<std::size_t>(0, model_.size() - 1)(random_));
        ASSERT_TRUE(index_.remove(shape_.name, *at)) << at->key << " " << at->record;
        model_.erase(at);
    }
    // A remove or an insert, as likely as each other.
    void randomStep()
    {
        if (std::uniform_int_distribution<int>(0, 1)(random_) == 0)
            removeRandom();
        else
            insertRandom();
    }
    void removeAll()
    {
        std::vector<IndexEntry> all(model_.begin(), model_.end());
        std::shuffle(all.begin(), all.end(), random_);
        for (const IndexEntry& entry : all) {
            ASSERT_TRUE(index_.remove(shape_.name, entry));
            model_.erase(entry);
        }
    }
    std::size_t size() const { return model_.size(); }

    void verify()
    {
        SCOPED_TRACE(std::to_string(model_.size()) + " entries");
        const std::vector<std::string> problems = index_.check();
        EXPECT_TRUE(problems.empty()) << problems.front();
        std::vector<IndexEntry> walked;
        index_.forEachEntry(shape_.name, [&](const IndexEntry& entry) { walked.push_back(entry); });
        ASSERT_EQ(walked, std::vector<IndexEntry>(model_.begin(), model_.end()));
        EXPECT_EQ(index_.count(shape_.name), static_cast<std::int64_t>(model_.size()));
        for (int i = 0; i < 40; ++i)
            verifyRange(randomRange());
    }

private:
    bool inRange(const IndexEntry& entry, const KeyRange& range) const
    {
        return (!range.start || prefixOrder(entry.key, *range.start, shape_.descending) >= 0) &&
               (!range.end || prefixOrder(entry.key, *range.end, shape_.descending) <= 0);
    }

    void verifyRange(const KeyRange& range)
    {
        SCOPED_TRACE("range [" + range.start.value_or("-") + "] .. [" + range.end.value_or("-") + "]");
        std::vector<IndexEntry> inside;
        std::copy_if(model_.begin(), model_.end(), std::back_inserter(inside),
                     [&](const IndexEntry& entry) { return inRange(entry, range); });
        const std::string& tag = shape_.name;
        ASSERT_EQ(index_.count(tag, range), static_cast<std::int64_t>(inside.size()));
        EXPECT_EQ(index_.first(tag, range), inside.empty() ? std::nullopt : std::optional(inside.front()));
        EXPECT_EQ(index_.last(tag, range), inside.empty() ? std::nullopt : std::optional(inside.back()));

        const TagOrder order{shape_.descending};
        const IndexEntry from = randomPosition();
        // Entries of the range after / before the position.
        const auto after = std::upper_bound(inside.begin(), inside.end(), from, order);
        const auto notBefore = std::lower_bound(inside.begin(), inside.end(), from, order);
        EXPECT_EQ(index_.next(tag, from, range),
                  after == inside.end() ? std::nullopt : std::optional(*after));
        EXPECT_EQ(index_.seek(tag, from, range),
                  notBefore == inside.end() ? std::nullopt : std::optional(*notBefore));
        EXPECT_EQ(index_.prior(tag, from, range),
                  notBefore == inside.begin() ? std::nullopt : std::optional(*std::prev(notBefore)));

        const std::int64_t steps = std::uniform_int_distribution<std::int64_t>(-300, 300)(random_);
        const dbase::IndexMove move = index_.advance(tag, from, steps, range);
        if (steps > 0) {
            const std::int64_t available = inside.end() - after;
            const std::int64_t moved = std::min(steps, available);
            EXPECT_EQ(move.moved, moved);
            EXPECT_EQ(move.entry, moved == 0 ? std::nullopt : std::optional(*(after + (moved - 1))));
        } else if (steps < 0) {
            const std::int64_t available = notBefore - inside.begin();
            const std::int64_t moved = std::min(-steps, available);
            EXPECT_EQ(move.moved, -moved);
            EXPECT_EQ(move.entry, moved == 0 ? std::nullopt : std::optional(*(notBefore - moved)));
        }

        const std::string key = from.key;
        const auto withKey =
            std::find_if(inside.begin(), inside.end(), [&](const IndexEntry& e) { return e.key == key; });
        std::string shortKey = key;
        shortKey.erase(shortKey.find_last_not_of(' ') + 1);
        EXPECT_EQ(index_.find(tag, shortKey, range),
                  withKey == inside.end() ? std::nullopt : std::optional(*withKey));
    }

    MdxIndex& index_;
    Shape shape_;
    std::set<IndexEntry, TagOrder> model_;
    std::mt19937 random_;
};

void PrintTo(const Shape& shape, std::ostream* out)
{
    *out << shape.name;
}

class MdxTreeModel : public testing::TestWithParam<Shape>
{
};

TEST_P(MdxTreeModel, LongRandomSequenceMatchesTheModel)
{
    const Shape& shape = GetParam();
    mdxtest::TemporaryFolder folder;
    const std::string path = folder.file("model.mdx");
    MdxIndex::create(path, "MODEL");
    MdxIndex index(path, mdxtest::stampFields(), true, MdxOptions{shape.cacheBlocks, 1u << 20, {}});
    mdxtest::TestRecords none(mdxtest::stampFields());
    index.addTag(shape.name, shape.expression, shape.descending, none);
    ASSERT_EQ(index.tags().at(0).keyLength, shape.keyLength);

    ModelledTag tag(index, shape, 20240229);
    for (int i = 0; i < shape.entries; ++i)
        ASSERT_NO_FATAL_FAILURE(tag.insertRandom());
    tag.verify();
    for (int round = 0; round < 4; ++round) {
        for (int i = 0; i < shape.entries / 2; ++i)
            ASSERT_NO_FATAL_FAILURE(tag.randomStep());
        tag.verify();
    }
    // Inside one update, as a table's post brackets its changes.
    index.beginUpdate();
    for (int i = 0; i < 200; ++i)
        ASSERT_NO_FATAL_FAILURE(tag.insertRandom());
    index.endUpdate();
    tag.verify();

    const std::size_t fullSize = tag.size();
    ASSERT_NO_FATAL_FAILURE(tag.removeAll());
    tag.verify();
    EXPECT_EQ(index.count(shape.name), 0);
    // The emptied tree's pages went to the free list and serve the next inserts: half as many entries
    // fit in them without growing the file.
    const auto emptiedSize = std::filesystem::file_size(path);
    while (tag.size() < fullSize / 2)
        ASSERT_NO_FATAL_FAILURE(tag.insertRandom());
    tag.verify();
    EXPECT_EQ(std::filesystem::file_size(path), emptiedSize);

    // A second object on the same file sees the same tag.
    MdxIndex reader(path, mdxtest::stampFields(), false);
    EXPECT_EQ(reader.count(shape.name), static_cast<std::int64_t>(tag.size()));
    EXPECT_TRUE(reader.check().empty());
}

INSTANTIATE_TEST_SUITE_P(Shapes, MdxTreeModel,
                         testing::Values(Shape{"LONG", "SUBSTR(DESCR, 1, 100)", 100, false, 16384, 3000},
                                         Shape{"LONGDESC", "SUBSTR(DESCR, 1, 100)", 100, true, 16384, 3000},
                                         Shape{"SMALLCACHE", "SUBSTR(DESCR, 1, 100)", 100, false, 64, 1500},
                                         Shape{"SHORT", "SUBSTR(TITLE, 1, 3)", 3, false, 16384, 12000},
                                         Shape{"SHORTDESC", "SUBSTR(TITLE, 1, 3)", 3, true, 64, 8000}),
                         [](const testing::TestParamInfo<Shape>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
