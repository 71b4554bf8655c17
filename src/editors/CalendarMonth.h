#pragma once

#include <QDate>
#include <QString>

namespace editors {

// The month sheet of the calendar popup: 42 cells, six weeks of seven days starting on Sunday, with the
// current date selected, and the ways the selection moves.
class CalendarMonth
{
public:
    static constexpr int cellCount = 42;

    static bool isLeapYear(int year);
    static int daysInMonth(int year, int month);

    explicit CalendarMonth(const QDate& current);

    const QDate& currentDate() const { return m_current; }
    // Day of week of the first of the month, 1 for Sunday.
    int firstCellDay() const { return m_firstCellDay; }
    // Cells count from 1.
    int selectedCell() const { return m_firstCellDay + m_current.day() - 1; }
    int previousCell() const { return m_previousCell; }
    // The day of the month in a cell, 0 for a cell outside the month.
    int dayInCell(int cell) const;

    // Each returns whether the month or the year changed.
    bool moveBy(int days);
    bool selectCell(int cell);
    bool pageUp();
    bool pageDown();
    bool nextYear();
    bool previousYear();

private:
    void setCurrent(const QDate& date);

    QDate m_current;
    int m_firstCellDay = 1;
    int m_previousCell = 0;
};

} // namespace editors
