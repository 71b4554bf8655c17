#include "mainwindow/controls/TColorButton.h"

#include <gtest/gtest.h>
#include <QSignalSpy>
#include <QTest>

namespace {

const QColor silver(192, 192, 192);
const QColor grey(128, 128, 128);

// A parent window with buttons in it, shown and active so that focus behaves as on a desktop.
struct ButtonRow
{
    QWidget window;
    TColorButton* first = new TColorButton(&window);
    TColorButton* second = new TColorButton(&window);

    ButtonRow()
    {
        window.resize(200, 60);
        first->setGeometry(0, 0, 80, 30);
        second->setGeometry(100, 0, 80, 30);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
};

} // namespace

TEST(ColorButton, DefaultsAreBlackOnSilver)
{
    TColorButton button;
    EXPECT_EQ(button.TextColor(), QColor(Qt::black));
    EXPECT_EQ(button.BgndColor(), silver);
    EXPECT_EQ(button.SelTextColor(), QColor(Qt::black));
    EXPECT_EQ(button.SelBgndColor(), silver);
    EXPECT_FALSE(button.StayDown());
    EXPECT_FALSE(button.Selected());
    EXPECT_FALSE(button.IsDefault());
    EXPECT_TRUE(button.Caption().isEmpty());
}

TEST(ColorButton, RaisedFaceHasBlackBorderWhiteTopLeftGreyBottomRight)
{
    TColorButton button;
    button.setBgndColor(Qt::yellow);
    button.resize(40, 30);
    const QImage face = button.grab().toImage();
    EXPECT_EQ(face.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(face.pixelColor(1, 15), QColor(Qt::black));
    EXPECT_EQ(face.pixelColor(39, 29), QColor(Qt::black));
    EXPECT_EQ(face.pixelColor(2, 15), QColor(Qt::white)); // left bevel
    EXPECT_EQ(face.pixelColor(20, 3), QColor(Qt::white)); // top bevel
    EXPECT_EQ(face.pixelColor(37, 15), grey);             // right bevel
    EXPECT_EQ(face.pixelColor(20, 26), grey);             // bottom bevel
    EXPECT_EQ(face.pixelColor(2, 27), QColor(Qt::white)); // bottom-left corner pixel
    EXPECT_EQ(face.pixelColor(37, 2), QColor(Qt::white)); // top-right corner pixel
    EXPECT_EQ(face.pixelColor(6, 6), QColor(Qt::yellow));
}

TEST(ColorButton, SelectedWithStayDownIsSunkenInSelectedColours)
{
    TColorButton button;
    button.setBgndColor(Qt::yellow);
    button.setSelBgndColor(Qt::cyan);
    button.setStayDown(true);
    button.setSelected(true);
    button.resize(40, 30);
    ASSERT_TRUE(button.isSunken());
    const QImage face = button.grab().toImage();
    EXPECT_EQ(face.pixelColor(2, 15), QColor(Qt::black)); // one-pixel sunken line at the left
    EXPECT_EQ(face.pixelColor(20, 2), QColor(Qt::black)); // and at the top
    EXPECT_EQ(face.pixelColor(3, 15), QColor(Qt::cyan));
    EXPECT_EQ(face.pixelColor(37, 15), QColor(Qt::cyan)); // no grey bevel when sunken
}

TEST(ColorButton, SelectedWithoutStayDownKeepsNormalLook)
{
    TColorButton button;
    button.setSelBgndColor(Qt::cyan);
    button.setSelected(true);
    EXPECT_FALSE(button.isSunken());
    EXPECT_EQ(button.effectiveBackground(), silver);
}

TEST(ColorButton, DisabledIsSilverWithGreyText)
{
    TColorButton button;
    button.setBgndColor(Qt::yellow);
    button.setTextColor(Qt::blue);
    button.setStayDown(true);
    button.setSelected(true);
    button.setEnabled(false);
    EXPECT_EQ(button.effectiveBackground(), silver);
    EXPECT_EQ(button.effectiveTextColor(), grey);
    EXPECT_FALSE(button.isSunken());
}

TEST(ColorButton, CaptionIsCentredInTextColour)
{
    TColorButton button;
    button.setCaption(QStringLiteral("M"));
    button.setTextColor(Qt::red);
    button.resize(60, 30);
    const QImage face = button.grab().toImage();
    int minX = 60, maxX = -1;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x)
            if (face.pixelColor(x, y).red() > 200 && face.pixelColor(x, y).green() < 80) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
            }
    ASSERT_GE(maxX, 0) << "caption not painted";
    EXPECT_NEAR((minX + maxX) / 2.0, 30.0, 3.0);
}

TEST(ColorButton, SelectingOneUnselectsItsSiblingOnly)
{
    QWidget parent;
    QWidget otherParent;
    auto* a = new TColorButton(&parent);
    auto* b = new TColorButton(&parent);
    auto* elsewhere = new TColorButton(&otherParent);
    elsewhere->setSelected(true);
    a->setSelected(true);
    EXPECT_TRUE(a->Selected());
    b->setSelected(true);
    EXPECT_FALSE(a->Selected());
    EXPECT_TRUE(b->Selected());
    EXPECT_TRUE(elsewhere->Selected());
}

TEST(ColorButton, ClickWithStayDownSelectsThenSignals)
{
    ButtonRow row;
    row.first->setStayDown(true);
    row.second->setStayDown(true);
    bool selectedWhenSignalled = false;
    QObject::connect(row.second, &TColorButton::clicked,
                     [&] { selectedWhenSignalled = row.second->Selected(); });
    QTest::mouseClick(row.first, Qt::LeftButton);
    EXPECT_TRUE(row.first->Selected());
    QTest::mouseClick(row.second, Qt::LeftButton);
    EXPECT_TRUE(selectedWhenSignalled);
    EXPECT_FALSE(row.first->Selected());
}

TEST(ColorButton, ClickWithoutStayDownLeavesItUnselected)
{
    ButtonRow row;
    QSignalSpy clicks(row.first, &TColorButton::clicked);
    QTest::mouseClick(row.first, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(row.first->Selected());
}

TEST(ColorButton, MouseInput)
{
    ButtonRow row;
    QSignalSpy clicks(row.first, &TColorButton::clicked);

    QTest::mousePress(row.first, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(row.first->isPressed());
    EXPECT_TRUE(row.first->hasFocus()) << "a press takes the focus";
    QTest::mouseMove(row.first, QPoint(150, 10));
    EXPECT_FALSE(row.first->isPressed()) << "outside the button the pressed look goes";
    QTest::mouseMove(row.first, QPoint(20, 10));
    EXPECT_TRUE(row.first->isPressed()) << "and comes back inside";
    QTest::mouseRelease(row.first, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_FALSE(row.first->isPressed());
    EXPECT_EQ(clicks.count(), 1);

    QTest::mousePress(row.first, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(row.first, QPoint(150, 10));
    QTest::mouseRelease(row.first, Qt::LeftButton, {}, QPoint(150, 10));
    EXPECT_EQ(clicks.count(), 1) << "a release outside is no click";

    QTest::mouseClick(row.first, Qt::RightButton);
    EXPECT_EQ(clicks.count(), 1) << "only the left button clicks";
}

TEST(ColorButton, NoTabStopDoesNotTakeFocus)
{
    ButtonRow row;
    row.second->setFocus();
    row.first->setFocusPolicy(Qt::NoFocus);
    QTest::mouseClick(row.first, Qt::LeftButton);
    EXPECT_TRUE(row.second->hasFocus());
}

TEST(ColorButton, SpaceShowsPressedThenClicksOnRelease)
{
    ButtonRow row;
    row.first->setFocus();
    QSignalSpy clicks(row.first, &TColorButton::clicked);
    QTest::keyPress(row.first, Qt::Key_Space);
    EXPECT_TRUE(row.first->isPressed());
    EXPECT_EQ(clicks.count(), 0);
    QTest::keyRelease(row.first, Qt::Key_Space);
    EXPECT_FALSE(row.first->isPressed());
    EXPECT_EQ(clicks.count(), 1);
}

TEST(ColorButton, EnterClicksOnlyTheDefaultButtonAndIsSwallowed)
{
    struct Case
    {
        bool isDefault;
        int clicks;
    };
    for (const Case& c : {Case{true, 1}, Case{false, 0}}) {
        ButtonRow row;
        row.first->setIsDefault(c.isDefault);
        row.first->setFocus();
        QSignalSpy clicks(row.first, &TColorButton::clicked);
        // The parent would see an unswallowed key.
        struct KeyCatcher : QObject
        {
            int keys = 0;
            bool eventFilter(QObject*, QEvent* event) override
            {
                if (event->type() == QEvent::KeyPress)
                    ++keys;
                return false;
            }
        } catcher;
        row.window.installEventFilter(&catcher);
        QTest::keyClick(row.first, Qt::Key_Return);
        EXPECT_EQ(clicks.count(), c.clicks) << "IsDefault " << c.isDefault;
        EXPECT_EQ(catcher.keys, 0) << "Enter reached the parent";
    }
}

TEST(ColorButton, FocusUsesSelectedColoursAndDrawsTheDottedMark)
{
    ButtonRow row;
    row.first->setSelBgndColor(Qt::cyan);
    row.first->setFocus();
    ASSERT_TRUE(row.first->hasFocus());
    EXPECT_EQ(row.first->effectiveBackground(), QColor(Qt::cyan));
    // The mark runs 6 pixels in from the sides and 4 from the top, every other pixel black.
    const QImage face = row.first->grab().toImage();
    int black = 0;
    for (int x = 6; x <= 73; ++x)
        black += face.pixelColor(x, 4) == QColor(Qt::black);
    EXPECT_NEAR(black, 34, 1);
    EXPECT_EQ(face.pixelColor(6, 4), QColor(Qt::black));
    EXPECT_NE(face.pixelColor(7, 4), QColor(Qt::black));
}

TEST(ColorButton, NoFocusMarkOnLowButtons)
{
    ButtonRow row;
    row.first->resize(80, 16);
    row.first->setSelBgndColor(Qt::cyan);
    row.first->setFocus();
    ASSERT_TRUE(row.first->hasFocus());
    const QImage face = row.first->grab().toImage();
    for (int x = 6; x <= 73; ++x)
        EXPECT_NE(face.pixelColor(x, 4), QColor(Qt::black)) << x;
}

TEST(ColorButton, CarriesItsTag)
{
    TColorButton button;
    button.setProperty("tag", 7);
    EXPECT_EQ(button.tag(), 7);
}
