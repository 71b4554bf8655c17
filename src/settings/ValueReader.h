#pragma once

#include <QByteArray>
#include <QString>

namespace settings {

// Reads what ValueWriter writes. Every fault is a StreamError: a tag other than the one expected is
// "Invalid property value", reading past the end is "Stream read error". A reader accepts each integer
// form and each string form wherever an integer or a string is expected.
class ValueReader
{
public:
    // The file is looked up without case and read whole. Throws StreamError "Cannot open file <path>".
    explicit ValueReader(const QString& path);

    void ReadListBegin();
    void ReadListEnd();
    // Looks at the next tag without taking it: true for the list-end marker.
    bool EndOfList();
    qint32 ReadInteger();
    QString ReadString();
    // Untagged: a length byte and that many bytes.
    QString ReadShortString();
    // Untagged, no length: exactly count bytes.
    QByteArray ReadRaw(qsizetype count);

    // True when every byte has been read; files of older, shorter layouts are told apart this way.
    bool AtEnd() const { return position_ == content_.size(); }

private:
    QByteArrayView take(qsizetype count);
    quint8 readTag();
    qint32 readLittleEndian(int byteCount);
    void expectTag(quint8 tag);

    QByteArray content_;
    qsizetype position_ = 0;
};

} // namespace settings
