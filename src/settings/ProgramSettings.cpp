#include "ProgramSettings.h"

#include "FixedLayout.h"
#include "ScrambledText.h"
#include "ValueReader.h"
#include "ValueWriter.h"

#include <QDir>
#include <QFileInfo>

namespace settings {

namespace {

QString optionsFile(const QString& folder)
{
    return folder + QStringLiteral("/options.dat");
}

void readItems(ValueReader& reader, ProgramSettings& settings)
{
    settings.passwordMode = ReadChoice(reader, 2, settings.passwordMode);
    settings.publicAccess = ReadChoice(reader, 4, settings.publicAccess);
    settings.dataRoot = ReadScrambledText(reader);
    settings.usersCount = ReadChoice(reader, 2, settings.usersCount);
    settings.supervisorPassword = ReadScrambledText(reader);
}

void writeItems(ValueWriter& writer, const ProgramSettings& settings)
{
    WriteWord(writer, static_cast<quint16>(settings.passwordMode));
    WriteWord(writer, static_cast<quint16>(settings.publicAccess));
    WriteScrambledText(writer, settings.dataRoot);
    WriteWord(writer, static_cast<quint16>(settings.usersCount));
    WriteScrambledText(writer, settings.supervisorPassword);
}

} // namespace

bool SameFolder(const QString& first, const QString& second)
{
    const QString firstOnDisk = QFileInfo(first).canonicalFilePath();
    const QString secondOnDisk = QFileInfo(second).canonicalFilePath();
    if (!firstOnDisk.isEmpty() && !secondOnDisk.isEmpty())
        return firstOnDisk == secondOnDisk;
    return QDir::cleanPath(first) == QDir::cleanPath(second);
}

bool LoadProgramSettings(ProgramSettings& settings, const QString& programFolder)
{
    settings = ProgramSettings{};
    settings.dataRoot = programFolder;
    const bool read = LoadFixedLayoutFile(optionsFile(programFolder),
                                          [&](ValueReader& reader) { readItems(reader, settings); });
    // An empty data root would put the public database folder at the top of the file system.
    settings.dataRoot = settings.dataRoot.isEmpty() ? programFolder : QDir::cleanPath(settings.dataRoot);

    if (!SameFolder(settings.dataRoot, programFolder)) {
        ProgramSettings shared = settings;
        if (LoadFixedLayoutFile(optionsFile(settings.dataRoot),
                                [&](ValueReader& reader) { readItems(reader, shared); })) {
            settings.passwordMode = shared.passwordMode;
            settings.publicAccess = shared.publicAccess;
            settings.usersCount = shared.usersCount;
            settings.supervisorPassword = shared.supervisorPassword;
        }
    }
    return read;
}

void SaveProgramSettings(const ProgramSettings& settings, const QString& programFolder)
{
    const auto write = [&](ValueWriter& writer) { writeItems(writer, settings); };
    SaveFixedLayoutFile(optionsFile(programFolder), write);
    if (!SameFolder(settings.dataRoot, programFolder))
        SaveFixedLayoutFile(optionsFile(settings.dataRoot), write);
}

} // namespace settings
