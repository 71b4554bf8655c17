#include "SortSettings.h"

#include "FixedLayout.h"
#include "ValueReader.h"
#include "ValueWriter.h"

namespace settings {

QString SortSettingsFileName(const QString& tableFileName)
{
    const qsizetype dot = tableFileName.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return {};
    QString name = tableFileName;
    return name.replace(dot + 1, 3, QStringLiteral("idx"));
}

SortSettings LoadSortSettings(const QString& databaseFolder, const QString& tableFileName)
{
    SortSettings sort;
    const QString fileName = SortSettingsFileName(tableFileName);
    if (fileName.isEmpty())
        return sort;
    LoadFixedLayoutFile(databaseFolder + QLatin1Char('/') + fileName, [&](ValueReader& reader) {
        const QByteArray stored = reader.ReadRaw(4);
        sort.primaryColumn = static_cast<quint8>(stored[0]);
        sort.primaryDescending = stored[1] != 0;
        sort.secondaryColumn = static_cast<quint8>(stored[2]);
        sort.secondaryDescending = stored[3] != 0;
    });
    return sort;
}

void SaveSortSettings(const QString& databaseFolder, const QString& tableFileName, const SortSettings& sort)
{
    const QString fileName = SortSettingsFileName(tableFileName);
    if (fileName.isEmpty())
        return;
    SaveFixedLayoutFile(databaseFolder + QLatin1Char('/') + fileName, [&](ValueWriter& writer) {
        WriteByte(writer, sort.primaryColumn);
        WriteFlag(writer, sort.primaryDescending);
        WriteByte(writer, sort.secondaryColumn);
        WriteFlag(writer, sort.secondaryDescending);
    });
}

} // namespace settings
