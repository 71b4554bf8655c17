#include "FontRecord.h"

#include "FileAccess.h"
#include "LittleEndian.h"
#include "ValueReader.h"
#include "ValueWriter.h"

namespace settings {

namespace {

constexpr qsizetype recordSize = 264;
constexpr qsizetype nameCapacity = 255;
constexpr qsizetype styleOffset = 256;
constexpr qsizetype sizeOffset = 260;

enum StyleBit : quint8
{
    Bold = 1,
    Italic = 2,
    Underline = 4,
    StrikeOut = 8
};

} // namespace

FontSpec ReadFontRecord(ValueReader& reader)
{
    const QByteArray record = reader.ReadRaw(recordSize);
    const auto nameLength = static_cast<quint8>(record[0]);
    const auto style = static_cast<quint8>(record[styleOffset]);
    FontSpec font;
    font.name = FromCp1252(QByteArrayView(record).sliced(1, nameLength));
    font.bold = style & Bold;
    font.italic = style & Italic;
    font.underline = style & Underline;
    font.strikeOut = style & StrikeOut;
    font.pointSize = static_cast<qint32>(FromLittleEndian(QByteArrayView(record).sliced(sizeOffset, 4)));
    return font;
}

void WriteFontRecord(ValueWriter& writer, const FontSpec& font)
{
    QByteArray record(recordSize, '\0');
    const QByteArray name = ToCp1252(font.name).left(nameCapacity);
    record[0] = static_cast<char>(name.size());
    record.replace(1, name.size(), name);
    record[styleOffset] =
        static_cast<char>((font.bold ? Bold : 0) | (font.italic ? Italic : 0) |
                          (font.underline ? Underline : 0) | (font.strikeOut ? StrikeOut : 0));
    record.replace(sizeOffset, 4, ToLittleEndian(static_cast<quint32>(font.pointSize), 4));
    writer.WriteRaw(record);
}

} // namespace settings
