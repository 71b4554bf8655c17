#include "mainwindow/controls/TPercent.h"
#include "mainwindow/controls/TPercentDlg.h"

#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTimer>

namespace {

const QColor green(0, 128, 0);

} // namespace

TEST(PercentBar, Defaults)
{
    TPercent bar;
    EXPECT_EQ(bar.size(), QSize(90, 20));
    EXPECT_EQ(bar.PercentShaded(), 0);
    EXPECT_EQ(bar.PercentColor(), QColor(Qt::red));
    EXPECT_TRUE(bar.ShowPercent());
    EXPECT_EQ(bar.text(), QStringLiteral("0%"));
    EXPECT_TRUE(bar.IsHorizontal());
}

TEST(PercentBar, ValuesOutsideTheRangeAreClamped)
{
    TPercent bar;
    const std::pair<int, int> cases[] = {{150, 100}, {-5, 0}, {42, 42}, {100, 100}, {0, 0}};
    for (const auto& [set, shown] : cases) {
        bar.setPercentShaded(set);
        EXPECT_EQ(bar.PercentShaded(), shown) << set;
        EXPECT_EQ(bar.text(), QString::number(shown) + QLatin1Char('%')) << set;
    }
}

TEST(PercentBar, CaptionInsteadOfThePercentage)
{
    TPercent bar;
    bar.setCaption(QStringLiteral("Record #: 12"));
    EXPECT_EQ(bar.text(), QStringLiteral("0%"));
    bar.setShowPercent(false);
    EXPECT_EQ(bar.text(), QStringLiteral("Record #: 12"));
}

TEST(PercentBar, FilledLength)
{
    struct Case
    {
        QSize size;
        int percent;
        QRect filled;
    };
    // Length (extent - 4) × percent / 100 rounded, plus 2; from the left, or from the top when upright.
    const Case cases[] = {
        {{104, 20}, 0, QRect()},
        {{104, 20}, 50, QRect(QPoint(2, 2), QPoint(51, 17))},
        {{104, 20}, 100, QRect(QPoint(2, 2), QPoint(101, 17))},
        {{94, 20}, 33, QRect(QPoint(2, 2), QPoint(31, 17))}, // 29.7 rounds to 30, ending at 32
        {{20, 104}, 25, QRect(QPoint(2, 2), QPoint(17, 26))},
    };
    for (const Case& c : cases) {
        TPercent bar;
        bar.resize(c.size);
        bar.setPercentShaded(c.percent);
        EXPECT_EQ(bar.filledRect(), c.filled) << c.size.width() << "x" << c.size.height() << " " << c.percent;
        EXPECT_EQ(bar.IsHorizontal(), c.size.width() >= c.size.height());
    }
}

TEST(PercentBar, Painting)
{
    TPercent bar;
    bar.resize(104, 20);
    bar.setPercentColor(Qt::blue);
    bar.setPercentShaded(50);
    const QImage image = bar.grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 10), QColor(128, 128, 128)) << "grey left edge";
    EXPECT_EQ(image.pixelColor(50, 0), QColor(128, 128, 128)) << "grey top edge";
    EXPECT_EQ(image.pixelColor(103, 10), QColor(Qt::white)) << "white right edge";
    EXPECT_EQ(image.pixelColor(50, 19), QColor(Qt::white)) << "white bottom edge";
    EXPECT_EQ(image.pixelColor(1, 10), QColor(Qt::black)) << "outline";
    EXPECT_EQ(image.pixelColor(4, 3), QColor(Qt::blue)) << "filled part";
    EXPECT_EQ(image.pixelColor(99, 3), QColor(Qt::white)) << "the rest";
}

TEST(PercentBar, ClicksSignal)
{
    TPercent bar;
    bar.show();
    QSignalSpy clicks(&bar, &TPercent::clicked);
    QTest::mouseClick(&bar, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
}

TEST(ProgressWindow, IsAVisibleStayOnTopDialogWithoutBorderIcons)
{
    TPercentDlg progress;
    EXPECT_TRUE(progress.isVisible());
    EXPECT_EQ(progress.windowTitle(), QStringLiteral("Progress"));
    const Qt::WindowFlags flags = progress.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinMaxButtonsHint);
    EXPECT_EQ(progress.windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(progress.bar()->PercentColor(), green);
    EXPECT_FALSE(progress.stopButton()->isVisible());
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((progress.frameGeometry().center() - screenCentre).manhattanLength(), 2);
}

TEST(ProgressWindow, PercentageOfTheTotal)
{
    struct Case
    {
        int total;
        int position;
        int shown;
    };
    const Case cases[] = {{200, 1, 1}, {200, 99, 50}, {3, 1, 33}, {3, 2, 67}, {10, 12, 100}, {0, 1, 100}};
    for (const Case& c : cases) {
        TPercentDlg progress;
        progress.setTotal(c.total);
        EXPECT_TRUE(progress.SetPosition(c.position));
        EXPECT_EQ(progress.position(), c.position);
        EXPECT_EQ(progress.bar()->PercentShaded(), c.shown) << c.total << " " << c.position;
    }
}

TEST(ProgressWindow, TotalZeroShowsAHundredPercent)
{
    TPercentDlg progress;
    progress.setTotal(0);
    EXPECT_EQ(progress.bar()->PercentShaded(), 100);
    progress.Step();
    EXPECT_EQ(progress.bar()->text(), QStringLiteral("100%"));
}

TEST(ProgressWindow, StepsCount)
{
    TPercentDlg progress;
    progress.setTotal(4);
    for (int i = 0; i < 3; ++i)
        progress.Step();
    EXPECT_EQ(progress.position(), 3);
    EXPECT_EQ(progress.bar()->PercentShaded(), 75);
}

TEST(ProgressWindow, MessageAndBarForRunsThatOnlyCount)
{
    TPercentDlg progress;
    progress.setWindowTitle(QStringLiteral("Importing. Please Wait..."));
    progress.setBarVisible(false);
    progress.setMessage(QStringLiteral("Record #: 3"));
    EXPECT_FALSE(progress.bar()->isVisible());
    const QList<QLabel*> labels = progress.findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_TRUE(labels[0]->isVisible());
    EXPECT_EQ(labels[0]->text(), QStringLiteral("Record #: 3"));
}

TEST(ProgressWindow, WithoutAStopButtonNothingStopsTheRun)
{
    TPercentDlg progress;
    QTest::keyClick(&progress, Qt::Key_Escape);
    progress.close();
    EXPECT_FALSE(progress.stopRequested());
    EXPECT_TRUE(progress.isVisible());
    EXPECT_TRUE(progress.Step());
}

TEST(ProgressWindow, EscapeAndClosingAskForTheStopButLeaveTheWindowToItsOwner)
{
    for (bool byEscape : {true, false}) {
        TPercentDlg progress;
        progress.allowStop();
        QSignalSpy stops(&progress, &TPercentDlg::stopClicked);
        if (byEscape)
            QTest::keyClick(&progress, Qt::Key_Escape);
        else
            progress.close();
        EXPECT_TRUE(progress.stopRequested());
        EXPECT_TRUE(progress.isVisible());
        EXPECT_EQ(stops.count(), 1);
        EXPECT_FALSE(progress.Step());
    }
}

TEST(ProgressWindow, StopIsAnsweredPromptly)
{
    TPercentDlg progress;
    progress.allowStop(QStringLiteral("&Cancel"));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&progress));
    EXPECT_EQ(progress.stopButton()->text(), QStringLiteral("&Cancel"));
    progress.setTotal(1000000);

    QElapsedTimer clock;
    qint64 pressedAt = -1;
    QTimer::singleShot(100, &progress, [&] {
        pressedAt = clock.elapsed();
        QTest::mouseClick(progress.stopButton(), Qt::LeftButton);
    });
    clock.start();
    int records = 0;
    // Each record takes a millisecond of work; the loop asks after each one.
    while (clock.elapsed() < 5000 && progress.Step()) {
        QThread::usleep(1000);
        ++records;
    }
    const qint64 stoppedAt = clock.elapsed();
    ASSERT_GE(pressedAt, 0) << "the click never came: events did not run during the loop";
    EXPECT_TRUE(progress.stopRequested());
    EXPECT_LT(stoppedAt - pressedAt, 100) << "the stop was seen late";
    EXPECT_GT(records, 20);
    EXPECT_FALSE(progress.stopButton()->isEnabled());
}

TEST(ProgressWindow, ManySmallStepsStayCheap)
{
    TPercentDlg progress;
    progress.setTotal(100000);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 100000; ++i)
        progress.Step();
    EXPECT_EQ(progress.bar()->PercentShaded(), 100);
    EXPECT_LT(clock.elapsed(), 2000) << "events run on every step instead of now and then";
}

TEST(ProgressWindow, ThePaintedBarFollowsThePosition)
{
    TPercentDlg progress;
    progress.setTotal(10);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&progress));
    progress.SetPosition(5);
    QTest::qWait(TPercentDlg::eventIntervalMs * 2);
    progress.SetPosition(5);
    const QImage image = progress.bar()->grab().toImage();
    EXPECT_EQ(image.pixelColor(10, 4), green);
    EXPECT_EQ(image.pixelColor(250, 4), QColor(Qt::white));
}
