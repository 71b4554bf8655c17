#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace dbase {

// One entry of an index tag: the key (exactly the tag's key length) and the record it belongs to.
// Entries are values: a position in a tag is the entry there, and it keeps its meaning while the file
// changes between calls.
struct IndexEntry
{
    std::string key;
    std::uint32_t record = 0;

    bool operator==(const IndexEntry&) const = default;
};

// Partial-key bounds on a tag, each compared on its own length in the tag's own order: an entry lies in
// the range when its key, cut or padded with blanks to the length of start, does not come before start,
// and its key cut or padded to the length of end does not come after end. A missing bound is open.
struct KeyRange
{
    std::optional<std::string> start;
    std::optional<std::string> end;
};

} // namespace dbase
