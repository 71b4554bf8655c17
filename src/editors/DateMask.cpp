#include "DateMask.h"

#include <algorithm>
#include <array>
#include <QStringList>

namespace editors {

namespace {

const std::array<QString, 7> knownFormats = {
    QStringLiteral("mm/dd/yyyy"), QStringLiteral("dd/mm/yyyy"), QStringLiteral("mm/dd/yy"),
    QStringLiteral("dd/mm/yy"),   QStringLiteral("yy/mm/dd"),   QStringLiteral("yyyy/mm/dd"),
    QStringLiteral("yyyy"),
};
const QString yearOnlyFormat = QStringLiteral("yyyy");
const QString yearOnlyReadFormat = QStringLiteral("dd/mm/yyyy");

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

std::optional<int> groupNumber(const QString& group)
{
    if (group.isEmpty() || group.size() > 4)
        return std::nullopt;
    int value = 0;
    for (QChar c : group) {
        if (!isAsciiDigit(c))
            return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

} // namespace

QString DateMask::normaliseFormat(const QString& format)
{
    QString result = format;
    for (QChar& c : result) {
        if (!c.isLetter())
            c = QLatin1Char('/');
    }
    if (result.size() >= 2 && result.at(1) == QLatin1Char('/'))
        result.insert(0, result.at(0));
    if (result.size() >= 5 && result.at(4) == QLatin1Char('/') && result.at(3) != QLatin1Char('y'))
        result.insert(3, result.at(3));
    return result.left(10);
}

QString DateMask::knownFormatOf(const QString& format)
{
    const QString normalised = normaliseFormat(format);
    for (const QString& known : knownFormats) {
        if (normalised == known)
            return known;
    }
    return defaultFormat;
}

QChar DateMask::separatorOf(const QString& shortDateFormat)
{
    for (QChar c : shortDateFormat) {
        // Quotes open literal text and a space is no separator a mask could show.
        if (!c.isLetter() && !c.isSpace() && c != QLatin1Char('\''))
            return c;
    }
    return QLatin1Char('/');
}

QString DateMask::formatDate(const QDate& date, const QString& format, QChar separator)
{
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return {};
    QStringList groups;
    for (const QString& group : format.split(QLatin1Char('/'))) {
        if (group == QLatin1String("mm"))
            groups.append(QString::number(date.month()).rightJustified(2, QLatin1Char('0')));
        else if (group == QLatin1String("dd"))
            groups.append(QString::number(date.day()).rightJustified(2, QLatin1Char('0')));
        else if (group == QLatin1String("yyyy"))
            groups.append(QString::number(date.year()).rightJustified(4, QLatin1Char('0')));
        else
            groups.append(QString::number(date.year() % 100).rightJustified(2, QLatin1Char('0')));
    }
    return groups.join(separator);
}

std::optional<QDate> DateMask::parseDate(const QString& text, const QString& format, QChar separator)
{
    if (format == yearOnlyFormat) {
        const QString firstOfJanuary = QStringLiteral("01") + separator + QStringLiteral("01") + separator;
        return parseDate(firstOfJanuary + text, yearOnlyReadFormat, separator);
    }
    const QStringList groups = text.split(separator);
    const QStringList formatGroups = format.split(QLatin1Char('/'));
    if (groups.size() != formatGroups.size())
        return std::nullopt;
    int year = 0;
    int month = 0;
    int day = 0;
    for (qsizetype i = 0; i < groups.size(); ++i) {
        const std::optional<int> number = groupNumber(groups[i]);
        if (!number)
            return std::nullopt;
        switch (formatGroups[i].at(0).unicode()) {
        case 'm':
            month = *number;
            break;
        case 'd':
            day = *number;
            break;
        default:
            year = *number;
            // Two typed digits mean a year of the current century.
            if (groups[i].size() <= 2)
                year += QDate::currentDate().year() / 100 * 100;
        }
    }
    const QDate date(year, month, day);
    if (year < 1 || !date.isValid())
        return std::nullopt;
    return date;
}

DateMask::DateMask(const QString& format, QChar separator) : m_separator(separator)
{
    applyFormat(knownFormatOf(format));
}

void DateMask::applyFormat(const QString& knownFormat)
{
    m_format = knownFormat;
    m_mask = knownFormat;
    for (QChar& c : m_mask)
        c = c == QLatin1Char('/') ? m_separator : blank;
    m_text = m_mask;
    m_caret = 0;
}

bool DateMask::isSeparatorPosition(int position) const
{
    return position >= 1 && position <= maskLength() && m_format.at(position - 1) == QLatin1Char('/');
}

bool DateMask::isBlank() const
{
    for (int position = 1; position <= maskLength(); ++position) {
        if (!isSeparatorPosition(position) && at(position) != blank)
            return false;
    }
    return true;
}

bool DateMask::setText(const QString& text)
{
    if (text.size() != m_mask.size())
        return false;
    for (int position = 1; position <= maskLength(); ++position) {
        const QChar c = text.at(position - 1);
        const bool fits = isSeparatorPosition(position) ? c == m_separator : (c == blank || isAsciiDigit(c));
        if (!fits)
            return false;
    }
    m_text = text;
    return true;
}

void DateMask::clear()
{
    m_text = m_mask;
    m_caret = 0;
}

bool DateMask::typeDigit(QChar digit)
{
    if (!isAsciiDigit(digit) || m_caret >= maskLength())
        return false;
    ++m_caret;
    m_text[m_caret - 1] = digit;
    if (isSeparatorPosition(m_caret + 1))
        ++m_caret;
    return true;
}

bool DateMask::backspace()
{
    if (m_caret == 0)
        return false;
    if (isSeparatorPosition(m_caret))
        --m_caret;
    m_text[m_caret - 1] = blank;
    --m_caret;
    return true;
}

bool DateMask::deleteForward()
{
    if (m_caret >= maskLength() || isSeparatorPosition(m_caret + 1))
        return false;
    m_text[m_caret] = blank;
    return true;
}

void DateMask::home()
{
    m_caret = 0;
}

void DateMask::end()
{
    m_caret = maskLength();
}

void DateMask::left()
{
    if (m_caret == 0)
        return;
    --m_caret;
    if (isSeparatorPosition(m_caret + 1))
        --m_caret;
}

void DateMask::right()
{
    if (m_caret >= maskLength())
        return;
    ++m_caret;
    if (isSeparatorPosition(m_caret + 1))
        ++m_caret;
}

void DateMask::placeCaret(int position)
{
    position = std::clamp(position, 0, maskLength());
    if (isSeparatorPosition(position + 1))
        --position;
    m_caret = std::max(position, 0);
}

void DateMask::zeroFill()
{
    if (isBlank())
        return;
    int groupStart = 1;
    while (groupStart <= maskLength()) {
        int groupEnd = groupStart;
        while (groupEnd <= maskLength() && !isSeparatorPosition(groupEnd))
            ++groupEnd;
        int firstDigit = groupStart;
        while (firstDigit < groupEnd && at(firstDigit) == blank)
            ++firstDigit;
        if (firstDigit < groupEnd) {
            for (int position = groupStart; position < firstDigit; ++position)
                m_text[position - 1] = QLatin1Char('0');
        }
        groupStart = groupEnd + 1;
    }
}

std::optional<QDate> DateMask::date() const
{
    if (isBlank())
        return std::nullopt;
    DateMask filled = *this;
    filled.zeroFill();
    return parseDate(filled.m_text, m_format, m_separator);
}

bool DateMask::isValid() const
{
    return isBlank() || date().has_value();
}

void DateMask::setDate(const QDate& date)
{
    const QString text = formatDate(date, m_format, m_separator);
    if (text.isEmpty())
        m_text = m_mask;
    else
        m_text = text;
    m_caret = std::min(m_caret, maskLength());
}

void DateMask::setFormat(const QString& format)
{
    const QString requested = format.left(10);
    if (requested == m_format)
        return;
    const std::optional<QDate> value = date();
    applyFormat(knownFormatOf(requested));
    if (value)
        setDate(*value);
}

} // namespace editors
