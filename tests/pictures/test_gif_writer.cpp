#include "pictures/ColorQuantizer.h"
#include "pictures/GifLzwEncoder.h"
#include "pictures/GifWriter.h"
#include "PictureTestSupport.h"

#include <gtest/gtest.h>
#include <QBuffer>
#include <QImageReader>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>

using pictures::ColorQuantizer;
using pictures::GifLzwEncoder;
using pictures::GifWriter;
using namespace picturetests;

namespace {

QImage readGifWithQt(const QByteArray& gif)
{
    QBuffer buffer;
    buffer.setData(gif);
    QImageReader reader(&buffer, "GIF");
    return reader.read();
}

QList<QRgb> grays(int count)
{
    QList<QRgb> colors;
    for (int i = 0; i < count; ++i)
        colors.append(qRgb(i * 255 / std::max(1, count - 1), i, 255 - i));
    return colors;
}

QImage noisePicture(int width, int height, int colors)
{
    QImage image(width, height, QImage::Format_Indexed8);
    image.setColorTable(grays(colors));
    QRandomGenerator random(12345);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, random.bounded(colors));
    return image;
}

int distinctColors(const QImage& image)
{
    QSet<QRgb> seen;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            seen.insert(rgb.pixel(x, y));
    return static_cast<int>(seen.size());
}

} // namespace

TEST(GifLzwEncoder, PacksCodesLeastSignificantBitFirst)
{
    // Four zeros with 2-bit indices: clear (4), 0, the new code 6 for "0 0", 0, end (5), three bits each.
    const uchar zeros[] = {0, 0, 0, 0};
    EXPECT_EQ(GifLzwEncoder(2).encode(zeros, 4), QByteArray("\x84\x51"));
    // Nothing at all still makes a valid stream: clear and end.
    EXPECT_EQ(GifLzwEncoder(2).encode(zeros, 0), QByteArray("\x2C"));
}

TEST(GifWriter, PalettePicturesComeBackExactlyThroughQtsReader)
{
    struct Case
    {
        const char* name;
        QImage image;
    };
    const Case cases[] = {
        {"one pixel", noisePicture(1, 1, 2)},
        {"two colours", palettePicture(40, 13, {qRgb(0, 0, 0), qRgb(255, 255, 255)})},
        {"three colours", palettePicture(7, 50, {qRgb(200, 0, 0), qRgb(0, 200, 0), qRgb(0, 0, 200)})},
        {"sixteen colours", palettePicture(129, 65, grays(16))},
        // Random pixels fill the 4096-code table over and over: clear codes and every code width.
        {"noise in 256 colours", noisePicture(300, 200, 256)},
        {"noise in 5 colours", noisePicture(500, 300, 5)},
        {"one long run", palettePicture(1000, 100, {qRgb(9, 9, 9)})},
        {"monochrome",
         palettePicture(33, 3, {qRgb(0, 0, 0), qRgb(255, 255, 255)}).convertToFormat(QImage::Format_Mono)},
    };
    for (const Case& c : cases) {
        const QByteArray gif = GifWriter::write(c.image);
        ASSERT_TRUE(gif.startsWith("GIF87a")) << c.name;
        EXPECT_TRUE(gif.endsWith(";")) << c.name;
        EXPECT_TRUE(samePixels(c.image, readGifWithQt(gif))) << c.name;
    }
}

TEST(GifWriter, TrueColourPicturesAreQuantisedCloseToTheOriginal)
{
    const QImage original = gradientPicture(320, 240);
    const QImage back = readGifWithQt(GifWriter::write(original));
    ASSERT_EQ(back.size(), original.size());
    EXPECT_LE(distinctColors(back), 256);
    EXPECT_LE(largestChannelError(original, back), 40);

    // Few colours in a true-colour picture are kept exactly.
    QImage fewColors(50, 50, QImage::Format_RGB32);
    fewColors.fill(qRgb(12, 34, 56));
    for (int i = 0; i < 50; ++i)
        fewColors.setPixel(i, i, qRgb(200, 100, 0));
    EXPECT_TRUE(samePixels(fewColors, readGifWithQt(GifWriter::write(fewColors))));
}

TEST(GifWriter, HeaderDescribesTheScreenAndAPowerOfTwoPalette)
{
    const QByteArray gif = GifWriter::write(palettePicture(300, 2, grays(5)));
    const auto* bytes = reinterpret_cast<const uchar*>(gif.constData());
    EXPECT_EQ(bytes[6] | bytes[7] << 8, 300);
    EXPECT_EQ(bytes[8] | bytes[9] << 8, 2);
    EXPECT_EQ(bytes[10] & 0x80, 0x80); // a global palette
    EXPECT_EQ(bytes[10] & 0x07, 2);    // of 2^(2+1) = 8 entries for 5 colours
    EXPECT_EQ(bytes[13 + 8 * 3], ','); // the image follows the palette
    EXPECT_TRUE(GifWriter::write(QImage()).isEmpty());
    EXPECT_TRUE(GifWriter::write(QImage(1, 65536, QImage::Format_Indexed8)).isEmpty());
}

TEST(GifWriter, ImageMagickReadsOurFiles)
{
    QTemporaryDir folder;
    const QImage images[] = {palettePicture(123, 45, grays(200)), noisePicture(257, 99, 64)};
    for (const QImage& image : images) {
        const QString gif = folder.filePath("ours.gif");
        writeFile(gif, GifWriter::write(image));
        const QString png = folder.filePath("decoded.png");
        imageMagickConvert({gif, png});
        EXPECT_TRUE(samePixels(image, QImage(png)));
    }
}

TEST(ColorQuantizer, KeepsFewColoursExactlyAndChoosesTheRestByMedianCut)
{
    QImage exactly256(256, 4, QImage::Format_RGB32);
    QImage colors257(257, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 256; ++x)
            exactly256.setPixel(x, y, qRgb(x, 255 - x, (x * 3) % 256));
        for (int x = 0; x < 257; ++x)
            colors257.setPixel(x, y, qRgb(x % 256, x / 256 * 255, 7));
    }
    const QImage kept = ColorQuantizer().toIndexed(exactly256);
    EXPECT_EQ(kept.format(), QImage::Format_Indexed8);
    EXPECT_TRUE(samePixels(exactly256, kept));

    const QImage reduced = ColorQuantizer().toIndexed(colors257);
    EXPECT_LE(reduced.colorCount(), 256);
    EXPECT_LE(largestChannelError(colors257, reduced), 4);

    const QImage fourColors = ColorQuantizer(4).toIndexed(gradientPicture(64, 64));
    EXPECT_EQ(fourColors.colorCount(), 4);
    EXPECT_TRUE(ColorQuantizer().toIndexed(QImage()).isNull());
}
