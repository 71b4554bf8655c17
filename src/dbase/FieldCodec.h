#pragma once

#include "Field.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dbase {

// The stored forms of column values inside a record.
namespace fieldcodec {

std::string_view trimBlanks(std::string_view text);
std::string_view trimTrailingBlanks(std::string_view text);

// A number as dBASE stores it: blanks around, optional sign, digits, optional decimal point. A blank
// field parses as 0 with blank set; any other text gives nothing.
struct ParsedNumber
{
    double value = 0;
    bool blank = false;
};
std::optional<ParsedNumber> parseNumber(std::string_view stored);
// The field's stored form of value: right-aligned, with its decimals, rounded. Nothing when it does not
// fit or is not finite.
std::optional<std::string> formatNumber(const FieldDescriptor& field, double value);

// Logical bytes: 'T' or 'F' for the two values, ' ' for none. Nothing for a byte that means neither.
std::optional<char> parseLogical(char stored);

// A memo pointer: the block number, 0 for none (blanks or zeros). Nothing when it is not a number.
std::optional<std::uint32_t> parseMemoBlock(std::string_view stored);
std::string formatMemoBlock(std::uint32_t block, std::size_t width);

} // namespace fieldcodec
} // namespace dbase
