#include "WindowPlacement.h"

#include "FixedLayout.h"
#include "ValueReader.h"
#include "ValueWriter.h"

namespace settings {

namespace {

QString placementFile(const QString& folder)
{
    return folder + QStringLiteral("/wnd.dat");
}

} // namespace

std::optional<WindowPlacement> ReadWindowPlacement(const QString& settingsFolder)
{
    std::optional<WindowPlacement> stored;
    LoadFixedLayoutFile(placementFile(settingsFolder), [&](ValueReader& reader) {
        WindowPlacement placement;
        placement.top = ReadInt32(reader);
        placement.left = ReadInt32(reader);
        placement.width = ReadInt32(reader);
        placement.height = ReadInt32(reader);
        placement.rightPaneWidth = ReadInt32(reader);
        stored = placement;
    });
    return stored;
}

void SaveWindowPlacement(const QString& settingsFolder, const WindowPlacement& placement)
{
    SaveFixedLayoutFile(placementFile(settingsFolder), [&](ValueWriter& writer) {
        WriteInt32(writer, placement.top);
        WriteInt32(writer, placement.left);
        WriteInt32(writer, placement.width);
        WriteInt32(writer, placement.height);
        WriteInt32(writer, placement.rightPaneWidth);
    });
}

PlacementDecision DecideWindowPlacement(const std::optional<WindowPlacement>& stored)
{
    if (!stored)
        return {};
    const WindowPlacement& p = *stored;
    if (p.width > 0 && p.height > 0 && p.rightPaneWidth > 0)
        return {PlacementDecision::Action::Restore, p};
    if (p.width == 0 && p.height == 0 && p.rightPaneWidth == 0)
        return {PlacementDecision::Action::Maximize, {}};
    return {};
}

PlacementDecision LoadWindowPlacement(const QString& settingsFolder)
{
    return DecideWindowPlacement(ReadWindowPlacement(settingsFolder));
}

} // namespace settings
