#include "FilterValues.h"

#include <QRegularExpression>
#include <QStringList>

namespace search {

namespace {

const QDate origin(1899, 12, 30);

// Two-digit years fall within the fifty years either side of this one.
int fullYear(int year, int digits)
{
    if (digits > 2)
        return year;
    const int pivot = QDate::currentDate().year() - 50;
    int full = pivot / 100 * 100 + year;
    if (full < pivot)
        full += 100;
    return full;
}

} // namespace

double dayCount(const QDate& date)
{
    return date.isValid() ? static_cast<double>(origin.daysTo(date)) : 0.0;
}

double readFilterNumber(const QString& text, bool* ok)
{
    QString plain = text.trimmed();
    plain.remove(QLatin1Char(','));
    bool read = false;
    const double value = plain.isEmpty() ? 0.0 : plain.toDouble(&read);
    if (ok)
        *ok = read;
    return read ? value : 0.0;
}

double readFilterDate(const QString& text, int dateFormat, bool* ok)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(\\d{1,4})[/.-](\\d{1,2})[/.-](\\d{1,4})\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    QDate date;
    if (match.hasMatch()) {
        const QStringList parts{match.captured(1), match.captured(2), match.captured(3)};
        int day = 0, month = 0, yearPart = 0;
        switch (dateFormat) {
        case 1:
            day = 0, month = 1, yearPart = 2;
            break;
        case 2:
            yearPart = 0, month = 1, day = 2;
            break;
        default:
            month = 0, day = 1, yearPart = 2;
            break;
        }
        const QString& year = parts[yearPart];
        if (parts[day].size() <= 2 && parts[month].size() <= 2 && year.size() != 3)
            date = QDate(fullYear(year.toInt(), static_cast<int>(year.size())), parts[month].toInt(),
                         parts[day].toInt());
    }
    if (ok)
        *ok = date.isValid();
    return dayCount(date.isValid() ? date : QDate(fullYear(1, 2), 1, 1));
}

} // namespace search
