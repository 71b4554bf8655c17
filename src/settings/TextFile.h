#pragma once

#include <optional>
#include <QString>
#include <QStringList>

namespace settings {

// Text settings files: Windows-1252, lines ended by CR LF when written; CR, LF or CR LF are each read as
// one line end, and a line end at the very end adds no empty line.

// Empty when the file is missing or cannot be read.
std::optional<QStringList> ReadTextLines(const QString& path);
// Every line followed by CR LF. False when the file cannot be written (the old one then stays).
bool WriteTextLines(const QString& path, const QStringList& lines);
// The text as it stands, with no line end added.
bool WriteTextFile(const QString& path, const QString& text);

} // namespace settings
