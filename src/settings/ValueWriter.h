#pragma once

#include <QByteArrayView>
#include <QSaveFile>
#include <QString>

namespace settings {

// Writes the tagged value stream (and the untagged items beside it) into a file, little-endian, text in
// Windows-1252.
//
// The bytes go to a temporary file that replaces the target only on Commit(), so a run that fails half
// way, or a full disk, never leaves a cut-off settings file in place of a good one. A writer destroyed
// without Commit() commits on its own, unless it is destroyed by an exception: then the old file stays.
class ValueWriter
{
public:
    // Throws StreamError "Cannot create file <path>" when the file cannot be created.
    explicit ValueWriter(const QString& path);
    ~ValueWriter();
    ValueWriter(const ValueWriter&) = delete;
    ValueWriter& operator=(const ValueWriter&) = delete;

    void WriteListBegin();
    void WriteListEnd();
    // The smallest of the 8-, 16- and 32-bit forms that holds the value.
    void WriteInteger(qint32 value);
    // The short form below 256 bytes, the long form from there on.
    void WriteString(const QString& text);
    // Untagged: a length byte and at most 255 bytes; a longer text is cut.
    void WriteShortString(const QString& text);
    // Untagged, no length.
    void WriteRaw(QByteArrayView bytes);

    // Puts the file in place. Throws StreamError "Cannot create file <path>" when that, or any write
    // before it, failed. Nothing may be written afterwards.
    void Commit();

private:
    void writeTag(quint8 tag);
    void writeLittleEndian(qint32 value, int byteCount);

    QString path_;
    QSaveFile file_;
    int exceptionsAtStart_;
    bool committed_ = false;
};

} // namespace settings
