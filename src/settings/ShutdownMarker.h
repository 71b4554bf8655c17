#pragma once

#include <QString>

namespace settings {

// "shut.dat" in the settings folder tells whether the previous run ended cleanly: it holds "#10*" while
// the program runs and "@a$)" after a clean end, with no line end. Write failures are ignored: the marker
// only serves a warning.

void WriteRunningMarker(const QString& settingsFolder);
void WriteCleanMarker(const QString& settingsFolder);
// False only when the file exists and its first line is not exactly the clean marker; a missing or
// unreadable file gives no warning.
bool WasClosedNormally(const QString& settingsFolder);

} // namespace settings
