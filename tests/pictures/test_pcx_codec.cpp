#include "pictures/PcxCodec.h"
#include "PictureTestSupport.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <QtEndian>

using pictures::PcxCodec;
using namespace picturetests;

namespace {

// A PCX file put together by hand, as other programs write them.
struct HandMadePcx
{
    int version = 5;
    int encoding = 1;
    int bitsPerPixel = 8;
    int width = 1;
    int height = 1;
    int planes = 1;
    int bytesPerLine = 2;
    QList<QRgb> headerPalette;
    QByteArray data;
    QList<QRgb> vgaPalette; // appended after the data when not empty

    QByteArray bytes() const
    {
        QByteArray file(PcxCodec::headerSize, '\0');
        auto* header = reinterpret_cast<uchar*>(file.data());
        header[0] = 0x0A;
        header[1] = static_cast<uchar>(version);
        header[2] = static_cast<uchar>(encoding);
        header[3] = static_cast<uchar>(bitsPerPixel);
        qToLittleEndian<quint16>(10, header + 4); // the picture need not start at 0
        qToLittleEndian<quint16>(20, header + 6);
        qToLittleEndian<quint16>(static_cast<quint16>(10 + width - 1), header + 8);
        qToLittleEndian<quint16>(static_cast<quint16>(20 + height - 1), header + 10);
        for (int i = 0; i < headerPalette.size(); ++i) {
            header[16 + 3 * i] = static_cast<uchar>(qRed(headerPalette[i]));
            header[17 + 3 * i] = static_cast<uchar>(qGreen(headerPalette[i]));
            header[18 + 3 * i] = static_cast<uchar>(qBlue(headerPalette[i]));
        }
        header[65] = static_cast<uchar>(planes);
        qToLittleEndian<quint16>(static_cast<quint16>(bytesPerLine), header + 66);
        qToLittleEndian<quint16>(1, header + 68);
        file += data;
        if (!vgaPalette.isEmpty()) {
            file.append('\x0C');
            for (int i = 0; i < 256; ++i) {
                const QRgb color = vgaPalette.value(i, qRgb(0, 0, 0));
                file.append(static_cast<char>(qRed(color)));
                file.append(static_cast<char>(qGreen(color)));
                file.append(static_cast<char>(qBlue(color)));
            }
        }
        return file;
    }
};

QList<QRgb> rainbow(int count)
{
    QList<QRgb> colors;
    for (int i = 0; i < count; ++i)
        colors.append(qRgb((i * 97) % 256, (i * 57 + 30) % 256, (i * 23 + 100) % 256));
    return colors;
}

QList<int> indicesOf(const QImage& image)
{
    QList<int> indices;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            indices.append(image.pixelIndex(x, y));
    return indices;
}

} // namespace

TEST(PcxCodec, RoundTripsPicturesOfEveryKindItWrites)
{
    QImage runs(200, 3, QImage::Format_RGB32); // runs longer than 63 and values with the run bits set
    runs.fill(qRgb(0xC5, 0xFF, 0x01));
    for (int x = 0; x < 200; x += 7)
        runs.setPixel(x, 1, qRgb(0xC0, 0x3F, 0xFE));
    struct Case
    {
        const char* name;
        QImage image;
    };
    const Case cases[] = {
        {"one pixel", gradientPicture(1, 1)},
        {"odd width true colour", gradientPicture(63, 5)},
        {"even width true colour", gradientPicture(64, 4)},
        {"wide true colour", gradientPicture(301, 7)},
        {"long runs", runs},
        {"16-colour palette", palettePicture(17, 11, rainbow(16))},
        {"256-colour palette", palettePicture(255, 3, rainbow(256))},
        {"monochrome",
         palettePicture(19, 6, {qRgb(0, 0, 0), qRgb(255, 255, 255)}).convertToFormat(QImage::Format_Mono)},
        {"gray levels", gradientPicture(256, 2).convertToFormat(QImage::Format_Grayscale8)},
    };
    for (const Case& c : cases) {
        const QByteArray file = PcxCodec::write(c.image);
        ASSERT_TRUE(PcxCodec::looksLikePcx(file)) << c.name;
        const QImage back = PcxCodec::read(file);
        EXPECT_TRUE(samePixels(c.image, back)) << c.name;
    }
}

TEST(PcxCodec, WritesVersionFiveWithEvenLinesAndThePaletteAtTheEnd)
{
    const QByteArray trueColor = PcxCodec::write(gradientPicture(5, 2));
    const auto* header = reinterpret_cast<const uchar*>(trueColor.constData());
    EXPECT_EQ(header[0], 0x0A);
    EXPECT_EQ(header[1], 5);
    EXPECT_EQ(header[2], 1);
    EXPECT_EQ(header[3], 8);
    EXPECT_EQ(qFromLittleEndian<quint16>(header + 8), 4);
    EXPECT_EQ(qFromLittleEndian<quint16>(header + 10), 1);
    EXPECT_EQ(header[65], 3);
    EXPECT_EQ(qFromLittleEndian<quint16>(header + 66), 6);

    const QByteArray palette = PcxCodec::write(palettePicture(3, 3, rainbow(4)));
    EXPECT_EQ(static_cast<uchar>(palette[65]), 1);
    ASSERT_GT(palette.size(), 769 + 128);
    EXPECT_EQ(palette[palette.size() - 769], '\x0C');
    EXPECT_EQ(static_cast<uchar>(palette[palette.size() - 768]), qRed(rainbow(4)[0]));
}

TEST(PcxCodec, ReadsTheOlderKindsOfFile)
{
    const QList<QRgb> four = {qRgb(0, 0, 0), qRgb(0, 255, 255), qRgb(255, 0, 255), qRgb(255, 255, 255)};
    struct Case
    {
        const char* name;
        HandMadePcx file;
        QList<int> indices;
        QList<QRgb> colors;
    };
    // 16 colours in four bit planes: pixel x takes bit x of each plane as bit "plane" of its index.
    HandMadePcx planar{5, 1, 1, 4, 1, 4, 2, rainbow(16), raw({0xA0, 0, 0x60, 0, 0x10, 0, 0xC1, 0xF0, 0}), {}};
    HandMadePcx twoBit{5, 1, 2, 4, 1, 1, 2, four, raw({0x1B, 0}), {}};
    HandMadePcx fourBit{5, 1, 4, 3, 1, 1, 2, rainbow(16), raw({0x2F, 0x70}), {}};
    HandMadePcx uncompressed{5, 0, 8, 2, 1, 1, 2, {}, raw({0xC3, 0x01}), rainbow(256)};
    // A run that carries on from the end of the first line into the second.
    HandMadePcx runAcrossLines{5, 1, 8, 2, 2, 1, 2, {}, raw({0xC4, 0x07}), rainbow(256)};
    HandMadePcx grayWithoutPalette{3, 1, 8, 2, 1, 1, 2, {}, raw({0x10, 0xC1, 0xF0}), {}};
    HandMadePcx monoBlankPalette{5, 1, 1, 9, 1, 1, 2, {}, raw({0xC1, 0x81, 0x80}), {}};
    const Case cases[] = {
        {"16 colours in planes", planar, {9, 10, 11, 12}, rainbow(16)},
        {"4 colours, 2 bits", twoBit, {0, 1, 2, 3}, four},
        {"16 colours, 4 bits", fourBit, {2, 15, 7}, rainbow(16)},
        {"not run-length encoded", uncompressed, {0xC3, 0x01}, rainbow(256)},
        {"run across the line end", runAcrossLines, {7, 7, 7, 7}, rainbow(256)},
        {"gray without palette", grayWithoutPalette, {0x10, 0xF0}, {}},
        {"monochrome with blank palette",
         monoBlankPalette,
         {1, 0, 0, 0, 0, 0, 0, 1, 1},
         {qRgb(0, 0, 0), qRgb(255, 255, 255)}},
    };
    for (const Case& c : cases) {
        const QImage image = PcxCodec::read(c.file.bytes());
        ASSERT_FALSE(image.isNull()) << c.name;
        ASSERT_EQ(image.size(), QSize(c.file.width, c.file.height)) << c.name;
        EXPECT_EQ(indicesOf(image), c.indices) << c.name;
        for (int i = 0; i < c.colors.size(); ++i)
            EXPECT_EQ(image.color(i), c.colors[i]) << c.name << " colour " << i;
    }
    const QImage gray = PcxCodec::read(grayWithoutPalette.bytes());
    EXPECT_EQ(gray.pixel(1, 0), qRgb(0xF0, 0xF0, 0xF0));
}

TEST(PcxCodec, DataThatEndsEarlyLeavesTheRestBlank)
{
    HandMadePcx cut{5, 1, 8, 4, 3, 3, 4, {}, raw({0xC4, 0xFF, 0xC4, 0x80, 0xC4, 0x40, 0xC2, 0x11}), {}};
    const QImage image = PcxCodec::read(cut.bytes());
    ASSERT_EQ(image.size(), QSize(4, 3));
    EXPECT_EQ(image.pixel(0, 0), qRgb(0xFF, 0x80, 0x40));
    EXPECT_EQ(image.pixel(1, 1), qRgb(0x11, 0, 0)); // half a line of red, then nothing
    EXPECT_EQ(image.pixel(3, 2), qRgb(0, 0, 0));
}

TEST(PcxCodec, RefusesWhatIsNotAPictureItKnows)
{
    struct Case
    {
        const char* name;
        QByteArray bytes;
    };
    HandMadePcx twoPlanes8Bit{5, 1, 8, 2, 2, 2, 2, {}, raw({0, 0, 0, 0}), {}};
    HandMadePcx lineTooShort{5, 1, 8, 5, 1, 1, 4, {}, raw({0, 0, 0, 0}), {}};
    HandMadePcx noLines{5, 1, 8, 5, 0, 1, 6, {}, {}, {}};
    QByteArray wrongMaker = HandMadePcx{}.bytes();
    wrongMaker[0] = 0x0B;
    QByteArray threeBits = HandMadePcx{}.bytes();
    threeBits[3] = 3;
    const Case cases[] = {
        {"two planes of 8 bits", twoPlanes8Bit.bytes()},
        {"lines shorter than their pixels", lineTooShort.bytes()},
        {"no lines", noLines.bytes()},
        {"wrong manufacturer byte", wrongMaker},
        {"3 bits per pixel", threeBits},
        {"header cut short", HandMadePcx{}.bytes().left(100)},
        {"a PNG file", QByteArray("\x89PNG\r\n\x1a\n") + QByteArray(200, '\0')},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(PcxCodec::read(c.bytes).isNull()) << c.name;
    EXPECT_TRUE(PcxCodec::write(QImage()).isEmpty());
    EXPECT_TRUE(PcxCodec::write(QImage(65536, 1, QImage::Format_RGB32)).isEmpty());
}

TEST(PcxCodec, AgreesWithImageMagickBothWays)
{
    QTemporaryDir folder;
    const QString source = folder.filePath("source.png");
    struct Case
    {
        const char* name;
        QImage image;
        QStringList options; // how ImageMagick is asked to write its PCX
    };
    const Case cases[] = {
        {"true colour", gradientPicture(99, 41), {"-type", "TrueColor"}},
        {"palette", palettePicture(50, 20, rainbow(40)), {"-type", "Palette"}},
        {"monochrome", palettePicture(37, 9, {qRgb(0, 0, 0), qRgb(255, 255, 255)}), {"-type", "Bilevel"}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(c.image.convertToFormat(QImage::Format_RGB32).save(source)) << c.name;
        const QString theirs = folder.filePath("theirs.pcx");
        imageMagickConvert(QStringList{source} + c.options + QStringList{theirs});
        EXPECT_TRUE(samePixels(c.image, PcxCodec::read(readFile(theirs))))
            << c.name << ": reading ImageMagick's file";

        const QString ours = folder.filePath("ours.pcx");
        writeFile(ours, PcxCodec::write(c.image));
        const QString decoded = folder.filePath("decoded.png");
        imageMagickConvert({ours, decoded});
        EXPECT_TRUE(samePixels(c.image, QImage(decoded))) << c.name << ": ImageMagick reading ours";
    }
}
