#pragma once

#include <optional>
#include <QString>

namespace settings {

// "wnd.dat": the record window's bounds and right-pane width in pixels; all zero for a maximized window.
struct WindowPlacement
{
    qint32 top = 0;
    qint32 left = 0;
    qint32 width = 0;
    qint32 height = 0;
    qint32 rightPaneWidth = 0;

    static WindowPlacement maximized() { return {}; }

    bool operator==(const WindowPlacement&) const = default;
};

// What the window does with what was stored.
struct PlacementDecision
{
    enum class Action
    {
        Keep,
        Maximize,
        Restore
    };

    Action action = Action::Keep;
    WindowPlacement placement; // the bounds to take when restoring

    // The right-pane width to apply; 0 when none is restored.
    qint32 rightPaneWidth() const { return action == Action::Restore ? placement.rightPaneWidth : 0; }

    bool operator==(const PlacementDecision&) const = default;
};

// Empty when the file is missing or shorter than its 20 bytes.
std::optional<WindowPlacement> ReadWindowPlacement(const QString& settingsFolder);
// Failures are ignored: the window simply opens where it would without the file.
void SaveWindowPlacement(const QString& settingsFolder, const WindowPlacement& placement);

// Width, height and right-pane width all positive: restore them with top and left. All three zero:
// maximize. Anything else, or nothing stored: leave the window as it is.
PlacementDecision DecideWindowPlacement(const std::optional<WindowPlacement>& stored);
// Reads the file and decides.
PlacementDecision LoadWindowPlacement(const QString& settingsFolder);

} // namespace settings
