#include "TDateEdit.h"

#include <QRegularExpression>

TDateEdit::TDateEdit(QWidget* parent) : QLineEdit(parent)
{
    setPlaceholderText(formatPattern(m_format));
}

void TDateEdit::setDateFormat(int format)
{
    if (format < MonthDayYear || format > YearOnly || format == m_format)
        return;
    const QDate current = date();
    m_format = format;
    setPlaceholderText(formatPattern(format));
    setDate(current);
}

QDate TDateEdit::date() const
{
    return parseDate(text(), m_format);
}

void TDateEdit::setDate(const QDate& date)
{
    setText(formatDate(date, m_format));
}

bool TDateEdit::isBlank() const
{
    return !date().isValid();
}

QString TDateEdit::formatPattern(int format)
{
    switch (format) {
    case DayMonthYear:
        return QStringLiteral("dd/mm/yyyy");
    case YearMonthDay:
        return QStringLiteral("yyyy/mm/dd");
    case YearOnly:
        return QStringLiteral("yyyy");
    default:
        return QStringLiteral("mm/dd/yyyy");
    }
}

QString TDateEdit::formatDate(const QDate& date, int format)
{
    if (!date.isValid())
        return {};
    switch (format) {
    case DayMonthYear:
        return date.toString(QStringLiteral("dd/MM/yyyy"));
    case YearMonthDay:
        return date.toString(QStringLiteral("yyyy/MM/dd"));
    case YearOnly:
        return date.toString(QStringLiteral("yyyy"));
    default:
        return date.toString(QStringLiteral("MM/dd/yyyy"));
    }
}

QDate TDateEdit::parseDate(const QString& text, int format)
{
    static const QRegularExpression separators(QStringLiteral("[^0-9]+"));
    const QStringList parts = text.trimmed().split(separators, Qt::SkipEmptyParts);
    auto number = [&](int i) { return i < parts.size() ? parts[i].toInt() : 0; };
    switch (format) {
    case DayMonthYear:
        return parts.size() == 3 ? QDate(number(2), number(1), number(0)) : QDate();
    case YearMonthDay:
        return parts.size() == 3 ? QDate(number(0), number(1), number(2)) : QDate();
    case YearOnly:
        // A year alone is kept as the first of January of that year.
        return parts.size() == 1 ? QDate(number(0), 1, 1) : QDate();
    default:
        return parts.size() == 3 ? QDate(number(2), number(0), number(1)) : QDate();
    }
}
