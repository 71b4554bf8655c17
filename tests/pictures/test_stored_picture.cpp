#include "pictures/StoredPicture.h"
#include "PictureTestSupport.h"

#include <gtest/gtest.h>

using pictures::StoredPicture;
using namespace picturetests;

namespace {} // namespace

TEST(StoredPicture, HeaderIsRecognisedOnlyWhenItMatchesExactly)
{
    const QByteArray body = "BMxyz";
    struct Case
    {
        const char* name;
        QByteArray value;
        bool header;
    };
    const Case cases[] = {
        {"exact header", raw({1, 0, 0, 1, 5, 0, 0, 0}) + body, true},
        {"length one too large", raw({1, 0, 0, 1, 6, 0, 0, 0}) + body, false},
        {"length one too small", raw({1, 0, 0, 1, 4, 0, 0, 0}) + body, false},
        {"first word 2", raw({2, 0, 0, 1, 5, 0, 0, 0}) + body, false},
        {"second word 255", raw({1, 0, 255, 0, 5, 0, 0, 0}) + body, false},
        {"header with nothing after it", raw({1, 0, 0, 1, 0, 0, 0, 0}), true},
        {"seven bytes", raw({1, 0, 0, 1, 0, 0, 0}), false},
        {"plain BMP", body, false},
        {"empty", QByteArray(), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StoredPicture::hasHeader(c.value), c.header) << c.name;
        EXPECT_EQ(StoredPicture::bitmapBytes(c.value), c.header ? c.value.mid(8) : c.value) << c.name;
    }
}

TEST(StoredPicture, HeaderCarriesOneTwoHundredFiftySixAndTheLength)
{
    const QByteArray bitmap(300, 'x');
    const QByteArray stored = StoredPicture::withHeader(bitmap);
    EXPECT_EQ(stored.left(8), raw({1, 0, 0, 1, 0x2C, 0x01, 0, 0}));
    EXPECT_EQ(stored.mid(8), bitmap);
    EXPECT_TRUE(StoredPicture::hasHeader(stored));
}

TEST(StoredPicture, EncodesBmpFileImagesThatDecodeToTheSamePixels)
{
    const QImage mono =
        palettePicture(33, 17, {qRgb(0, 0, 0), qRgb(255, 255, 255)}).convertToFormat(QImage::Format_Mono);
    struct Case
    {
        const char* name;
        QImage image;
    };
    const Case cases[] = {
        {"true colour", gradientPicture(37, 21)},
        {"palette", palettePicture(31, 9, {qRgb(200, 10, 10), qRgb(10, 200, 10), qRgb(10, 10, 200)})},
        {"monochrome", mono},
    };
    for (const Case& c : cases) {
        for (bool header : {false, true}) {
            const QByteArray stored = StoredPicture::encode(c.image, header);
            EXPECT_EQ(StoredPicture::hasHeader(stored), header) << c.name;
            EXPECT_TRUE(StoredPicture::bitmapBytes(stored).startsWith("BM")) << c.name;
            EXPECT_TRUE(samePixels(c.image, StoredPicture::decode(stored))) << c.name;
        }
    }
}

TEST(StoredPicture, HeldPicturesAreOpaqueBitmaps)
{
    QImage translucent(4, 2, QImage::Format_ARGB32);
    translucent.fill(qRgba(0, 0, 0, 0));
    translucent.setPixel(1, 1, qRgba(255, 0, 0, 255));
    const QImage flat = StoredPicture::asBitmap(translucent);
    EXPECT_EQ(flat.format(), QImage::Format_RGB32);
    EXPECT_EQ(flat.pixel(0, 0), qRgb(255, 255, 255)); // transparent shows the paper
    EXPECT_EQ(flat.pixel(1, 1), qRgb(255, 0, 0));

    QImage gray(3, 1, QImage::Format_Grayscale8);
    gray.scanLine(0)[0] = 0;
    gray.scanLine(0)[1] = 128;
    gray.scanLine(0)[2] = 255;
    const QImage indexed = StoredPicture::asBitmap(gray);
    EXPECT_EQ(indexed.format(), QImage::Format_Indexed8);
    EXPECT_TRUE(samePixels(gray, indexed));

    const QImage rgb = gradientPicture(5, 5);
    EXPECT_EQ(StoredPicture::asBitmap(rgb), rgb);
    EXPECT_TRUE(StoredPicture::asBitmap(QImage()).isNull());
}

TEST(StoredPicture, EmptyOrUnreadableValuesDecodeToNoPicture)
{
    EXPECT_TRUE(StoredPicture::decode({}).isNull());
    EXPECT_TRUE(StoredPicture::decode("not a bitmap at all").isNull());
    EXPECT_TRUE(StoredPicture::decode(StoredPicture::withHeader("BM")).isNull());
    EXPECT_TRUE(StoredPicture::encode(QImage(), false).isEmpty());
}
