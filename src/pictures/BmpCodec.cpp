#include "BmpCodec.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <QtEndian>

namespace pictures {

namespace {

constexpr int fileHeaderSize = 14;
constexpr int infoHeaderSize = 40;
constexpr quint32 uncompressed = 0;

quint32 dword(const uchar* bytes, int offset)
{
    return qFromLittleEndian<quint32>(bytes + offset);
}

qint64 rowBytes(qint64 width, int bitsPerPixel)
{
    return (width * bitsPerPixel + 31) / 32 * 4;
}

void putWord(uchar* at, quint16 value)
{
    qToLittleEndian(value, at);
}

void putDword(uchar* at, quint32 value)
{
    qToLittleEndian(value, at);
}

} // namespace

QImage BmpCodec::read(const QByteArray& bytes)
{
    if (bytes.size() < fileHeaderSize + infoHeaderSize || !bytes.startsWith("BM"))
        return {};
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const quint32 pixelsAt = dword(data, 10);
    const quint32 headerSize = dword(data, 14);
    const auto width = static_cast<qint32>(dword(data, 18));
    const auto height = static_cast<qint32>(dword(data, 22));
    const quint16 planes = qFromLittleEndian<quint16>(data + 26);
    const quint16 bits = qFromLittleEndian<quint16>(data + 28);
    const quint32 compression = dword(data, 30);
    quint32 colors = dword(data, 46);
    if (headerSize < infoHeaderSize || planes != 1 || compression != uncompressed || width <= 0 ||
        height == 0 || height == std::numeric_limits<qint32>::min() ||
        (bits != 8 && bits != 24 && bits != 32))
        return {};
    const bool topDown = height < 0;
    const qint64 lines = topDown ? -qint64(height) : height;
    const qint64 stride = rowBytes(width, bits);
    if (pixelsAt > static_cast<quint64>(bytes.size()) || stride * lines > bytes.size() - qint64(pixelsAt))
        return {};
    if (bits == 8) {
        colors = colors == 0 ? 256 : colors;
        if (colors > 256 || fileHeaderSize + headerSize + 4 * colors > pixelsAt)
            return {};
    }

    QImage image(width, static_cast<int>(lines), bits == 8 ? QImage::Format_Indexed8 : QImage::Format_RGB32);
    if (image.isNull())
        return {};
    if (bits == 8) {
        QList<QRgb> palette(static_cast<qsizetype>(colors));
        const uchar* entry = data + fileHeaderSize + headerSize;
        for (QRgb& color : palette) {
            color = qRgb(entry[2], entry[1], entry[0]);
            entry += 4;
        }
        image.setColorTable(palette);
    }
    image.setDotsPerMeterX(static_cast<int>(dword(data, 38)));
    image.setDotsPerMeterY(static_cast<int>(dword(data, 42)));
    uchar highestIndex = 0;
    for (qint64 y = 0; y < lines; ++y) {
        const uchar* in = data + pixelsAt + stride * (topDown ? y : lines - 1 - y);
        uchar* out = image.scanLine(static_cast<int>(y));
        if (bits == 8) {
            std::memcpy(out, in, static_cast<std::size_t>(width));
            highestIndex = std::max(highestIndex, *std::max_element(out, out + width));
        } else if (bits == 24) {
            auto* pixels = reinterpret_cast<QRgb*>(out);
            for (qint32 x = 0; x < width; ++x, in += 3)
                pixels[x] = 0xFF000000u | (quint32(in[2]) << 16) | (quint32(in[1]) << 8) | in[0];
        } else {
            auto* pixels = reinterpret_cast<QRgb*>(out);
            for (qint32 x = 0; x < width; ++x, in += 4)
                pixels[x] = 0xFF000000u | (quint32(in[2]) << 16) | (quint32(in[1]) << 8) | in[0];
        }
    }
    // Indices past a short palette show black rather than whatever lies beyond the table.
    if (bits == 8 && highestIndex >= image.colorCount()) {
        QList<QRgb> palette = image.colorTable();
        palette.resize(256, qRgb(0, 0, 0));
        image.setColorTable(palette);
    }
    return image;
}

QImage BmpCodec::readAny(const QByteArray& bytes)
{
    QImage image = read(bytes);
    return image.isNull() ? QImage::fromData(bytes, "BMP") : image;
}

QByteArray BmpCodec::write(const QImage& source)
{
    if (source.isNull())
        return {};
    QImage image;
    int bits = 24;
    switch (source.format()) {
    case QImage::Format_Mono:
        image = source;
        bits = 1;
        break;
    case QImage::Format_MonoLSB:
        image = source.convertToFormat(QImage::Format_Mono);
        bits = 1;
        break;
    case QImage::Format_Indexed8:
        image = source;
        bits = 8;
        break;
    default:
        image = source.convertToFormat(QImage::Format_RGB32);
        break;
    }
    const QList<QRgb> palette = bits == 24 ? QList<QRgb>() : image.colorTable();
    const qint64 stride = rowBytes(image.width(), bits);
    const qint64 pixelsAt = fileHeaderSize + infoHeaderSize + 4 * palette.size();
    const qint64 fileSize = pixelsAt + stride * image.height();
    if (fileSize > std::numeric_limits<quint32>::max())
        return {};

    // Every byte is written below, the padding at the line ends too: a fresh buffer is not cleared first.
    QByteArray bytes(fileSize, Qt::Uninitialized);
    auto* data = reinterpret_cast<uchar*>(bytes.data());
    std::memset(data, 0, static_cast<std::size_t>(pixelsAt));
    data[0] = 'B';
    data[1] = 'M';
    putDword(data + 2, static_cast<quint32>(fileSize));
    putDword(data + 10, static_cast<quint32>(pixelsAt));
    putDword(data + 14, infoHeaderSize);
    putDword(data + 18, static_cast<quint32>(image.width()));
    putDword(data + 22, static_cast<quint32>(image.height()));
    putWord(data + 26, 1);
    putWord(data + 28, static_cast<quint16>(bits));
    putDword(data + 30, uncompressed);
    putDword(data + 34, static_cast<quint32>(stride * image.height()));
    putDword(data + 38, static_cast<quint32>(image.dotsPerMeterX()));
    putDword(data + 42, static_cast<quint32>(image.dotsPerMeterY()));
    putDword(data + 46, static_cast<quint32>(palette.size()));
    uchar* entry = data + fileHeaderSize + infoHeaderSize;
    for (QRgb color : palette) {
        entry[0] = static_cast<uchar>(qBlue(color));
        entry[1] = static_cast<uchar>(qGreen(color));
        entry[2] = static_cast<uchar>(qRed(color));
        entry += 4;
    }
    const int width = image.width();
    const int height = image.height();
    for (int y = 0; y < height; ++y) {
        uchar* out = data + pixelsAt + stride * (height - 1 - y);
        std::memset(out + stride - 4, 0, 4);
        const uchar* in = image.constScanLine(y);
        if (bits == 24) {
            const auto* pixels = reinterpret_cast<const QRgb*>(in);
            for (int x = 0; x < width; ++x, out += 3) {
                out[0] = static_cast<uchar>(pixels[x]);
                out[1] = static_cast<uchar>(pixels[x] >> 8);
                out[2] = static_cast<uchar>(pixels[x] >> 16);
            }
        } else {
            // Only the bytes that hold pixels: the rest of a line in memory may hold anything, and the same
            // picture must always give the same bytes.
            const int used = bits == 8 ? width : (width + 7) / 8;
            std::memcpy(out, in, static_cast<std::size_t>(used));
            if (bits == 1 && width % 8 != 0)
                out[used - 1] &= static_cast<uchar>(0xFF << (8 - width % 8));
        }
    }
    return bytes;
}

} // namespace pictures
