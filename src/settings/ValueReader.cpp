#include "ValueReader.h"

#include "FileAccess.h"
#include "LittleEndian.h"
#include "StreamError.h"
#include "ValueTags.h"

namespace settings {

ValueReader::ValueReader(const QString& path)
{
    std::optional<QByteArray> content = ReadWholeFile(path);
    if (!content)
        throw StreamError::cannotOpen(path);
    content_ = std::move(*content);
}

void ValueReader::ReadListBegin()
{
    expectTag(ValueTag::ListBegin);
}

void ValueReader::ReadListEnd()
{
    expectTag(ValueTag::ListEnd);
}

bool ValueReader::EndOfList()
{
    const quint8 tag = readTag();
    --position_;
    return tag == ValueTag::ListEnd;
}

qint32 ValueReader::ReadInteger()
{
    switch (readTag()) {
    case ValueTag::Int8:
        return static_cast<qint8>(readLittleEndian(1));
    case ValueTag::Int16:
        return static_cast<qint16>(readLittleEndian(2));
    case ValueTag::Int32:
        return readLittleEndian(4);
    default:
        throw StreamError::invalidValue();
    }
}

QString ValueReader::ReadString()
{
    switch (readTag()) {
    case ValueTag::ShortString:
        return FromCp1252(take(readLittleEndian(1)));
    case ValueTag::LongString: {
        // A damaged length is read as unsigned, so it can only run past the end, never below zero.
        const auto length = static_cast<quint32>(readLittleEndian(4));
        return FromCp1252(take(static_cast<qsizetype>(length)));
    }
    default:
        throw StreamError::invalidValue();
    }
}

QString ValueReader::ReadShortString()
{
    return FromCp1252(take(readLittleEndian(1)));
}

QByteArray ValueReader::ReadRaw(qsizetype count)
{
    return take(count).toByteArray();
}

QByteArrayView ValueReader::take(qsizetype count)
{
    if (count < 0 || count > content_.size() - position_)
        throw StreamError::readError();
    const QByteArrayView bytes(content_.constData() + position_, count);
    position_ += count;
    return bytes;
}

quint8 ValueReader::readTag()
{
    return static_cast<quint8>(take(1)[0]);
}

qint32 ValueReader::readLittleEndian(int byteCount)
{
    return static_cast<qint32>(FromLittleEndian(take(byteCount)));
}

void ValueReader::expectTag(quint8 tag)
{
    if (readTag() != tag)
        throw StreamError::invalidValue();
}

} // namespace settings
