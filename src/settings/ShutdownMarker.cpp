#include "ShutdownMarker.h"

#include "TextFile.h"

namespace settings {

namespace {

const QString runningMarker = QStringLiteral("#10*");
const QString cleanMarker = QStringLiteral("@a$)");

QString markerFile(const QString& folder)
{
    return folder + QStringLiteral("/shut.dat");
}

} // namespace

void WriteRunningMarker(const QString& settingsFolder)
{
    WriteTextFile(markerFile(settingsFolder), runningMarker);
}

void WriteCleanMarker(const QString& settingsFolder)
{
    WriteTextFile(markerFile(settingsFolder), cleanMarker);
}

bool WasClosedNormally(const QString& settingsFolder)
{
    const std::optional<QStringList> lines = ReadTextLines(markerFile(settingsFolder));
    if (!lines)
        return true;
    return !lines->isEmpty() && lines->first() == cleanMarker;
}

} // namespace settings
