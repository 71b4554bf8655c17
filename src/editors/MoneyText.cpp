#include "MoneyText.h"

#include <cmath>
#include <QStringList>

namespace editors {

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isPlaceholder(QChar c)
{
    return c == QLatin1Char('0') || c == QLatin1Char('#');
}

QStringList splitSections(const QString& picture)
{
    QStringList sections(QString{});
    QChar quote;
    for (QChar c : picture) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            sections.append(QString());
            continue;
        }
        sections.last().append(c);
    }
    return sections;
}

// One section of a picture format taken apart.
struct Section
{
    QString prefix;
    QString suffix;
    int integerZeros = 0;
    int decimalZeros = 0;
    int decimalPlaces = 0;
    bool thousands = false;
    bool hasPlaceholder = false;
};

Section parseSection(const QString& text)
{
    Section section;
    bool afterPoint = false;
    QChar quote;
    for (QChar c : text) {
        QString& literal = section.hasPlaceholder ? section.suffix : section.prefix;
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                literal.append(c);
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (isPlaceholder(c)) {
            section.hasPlaceholder = true;
            if (afterPoint) {
                ++section.decimalPlaces;
                if (c == QLatin1Char('0'))
                    section.decimalZeros = section.decimalPlaces;
            } else if (c == QLatin1Char('0') || section.integerZeros > 0) {
                ++section.integerZeros;
            }
        } else if (c == QLatin1Char('.')) {
            afterPoint = true;
        } else if (c == QLatin1Char(',')) {
            section.thousands = true;
        } else {
            literal.append(c);
        }
    }
    return section;
}

QString groupThousands(const QString& digits, QChar separator)
{
    QString grouped;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped.append(separator);
        grouped.append(digits.at(i));
    }
    return grouped;
}

QString formatSection(double magnitude, const Section& section, NumberSeparators separators)
{
    if (!section.hasPlaceholder)
        return section.prefix;
    const QString fixed = QString::number(magnitude, 'f', section.decimalPlaces);
    const qsizetype point = fixed.indexOf(QLatin1Char('.'));
    QString integer = point < 0 ? fixed : fixed.left(point);
    QString fraction = point < 0 ? QString() : fixed.mid(point + 1);
    while (fraction.size() > section.decimalZeros && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    if (integer == QLatin1String("0") && section.integerZeros == 0)
        integer.clear();
    integer = integer.rightJustified(section.integerZeros, QLatin1Char('0'));
    if (section.thousands)
        integer = groupThousands(integer, separators.thousands);
    QString number = integer;
    if (!fraction.isEmpty())
        number += separators.decimal + fraction;
    return section.prefix + number + section.suffix;
}

bool roundsToZero(double magnitude, int decimalPlaces)
{
    return std::round(magnitude * std::pow(10.0, decimalPlaces)) == 0.0;
}

} // namespace

bool looksNegative(const QString& text)
{
    return text.contains(QLatin1Char('-')) || text.contains(QLatin1Char('('));
}

std::optional<double> readMoneyText(const QString& text, NumberSeparators separators)
{
    const bool onlyRightmostDecimal = separators.decimal == separators.thousands;
    bool decimalKept = false;
    QString kept;
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        const QChar c = text.at(i);
        if (isAsciiDigit(c)) {
            kept.prepend(c);
        } else if (c == separators.decimal && !(onlyRightmostDecimal && decimalKept)) {
            kept.prepend(QLatin1Char('.'));
            decimalKept = true;
        }
    }
    if (kept.isEmpty())
        return 0.0;
    bool ok = false;
    const double value = kept.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return looksNegative(text) ? -value : value;
}

QString formatPicture(double value, const QString& picture, NumberSeparators separators)
{
    const QStringList sections = splitSections(picture);
    const double magnitude = std::fabs(value);
    if (value < 0 && sections.size() >= 2 && !sections[1].isEmpty())
        return formatSection(magnitude, parseSection(sections[1]), separators);
    if (value == 0 && sections.size() >= 3 && !sections[2].isEmpty())
        return formatSection(0, parseSection(sections[2]), separators);
    if (sections[0].isEmpty()) {
        QString general = QString::number(value, 'g', 15);
        return general.replace(QLatin1Char('.'), separators.decimal);
    }
    const Section section = parseSection(sections[0]);
    const bool minus = value < 0 && section.hasPlaceholder && !roundsToZero(magnitude, section.decimalPlaces);
    return (minus ? QStringLiteral("-") : QString()) + formatSection(magnitude, section, separators);
}

} // namespace editors
