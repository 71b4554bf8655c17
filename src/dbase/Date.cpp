#include "Date.h"

#include <cctype>

namespace dbase {

namespace {

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

} // namespace

bool Date::isValid() const
{
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month);
}

// Proleptic Gregorian calendar; 1 January 4713 BC (Julian) is day 0, so 1 January 2000 is 2451545.
long Date::julianDay() const
{
    const long a = (14 - month) / 12;
    const long y = year + 4800 - a;
    const long m = month + 12 * a - 3;
    return day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045;
}

Date Date::fromJulianDay(long jd)
{
    const long a = jd + 32044;
    const long b = (4 * a + 3) / 146097;
    const long c = a - 146097 * b / 4;
    const long d = (4 * c + 3) / 1461;
    const long e = c - 1461 * d / 4;
    const long m = (5 * e + 2) / 153;
    Date date;
    date.day = static_cast<int>(e - (153 * m + 2) / 5 + 1);
    date.month = static_cast<int>(m + 3 - 12 * (m / 10));
    date.year = static_cast<int>(100 * b + d - 4800 + m / 10);
    return date;
}

std::string Date::toStored() const
{
    if (isBlank())
        return std::string(8, ' ');
    std::string text(8, '0');
    int values[] = {year, month, day};
    int widths[] = {4, 2, 2};
    std::size_t end = 0;
    for (int part = 0; part < 3; ++part) {
        end += static_cast<std::size_t>(widths[part]);
        int v = values[part];
        for (int i = 0; i < widths[part]; ++i) {
            text[end - 1 - static_cast<std::size_t>(i)] = static_cast<char>('0' + v % 10);
            v /= 10;
        }
    }
    return text;
}

std::optional<Date> Date::fromStored(std::string_view text)
{
    const bool blank = text.find_first_not_of(' ') == std::string_view::npos ||
                       text.find_first_not_of('0') == std::string_view::npos;
    if (blank)
        return Date{};
    // Some writers right-align a zero ("       0") for the blank date.
    if (text.size() == 8 && text.find_first_not_of(' ') == 7 && text[7] == '0')
        return Date{};
    if (text.size() != 8)
        return std::nullopt;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
    auto number = [&](std::size_t from, std::size_t count) {
        int v = 0;
        for (std::size_t i = from; i < from + count; ++i)
            v = v * 10 + (text[i] - '0');
        return v;
    };
    Date date{number(0, 4), number(4, 2), number(6, 2)};
    if (!date.isValid())
        return std::nullopt;
    return date;
}

} // namespace dbase
