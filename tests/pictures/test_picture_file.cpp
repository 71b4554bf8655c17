#include "pictures/PcxCodec.h"
#include "pictures/PictureFile.h"
#include "PictureTestSupport.h"

#include <gtest/gtest.h>
#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QTemporaryDir>

namespace PictureFile = pictures::PictureFile;
using Format = PictureFile::Format;
using namespace picturetests;

TEST(PictureFile, SavingFormatFollowsTheExtensionInCapitals)
{
    struct Case
    {
        const char* path;
        Format format;
    };
    const Case cases[] = {
        {"a.bmp", Format::Bmp},        {"A.BMP", Format::Bmp},        {"x.Gif", Format::Gif},
        {"x.jpg", Format::Jpeg},       {"X.JPG", Format::Jpeg},       {"x.jpeg", Format::None},
        {"x.png", Format::Png},        {"x.pcx", Format::Pcx},        {"x.PCX", Format::Pcx},
        {"x.tif", Format::None},       {"noextension", Format::None}, {"folder.jpg/picture", Format::None},
        {"two.dots.png", Format::Png},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PictureFile::formatForSaving(QString::fromLatin1(c.path)), c.format) << c.path;
}

TEST(PictureFile, EachFormatWrittenIsReadBack)
{
    QTemporaryDir folder;
    const QImage picture = gradientPicture(81, 47);
    for (const char* name : {"p.bmp", "p.png", "p.pcx", "p.gif", "p.jpg"}) {
        const QString path = folder.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(PictureFile::write(picture, path)) << name;
        const QImage back = PictureFile::read(path);
        ASSERT_EQ(back.size(), picture.size()) << name;
        const bool lossless = PictureFile::formatForSaving(path) == Format::Bmp ||
                              PictureFile::formatForSaving(path) == Format::Png ||
                              PictureFile::formatForSaving(path) == Format::Pcx;
        if (lossless)
            EXPECT_TRUE(samePixels(picture, back)) << name;
        else
            EXPECT_LE(meanChannelError(picture, back), 6.0) << name;
    }
}

TEST(PictureFile, JpegIsWrittenAtQualitySeventyFiveFromTrueColour)
{
    QTemporaryDir folder;
    const QImage picture = palettePicture(64, 64, {qRgb(250, 0, 0), qRgb(0, 0, 250), qRgb(0, 250, 0)});
    const QString path = folder.filePath("p.jpg");
    ASSERT_TRUE(PictureFile::write(picture, path));

    QByteArray expected;
    QBuffer buffer(&expected);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "JPEG");
    writer.setQuality(75);
    ASSERT_TRUE(writer.write(picture.convertToFormat(QImage::Format_RGB32)));
    EXPECT_EQ(readFile(path), expected);
    EXPECT_FALSE(PictureFile::read(path).isGrayscale());
}

TEST(PictureFile, UnknownExtensionsAndFailedWritesLeaveFilesAlone)
{
    QTemporaryDir folder;
    const QImage picture = gradientPicture(8, 8);
    const QString jpeg = folder.filePath("p.jpeg");
    writeFile(jpeg, "old content");
    EXPECT_FALSE(PictureFile::write(picture, jpeg));
    EXPECT_EQ(readFile(jpeg), "old content");

    EXPECT_FALSE(PictureFile::write(picture, folder.filePath("p.tif")));
    EXPECT_FALSE(QFile::exists(folder.filePath("p.tif")));

    const QString png = folder.filePath("p.png");
    writeFile(png, "old content");
    EXPECT_FALSE(PictureFile::write(QImage(), png));
    EXPECT_EQ(readFile(png), "old content");
    EXPECT_FALSE(PictureFile::write(picture, folder.filePath("missing/p.png")));
}

TEST(PictureFile, FormatIsRecognisedByContent)
{
    QTemporaryDir folder;
    const QImage picture = gradientPicture(20, 10);
    const QString pngNamedBmp = folder.filePath("really-png.bmp");
    ASSERT_TRUE(picture.save(pngNamedBmp, "PNG"));
    EXPECT_TRUE(samePixels(picture, PictureFile::read(pngNamedBmp)));

    const QString pcxNamedDat = folder.filePath("really-pcx.dat");
    writeFile(pcxNamedDat, pictures::PcxCodec::write(picture));
    EXPECT_TRUE(samePixels(picture, PictureFile::read(pcxNamedDat)));

    const QString garbage = folder.filePath("garbage.png");
    writeFile(garbage, "this is no picture");
    EXPECT_TRUE(PictureFile::read(garbage).isNull());
    EXPECT_TRUE(PictureFile::read(folder.filePath("missing.png")).isNull());
}

TEST(PictureFile, PreviewsFitTheirBounds)
{
    QTemporaryDir folder;
    const QImage picture = gradientPicture(400, 200);
    for (const char* name : {"p.jpg", "p.pcx", "p.png"}) {
        const QString path = folder.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(PictureFile::write(picture, path));
        EXPECT_EQ(PictureFile::readPreview(path, QSize(100, 100)).size(), QSize(100, 50)) << name;
        EXPECT_EQ(PictureFile::readPreview(path, QSize(1000, 1000)).size(), QSize(400, 200)) << name;
    }
}
