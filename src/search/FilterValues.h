#pragma once

#include <QDate>
#include <QString>

namespace search {

// Dates compare as day counts from 30 December 1899, the origin the program's date values always had;
// the blank date is day 0.
double dayCount(const QDate& date);

// A filter value read as a number: the thousands separators (",") are dropped, the rest must be a plain
// floating-point number. Anything else is 0 and not a number.
double readFilterNumber(const QString& text, bool* ok = nullptr);

// A filter value read as a date in the date-format setting's part order (1 day/month/year, 2
// year/month/day, otherwise month/day/year), with two- or four-digit years. Anything else is the date
// "01/01/01" read as month/day/year, and not a date.
double readFilterDate(const QString& text, int dateFormat, bool* ok = nullptr);

} // namespace search
