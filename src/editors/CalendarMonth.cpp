#include "CalendarMonth.h"

namespace editors {

namespace {

int sundayFirstDayOfWeek(const QDate& date)
{
    return date.dayOfWeek() % 7 + 1;
}

} // namespace

bool CalendarMonth::isLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int CalendarMonth::daysInMonth(int year, int month)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

CalendarMonth::CalendarMonth(const QDate& current)
{
    setCurrent(current);
    m_previousCell = selectedCell();
}

void CalendarMonth::setCurrent(const QDate& date)
{
    m_current = date;
    m_firstCellDay = sundayFirstDayOfWeek(QDate(date.year(), date.month(), 1));
}

int CalendarMonth::dayInCell(int cell) const
{
    const int day = cell - m_firstCellDay + 1;
    return day >= 1 && day <= daysInMonth(m_current.year(), m_current.month()) ? day : 0;
}

bool CalendarMonth::moveBy(int days)
{
    m_previousCell = selectedCell();
    const QDate moved = m_current.addDays(days);
    const bool monthChanged = moved.month() != m_current.month() || moved.year() != m_current.year();
    setCurrent(moved);
    return monthChanged;
}

bool CalendarMonth::selectCell(int cell)
{
    const int day = dayInCell(cell);
    return day ? moveBy(day - m_current.day()) : false;
}

bool CalendarMonth::pageUp()
{
    const QDate previousMonth = m_current.addMonths(-1);
    return moveBy(-daysInMonth(previousMonth.year(), previousMonth.month()));
}

bool CalendarMonth::pageDown()
{
    return moveBy(daysInMonth(m_current.year(), m_current.month()));
}

bool CalendarMonth::nextYear()
{
    // Counting 365 days with leap-day corrections misses by one around March; the calendar year is meant.
    return moveBy(static_cast<int>(m_current.daysTo(m_current.addYears(1))));
}

bool CalendarMonth::previousYear()
{
    return moveBy(static_cast<int>(m_current.daysTo(m_current.addYears(-1))));
}

} // namespace editors
