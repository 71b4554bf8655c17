#include "DatabaseSettings.h"

#include "FixedLayout.h"
#include "ScrambledText.h"
#include "ValueReader.h"
#include "ValueWriter.h"

#include <QDir>

namespace settings {

namespace {

constexpr int reservedTextCount = 4;

QString optionsFile(const QString& folder)
{
    return folder + QStringLiteral("/options.dat");
}

void readItems(ValueReader& reader, DatabaseSettings& settings)
{
    settings.menusAndSpeedBars = ReadChoice(reader, 3, settings.menusAndSpeedBars);
    settings.reserved2 = ReadWord(reader);
    settings.reserved3 = ReadWord(reader);
    settings.hintMessages = ReadChoice(reader, 2, settings.hintMessages);
    settings.letterTabs = ReadChoice(reader, 2, settings.letterTabs);
    settings.initialDataFile = ReadChoice(reader, 2, settings.initialDataFile);
    settings.reserved7 = ReadWord(reader);
    settings.filterDateFormat = ReadChoice(reader, 4, settings.filterDateFormat);
    settings.speedBarLocation = ReadChoice(reader, 2, settings.speedBarLocation);
    settings.recordDeleteMode = ReadChoice(reader, 2, settings.recordDeleteMode);
    settings.lastTableFileName = ReadScrambledText(reader);
    settings.lastDatabaseFolder = ReadScrambledText(reader);
    settings.hideOnStartup = ReadWord(reader);
    settings.letterTabsLocation = ReadChoice(reader, 2, settings.letterTabsLocation);
    settings.stayOnTop = ReadFlag(reader);
    settings.displayTipsOnStartup = ReadFlag(reader);
    if (reader.AtEnd())
        return;
    for (int i = 0; i < reservedTextCount; ++i)
        ReadScrambledText(reader);
    for (FontSpec& font : settings.fonts)
        font = ReadFontRecord(reader);
    settings.autoFill = ReadFlag(reader);
    settings.showReminders = ReadFlag(reader);
    if (reader.AtEnd())
        return;
    settings.displayTrayIcon = ReadFlag(reader);
}

void writeItems(ValueWriter& writer, const DatabaseSettings& settings)
{
    WriteWord(writer, static_cast<quint16>(settings.menusAndSpeedBars));
    WriteWord(writer, settings.reserved2);
    WriteWord(writer, settings.reserved3);
    WriteWord(writer, static_cast<quint16>(settings.hintMessages));
    WriteWord(writer, static_cast<quint16>(settings.letterTabs));
    WriteWord(writer, static_cast<quint16>(settings.initialDataFile));
    WriteWord(writer, settings.reserved7);
    WriteWord(writer, static_cast<quint16>(settings.filterDateFormat));
    WriteWord(writer, static_cast<quint16>(settings.speedBarLocation));
    WriteWord(writer, static_cast<quint16>(settings.recordDeleteMode));
    WriteScrambledText(writer, settings.lastTableFileName);
    WriteScrambledText(writer, settings.lastDatabaseFolder);
    WriteWord(writer, settings.hideOnStartup);
    WriteWord(writer, static_cast<quint16>(settings.letterTabsLocation));
    WriteFlag(writer, settings.stayOnTop);
    WriteFlag(writer, settings.displayTipsOnStartup);
    for (int i = 0; i < reservedTextCount; ++i)
        WriteScrambledText(writer, {});
    for (const FontSpec& font : settings.fonts)
        WriteFontRecord(writer, font);
    WriteFlag(writer, settings.autoFill);
    WriteFlag(writer, settings.showReminders);
    WriteFlag(writer, settings.displayTrayIcon);
}

// Folders of a shared data root are compared as their names stand: without case, whole components.
bool sameFolderName(const QString& first, const QString& second)
{
    return QDir::cleanPath(first).compare(QDir::cleanPath(second), Qt::CaseInsensitive) == 0;
}

bool isSameOrInside(const QString& folder, const QString& root)
{
    const QString cleanRoot = QDir::cleanPath(root);
    const QString prefix = cleanRoot.endsWith(QLatin1Char('/')) ? cleanRoot : cleanRoot + QLatin1Char('/');
    return sameFolderName(folder, root) || QDir::cleanPath(folder).startsWith(prefix, Qt::CaseInsensitive);
}

} // namespace

bool LoadDatabaseSettings(DatabaseSettings& settings, const QString& settingsFolder)
{
    settings = DatabaseSettings{};
    settings.lastDatabaseFolder = settingsFolder;
    return LoadFixedLayoutFile(optionsFile(settingsFolder),
                               [&](ValueReader& reader) { readItems(reader, settings); });
}

bool SaveDatabaseSettings(const DatabaseSettings& settings, const QString& settingsFolder)
{
    return SaveFixedLayoutFile(optionsFile(settingsFolder),
                               [&](ValueWriter& writer) { writeItems(writer, settings); });
}

CurrentTable RestoreLastUsedTable(const DatabaseSettings& settings, const TableRestoreContext& context)
{
    const CurrentTable defaultTable{QStringLiteral("data.dbf"), context.settingsFolder};
    if (settings.initialDataFile != 1 || settings.lastTableFileName.isEmpty())
        return defaultTable;

    const QString& folder = settings.lastDatabaseFolder;
    const bool folderAllowed =
        !folder.isEmpty() && isSameOrInside(folder, context.dataRoot) &&
        !(context.publicAccessNone && sameFolderName(folder, context.publicDatabaseFolder));
    return {settings.lastTableFileName, folderAllowed ? QDir::cleanPath(folder) : context.settingsFolder};
}

} // namespace settings
