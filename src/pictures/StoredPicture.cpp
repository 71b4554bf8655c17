#include "StoredPicture.h"

#include "BmpCodec.h"

#include <QPainter>
#include <QtEndian>

namespace pictures {

namespace {

constexpr quint16 headerFirstWord = 1;
constexpr quint16 headerSecondWord = 256;

bool paletteIsOpaque(const QImage& image)
{
    for (QRgb color : image.colorTable())
        if (qAlpha(color) != 255)
            return false;
    return true;
}

QImage flattenedOntoWhite(const QImage& image)
{
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.setDotsPerMeterX(image.dotsPerMeterX());
    flat.setDotsPerMeterY(image.dotsPerMeterY());
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    return flat;
}

} // namespace

bool StoredPicture::hasHeader(const QByteArray& stored)
{
    if (stored.size() < headerSize)
        return false;
    const auto* bytes = reinterpret_cast<const uchar*>(stored.constData());
    return qFromLittleEndian<quint16>(bytes) == headerFirstWord &&
           qFromLittleEndian<quint16>(bytes + 2) == headerSecondWord &&
           qFromLittleEndian<quint32>(bytes + 4) == static_cast<quint64>(stored.size() - headerSize);
}

QByteArray StoredPicture::bitmapBytes(const QByteArray& stored)
{
    return hasHeader(stored) ? stored.mid(headerSize) : stored;
}

QByteArray StoredPicture::withHeader(const QByteArray& bitmap)
{
    QByteArray header(headerSize, '\0');
    auto* bytes = reinterpret_cast<uchar*>(header.data());
    qToLittleEndian<quint16>(headerFirstWord, bytes);
    qToLittleEndian<quint16>(headerSecondWord, bytes + 2);
    qToLittleEndian<quint32>(static_cast<quint32>(bitmap.size()), bytes + 4);
    return header + bitmap;
}

QImage StoredPicture::asBitmap(const QImage& image)
{
    if (image.isNull())
        return {};
    switch (image.format()) {
    case QImage::Format_Mono:
        return image;
    case QImage::Format_MonoLSB:
        return image.convertToFormat(QImage::Format_Mono);
    case QImage::Format_Indexed8:
        return paletteIsOpaque(image) ? image : flattenedOntoWhite(image);
    case QImage::Format_Grayscale8: {
        QList<QRgb> grays(256);
        for (int level = 0; level < 256; ++level)
            grays[level] = qRgb(level, level, level);
        return image.convertToFormat(QImage::Format_Indexed8, grays);
    }
    case QImage::Format_RGB32:
        return image;
    default:
        return image.hasAlphaChannel() ? flattenedOntoWhite(image)
                                       : image.convertToFormat(QImage::Format_RGB32);
    }
}

QByteArray StoredPicture::encode(const QImage& image, bool header)
{
    if (image.isNull())
        return {};
    const QByteArray bitmap = BmpCodec::write(asBitmap(image));
    return header && !bitmap.isEmpty() ? withHeader(bitmap) : bitmap;
}

QImage StoredPicture::decode(const QByteArray& stored)
{
    if (stored.isEmpty())
        return {};
    return BmpCodec::readAny(bitmapBytes(stored));
}

} // namespace pictures
