#include "mainwindow/controls/THotBtn.h"
#include "mainwindow/controls/THotSpeedBtn.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QTest>

namespace {

struct SpeedBar : ::testing::Test
{
    QWidget window;
    THotBtn* button = new THotBtn(QStringLiteral("Find"), &window);
    THotSpeedBtn* speed = new THotSpeedBtn(&window);

    SpeedBar()
    {
        window.resize(300, 100);
        window.move(100, 100);
        button->setGeometry(10, 10, 80, 30);
        speed->setGeometry(100, 10, 80, 30);
        speed->setText(QStringLiteral("Blank"));
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    static QColor captionColor(const QWidget* widget)
    {
        return widget->palette().color(QPalette::Active, QPalette::ButtonText);
    }
    QPoint farAway() const { return window.mapToGlobal(QPoint(250, 80)); }
};

} // namespace

TEST_F(SpeedBar, CaptionTurnsRedOverTheButtonAndBlackWhenItLeaves)
{
    QTest::mouseMove(button, QPoint(20, 10));
    EXPECT_TRUE(button->isHot());
    EXPECT_EQ(captionColor(button), QColor(Qt::red));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    EXPECT_FALSE(button->isHot());
    EXPECT_EQ(captionColor(button), QColor(Qt::black));
}

TEST_F(SpeedBar, TheTimerNoticesAMissedLeave)
{
    // The pointer is elsewhere; the button only heard that it came in, never that it went.
    QCursor::setPos(farAway());
    QApplication::processEvents();
    QEnterEvent enter(QPointF(20, 10), QPointF(20, 10), button->mapToGlobal(QPointF(20, 10)));
    QApplication::sendEvent(button, &enter);
    ASSERT_TRUE(button->isHot());
    QTest::qWait(THotBtn::leaveCheckMs / 2);
    EXPECT_TRUE(button->isHot()) << "black again before the timer ran";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !button->isHot(); }, THotBtn::leaveCheckMs * 3));
}

TEST_F(SpeedBar, StaysRedWhileThePointerIsOverIt)
{
    QCursor::setPos(button->mapToGlobal(QPoint(40, 15)));
    QApplication::processEvents();
    QEnterEvent enter(QPointF(40, 15), QPointF(40, 15), QCursor::pos());
    QApplication::sendEvent(button, &enter);
    ASSERT_TRUE(button->isHot());
    QTest::qWait(THotBtn::leaveCheckMs * 2 + 100);
    EXPECT_TRUE(button->isHot());
    QCursor::setPos(farAway());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !button->isHot(); }, THotBtn::leaveCheckMs * 3));
}

TEST_F(SpeedBar, DisabledButtonsStayBlack)
{
    button->setEnabled(false);
    QEnterEvent enter(QPointF(40, 15), QPointF(40, 15), button->mapToGlobal(QPoint(40, 15)));
    QApplication::sendEvent(button, &enter);
    EXPECT_FALSE(button->isHot());

    button->setEnabled(true);
    QTest::mouseMove(button, QPoint(20, 10));
    ASSERT_TRUE(button->isHot());
    button->setEnabled(false);
    EXPECT_FALSE(button->isHot()) << "disabling a red button turns it black";
}

TEST_F(SpeedBar, SpeedButtonTurnsRedOnMovementAndBlackOnLeaving)
{
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), speed->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(speed, &enter);
    EXPECT_FALSE(speed->isHot()) << "only movement over it turns it red";
    QTest::mouseMove(speed, QPoint(20, 10));
    EXPECT_TRUE(speed->isHot());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(speed, &leave);
    EXPECT_FALSE(speed->isHot());
    EXPECT_EQ(captionColor(speed), QColor(Qt::black));
}
