#include "TagCheck.h"

#include "Errors.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace dbase {

namespace {

// The tag order of the file format: keys as unsigned bytes, reversed for a descending tag, then records.
struct TagOrder
{
    bool descending = false;
    bool operator()(const IndexEntry& a, const IndexEntry& b) const
    {
        const int compared = std::memcmp(a.key.data(), b.key.data(), std::min(a.key.size(), b.key.size()));
        const int order = descending ? -compared : compared;
        return order != 0 ? order < 0 : a.record < b.record;
    }
};

std::string describe(const IndexEntry& entry)
{
    std::string key = entry.key;
    key.erase(key.find_last_not_of(' ') + 1);
    return "record " + std::to_string(entry.record) + " (key \"" + key + "\")";
}

class TagComparison
{
public:
    TagComparison(const MdxTag& tag, const std::function<void(std::string)>& problem)
        : where_("tag " + tag.name + ": "), order_{tag.descending}, problem_(problem)
    {}

    void missing(const IndexEntry& entry) { problem_(where_ + describe(entry) + " is missing"); }
    void extra(const IndexEntry& entry)
    {
        problem_(where_ + "the entry for " + describe(entry) + " belongs to no live record");
    }
    void misordered(const IndexEntry& before, const IndexEntry& after)
    {
        problem_(where_ + "entries out of order: " + describe(after) + " follows " + describe(before));
    }
    void unreadable(const std::string& what) { problem_(where_ + what); }

    // Both lists in tag order: whatever only one of them holds.
    void merge(const std::vector<IndexEntry>& expected, const std::vector<IndexEntry>& actual)
    {
        auto want = expected.begin();
        auto have = actual.begin();
        while (want != expected.end() || have != actual.end()) {
            if (have == actual.end() || (want != expected.end() && order_(*want, *have)))
                missing(*want++);
            else if (want == expected.end() || order_(*have, *want))
                extra(*have++);
            else
                ++want, ++have;
        }
    }

    const TagOrder& order() const { return order_; }

private:
    std::string where_;
    TagOrder order_;
    const std::function<void(std::string)>& problem_;
};

} // namespace

void compareTagWithRecords(MdxIndex& index, const MdxTag& tag, LiveRecords& records,
                           const std::function<void(std::string)>& problem)
{
    TagComparison comparison(tag, problem);
    std::vector<IndexEntry> expected;
    records.forEach([&](std::uint32_t record, const RecordSource& values) {
        try {
            expected.push_back({index.keyOf(tag.name, values), record});
        } catch (const std::exception& error) {
            comparison.unreadable("no key for record " + std::to_string(record) + ": " + error.what());
        }
    });
    std::sort(expected.begin(), expected.end(), comparison.order());

    std::vector<IndexEntry> actual;
    bool ordered = true;
    try {
        index.forEachEntry(tag.name, [&](const IndexEntry& entry) {
            if (!actual.empty() && !comparison.order()(actual.back(), entry)) {
                comparison.misordered(actual.back(), entry);
                ordered = false;
            }
            actual.push_back(entry);
        });
    } catch (const DatabaseError& error) {
        comparison.unreadable(error.what());
        return;
    }
    if (!ordered)
        std::sort(actual.begin(), actual.end(), comparison.order());
    comparison.merge(expected, actual);
}

} // namespace dbase
