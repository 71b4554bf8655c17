#include "DialogFilter.h"

#include <QRegularExpression>

namespace pictures {

QStringList nameFilters(const QString& pipeSeparated)
{
    QStringList filters;
    const QStringList parts = pipeSeparated.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            patterns.append(pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern.trimmed());
        filters.append(QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(QLatin1Char(' '))));
    }
    return filters;
}

QString singleExtension(const QString& nameFilter)
{
    static const QRegularExpression onePattern(QStringLiteral("\\(\\*\\.(\\w+)\\)$"));
    const QRegularExpressionMatch match = onePattern.match(nameFilter);
    return match.hasMatch() ? match.captured(1) : QString();
}

} // namespace pictures
