#pragma once

#include <QString>

namespace settings {

class ValueReader;
class ValueWriter;

// Combines each byte of the Windows-1252 form of the text with the repeating 10-byte key; applying it
// twice gives the text back. Key bytes lie between 1 and 31, so a scrambled printable text has no zero.
QString ScrambleText(const QString& text);

// The scrambled-text field of the fixed-layout files: a length byte, then that many scrambled bytes. The
// reader keeps the stored bytes up to the first zero byte. At most 255 bytes are written.
QString ReadScrambledText(ValueReader& reader);
void WriteScrambledText(ValueWriter& writer, const QString& text);

} // namespace settings
