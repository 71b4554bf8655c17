#include "pictures/SaneScanner.h"
#include "pictures/ScanImageBuilder.h"
#include "PictureTestSupport.h"
#include "SaneTestConfig.h"

#include <cstring>
#include <gtest/gtest.h>
#include <QTemporaryDir>

using pictures::SaneScanner;
using pictures::ScanImageBuilder;
using Kind = ScanImageBuilder::Kind;
using namespace picturetests;

namespace {

QByteArray samples16(std::initializer_list<quint16> values)
{
    QByteArray result;
    for (quint16 value : values) {
        char bytes[2];
        std::memcpy(bytes, &value, 2); // the machine's own byte order, as SANE sends them
        result.append(bytes, 2);
    }
    return result;
}

struct FrameData
{
    ScanImageBuilder::Frame frame;
    QByteArray data;
};

QImage build(const QList<FrameData>& frames)
{
    ScanImageBuilder builder;
    for (const FrameData& frame : frames) {
        if (!builder.beginFrame(frame.frame))
            return {};
        builder.append(frame.data.constData(), frame.data.size());
    }
    return builder.image();
}

QList<QRgb> pixels(const QImage& image)
{
    QList<QRgb> result;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            result.append(rgb.pixel(x, y));
    return result;
}

QRgb gray(int level)
{
    return qRgb(level, level, level);
}

// The same scan through SANE's own command-line frontend, as a PNM picture.
QImage scanimage(const QStringList& options)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("scan.pnm");
    QProcess process;
    process.start(QStringLiteral("scanimage"),
                  QStringList{"-d", "test:0", "--format=pnm", "-o", path} + options);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        ADD_FAILURE() << "scanimage failed: " << process.readAllStandardError().toStdString();
        return {};
    }
    return QImage(path);
}

} // namespace

TEST(ScanImageBuilder, AssemblesEveryFrameKind)
{
    struct Case
    {
        const char* name;
        QList<FrameData> frames;
        QSize size;
        QList<QRgb> expected;
    };
    const Case cases[] = {
        {"gray, 8 bits",
         {{{Kind::Gray, 3, 3, 1, 8}, raw({0, 128, 255})}},
         {3, 1},
         {gray(0), gray(128), gray(255)}},
        {"gray, 16 bits",
         {{{Kind::Gray, 4, 2, 1, 16}, samples16({0x1234, 0xFFFF})}},
         {2, 1},
         {gray(0x12), gray(0xFF)}},
        {"gray, 1 bit: 1 is black",
         {{{Kind::Gray, 1, 3, 2, 1}, raw({0xA0, 0x40})}},
         {3, 2},
         {gray(0), gray(255), gray(0), gray(255), gray(0), gray(255)}},
        {"RGB, 8 bits",
         {{{Kind::Rgb, 6, 2, 1, 8}, raw({255, 0, 0, 1, 2, 3})}},
         {2, 1},
         {qRgb(255, 0, 0), qRgb(1, 2, 3)}},
        {"RGB, 16 bits",
         {{{Kind::Rgb, 6, 1, 1, 16}, samples16({0xFFFF, 0x8080, 0x0101})}},
         {1, 1},
         {qRgb(0xFF, 0x80, 0x01)}},
        {"RGB, 1 bit",
         {{{Kind::Rgb, 1, 2, 1, 1}, raw({0xB0})}},
         {2, 1},
         {qRgb(255, 0, 255), qRgb(255, 0, 0)}},
        {"three passes",
         {{{Kind::Red, 2, 2, 1, 8}, raw({10, 20})},
          {{Kind::Green, 2, 2, 1, 8}, raw({30, 40})},
          {{Kind::Blue, 2, 2, 1, 8}, raw({50, 60})}},
         {2, 1},
         {qRgb(10, 30, 50), qRgb(20, 40, 60)}},
        {"three passes, blue first",
         {{{Kind::Blue, 1, 1, 1, 8}, raw({3})},
          {{Kind::Red, 1, 1, 1, 8}, raw({1})},
          {{Kind::Green, 1, 1, 1, 8}, raw({2})}},
         {1, 1},
         {qRgb(1, 2, 3)}},
        {"lines padded at the end",
         {{{Kind::Gray, 4, 2, 2, 8}, raw({1, 2, 99, 99, 3, 4, 99, 99})}},
         {2, 2},
         {gray(1), gray(2), gray(3), gray(4)}},
        {"hand scanner: as high as its data",
         {{{Kind::Gray, 2, 2, -1, 8}, raw({1, 2, 3, 4, 5, 6, 7})}},
         {2, 3},
         {gray(1), gray(2), gray(3), gray(4), gray(5), gray(6)}},
        {"lines never sent stay white",
         {{{Kind::Gray, 1, 1, 3, 8}, raw({7})}},
         {1, 3},
         {gray(7), gray(255), gray(255)}},
    };
    for (const Case& c : cases) {
        const QImage image = build(c.frames);
        ASSERT_EQ(image.size(), c.size) << c.name;
        EXPECT_EQ(pixels(image), c.expected) << c.name;
    }
}

TEST(ScanImageBuilder, RefusesFramesItCannotPutTogether)
{
    ScanImageBuilder builder;
    EXPECT_FALSE(builder.beginFrame({Kind::Gray, 4, 4, 1, 4})); // 4-bit samples
    EXPECT_FALSE(builder.beginFrame({Kind::Rgb, 5, 2, 1, 8}));  // lines too short
    EXPECT_FALSE(builder.beginFrame({Kind::Gray, 4, 0, 1, 8})); // no pixels
    EXPECT_FALSE(builder.beginFrame({Kind::Gray, 4, 4, 0, 8})); // no lines
    EXPECT_TRUE(builder.image().isNull());
    ASSERT_TRUE(builder.beginFrame({Kind::Red, 4, 4, 1, 8}));
    EXPECT_FALSE(builder.beginFrame({Kind::Green, 8, 8, 1, 8})); // another width
    EXPECT_FALSE(builder.beginFrame({Kind::Gray, 4, 4, 1, 8}));  // not a colour band

    ScanImageBuilder rgb;
    ASSERT_TRUE(rgb.beginFrame({Kind::Rgb, 3, 1, 1, 8}));
    EXPECT_FALSE(rgb.beginFrame({Kind::Blue, 1, 1, 1, 8}));
}

TEST(SaneScanner, FindsTheTestBackendsDevices)
{
    SaneScanner& scanner = SaneScanner::shared();
    ASSERT_TRUE(scanner.isAvailable());
    QStringList names;
    for (const SaneScanner::Device& device : scanner.devices())
        names.append(device.name);
    EXPECT_TRUE(names.contains("test:0")) << names.join(", ").toStdString();
    EXPECT_TRUE(names.contains("test:1"));
}

TEST(SaneScanner, ScansWhatScanimageScans)
{
    // scanimage writes the pixels a backend wastes at the end of each line into its file as if they were
    // pixels, so that scan is compared with scanimage's full-width scan, cut; 16-bit samples may differ
    // by one level, since Qt's reader truncates where the scanner interface rounds.
    struct Case
    {
        const char* name;
        QList<QPair<QString, QVariant>> options;
        QStringList scanimageOptions;
        int lostPixels = 0;
        int tolerance = 0;
    };
    const QList<QPair<QString, QVariant>> pattern = {{"resolution", 25}, {"test-picture", "Color pattern"}};
    const QStringList patternArguments = {"--resolution", "25", "--test-picture", "Color pattern"};
    const Case cases[] = {
        {"colour, chosen by the scanner itself", pattern, QStringList{"--mode", "Color"} + patternArguments},
        {"gray", QList<QPair<QString, QVariant>>{{"mode", "Gray"}} + pattern,
         QStringList{"--mode", "Gray"} + patternArguments},
        {"gray, 16 bits", QList<QPair<QString, QVariant>>{{"mode", "Gray"}, {"depth", 16}} + pattern,
         QStringList{"--mode", "Gray", "--depth", "16"} + patternArguments, 0, 1},
        {"line art", QList<QPair<QString, QVariant>>{{"mode", "Gray"}, {"depth", 1}} + pattern,
         QStringList{"--mode", "Gray", "--depth", "1"} + patternArguments},
        {"colour, 16 bits", QList<QPair<QString, QVariant>>{{"mode", "Color"}, {"depth", 16}} + pattern,
         QStringList{"--mode", "Color", "--depth", "16"} + patternArguments, 0, 1},
        {"three passes",
         QList<QPair<QString, QVariant>>{
             {"mode", "Color"}, {"three-pass", true}, {"three-pass-order", "GBR"}} +
             pattern,
         QStringList{"--mode", "Color", "--three-pass=yes", "--three-pass-order", "GBR"} + patternArguments},
        {"hand scanner", QList<QPair<QString, QVariant>>{{"mode", "Color"}, {"hand-scanner", true}} + pattern,
         QStringList{"--mode", "Color", "--hand-scanner=yes"} + patternArguments},
        {"pixels lost at the line ends",
         QList<QPair<QString, QVariant>>{{"mode", "Color"}, {"ppl-loss", 7}} + pattern,
         QStringList{"--mode", "Color"} + patternArguments, 7},
        {"small reads",
         QList<QPair<QString, QVariant>>{{"mode", "Color"}, {"read-limit", true}, {"read-limit-size", 100}} +
             pattern,
         QStringList{"--mode", "Color", "--read-limit=yes", "--read-limit-size", "100"} + patternArguments},
    };
    // The backend keeps its option values for as long as the library is initialised, so every case sets
    // again what another case may have changed.
    const QList<QPair<QString, QVariant>> neutral = {{"depth", 8},
                                                     {"three-pass", false},
                                                     {"hand-scanner", false},
                                                     {"ppl-loss", 0},
                                                     {"read-limit", false},
                                                     {"read-return-value", "Default"},
                                                     {"resolution", 25},
                                                     {"test-picture", "Color pattern"}};
    for (const Case& c : cases) {
        SaneScanner scanner;
        scanner.selectDevice("test:0");
        QStringList given;
        for (const auto& [name, value] : c.options) {
            scanner.setOption(name, value);
            given.append(name);
        }
        for (const auto& [name, value] : neutral)
            if (!given.contains(name))
                scanner.setOption(name, value);
        const SaneScanner::Result result = scanner.acquire();
        ASSERT_TRUE(result.error.isEmpty()) << c.name << ": " << result.error.toStdString();
        ASSERT_FALSE(result.image.isNull()) << c.name;
        QImage expected = scanimage(c.scanimageOptions);
        expected = expected.copy(0, 0, expected.width() - c.lostPixels, expected.height());
        ASSERT_EQ(result.image.size(), expected.size()) << c.name;
        EXPECT_LE(largestChannelError(expected, result.image), c.tolerance) << c.name;
    }
}

TEST(SaneScanner, ReportsTheBackendsErrors)
{
    SaneScanner scanner;
    scanner.selectDevice("test:0");
    scanner.setOption("read-limit", false);
    scanner.setOption("resolution", 25);
    scanner.setOption("read-return-value", "SANE_STATUS_IO_ERROR");
    const SaneScanner::Result failed = scanner.acquire();
    EXPECT_TRUE(failed.image.isNull());
    EXPECT_FALSE(failed.error.isEmpty());
    EXPECT_FALSE(failed.cancelled);

    scanner.setOption("read-return-value", "SANE_STATUS_CANCELLED");
    const SaneScanner::Result cancelled = scanner.acquire();
    EXPECT_TRUE(cancelled.image.isNull());
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_TRUE(cancelled.error.isEmpty());

    SaneScanner nowhere;
    nowhere.selectDevice("test:9");
    EXPECT_FALSE(nowhere.acquire().error.isEmpty());
}

TEST(SaneScanner, WithoutTheLibraryNothingIsAvailable)
{
    SaneScanner missing(QStringLiteral("no-such-scanner-library"));
    EXPECT_FALSE(missing.isAvailable());
    EXPECT_TRUE(missing.devices().isEmpty());
    const SaneScanner::Result result = missing.acquire();
    EXPECT_TRUE(result.image.isNull());
    EXPECT_FALSE(result.error.isEmpty());
}
