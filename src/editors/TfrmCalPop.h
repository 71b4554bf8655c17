#pragma once

#include "CalendarMonth.h"

#include <QDialog>

class QToolButton;
class TDateEdit;

// The month calendar that a date field's button opens just under the field. A day picked with Enter or
// the mouse is written into the field (unless the field is locked) and the popup closes with Accepted;
// its Today button closes with TodayChosen and leaves writing to the field; Esc and Cancel write nothing.
class TfrmCalPop : public QDialog
{
    Q_OBJECT
public:
    static constexpr int TodayChosen = 2;

    explicit TfrmCalPop(TDateEdit* editor);

    const editors::CalendarMonth& month() const { return m_month; }
    int cellWidth() const { return m_cellWidth; }
    int rowHeight() const { return m_rowHeight; }
    // Cells count from 1 to 42.
    QRect cellRect(int cell) const;
    QRect leftArrowRect() const;
    QRect rightArrowRect() const;
    QToolButton* todayButton() const { return m_todayButton; }
    QToolButton* cancelButton() const { return m_cancelButton; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QRect gridRect() const;
    QRect headerRect() const;
    int cellAt(const QPoint& point) const;
    void moved(bool monthChanged, bool redrawCellsOnly);
    void choose();
    void paintHeader(QPainter& painter);
    void paintArrowBox(QPainter& painter, const QRect& box, bool pointsLeft);
    void paintWeekdays(QPainter& painter);
    void paintCells(QPainter& painter);

    TDateEdit* m_editor;
    editors::CalendarMonth m_month;
    int m_cellWidth;
    int m_rowHeight;
    bool m_dragging = false;
    QToolButton* m_todayButton;
    QToolButton* m_cancelButton;
};
