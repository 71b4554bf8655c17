#include "mainwindow/controls/TFormatedButton.h"

#include <gtest/gtest.h>
#include <QFontMetrics>

namespace {

// A record button of a known width with a fixed font, so that pixel positions can be worked out.
struct RecordButton : TFormatedButton
{
    explicit RecordButton(int width, int gap = 0)
    {
        QFont fixed(QStringLiteral("DejaVu Sans Mono"));
        fixed.setPixelSize(12);
        setFont(fixed);
        resize(width, 24);
        SetGap(gap);
    }
    int advance(const QString& text) const { return QFontMetrics(font()).horizontalAdvance(text); }
};

// The x range of the red pixels: the text, where a test paints it red.
std::pair<int, int> redInk(const QImage& image)
{
    int minX = image.width(), maxX = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 150 && c.green() < 100 && c.blue() < 100) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
            }
        }
    return {minX, maxX};
}

} // namespace

TEST(FormatedButton, ColumnsShareTheWidthByPercent)
{
    struct Case
    {
        const char* name;
        int width;
        int gap;
        QList<int> percents;
        QList<int> lefts;  // expected left of each column
        QList<int> rights; // expected right end of each column
    };
    const Case cases[] = {
        // total = 208 - 2 × 0 - 8 = 200: 50 % is 100 pixels; text starts 6 in.
        {"no gap", 208, 0, {50, 50}, {6, 106}, {106, 202}},
        // total = 218 - 2 × 5 - 8 = 200; the gap comes before every column but the first.
        {"gap of 5", 218, 5, {25, 75}, {6, 61}, {56, 211}},
        // The right end never passes 6 pixels before the button's right edge.
        {"capped", 108, 0, {80, 80}, {6, 86}, {86, 102}},
        // A column of 0 % or above 100 % has no width.
        {"no width", 208, 0, {0, 150, 40}, {6, 6, 6}, {6, 6, 86}},
    };
    for (const Case& c : cases) {
        RecordButton button(c.width, c.gap);
        for (int percent : c.percents)
            button.AddColumn(percent, QStringLiteral("x"));
        const auto placements = button.columnPlacements();
        ASSERT_EQ(placements.size(), c.percents.size()) << c.name;
        for (qsizetype i = 0; i < placements.size(); ++i) {
            EXPECT_EQ(placements[i].area.left(), c.lefts[i]) << c.name << " column " << i;
            EXPECT_EQ(placements[i].area.left() + placements[i].area.width(), c.rights[i])
                << c.name << " column " << i;
        }
    }
}

TEST(FormatedButton, PixelWidthsAreComputedOnFirstUseAndAfterResize)
{
    RecordButton button(208);
    button.AddColumn(50, QStringLiteral("a"));
    EXPECT_EQ(button.column(0).pixelWidth, -1);
    button.columnPlacements();
    EXPECT_EQ(button.column(0).pixelWidth, 100);
    button.resize(408, 24);
    button.columnPlacements();
    EXPECT_EQ(button.column(0).pixelWidth, 200);
}

TEST(FormatedButton, TextTooLongIsCutAtTheEndWithoutEllipsis)
{
    RecordButton button(108);
    const QString text = QStringLiteral("Great Britain and Northern Ireland");
    button.AddColumn(100, text);
    const auto placement = button.columnPlacements().constFirst();
    EXPECT_LT(placement.shown.size(), text.size());
    EXPECT_TRUE(text.startsWith(placement.shown)) << placement.shown.toStdString();
    EXPECT_FALSE(placement.shown.contains(QChar(0x2026)));
    EXPECT_LE(button.advance(placement.shown), placement.area.width());
    // One more character would not have fitted.
    EXPECT_GT(button.advance(text.left(placement.shown.size() + 1)), placement.area.width());
}

TEST(FormatedButton, RightAlignedColumnEndsWithASpaceAtItsRightEdge)
{
    RecordButton button(208);
    button.AddColumn(50, QStringLiteral("Name"));
    button.AddColumn(50, QStringLiteral("1,234.50"), true);
    const auto placements = button.columnPlacements();
    EXPECT_FALSE(placements[0].rightAlign);
    EXPECT_EQ(placements[0].shown, QStringLiteral("Name"));
    EXPECT_TRUE(placements[1].rightAlign);
    EXPECT_EQ(placements[1].shown, QStringLiteral("1,234.50 "));

    // Painted: the numeric column's ink ends one space before the column's right end.
    RecordButton numbers(208);
    numbers.setTextColor(Qt::red);
    numbers.AddColumn(50, QString());
    numbers.AddColumn(50, QStringLiteral("99"), true);
    const QImage face = numbers.grab().toImage();
    const auto [minX, maxX] = redInk(face);
    const int columnEnd = 202; // 106 + 96 capped at 208 - 6
    ASSERT_GE(maxX, 0) << "nothing painted";
    EXPECT_LE(maxX, columnEnd - numbers.advance(QStringLiteral(" ")));
    EXPECT_GE(maxX, columnEnd - numbers.advance(QStringLiteral(" ")) - 3);
    EXPECT_GE(minX, columnEnd - numbers.advance(QStringLiteral("99 ")) - 1);
}

TEST(FormatedButton, LeftAlignedColumnStartsAtItsLeft)
{
    RecordButton button(208);
    button.setTextColor(Qt::red);
    button.AddColumn(50, QString());
    button.AddColumn(50, QStringLiteral("W"));
    const auto [minX, maxX] = redInk(button.grab().toImage());
    ASSERT_GE(maxX, 0);
    EXPECT_GE(minX, 106);
    EXPECT_LE(minX, 108);
}

TEST(FormatedButton, SunkenButtonMovesItsTextOnePixel)
{
    RecordButton flat(208);
    RecordButton sunken(208);
    for (RecordButton* button : {&flat, &sunken}) {
        button->setTextColor(Qt::red);
        button->setSelTextColor(Qt::red);
        button->AddColumn(100, QStringLiteral("W"));
    }
    sunken.setStayDown(true);
    sunken.setSelected(true);
    EXPECT_EQ(redInk(sunken.grab().toImage()).first, redInk(flat.grab().toImage()).first + 1);
}

TEST(FormatedButton, TextIsCentredVerticallyNoHigherThanTwo)
{
    RecordButton button(208);
    button.AddColumn(100, QStringLiteral("x"));
    const int textHeight = QFontMetrics(button.font()).height();
    EXPECT_EQ(button.columnPlacements()[0].area.top(), qMax(2, (24 - textHeight) / 2));
    button.resize(208, 10);
    const auto low = button.columnPlacements()[0];
    EXPECT_EQ(low.area.height(), 10 - 6) << "text height at most button height - 6";
    EXPECT_EQ(low.area.top(), 3);
}

TEST(FormatedButton, ColumnSetters)
{
    RecordButton button(208);
    button.AddColumn(40, QString(200, QLatin1Char('z')));
    EXPECT_EQ(button.column(0).text.size(), TLabelCol::maxTextLength);
    button.AddColumn(60, QStringLiteral("b"));
    button.SetColumnText(0, QStringLiteral("first"));
    button.SetColumnRightAlign(1, true);
    button.SetColumnText(5, QStringLiteral("ignored"));
    button.SetColumnRightAlign(-1, true);
    EXPECT_EQ(button.column(0).text, QStringLiteral("first"));
    EXPECT_TRUE(button.column(1).rightAlign);
    button.ClearColumnTexts();
    EXPECT_EQ(button.columnCount(), 2);
    EXPECT_TRUE(button.column(0).text.isEmpty());
    EXPECT_TRUE(button.column(1).text.isEmpty());
    button.RemoveAllColumns();
    EXPECT_EQ(button.columnCount(), 0);
    EXPECT_TRUE(button.columnPlacements().isEmpty());
}

TEST(FormatedButton, DefaultGapIsFour)
{
    TFormatedButton button;
    EXPECT_EQ(button.gap(), 4);
}
