#include "mainwindow/controls/TSplitControl.h"

#include <gtest/gtest.h>
#include <QTest>

namespace {

const QColor silver(192, 192, 192);

// A window with a pane on the right, resized through a grip at its left edge.
struct SplitWindow : ::testing::Test
{
    QWidget window;
    QWidget* pane = new QWidget(&window);
    QWidget* grip = new QWidget(&window);
    TSplitControl split{&window};

    SplitWindow()
    {
        window.resize(600, 400);
        window.setAutoFillBackground(true);
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, silver);
        window.setPalette(palette);
        pane->setGeometry(300, 20, 300, 360);
        grip->setGeometry(296, 380, 8, 20); // higher than wide: a vertical line
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
};

} // namespace

TEST_F(SplitWindow, DragResizesThePaneByTheLinesOffset)
{
    EXPECT_FALSE(split.IsDragging());
    split.Start(grip, pane);
    EXPECT_TRUE(split.IsDragging());
    EXPECT_FALSE(split.isHorizontal());
    EXPECT_EQ(split.linePosition(), 299) << "starts at the grip";

    split.Move(-146, 5); // the pointer in the grip's coordinates
    EXPECT_EQ(split.linePosition(), 150);
    // As wide as the grip, from 2 below the pane's top to 4 above its bottom.
    EXPECT_EQ(split.lineRect(), QRect(QPoint(146, 22), QPoint(153, 375)));

    EXPECT_EQ(split.Stop(), -150);
    EXPECT_FALSE(split.IsDragging());
    EXPECT_EQ(pane->width(), 450) << "a negative offset widens the pane";

    split.Start(grip, pane);
    split.Move(54, 0);
    EXPECT_EQ(split.Stop(), 50);
    EXPECT_EQ(pane->width(), 400);
    EXPECT_EQ(split.Stop(), 0) << "no drag, nothing to stop";
}

TEST_F(SplitWindow, MovesWithoutStartAreIgnored)
{
    split.Move(-100, 0);
    EXPECT_FALSE(split.IsDragging());
    EXPECT_EQ(pane->width(), 300);
}

TEST_F(SplitWindow, AWideGripDrawsAHorizontalLine)
{
    QWidget* lower = new QWidget(&window);
    lower->setGeometry(0, 200, 600, 200);
    QWidget* bar = new QWidget(&window);
    bar->setGeometry(250, 196, 100, 6);
    bar->show();
    lower->show();
    split.Start(bar, lower);
    EXPECT_TRUE(split.isHorizontal());
    split.Move(10, -46);
    EXPECT_EQ(split.linePosition(), 150);
    EXPECT_EQ(split.lineRect(), QRect(QPoint(2, 147), QPoint(595, 152)));
    EXPECT_EQ(split.Stop(), -50);
    EXPECT_EQ(lower->height(), 250);
}

TEST_F(SplitWindow, TheLineInvertsWhatLiesBeneathAndLeavesNoTrace)
{
    split.Start(grip, pane);
    split.Move(-146, 5);
    QImage shot = window.grab().toImage();
    EXPECT_EQ(shot.pixelColor(150, 200), QColor(255 - 192, 255 - 192, 255 - 192));
    EXPECT_EQ(shot.pixelColor(146, 22), QColor(63, 63, 63));
    EXPECT_EQ(shot.pixelColor(145, 200), silver);
    EXPECT_EQ(shot.pixelColor(154, 200), silver);
    EXPECT_EQ(shot.pixelColor(150, 21), silver) << "the line starts 2 pixels below the pane's top";

    split.Move(-96, 5);
    shot = window.grab().toImage();
    EXPECT_EQ(shot.pixelColor(150, 200), silver) << "the old line is gone";
    EXPECT_EQ(shot.pixelColor(200, 200), QColor(63, 63, 63));

    split.Stop();
    shot = window.grab().toImage();
    EXPECT_EQ(shot.pixelColor(200, 200), silver);
}
