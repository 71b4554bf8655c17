#include "FixedLayout.h"

#include "LittleEndian.h"
#include "StreamError.h"
#include "ValueReader.h"
#include "ValueWriter.h"

#include <optional>

namespace settings {

quint8 ReadByte(ValueReader& reader)
{
    return static_cast<quint8>(FromLittleEndian(reader.ReadRaw(1)));
}

bool ReadFlag(ValueReader& reader)
{
    return ReadByte(reader) != 0;
}

quint16 ReadWord(ValueReader& reader)
{
    return static_cast<quint16>(FromLittleEndian(reader.ReadRaw(2)));
}

qint32 ReadInt32(ValueReader& reader)
{
    return static_cast<qint32>(FromLittleEndian(reader.ReadRaw(4)));
}

int ReadChoice(ValueReader& reader, int choiceCount, int fallback)
{
    const int value = ReadWord(reader);
    return value < choiceCount ? value : fallback;
}

void WriteByte(ValueWriter& writer, quint8 value)
{
    writer.WriteRaw(ToLittleEndian(value, 1));
}

void WriteFlag(ValueWriter& writer, bool value)
{
    WriteByte(writer, value ? 1 : 0);
}

void WriteWord(ValueWriter& writer, quint16 value)
{
    writer.WriteRaw(ToLittleEndian(value, 2));
}

void WriteInt32(ValueWriter& writer, qint32 value)
{
    writer.WriteRaw(ToLittleEndian(static_cast<quint32>(value), 4));
}

bool LoadFixedLayoutFile(const QString& path, const std::function<void(ValueReader&)>& read)
{
    std::optional<ValueReader> reader;
    try {
        reader.emplace(path);
    } catch (const StreamError&) {
        return false;
    }
    try {
        read(*reader);
    } catch (const StreamError&) {
        // ended early: what was read stays, the rest keeps its defaults
    }
    return true;
}

bool SaveFixedLayoutFile(const QString& path, const std::function<void(ValueWriter&)>& write)
{
    try {
        ValueWriter writer(path);
        write(writer);
        writer.Commit();
        return true;
    } catch (const StreamError&) {
        return false;
    }
}

} // namespace settings
