#pragma once

#include <optional>
#include <QChar>
#include <QString>

namespace editors {

// The separators a money text is written and read with.
struct NumberSeparators
{
    QChar decimal = QLatin1Char('.');
    QChar thousands = QLatin1Char(',');
};

// A money text looks negative when it holds a minus sign or an opening parenthesis.
bool looksNegative(const QString& text);

// Reads a money text: only digits and the decimal separator count (only the rightmost one when the
// decimal and thousands separators are the same character); a negative-looking text gives a negative
// value; nothing at all gives 0. Nothing comes back when the remaining characters are no number.
std::optional<double> readMoneyText(const QString& text, NumberSeparators separators);

// Writes a value with a picture format: "0" and "#" digit places, "." the decimal point, "," anywhere
// among the digit places for thousands separators, quoted or other characters as literal text, and up
// to three sections "positive;negative;zero". Without a negative section a minus sign is put in front.
QString formatPicture(double value, const QString& picture, NumberSeparators separators);

} // namespace editors
