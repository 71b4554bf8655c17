#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace dbase {

// A calendar date of a D column. The blank date (all zero) is a value of its own: an empty field.
struct Date
{
    int year = 0;
    int month = 0;
    int day = 0;

    bool isBlank() const { return year == 0 && month == 0 && day == 0; }
    bool isValid() const;

    // Days since the start of the Julian period, as dBASE date arithmetic counts them.
    long julianDay() const;
    static Date fromJulianDay(long day);

    // The stored form "YYYYMMDD", or eight blanks for the blank date.
    std::string toStored() const;
    // Blank for eight blanks, eight zeros or an empty text; nothing for anything that is not a valid date.
    static std::optional<Date> fromStored(std::string_view text);

    auto operator<=>(const Date&) const = default;
};

} // namespace dbase
