#include "editors/CalendarMonth.h"
#include "editors/TDateEdit.h"
#include "editors/TEditButton.h"
#include "editors/TfrmCalPop.h"
#include "EditorTestSupport.h"

#include <QToolButton>

namespace {

using editors::CalendarMonth;

enum class Move
{
    Left,
    Right,
    Up,
    Down,
    PageUp,
    PageDown,
    Home,
    End
};

struct MoveCase
{
    QDate start;
    Move move;
    QDate expected;
    bool monthChanges;
};

class CalendarMoves : public ::testing::TestWithParam<MoveCase>
{
};

bool apply(CalendarMonth& month, Move move)
{
    switch (move) {
    case Move::Left:
        return month.moveBy(-1);
    case Move::Right:
        return month.moveBy(1);
    case Move::Up:
        return month.moveBy(-7);
    case Move::Down:
        return month.moveBy(7);
    case Move::PageUp:
        return month.pageUp();
    case Move::PageDown:
        return month.pageDown();
    case Move::Home:
        return month.previousYear();
    case Move::End:
        return month.nextYear();
    }
    return false;
}

TEST_P(CalendarMoves, MoveTheSelection)
{
    const MoveCase& c = GetParam();
    CalendarMonth month(c.start);
    const int before = month.selectedCell();
    EXPECT_EQ(apply(month, c.move), c.monthChanges);
    EXPECT_EQ(month.currentDate(), c.expected);
    EXPECT_EQ(month.previousCell(), before);
    EXPECT_EQ(month.selectedCell(), month.firstCellDay() + c.expected.day() - 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, CalendarMoves,
                         ::testing::Values(MoveCase{{2001, 1, 31}, Move::PageDown, {2001, 3, 3}, true},
                                           MoveCase{{2004, 1, 31}, Move::PageDown, {2004, 3, 2}, true},
                                           MoveCase{{2001, 3, 15}, Move::PageUp, {2001, 2, 15}, true},
                                           MoveCase{{2004, 3, 15}, Move::PageUp, {2004, 2, 15}, true},
                                           MoveCase{{2001, 1, 15}, Move::PageUp, {2000, 12, 15}, true},
                                           MoveCase{{2001, 12, 15}, Move::PageDown, {2002, 1, 15}, true},
                                           MoveCase{{2001, 1, 31}, Move::Right, {2001, 2, 1}, true},
                                           MoveCase{{2001, 1, 15}, Move::Right, {2001, 1, 16}, false},
                                           MoveCase{{2001, 1, 1}, Move::Left, {2000, 12, 31}, true},
                                           MoveCase{{2001, 1, 15}, Move::Up, {2001, 1, 8}, false},
                                           MoveCase{{2001, 1, 29}, Move::Down, {2001, 2, 5}, true},
                                           MoveCase{{2023, 3, 15}, Move::End, {2024, 3, 15}, true},
                                           MoveCase{{2024, 1, 10}, Move::End, {2025, 1, 10}, true},
                                           MoveCase{{2024, 2, 29}, Move::End, {2025, 2, 28}, true},
                                           MoveCase{{2024, 3, 15}, Move::Home, {2023, 3, 15}, true},
                                           MoveCase{{2025, 2, 10}, Move::Home, {2024, 2, 10}, true}));

TEST(CalendarMonth, CellsStartOnSundayOfTheFirstWeek)
{
    // 1 January 2001 was a Monday.
    const CalendarMonth month(QDate(2001, 1, 31));
    EXPECT_EQ(month.firstCellDay(), 2);
    EXPECT_EQ(month.selectedCell(), 32);
    EXPECT_EQ(month.dayInCell(1), 0);
    EXPECT_EQ(month.dayInCell(2), 1);
    EXPECT_EQ(month.dayInCell(32), 31);
    EXPECT_EQ(month.dayInCell(33), 0);
    // 1 April 2001 was a Sunday.
    EXPECT_EQ(CalendarMonth(QDate(2001, 4, 1)).firstCellDay(), 1);
    // 1 September 2001 was a Saturday: September's 30 days need the sixth week.
    const CalendarMonth september(QDate(2001, 9, 30));
    EXPECT_EQ(september.firstCellDay(), 7);
    EXPECT_EQ(september.selectedCell(), 36);
}

TEST(CalendarMonth, LeapYearsAndMonthLengths)
{
    for (const auto& [year, leap] :
         {std::pair{1900, false}, {2000, true}, {2004, true}, {2001, false}, {2100, false}})
        EXPECT_EQ(CalendarMonth::isLeapYear(year), leap) << year;
    EXPECT_EQ(CalendarMonth::daysInMonth(2000, 2), 29);
    EXPECT_EQ(CalendarMonth::daysInMonth(1900, 2), 28);
    EXPECT_EQ(CalendarMonth::daysInMonth(2001, 4), 30);
    EXPECT_EQ(CalendarMonth::daysInMonth(2001, 12), 31);
}

TEST(CalendarMonth, OnlyCellsOfTheMonthCanBeSelected)
{
    CalendarMonth month(QDate(2001, 1, 31));
    EXPECT_FALSE(month.selectCell(40));
    EXPECT_EQ(month.currentDate(), QDate(2001, 1, 31));
    month.selectCell(16);
    EXPECT_EQ(month.currentDate(), QDate(2001, 1, 15));
}

// A date field in a shown window, whose calendar the test drives once the button opened it.
class CalendarPopup : public ::testing::Test
{
protected:
    void openCalendar(const std::function<void(TfrmCalPop*)>& drive)
    {
        OnNextModal<TfrmCalPop> popup(drive);
        QTest::mouseClick(form.field->button(), Qt::LeftButton);
        EXPECT_TRUE(popup.acted());
    }

    static QPoint centreOfDay(const TfrmCalPop* calendar, int day)
    {
        return calendar->cellRect(calendar->month().firstCellDay() + day - 1).center();
    }

    FieldWindow<TDateEdit> form;
};

TEST_F(CalendarPopup, StartsOnTheFieldsDateUnderTheField)
{
    form.field->setDate(QDate(2001, 1, 31));
    QDate shown;
    QPoint where;
    openCalendar([&](TfrmCalPop* calendar) {
        shown = calendar->month().currentDate();
        where = calendar->pos();
        QTest::keyClick(calendar, Qt::Key_Escape);
    });
    EXPECT_EQ(shown, QDate(2001, 1, 31));
    EXPECT_EQ(where, form.field->mapToGlobal(QPoint(0, form.field->height())) + QPoint(1, 1));
    EXPECT_EQ(form.field->dateText(), "01/31/2001");
}

TEST_F(CalendarPopup, ABlankFieldStartsOnToday)
{
    QDate shown;
    openCalendar([&](TfrmCalPop* calendar) {
        shown = calendar->month().currentDate();
        calendar->reject();
    });
    EXPECT_EQ(shown, QDate::currentDate());
    EXPECT_TRUE(form.field->isBlank());
}

TEST_F(CalendarPopup, ClickingADayWritesItIntoTheField)
{
    form.field->setDate(QDate(2001, 1, 31));
    openCalendar([&](TfrmCalPop* calendar) {
        QTest::mouseClick(calendar, Qt::LeftButton, {}, centreOfDay(calendar, 15));
    });
    EXPECT_EQ(form.field->dateText(), "01/15/2001");
    EXPECT_EQ(form.focused(), form.field);
    EXPECT_EQ(form.field->caretPos(), 0);
}

TEST_F(CalendarPopup, DraggingPicksTheDayWhereTheButtonIsReleased)
{
    form.field->setDate(QDate(2001, 1, 31));
    openCalendar([&](TfrmCalPop* calendar) {
        QTest::mousePress(calendar, Qt::LeftButton, {}, centreOfDay(calendar, 10));
        QMouseEvent move(QEvent::MouseMove, centreOfDay(calendar, 12),
                         calendar->mapToGlobal(centreOfDay(calendar, 12)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(calendar, &move);
        EXPECT_EQ(calendar->month().currentDate(), QDate(2001, 1, 12));
        QTest::mouseRelease(calendar, Qt::LeftButton, {}, centreOfDay(calendar, 12));
    });
    EXPECT_EQ(form.field->dateText(), "01/12/2001");
}

TEST_F(CalendarPopup, KeysMoveTheSelectionAndEnterChoosesIt)
{
    form.field->setDate(QDate(2001, 1, 31));
    openCalendar([&](TfrmCalPop* calendar) {
        QTest::keyClick(calendar, Qt::Key_PageDown);
        EXPECT_EQ(calendar->month().currentDate(), QDate(2001, 3, 3));
        QTest::keyClick(calendar, Qt::Key_Down);
        QTest::keyClick(calendar, Qt::Key_Left);
        QTest::keyClick(calendar, Qt::Key_End);
        QTest::keyClick(calendar, Qt::Key_Return);
    });
    EXPECT_EQ(form.field->dateText(), "03/09/2002");
}

TEST_F(CalendarPopup, TheArrowBoxesTurnTheMonth)
{
    form.field->setDate(QDate(2001, 3, 15));
    QDate afterRight;
    openCalendar([&](TfrmCalPop* calendar) {
        QTest::mouseClick(calendar, Qt::LeftButton, {}, calendar->leftArrowRect().center());
        QTest::mouseClick(calendar, Qt::LeftButton, {}, calendar->leftArrowRect().center());
        QTest::mouseClick(calendar, Qt::LeftButton, {}, calendar->rightArrowRect().center());
        afterRight = calendar->month().currentDate();
        EXPECT_TRUE(calendar->isVisible());
        QTest::keyClick(calendar, Qt::Key_Escape);
    });
    EXPECT_EQ(afterRight, QDate(2001, 2, 15));
    EXPECT_EQ(form.field->dateText(), "03/15/2001");
}

TEST_F(CalendarPopup, ABlankCellChoosesNothing)
{
    form.field->setDate(QDate(2001, 1, 31));
    openCalendar([&](TfrmCalPop* calendar) {
        QTest::mouseClick(calendar, Qt::LeftButton, {}, calendar->cellRect(1).center());
        EXPECT_TRUE(calendar->isVisible());
        calendar->reject();
    });
    EXPECT_EQ(form.field->dateText(), "01/31/2001");
}

TEST_F(CalendarPopup, TodayAndCancelButtons)
{
    form.field->setDate(QDate(2001, 1, 31));
    openCalendar([&](TfrmCalPop* calendar) {
        EXPECT_EQ(calendar->todayButton()->toolTip(), "Set Today Date");
        EXPECT_EQ(calendar->cancelButton()->toolTip(), "Close Calendar Without Updating Date Field.");
        QTest::mouseClick(calendar->cancelButton(), Qt::LeftButton);
    });
    EXPECT_EQ(form.field->dateText(), "01/31/2001");
    openCalendar([&](TfrmCalPop* calendar) { QTest::mouseClick(calendar->todayButton(), Qt::LeftButton); });
    EXPECT_EQ(form.field->date(), QDate::currentDate());
}

TEST_F(CalendarPopup, ALockedFieldOpensTheCalendarButKeepsItsDate)
{
    form.field->setDate(QDate(2001, 1, 31));
    editors::setFieldEnabled(form.field, false);
    ASSERT_TRUE(form.field->locked());
    openCalendar([&](TfrmCalPop* calendar) {
        QTest::mouseClick(calendar, Qt::LeftButton, {}, centreOfDay(calendar, 15));
    });
    EXPECT_EQ(form.field->dateText(), "01/31/2001");
    openCalendar([&](TfrmCalPop* calendar) { QTest::mouseClick(calendar->todayButton(), Qt::LeftButton); });
    EXPECT_EQ(form.field->dateText(), "01/31/2001");
}

TEST_F(CalendarPopup, ThePartlyTypedDateIsZeroFilledFirst)
{
    form.field->setFocus();
    QTest::keyClick(form.field, Qt::Key_Right);
    QTest::keyClicks(form.field, QStringLiteral("1"));
    QTest::keyClick(form.field, Qt::Key_Right);
    QTest::keyClicks(form.field, QStringLiteral("22001"));
    QString whileOpen;
    openCalendar([&](TfrmCalPop* calendar) {
        whileOpen = form.field->dateText();
        EXPECT_EQ(calendar->month().currentDate(), QDate(2001, 1, 2));
        calendar->reject();
    });
    EXPECT_EQ(whileOpen, "01/02/2001");
}

TEST(CalendarGeometry, SizesFollowTheFont)
{
    TDateEdit field;
    TfrmCalPop calendar(&field);
    EXPECT_EQ(calendar.width(), 21 * calendar.cellWidth() + 8);
    EXPECT_EQ(calendar.height(), 8 * calendar.rowHeight() + 28);
    EXPECT_EQ(calendar.cellRect(1),
              QRect(4, 2 * calendar.rowHeight() + 2, 3 * calendar.cellWidth(), calendar.rowHeight()));
    EXPECT_EQ(calendar.cellRect(42).right(), 4 + 21 * calendar.cellWidth() - 1);
    EXPECT_EQ(calendar.leftArrowRect(), QRect(4, 2, 16, 16));
    EXPECT_EQ(calendar.todayButton()->geometry().right() + 1, calendar.width() / 2 - 4);
    EXPECT_EQ(calendar.cancelButton()->geometry().left(), calendar.width() / 2 + 4);
    EXPECT_EQ(calendar.todayButton()->geometry().bottom() + 1, calendar.height() - 4);
    EXPECT_EQ(calendar.toolTip(), "Click on a Day to update Date Field");
}

TEST(CalendarGeometry, ACalendarOfAStayOnTopWindowStaysOnTop)
{
    QWidget window(nullptr, Qt::Window | Qt::WindowStaysOnTopHint);
    auto* field = new TDateEdit(&window);
    EXPECT_TRUE(TfrmCalPop(field).windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    TDateEdit plain;
    EXPECT_FALSE(TfrmCalPop(&plain).windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

} // namespace
