#include "ScrambledText.h"

#include "FileAccess.h"
#include "FixedLayout.h"
#include "ValueReader.h"
#include "ValueWriter.h"

#include <array>

namespace settings {

namespace {

// Changing a byte here makes every stored password and folder of existing files unreadable.
constexpr std::array<quint8, 10> key = {0x13, 0x07, 0x1D, 0x02, 0x19, 0x0B, 0x11, 0x05, 0x1F, 0x0E};

QByteArray scrambleBytes(QByteArray bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(static_cast<quint8>(bytes[i]) ^ key[static_cast<std::size_t>(i % 10)]);
    return bytes;
}

} // namespace

QString ScrambleText(const QString& text)
{
    return FromCp1252(scrambleBytes(ToCp1252(text)));
}

QString ReadScrambledText(ValueReader& reader)
{
    QByteArray stored = reader.ReadRaw(ReadByte(reader));
    const qsizetype zero = stored.indexOf('\0');
    if (zero >= 0)
        stored.truncate(zero);
    return FromCp1252(scrambleBytes(stored));
}

void WriteScrambledText(ValueWriter& writer, const QString& text)
{
    const QByteArray bytes = ToCp1252(text).left(255);
    WriteByte(writer, static_cast<quint8>(bytes.size()));
    writer.WriteRaw(scrambleBytes(bytes));
}

} // namespace settings
