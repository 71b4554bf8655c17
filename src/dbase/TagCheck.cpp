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

} // namespace

void compareTagWithRecords(MdxIndex& index, const MdxTag& tag, LiveRecords& records,
                           const std::function<void(std::string)>& problem)
{
    const std::string where = "tag " + tag.name + ": ";
    const TagOrder order{tag.descending};
    std::vector<IndexEntry> expected;
    records.forEach([&](std::uint32_t record, const RecordSource& values) {
        try {
            expected.push_back({index.keyOf(tag.name, values), record});
        } catch (const std::exception& error) {
            problem(where + "no key for record " + std::to_string(record) + ": " + error.what());
        }
    });
    std::sort(expected.begin(), expected.end(), order);

    // The walk refuses entries out of order, so both lists come in tag order and merge in one pass.
    auto wanted = expected.begin();
    const auto missing = [&](const IndexEntry& entry) { problem(where + describe(entry) + " is missing"); };
    try {
        index.forEachEntry(tag.name, [&](const IndexEntry& entry) {
            for (; wanted != expected.end() && order(*wanted, entry); ++wanted)
                missing(*wanted);
            if (wanted != expected.end() && *wanted == entry)
                ++wanted;
            else
                problem(where + "the entry for " + describe(entry) + " belongs to no live record");
        });
    } catch (const DatabaseError& error) {
        problem(where + error.what());
        return;
    }
    for (; wanted != expected.end(); ++wanted)
        missing(*wanted);
}

} // namespace dbase
