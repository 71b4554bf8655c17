#pragma once

#include "dbase/Field.h"
#include "settings/SortSettings.h"

#include <cstddef>
#include <string>
#include <vector>

namespace store {

// An index tag's key: a dBASE expression and the tag's direction.
struct SortKey
{
    std::string expression; // empty when there is no key for the settings
    bool descending = false;

    bool isValid() const { return !expression.empty(); }
    bool operator==(const SortKey&) const = default;
};

// The key of a sort order, and its variant led by the filter mark (column 1) for while a filter is active.
struct SortKeys
{
    SortKey plain;
    SortKey filtered;

    bool operator==(const SortKeys&) const = default;
};

// Longest expression text a sort tag takes. A longer one is refused rather than cut, as a cut text would
// no longer be an expression.
inline constexpr std::size_t MaxSortExpressionLength = 100;

// The keys of the sort settings over a record table's columns (from its field descriptors).
//
// One field (no secondary, or the same field twice; entry order is column 0): text is UPPER of the text
// (of its first 99 characters from width 100), a memo UPPER of its first line, both with the tag's
// direction; numbers and dates carry the direction in the key itself.
//
// Two fields: the tag is descending only when a text or memo field asks for descending (the primary's
// direction wins when both are text); a number or date part whose direction the descending tag would
// turn round is written in the opposite direction, so that it still runs the way it was asked. The
// primary part gets at most 59 bytes of key and the secondary the rest of 99, which leaves room for the
// filter mark in a key of at most 100 bytes. Text that fits its budget is compared as stored, so letter
// case counts there.
//
// Numbers: the record number (column 0, a positive whole number) keeps the plain STR forms. Every other
// numeric column is shifted by 10^14 before STR, up for ascending and down from it for descending, so that
// negative values sort below positive ones and four decimals still fit in 20 characters.
SortKeys BuildSortKeys(const settings::SortSettings& sort, const std::vector<dbase::FieldDescriptor>& fields);

} // namespace store
