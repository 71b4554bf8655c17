#include "PageOrder.h"

#include "TextFile.h"

#include <algorithm>

namespace settings {

namespace {

QString tabOrderFile(const QString& folder, const QString& tableFileName)
{
    return folder + QLatin1Char('/') + TabOrderFileName(tableFileName);
}

} // namespace

QString TabOrderFileName(const QString& tableFileName)
{
    const qsizetype dot = tableFileName.indexOf(QLatin1Char('.'));
    return (dot < 0 ? tableFileName : tableFileName.left(dot + 1)) + QStringLiteral("tab");
}

bool SavePageOrder(const QString& settingsFolder, const QString& tableFileName,
                   const QStringList& pageCaptions)
{
    QString line;
    for (const QString& caption : pageCaptions)
        if (!caption.isEmpty())
            line += caption.back();
    return WriteTextLines(tabOrderFile(settingsFolder, tableFileName), {line});
}

QString ReadPageOrder(const QString& settingsFolder, const QString& tableFileName)
{
    const QStringList lines =
        ReadTextLines(tabOrderFile(settingsFolder, tableFileName)).value_or(QStringList{});
    return lines.isEmpty() ? QString() : lines.first();
}

QList<int> RestorePageOrder(const QStringList& pageCaptions, const QString& order)
{
    QList<int> pages;
    for (int i = 0; i < pageCaptions.size(); ++i)
        pages.append(i);
    if (pages.isEmpty())
        return pages;
    for (qsizetype position = 0; position < order.size(); ++position) {
        const QChar wanted = order[position];
        for (qsizetype current = 0; current < pages.size(); ++current) {
            if (pageCaptions[pages[current]].endsWith(wanted)) {
                pages.move(current, std::min(position, pages.size() - 1));
                break;
            }
        }
    }
    return pages;
}

} // namespace settings
