#pragma once

#include <optional>
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace settings {

// Settings files are named without regard to case (they may come from a system that ignores it), so every
// file is looked up in its folder by the table engine's case-blind comparison of names. Paths use "/".

// path itself, or the path of the file beside it whose name differs only in case. Writers use it too, so
// that rewriting a file never leaves a second one of another case beside it.
QString LocateFile(const QString& path);

// The whole content of the file, looked up without case; empty when it cannot be opened or read.
std::optional<QByteArray> ReadWholeFile(const QString& path);

// Text on disk is Windows-1252; every one of its 256 byte values survives the trip through QString.
QByteArray ToCp1252(const QString& text);
QString FromCp1252(QByteArrayView bytes);

} // namespace settings
