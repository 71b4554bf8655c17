#pragma once

#include <functional>
#include <QString>

namespace settings {

class ValueReader;
class ValueWriter;

// Untagged little-endian items of the fixed-layout settings files.
quint8 ReadByte(ValueReader& reader);
bool ReadFlag(ValueReader& reader); // a byte; anything but 0 is true
quint16 ReadWord(ValueReader& reader);
qint32 ReadInt32(ValueReader& reader);
// A word that picks one of choiceCount options; a value outside them, only found in a damaged file,
// gives fallback instead.
int ReadChoice(ValueReader& reader, int choiceCount, int fallback);

void WriteByte(ValueWriter& writer, quint8 value);
void WriteFlag(ValueWriter& writer, bool value);
void WriteWord(ValueWriter& writer, quint16 value);
void WriteInt32(ValueWriter& writer, qint32 value);

// Runs read on the file. A file that ends early stops read where it ends, keeping what it has assigned.
// Returns false, without calling read, when the file cannot be opened.
bool LoadFixedLayoutFile(const QString& path, const std::function<void(ValueReader&)>& read);
// Runs write into the file; false when the file cannot be created or written (the old file then stays).
bool SaveFixedLayoutFile(const QString& path, const std::function<void(ValueWriter&)>& write);

} // namespace settings
