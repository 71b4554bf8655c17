#include "NumberText.h"

namespace store {

double parseLenientNumber(const QString& text, QChar decimalSeparator)
{
    const qsizetype point = text.lastIndexOf(decimalSeparator);
    QString digits;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isDigit())
            digits += c;
        else if (i == point)
            digits += QLatin1Char('.');
    }
    bool ok = false;
    const double value = digits.toDouble(&ok);
    if (!ok)
        return 0.0;
    const QString trimmed = text.trimmed();
    const bool negative = trimmed.startsWith(QLatin1Char('-')) ||
                          (trimmed.startsWith(QLatin1Char('(')) && trimmed.endsWith(QLatin1Char(')')));
    return negative ? -value : value;
}

} // namespace store
