#pragma once

#include <gtest/gtest.h>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>

// Pictures and checks the picture tests share.
namespace picturetests {

// Bytes written out as numbers.
inline QByteArray raw(std::initializer_list<int> values)
{
    QByteArray result;
    for (int value : values)
        result.append(static_cast<char>(value));
    return result;
}

// A true-colour picture with thousands of colours: gradients in two directions and a diagonal band.
inline QImage gradientPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] =
                qRgb(x * 255 / std::max(1, width - 1), y * 255 / std::max(1, height - 1), ((x + y) % 32) * 8);
    }
    return image;
}

// A palette picture: stripes of the given colours, with a few single pixels out of line.
inline QImage palettePicture(int width, int height, const QList<QRgb>& colors)
{
    QImage image(width, height, QImage::Format_Indexed8);
    image.setColorTable(colors);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, static_cast<uint>(((x / 3 + y) * 7 + (x * y) % 5) % colors.size()));
    return image;
}

// Whether two pictures show the same colours, pixel by pixel, whatever their formats.
inline ::testing::AssertionResult samePixels(const QImage& expected, const QImage& actual)
{
    if (expected.size() != actual.size())
        return ::testing::AssertionFailure() << "size " << actual.width() << "x" << actual.height()
                                             << ", expected " << expected.width() << "x" << expected.height();
    const QImage a = expected.convertToFormat(QImage::Format_RGB32);
    const QImage b = actual.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) | 0xFF000000) != (b.pixel(x, y) | 0xFF000000))
                return ::testing::AssertionFailure() << "pixel (" << x << "," << y << ") is " << std::hex
                                                     << b.pixel(x, y) << ", expected " << a.pixel(x, y);
    return ::testing::AssertionSuccess();
}

// Calls compare(expected pixel, actual pixel) for every pixel of two pictures of the same size.
template <typename Compare>
void forEachPixelPair(const QImage& expected, const QImage& actual, Compare compare)
{
    const QImage a = expected.convertToFormat(QImage::Format_RGB32);
    const QImage b = actual.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            compare(a.pixel(x, y), b.pixel(x, y));
}

// The largest difference of one channel between two pictures of the same size.
inline int largestChannelError(const QImage& expected, const QImage& actual)
{
    int largest = 0;
    forEachPixelPair(expected, actual, [&](QRgb p, QRgb q) {
        largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                            std::abs(qBlue(p) - qBlue(q))});
    });
    return largest;
}

// The mean difference of a channel between two pictures of the same size, over all channels of all pixels.
inline double meanChannelError(const QImage& expected, const QImage& actual)
{
    double total = 0;
    forEachPixelPair(expected, actual, [&](QRgb p, QRgb q) {
        total +=
            std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
    });
    return total / (3.0 * expected.width() * expected.height());
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

// Runs ImageMagick's converter, the independent reader and writer the codecs are checked against.
inline void imageMagickConvert(const QStringList& arguments)
{
    QProcess convert;
    convert.start(QStringLiteral("convert"), arguments);
    ASSERT_TRUE(convert.waitForFinished(60000))
        << "ImageMagick's convert did not run (is imagemagick installed?)";
    ASSERT_EQ(convert.exitCode(), 0) << convert.readAllStandardError().toStdString();
}

} // namespace picturetests
