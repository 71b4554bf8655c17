#include "pictures/BmpCodec.h"
#include "PictureTestSupport.h"

#include <gtest/gtest.h>
#include <QBuffer>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtEndian>

using pictures::BmpCodec;
using namespace picturetests;

namespace {

QByteArray writtenByQt(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "BMP").write(image);
    return bytes;
}

QImage readByQt(const QByteArray& bytes)
{
    return QImage::fromData(bytes, "BMP");
}

// The same file with its lines stored from the top: negative height, lines in the other order.
QByteArray topDown(const QByteArray& bottomUp)
{
    const auto* data = reinterpret_cast<const uchar*>(bottomUp.constData());
    const quint32 pixelsAt = qFromLittleEndian<quint32>(data + 10);
    const qint32 width = qFromLittleEndian<qint32>(data + 18);
    const qint32 height = qFromLittleEndian<qint32>(data + 22);
    const int bits = qFromLittleEndian<quint16>(data + 28);
    const qsizetype stride = (qsizetype(width) * bits + 31) / 32 * 4;
    QByteArray flipped = bottomUp.left(pixelsAt);
    qToLittleEndian<qint32>(-height, flipped.data() + 22);
    for (qint32 y = height - 1; y >= 0; --y)
        flipped += bottomUp.mid(pixelsAt + y * stride, stride);
    return flipped;
}

// A 32-bit file without channel masks, as some scanners' drivers write them: blue, green, red, unused.
QByteArray thirtyTwoBits(const QImage& image)
{
    const QByteArray plain = writtenByQt(image.convertToFormat(QImage::Format_RGB32));
    QByteArray file = plain.left(54);
    qToLittleEndian<quint16>(32, file.data() + 28);
    for (int y = image.height() - 1; y >= 0; --y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            file += raw({qBlue(pixel), qGreen(pixel), qRed(pixel), 0x7F});
        }
    qToLittleEndian<quint32>(static_cast<quint32>(file.size()), file.data() + 2);
    qToLittleEndian<quint32>(static_cast<quint32>(file.size() - 54), file.data() + 34);
    return file;
}

QList<QRgb> colors(int count)
{
    QList<QRgb> table;
    for (int i = 0; i < count; ++i)
        table.append(qRgb(i * 40 % 256, 255 - i * 30 % 256, i * 70 % 256));
    return table;
}

} // namespace

TEST(BmpCodec, QtReadsWhatItWrites)
{
    struct Case
    {
        const char* name;
        QImage image;
        int bits;
    };
    const Case cases[] = {
        {"one pixel", gradientPicture(1, 1), 24},
        {"widths that need padding", gradientPicture(5, 3), 24},
        {"width a multiple of four", gradientPicture(8, 2), 24},
        {"larger", gradientPicture(333, 77), 24},
        {"palette", palettePicture(13, 7, colors(5)), 8},
        {"monochrome",
         palettePicture(13, 5, {qRgb(0, 0, 0), qRgb(255, 255, 255)}).convertToFormat(QImage::Format_Mono), 1},
    };
    for (const Case& c : cases) {
        const QByteArray bytes = BmpCodec::write(c.image);
        ASSERT_TRUE(bytes.startsWith("BM")) << c.name;
        EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 28), c.bits) << c.name;
        EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 2), static_cast<quint32>(bytes.size()))
            << c.name;
        EXPECT_TRUE(samePixels(c.image, readByQt(bytes))) << c.name << ": Qt reading ours";
        EXPECT_TRUE(samePixels(c.image, BmpCodec::readAny(bytes))) << c.name << ": reading ours";
    }
}

TEST(BmpCodec, ReadsOtherWritersFilesAsQtDoes)
{
    QTemporaryDir folder;
    const QString source = folder.filePath("source.png");
    ASSERT_TRUE(gradientPicture(37, 19).save(source));
    const QString magick24 = folder.filePath("magick24.bmp");
    imageMagickConvert({source, "-type", "TrueColor", "BMP3:" + magick24});
    const QString magick8 = folder.filePath("magick8.bmp");
    imageMagickConvert({source, "-colors", "60", "-type", "Palette", "-compress", "None", "BMP3:" + magick8});
    const QByteArray qt24 = writtenByQt(gradientPicture(37, 19));
    QImage withResolution = gradientPicture(6, 6);
    withResolution.setDotsPerMeterX(11811);
    withResolution.setDotsPerMeterY(5906);
    struct Case
    {
        const char* name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"ImageMagick, 24 bits", readFile(magick24)},
        {"ImageMagick, palette", readFile(magick8)},
        {"Qt, 24 bits", qt24},
        {"Qt, palette", writtenByQt(palettePicture(9, 9, colors(40)))},
        {"lines from the top", topDown(qt24)},
        {"32 bits", thirtyTwoBits(gradientPicture(7, 5))},
        {"resolution", writtenByQt(withResolution)},
    };
    for (const Case& c : cases) {
        const QImage expected = readByQt(c.bytes);
        ASSERT_FALSE(expected.isNull()) << c.name;
        const QImage image = BmpCodec::read(c.bytes);
        ASSERT_FALSE(image.isNull()) << c.name << ": not read here";
        EXPECT_TRUE(samePixels(expected, image)) << c.name;
        EXPECT_EQ(image.dotsPerMeterX(), expected.dotsPerMeterX()) << c.name;
        EXPECT_EQ(image.dotsPerMeterY(), expected.dotsPerMeterY()) << c.name;
    }
}

TEST(BmpCodec, LeavesTheOtherKindsToQt)
{
    QTemporaryDir folder;
    const QString source = folder.filePath("source.png");
    ASSERT_TRUE(palettePicture(30, 12, colors(12)).convertToFormat(QImage::Format_RGB32).save(source));
    struct Case
    {
        const char* name;
        QStringList options;
    };
    const Case cases[] = {
        {"run-length encoded", {"-type", "Palette", "-compress", "RLE"}},
        {"16 colours", {"-colors", "12", "-type", "Palette", "-depth", "4"}},
    };
    for (const Case& c : cases) {
        const QString path = folder.filePath("other.bmp");
        imageMagickConvert(QStringList{source} + c.options + QStringList{"BMP3:" + path});
        const QByteArray bytes = readFile(path);
        const QImage expected = readByQt(bytes);
        ASSERT_FALSE(expected.isNull()) << c.name;
        EXPECT_TRUE(samePixels(expected, BmpCodec::readAny(bytes))) << c.name;
    }
    // OS/2 headers, lines cut short, and what is no bitmap at all.
    QByteArray cut = BmpCodec::write(gradientPicture(20, 20));
    cut.chop(100);
    EXPECT_TRUE(BmpCodec::read(cut).isNull());
    EXPECT_TRUE(BmpCodec::read("BM").isNull());
    EXPECT_TRUE(BmpCodec::read(QByteArray(80, 'x')).isNull());
    QByteArray os2 = BmpCodec::write(gradientPicture(4, 4));
    qToLittleEndian<quint32>(12, os2.data() + 14);
    EXPECT_TRUE(BmpCodec::read(os2).isNull());
}

TEST(BmpCodec, SamePictureAlwaysGivesTheSameBytes)
{
    // Bits past the last pixel of a monochrome line are whatever the memory held.
    QImage dirty(3, 2, QImage::Format_Mono);
    QImage clean(3, 2, QImage::Format_Mono);
    for (QImage* image : {&dirty, &clean}) {
        image->setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        std::memset(image->bits(), image == &dirty ? 0xFF : 0x00,
                    static_cast<std::size_t>(image->sizeInBytes()));
        for (int x = 0; x < 3; ++x) {
            image->setPixel(x, 0, x % 2);
            image->setPixel(x, 1, 1 - x % 2);
        }
    }
    EXPECT_EQ(BmpCodec::write(dirty), BmpCodec::write(clean));

    // Indices past a short palette read as black.
    QByteArray shortPalette = BmpCodec::write(palettePicture(4, 1, colors(4)));
    qToLittleEndian<quint32>(2, shortPalette.data() + 46);
    const QImage read = BmpCodec::read(shortPalette);
    ASSERT_FALSE(read.isNull());
    EXPECT_EQ(read.pixel(3, 0) | 0xFF000000, qRgb(0, 0, 0));
    EXPECT_TRUE(BmpCodec::write(QImage()).isEmpty());
}
