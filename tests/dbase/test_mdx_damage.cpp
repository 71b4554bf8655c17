// Damaged index files never crash, hang or pass silently: opening raises DatabaseError for a bad header,
// tag table or tag header, walking raises it for a bad page, and check() names what is wrong.

#include "dbase/Errors.h"
#include "dbase/MdxIndex.h"
#include "MdxTestSupport.h"

#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <string>
#include <vector>

using dbase::DatabaseError;
using dbase::IndexEntry;
using dbase::MdxIndex;
using mdxtest::fields;

namespace {

class Bytes
{
public:
    explicit Bytes(const std::string& path) : path_(path)
    {
        std::ifstream in(path, std::ios::binary);
        data_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void save() const
    {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(data_.data(), static_cast<std::streamsize>(data_.size()));
    }
    std::uint32_t get32(std::size_t at) const
    {
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i)
            value = value << 8 | static_cast<unsigned char>(data_.at(at + static_cast<std::size_t>(i)));
        return value;
    }
    void put32(std::size_t at, std::uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
            data_.at(at + static_cast<std::size_t>(i)) = static_cast<char>(value >> (8 * i));
    }
    void put16(std::size_t at, std::uint16_t value)
    {
        data_.at(at) = static_cast<char>(value);
        data_.at(at + 1) = static_cast<char>(value >> 8);
    }
    std::string& data() { return data_; }

    // Where things lie, read the way the file format describes them.
    std::uint32_t tagHeader(int tag) const { return get32(544 + 32 * static_cast<std::size_t>(tag)); }
    std::uint32_t root(int tag) const { return get32(tagHeader(tag) * 512u); }
    std::uint32_t itemLength(int tag) const { return get32(tagHeader(tag) * 512u + 18) & 0xFFFF; }
    std::uint32_t count(std::uint32_t page) const { return get32(page * 512u); }
    std::size_t item(std::uint32_t page, int tag, std::uint32_t i) const
    {
        return page * 512u + 8 + i * itemLength(tag);
    }
    bool isLeaf(std::uint32_t page, int tag) const { return get32(item(page, tag, count(page))) == 0; }
    std::uint32_t firstLeaf(int tag) const
    {
        std::uint32_t page = root(tag);
        while (!isLeaf(page, tag))
            page = get32(item(page, tag, 0));
        return page;
    }

private:
    std::string path_;
    std::string data_;
};

// What a damaged file must do: refuse to open, or open and fail on use, and in both cases not pass check.
void expectRefusedOrReported(const std::string& path, const std::string& what)
{
    SCOPED_TRACE(what);
    std::optional<MdxIndex> index;
    try {
        index.emplace(path, fields(), false);
    } catch (const DatabaseError& error) {
        EXPECT_NE(std::string(error.what()).find("is damaged"), std::string::npos) << error.what();
        return;
    }
    const std::vector<std::string> problems = index->check();
    EXPECT_FALSE(problems.empty()) << "check passed a damaged file";
}

// Opening, listing, walking, counting and checking; damage may only ever show as DatabaseError.
void exercise(const std::string& path)
{
    std::optional<MdxIndex> index;
    try {
        index.emplace(path, fields(), true, dbase::MdxOptions{64, 1u << 16, {}});
    } catch (const DatabaseError&) {
        return;
    }
    for (const dbase::MdxTag& tag : index->tags()) {
        if (!tag.problem.empty())
            continue;
        const auto attempt = [&](const std::function<void()>& use) {
            try {
                use();
            } catch (const DatabaseError&) {
            }
        };
        attempt([&] { index->count(tag.name); });
        attempt([&] { index->count(tag.name, {std::string("M"), std::string("M\xff")}); });
        attempt([&] { index->forEachEntry(tag.name, [](const IndexEntry&) {}); });
        attempt([&] {
            for (auto entry = index->last(tag.name); entry; entry = index->prior(tag.name, *entry))
                ;
        });
        attempt([&] { index->advance(tag.name, {"M", 5}, 1000); });
        attempt([&] { index->insert(tag.name, {"NEW", 9999}); });
        attempt([&] { index->remove(tag.name, {std::string(tag.keyLength, ' '), 1}); });
    }
    try {
        index->check();
    } catch (const DatabaseError&) {
    }
}

class DamagedIndex : public testing::Test
{
protected:
    void SetUp() override { build(); }

    // Three tags and a free list (left by a fourth tag, deleted).
    void build()
    {
        mdxtest::TestRecords records(fields());
        for (std::uint32_t n = 1; n <= 400; ++n)
            records.add(n)
                .set("DESCR", "D" + std::to_string(n * 7919 % 1000))
                .set("TITLE", "T" + std::to_string(n % 50));
        MdxIndex::create(path(), "STAMPS");
        MdxIndex index(path(), fields(), true);
        index.addTag("DEEP", "SUBSTR(DESCR, 1, 100)", false, records); // nine keys a page: three levels
        index.addTag("SAME", "SUBSTR(DESCR, 1, 100)", true, records);
        index.addTag("WIDE", "TITLE", false, records);
        index.addTag("EXTRA", "TITLE", true, records);
        index.deleteTag("EXTRA");
        for (std::uint32_t n = 1; n <= 400; n += 5)
            index.removeRecord(n, records.at(n)); // and a free list
        ASSERT_TRUE(index.check().empty());
    }

    std::string path() const { return folder_.file("damaged.mdx"); }
    void damage(const std::function<void(Bytes&)>& patch)
    {
        Bytes bytes(path());
        patch(bytes);
        bytes.save();
    }

    mdxtest::TemporaryFolder folder_;
};

TEST_F(DamagedIndex, BadHeadersAndTagHeadersAreRefusedOnOpening)
{
    struct Damage
    {
        const char* what;
        std::function<void(Bytes&)> patch;
    };
    const Damage damages[] = {
        {"cut inside the header", [](Bytes& b) { b.data().resize(1000); }},
        {"blocks of one page", [](Bytes& b) { b.put16(20, 1); }},
        {"blocks of 512 bytes", [](Bytes& b) { b.put16(22, 512); }},
        {"tag entries of 16 bytes", [](Bytes& b) { b.data()[26] = 16; }},
        {"60 tags", [](Bytes& b) { b.put16(28, 60); }},
        {"more pages than the file has", [](Bytes& b) { b.put32(32, b.get32(32) + 100); }},
        {"a page count below the header", [](Bytes& b) { b.put32(32, 2); }},
        {"a free list outside the file", [](Bytes& b) { b.put32(36, 1u << 30); }},
        {"a tag header inside the file header", [](Bytes& b) { b.put32(544, 2); }},
        {"a tag header at an odd page", [](Bytes& b) { b.put32(544, b.tagHeader(0) + 1); }},
        {"a tag header beyond the end", [](Bytes& b) { b.put32(544 + 32, 1u << 20); }},
        {"a nameless tag", [](Bytes& b) { b.data()[544 + 4] = 0; }},
        {"a root beyond the end", [](Bytes& b) { b.put32(b.tagHeader(1) * 512u, 1u << 20); }},
        {"keys of no bytes", [](Bytes& b) { b.put16(b.tagHeader(0) * 512u + 12, 0); }},
        {"keys longer than their entries", [](Bytes& b) { b.put16(b.tagHeader(0) * 512u + 12, 200); }},
        {"entries longer than a page", [](Bytes& b) { b.put16(b.tagHeader(2) * 512u + 18, 2000); }},
        {"an unterminated expression",
         [](Bytes& b) { b.data().replace(b.tagHeader(0) * 512u + 24, 221, std::string(221, 'A')); }},
    };
    for (const Damage& damage : damages) {
        build();
        this->damage(damage.patch);
        SCOPED_TRACE(damage.what);
        EXPECT_THROW(MdxIndex(path(), fields(), false), DatabaseError);
        exercise(path());
    }
}

TEST_F(DamagedIndex, ARootAKilledWriterDidNotWriteYetWaitsForTheRebuild)
{
    // The updating mark is still on: the tag's header names a new root that never reached the file.
    damage([](Bytes& b) {
        b.data()[64] = 1;
        b.put32(b.tagHeader(1) * 512u, 1u << 20);
    });
    const MdxIndex readOnly(path(), fields(), false);
    ASSERT_TRUE(readOnly.interruptedUpdate());
    EXPECT_FALSE(readOnly.tags()[1].problem.empty()) << "a reader cannot use the tag meanwhile";
    EXPECT_TRUE(readOnly.tags()[0].problem.empty());
    const MdxIndex writer(path(), fields(), true);
    EXPECT_TRUE(writer.tags()[1].problem.empty()) << "a writer rebuilds the tags before using them";
}

TEST_F(DamagedIndex, BadPagesFailOnUseAndInTheCheck)
{
    struct Damage
    {
        const char* what;
        std::function<void(Bytes&)> patch;
    };
    const Damage damages[] = {
        {"an impossible entry count", [](Bytes& b) { b.put32(b.root(0) * 512u, 1000); }},
        {"a leaf with an impossible count", [](Bytes& b) { b.put32(b.firstLeaf(0) * 512u, 10); }},
        {"a branch pointing to itself", [](Bytes& b) { b.put32(b.item(b.root(0), 0, 0), b.root(0)); }},
        {"a branch pointing outside the file", [](Bytes& b) { b.put32(b.item(b.root(0), 0, 1), 1u << 24); }},
        {"a branch pointing to an odd page", [](Bytes& b) { b.put32(b.item(b.root(0), 0, 1), 7); }},
        {"a branch pointing into the header", [](Bytes& b) { b.put32(b.item(b.root(0), 0, 0), 2); }},
        {"a leaf at the wrong depth", [](Bytes& b) { b.put32(b.item(b.root(0), 0, 0), b.firstLeaf(0)); }},
        {"a leaf turned into a branch",
         [](Bytes& b) {
             const std::uint32_t leaf = b.firstLeaf(0);
             b.put32(b.item(leaf, 0, b.count(leaf)), b.root(0));
         }},
    };
    for (const Damage& damage : damages) {
        build();
        this->damage(damage.patch);
        SCOPED_TRACE(damage.what);
        MdxIndex index(path(), fields(), false);
        EXPECT_THROW(
            {
                index.count("DEEP");
                index.forEachEntry("DEEP", [](const IndexEntry&) {});
            },
            DatabaseError);
        expectRefusedOrReported(path(), damage.what);
        exercise(path());
    }
}

// Damage that navigation cannot see still does not pass the check.
TEST_F(DamagedIndex, TheCheckNamesWhatIsWrong)
{
    struct Damage
    {
        const char* what;
        std::function<void(Bytes&)> patch;
        const char* problem;
    };
    const Damage damages[] = {
        {"swapped keys",
         [](Bytes& b) {
             const std::uint32_t leaf = b.firstLeaf(0);
             const std::size_t first = b.item(leaf, 0, 0) + 4;
             const std::size_t second = b.item(leaf, 0, 1) + 4;
             std::swap_ranges(b.data().begin() + static_cast<std::ptrdiff_t>(first),
                              b.data().begin() + static_cast<std::ptrdiff_t>(first + 100),
                              b.data().begin() + static_cast<std::ptrdiff_t>(second));
         },
         "out of order"},
        {"record number 0", [](Bytes& b) { b.put32(b.item(b.firstLeaf(2), 2, 0), 0); }, "record number 0"},
        {"two tags sharing a tree", [](Bytes& b) { b.put32(b.tagHeader(1) * 512u, b.root(0)); },
         "used twice"},
        {"a free list reaching a used page", [](Bytes& b) { b.put32(36, b.firstLeaf(2)); }, "in use"},
        {"a free list running in a circle",
         [](Bytes& b) {
             const std::uint32_t head = b.get32(36);
             b.put32(head * 512u + 4, head);
         },
         "circle"},
        {"a wrong count of free blocks", [](Bytes& b) { b.put32(40, b.get32(40) + 3); }, "free blocks"},
        {"a block nobody owns",
         [](Bytes& b) {
             b.data().append(1024, '\0');
             b.put32(32, b.get32(32) + 2);
         },
         "neither in use nor free"},
        {"a separator below its child's keys",
         [](Bytes& b) { b.data().replace(b.item(b.root(0), 0, 0) + 4, 100, std::string(100, ' ')); },
         "separator"},
        {"an interrupted update", [](Bytes& b) { b.data()[64] = 1; }, "interrupted"},
    };
    for (const Damage& damage : damages) {
        build();
        this->damage(damage.patch);
        SCOPED_TRACE(damage.what);
        MdxIndex index(path(), fields(), false);
        const std::vector<std::string> problems = index.check();
        ASSERT_FALSE(problems.empty());
        const bool named = std::any_of(problems.begin(), problems.end(), [&](const std::string& problem) {
            return problem.find(damage.problem) != std::string::npos;
        });
        EXPECT_TRUE(named) << problems.front();
        exercise(path());
    }
}

TEST_F(DamagedIndex, AFreeListIntoUsedPagesIsNotFollowedWhenAllocating)
{
    damage([](Bytes& b) { b.put32(36, b.firstLeaf(2)); });
    MdxIndex index(path(), fields(), true);
    EXPECT_THROW(
        {
            for (std::uint32_t n = 1000; n < 3000; ++n)
                index.insert("DEEP", {"D" + std::to_string(n), n});
        },
        DatabaseError);
}

// Tags this engine cannot maintain are listed with the reason, and refuse to be used.
TEST_F(DamagedIndex, ForeignTagsItCannotUseAreListedWithTheirProblem)
{
    damage([](Bytes& b) {
        b.data()[b.tagHeader(0) * 512u + 9] = 'N';
        b.data()[b.tagHeader(1) * 512u + 245] = 1;
        b.data().replace(b.tagHeader(2) * 512u + 24, 9, std::string("NOSUCH\0\0\0", 9));
    });
    MdxIndex index(path(), fields(), true);
    const std::vector<dbase::MdxTag> tags = index.tags();
    ASSERT_EQ(tags.size(), 3u);
    EXPECT_NE(tags[0].problem.find("numeric keys"), std::string::npos) << tags[0].problem;
    EXPECT_NE(tags[1].problem.find("FOR condition"), std::string::npos) << tags[1].problem;
    EXPECT_NE(tags[2].problem.find("unknown field NOSUCH"), std::string::npos) << tags[2].problem;
    EXPECT_THROW(index.count("DEEP"), DatabaseError);
    mdxtest::TestRecords records(fields());
    EXPECT_THROW(index.insertRecord(1, records.add(1)), DatabaseError);
    EXPECT_THROW(index.rebuild(records), DatabaseError);
    index.deleteTag("WIDE");
    EXPECT_EQ(index.tags().size(), 2u);
}

// Seeded random damage anywhere in the file: every outcome is a DatabaseError or a sound answer.
TEST_F(DamagedIndex, RandomDamageNeverCrashesOrHangs)
{
    const std::string pristine = Bytes(path()).data();
    std::mt19937 random(1986);
    for (int round = 0; round < 400; ++round) {
        Bytes bytes(path());
        bytes.data() = pristine;
        const int flips = std::uniform_int_distribution<int>(1, 8)(random);
        for (int i = 0; i < flips; ++i) {
            const std::size_t at = std::uniform_int_distribution<std::size_t>(0, pristine.size() - 1)(random);
            bytes.data()[at] = static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random));
        }
        if (round % 10 == 0)
            bytes.data().resize(std::uniform_int_distribution<std::size_t>(0, pristine.size())(random));
        bytes.save();
        exercise(path());
    }
}

} // namespace
