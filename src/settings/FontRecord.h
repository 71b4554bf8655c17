#pragma once

#include <QString>

namespace settings {

// A font as the settings files keep it; the window code turns it into a real font.
struct FontSpec
{
    QString name = QStringLiteral("Arial");
    bool bold = true;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    qint32 pointSize = 10;

    bool operator==(const FontSpec&) const = default;
};

class ValueReader;
class ValueWriter;

// The 264-byte font record: name length, 255 name bytes, style bits (bold, italic, underline,
// strike-out), three unused bytes, the size in points as a signed 32-bit number. A record cut off
// anywhere throws StreamError before anything is taken from it.
FontSpec ReadFontRecord(ValueReader& reader);
void WriteFontRecord(ValueWriter& writer, const FontSpec& font);

} // namespace settings
