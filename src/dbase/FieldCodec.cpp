#include "FieldCodec.h"

#include <charconv>
#include <cmath>

namespace dbase::fieldcodec {

std::string_view trimBlanks(std::string_view text)
{
    const std::size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos)
        return {};
    return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

std::string_view trimTrailingBlanks(std::string_view text)
{
    const std::size_t end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

std::optional<ParsedNumber> parseNumber(std::string_view stored)
{
    // Some writers fill numeric columns with NULs instead of blanks.
    const std::size_t nul = stored.find('\0');
    if (nul != std::string_view::npos && stored.find_first_not_of('\0', nul) == std::string_view::npos)
        stored = stored.substr(0, nul);
    std::string_view text = trimBlanks(stored);
    if (text.empty())
        return ParsedNumber{0, true};
    std::size_t at = 0;
    if (text[at] == '-' || text[at] == '+')
        ++at;
    std::size_t digits = 0;
    bool point = false;
    for (std::size_t i = at; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9')
            ++digits;
        else if (text[i] == '.' && !point)
            point = true;
        else
            return std::nullopt;
    }
    if (digits == 0)
        return std::nullopt;
    const bool negative = text[0] == '-';
    if (text[0] == '-' || text[0] == '+')
        text.remove_prefix(1);
    // from_chars takes neither a sign nor a bare leading point.
    std::string plain = text[0] == '.' ? "0" + std::string(text) : std::string(text);
    double value = 0;
    const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (result.ec != std::errc() || result.ptr != plain.data() + plain.size())
        return std::nullopt;
    return ParsedNumber{negative ? -value : value, false};
}

std::optional<std::string> formatNumber(const FieldDescriptor& field, double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                                      static_cast<int>(field.decimals));
    if (result.ec != std::errc())
        return std::nullopt;
    std::string text(buffer, result.ptr);
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1); // no negative zero
    if (text.size() > field.length)
        return std::nullopt;
    return std::string(field.length - text.size(), ' ') + text;
}

std::optional<char> parseLogical(char stored)
{
    switch (stored) {
    case 'T':
    case 't':
    case 'Y':
    case 'y':
        return 'T';
    case 'F':
    case 'f':
    case 'N':
    case 'n':
        return 'F';
    case ' ':
    case '?':
    case '\0':
        return ' ';
    default:
        return std::nullopt;
    }
}

std::optional<std::uint32_t> parseMemoBlock(std::string_view stored)
{
    std::uint64_t block = 0;
    bool digits = false;
    bool ended = false;
    for (char c : stored) {
        if (c >= '0' && c <= '9') {
            if (ended)
                return std::nullopt;
            digits = true;
            block = block * 10 + static_cast<std::uint64_t>(c - '0');
            if (block > 0xFFFFFFFFu)
                return std::nullopt;
        } else if (c == ' ' || c == '\0') {
            ended = digits; // padding before or after the digits, never inside them
        } else {
            return std::nullopt;
        }
    }
    return static_cast<std::uint32_t>(block);
}

std::string formatMemoBlock(std::uint32_t block, std::size_t width)
{
    if (block == 0)
        return std::string(width, ' ');
    std::string digits = std::to_string(block);
    return std::string(width - digits.size(), ' ') + digits;
}

} // namespace dbase::fieldcodec
