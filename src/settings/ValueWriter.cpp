#include "ValueWriter.h"

#include "FileAccess.h"
#include "LittleEndian.h"
#include "StreamError.h"
#include "ValueTags.h"

#include <exception>

namespace settings {

ValueWriter::ValueWriter(const QString& path)
    : path_(path), file_(LocateFile(path)), exceptionsAtStart_(std::uncaught_exceptions())
{
    if (!file_.open(QIODevice::WriteOnly))
        throw StreamError::cannotCreate(path_);
}

ValueWriter::~ValueWriter()
{
    if (!committed_ && std::uncaught_exceptions() == exceptionsAtStart_)
        file_.commit();
}

void ValueWriter::Commit()
{
    committed_ = true;
    if (!file_.commit())
        throw StreamError::cannotCreate(path_);
}

void ValueWriter::WriteListBegin()
{
    writeTag(ValueTag::ListBegin);
}

void ValueWriter::WriteListEnd()
{
    writeTag(ValueTag::ListEnd);
}

void ValueWriter::WriteInteger(qint32 value)
{
    if (value >= -128 && value <= 127) {
        writeTag(ValueTag::Int8);
        writeLittleEndian(value, 1);
    } else if (value >= -32768 && value <= 32767) {
        writeTag(ValueTag::Int16);
        writeLittleEndian(value, 2);
    } else {
        writeTag(ValueTag::Int32);
        writeLittleEndian(value, 4);
    }
}

void ValueWriter::WriteString(const QString& text)
{
    const QByteArray bytes = ToCp1252(text);
    if (bytes.size() < 256) {
        writeTag(ValueTag::ShortString);
        writeLittleEndian(static_cast<qint32>(bytes.size()), 1);
    } else {
        writeTag(ValueTag::LongString);
        writeLittleEndian(static_cast<qint32>(bytes.size()), 4);
    }
    WriteRaw(bytes);
}

void ValueWriter::WriteShortString(const QString& text)
{
    const QByteArray bytes = ToCp1252(text).left(255);
    writeLittleEndian(static_cast<qint32>(bytes.size()), 1);
    WriteRaw(bytes);
}

void ValueWriter::WriteRaw(QByteArrayView bytes)
{
    // A failed write is remembered by the file and reported by Commit().
    file_.write(bytes.data(), bytes.size());
}

void ValueWriter::writeTag(quint8 tag)
{
    writeLittleEndian(tag, 1);
}

void ValueWriter::writeLittleEndian(qint32 value, int byteCount)
{
    WriteRaw(ToLittleEndian(static_cast<quint32>(value), byteCount));
}

} // namespace settings
