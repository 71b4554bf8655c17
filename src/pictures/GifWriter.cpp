#include "GifWriter.h"

#include "ColorQuantizer.h"
#include "GifLzwEncoder.h"

#include <QtEndian>

namespace pictures {

namespace {

constexpr int largestSide = 65535;
constexpr int largestBlock = 255;

void appendWord(QByteArray& out, int value)
{
    char bytes[2];
    qToLittleEndian<quint16>(static_cast<quint16>(value), bytes);
    out.append(bytes, 2);
}

int bitsForColors(qsizetype colors)
{
    int bits = 1;
    while ((qsizetype(1) << bits) < colors)
        ++bits;
    return bits;
}

QImage paletteImage(const QImage& image)
{
    switch (image.format()) {
    case QImage::Format_Indexed8:
        return image;
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return image.convertToFormat(QImage::Format_Indexed8);
    default:
        return ColorQuantizer().toIndexed(image);
    }
}

} // namespace

QByteArray GifWriter::write(const QImage& source)
{
    if (source.isNull() || source.width() > largestSide || source.height() > largestSide)
        return {};
    const QImage image = paletteImage(source);
    QList<QRgb> palette = image.colorTable();
    const int bits = bitsForColors(palette.size());
    palette.resize(qsizetype(1) << bits, qRgb(0, 0, 0));

    QByteArray out("GIF87a");
    appendWord(out, image.width());
    appendWord(out, image.height());
    // Global palette present, 8 bits per primary in the original, palette size 2^bits.
    out.append(static_cast<char>(0x80 | (7 << 4) | (bits - 1)));
    out.append('\0'); // background colour index
    out.append('\0'); // no aspect ratio
    for (QRgb color : palette) {
        out.append(static_cast<char>(qRed(color)));
        out.append(static_cast<char>(qGreen(color)));
        out.append(static_cast<char>(qBlue(color)));
    }

    out.append(',');
    appendWord(out, 0);
    appendWord(out, 0);
    appendWord(out, image.width());
    appendWord(out, image.height());
    out.append('\0'); // no local palette, not interlaced

    QByteArray indices;
    indices.reserve(qsizetype(image.width()) * image.height());
    for (int y = 0; y < image.height(); ++y)
        indices.append(reinterpret_cast<const char*>(image.constScanLine(y)), image.width());
    const int minimumCodeSize = std::max(2, bits);
    const QByteArray codes = GifLzwEncoder(minimumCodeSize)
                                 .encode(reinterpret_cast<const uchar*>(indices.constData()), indices.size());
    out.append(static_cast<char>(minimumCodeSize));
    for (qsizetype start = 0; start < codes.size(); start += largestBlock) {
        const qsizetype length = std::min<qsizetype>(largestBlock, codes.size() - start);
        out.append(static_cast<char>(length));
        out.append(codes.constData() + start, length);
    }
    out.append('\0');
    out.append(';');
    return out;
}

} // namespace pictures
