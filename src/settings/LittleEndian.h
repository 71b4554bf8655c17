#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace settings {

// The 1-, 2- and 4-byte little-endian numbers of every settings file.

inline quint32 FromLittleEndian(QByteArrayView bytes)
{
    quint32 value = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        value |= static_cast<quint32>(static_cast<quint8>(bytes[i])) << (8 * i);
    return value;
}

inline QByteArray ToLittleEndian(quint32 value, int byteCount)
{
    QByteArray bytes(byteCount, '\0');
    for (int i = 0; i < byteCount; ++i)
        bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

} // namespace settings
