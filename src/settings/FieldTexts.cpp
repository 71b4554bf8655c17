#include "FieldTexts.h"

#include "TextFile.h"

namespace settings {

namespace {

QString captionsFile(const QString& folder)
{
    return folder + QStringLiteral("/labels.dat");
}

QString dateFormatsFile(const QString& folder)
{
    return folder + QStringLiteral("/date.dat");
}

int formatFromLine(const QString& line)
{
    bool isNumber = false;
    const int format = line.trimmed().toInt(&isNumber);
    return isNumber && format >= MonthDayYear && format <= YearOnly ? format : MonthDayYear;
}

} // namespace

QStringList LoadCaptions(const QString& settingsFolder)
{
    return ReadTextLines(captionsFile(settingsFolder)).value_or(QStringList{});
}

bool SaveCaptions(const QString& settingsFolder, const QStringList& captions)
{
    return WriteTextLines(captionsFile(settingsFolder), captions);
}

QList<int> LoadDateFormats(const QString& settingsFolder)
{
    QList<int> formats;
    for (const QString& line : ReadTextLines(dateFormatsFile(settingsFolder)).value_or(QStringList{}))
        formats.append(formatFromLine(line));
    return formats;
}

bool SaveDateFormats(const QString& settingsFolder, const QList<int>& formats)
{
    QStringList lines;
    for (int format : formats)
        lines.append(QString::number(format));
    return WriteTextLines(dateFormatsFile(settingsFolder), lines);
}

} // namespace settings
