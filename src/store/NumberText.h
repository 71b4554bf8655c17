#pragma once

#include <QChar>
#include <QString>

namespace store {

// Reads a number typed as free text the lenient way the whole program does: only digits and the decimal
// separator count, and only the rightmost separator is the decimal point, so "1,234.50" and "$ 1234.5"
// both read 1234.5. An empty or unreadable text is 0. A leading '-' or enclosing parentheses make it
// negative.
double parseLenientNumber(const QString& text, QChar decimalSeparator = QLatin1Char('.'));

} // namespace store
