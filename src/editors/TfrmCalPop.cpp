#include "TfrmCalPop.h"

#include "TDateEdit.h"

#include <array>
#include <QKeyEvent>
#include <QLocale>
#include <QPainter>
#include <QStyle>
#include <QToolButton>

namespace {

const QColor silver(0xC0, 0xC0, 0xC0);
const QColor gray(0x80, 0x80, 0x80);
const std::array<const char*, 7> weekdayNames = {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"};
constexpr int columns = 7;
constexpr int cellsPerColumnWidth = 3;
constexpr int arrowBoxSize = 16;
constexpr QSize buttonSize(30, 24);

// The face of the calendar; 8 points is the smallest size this face was ever drawn in, which the
// measurements below assume.
QFont calendarFont()
{
    return QFont(QStringLiteral("MS Sans Serif"), 8);
}

QDate startDate(const TDateEdit* editor)
{
    const QDate shown = editor->date();
    return shown.isValid() ? shown : QDate::currentDate();
}

void drawFrame(QPainter& painter, const QRect& box, const QColor& topLeft, const QColor& bottomRight)
{
    painter.setPen(topLeft);
    painter.drawLine(box.topLeft(), box.topRight());
    painter.drawLine(box.topLeft(), box.bottomLeft());
    painter.setPen(bottomRight);
    painter.drawLine(box.bottomLeft(), box.bottomRight());
    painter.drawLine(box.topRight(), box.bottomRight());
}

} // namespace

TfrmCalPop::TfrmCalPop(TDateEdit* editor)
    : QDialog(editor, Qt::Dialog | Qt::FramelessWindowHint), m_editor(editor), m_month(startDate(editor)),
      m_todayButton(new QToolButton(this)), m_cancelButton(new QToolButton(this))
{
    if (editor->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        setWindowFlag(Qt::WindowStaysOnTopHint);
    setFont(calendarFont());
    const QFontMetrics metrics(font());
    m_cellWidth = qRound(1.6 * metrics.averageCharWidth());
    m_rowHeight = qRound(4.0 / 3.0 * metrics.height());
    setFixedSize(21 * m_cellWidth + 8, 8 * m_rowHeight + 28);
    setToolTip(QStringLiteral("Click on a Day to update Date Field"));

    const int buttonTop = height() - 4 - buttonSize.height();
    m_todayButton->setObjectName(QStringLiteral("TodayBtn"));
    m_todayButton->setIcon(style()->standardIcon(QStyle::SP_DialogYesButton));
    m_todayButton->setToolTip(QStringLiteral("Set Today Date"));
    m_todayButton->setGeometry(QRect(QPoint(width() / 2 - 4 - buttonSize.width(), buttonTop), buttonSize));
    connect(m_todayButton, &QToolButton::clicked, this, [this] { done(TodayChosen); });
    m_cancelButton->setObjectName(QStringLiteral("CancelBtn"));
    m_cancelButton->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    m_cancelButton->setToolTip(QStringLiteral("Close Calendar Without Updating Date Field."));
    m_cancelButton->setGeometry(QRect(QPoint(width() / 2 + 4, buttonTop), buttonSize));
    connect(m_cancelButton, &QToolButton::clicked, this, &QDialog::reject);
    for (QToolButton* button : {m_todayButton, m_cancelButton}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRaise(false);
    }
    editor->placeUnder(this);
}

QRect TfrmCalPop::cellRect(int cell) const
{
    const int week = (cell - 1) / columns + 1;
    const int column = (cell - 1) % columns;
    const int width = cellsPerColumnWidth * m_cellWidth;
    return {4 + width * column, m_rowHeight * (week + 1) + 2, width, m_rowHeight};
}

QRect TfrmCalPop::gridRect() const
{
    return QRect(QPoint(4, 2 * m_rowHeight + 2), QPoint(21 * m_cellWidth + 4, 8 * m_rowHeight + 2));
}

QRect TfrmCalPop::leftArrowRect() const
{
    return {4, 2, arrowBoxSize, arrowBoxSize};
}

QRect TfrmCalPop::rightArrowRect() const
{
    return {21 * m_cellWidth - 12, 2, arrowBoxSize, arrowBoxSize};
}

QRect TfrmCalPop::headerRect() const
{
    const int left = leftArrowRect().right() + 1;
    return {left, 2, rightArrowRect().left() - left, arrowBoxSize};
}

int TfrmCalPop::cellAt(const QPoint& point) const
{
    const QRect grid = gridRect();
    if (!grid.contains(point))
        return 0;
    const int column = std::min((point.x() - grid.left()) / (cellsPerColumnWidth * m_cellWidth), columns - 1);
    const int week = std::min((point.y() - grid.top()) / m_rowHeight, 5);
    return week * columns + column + 1;
}

void TfrmCalPop::moved(bool monthChanged, bool redrawCellsOnly)
{
    if (monthChanged || !redrawCellsOnly) {
        update();
        return;
    }
    update(cellRect(m_month.previousCell()));
    update(cellRect(m_month.selectedCell()));
    update(headerRect());
}

void TfrmCalPop::choose()
{
    if (!m_editor->isLocked())
        m_editor->setDate(m_month.currentDate());
    accept();
}

void TfrmCalPop::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
        moved(m_month.moveBy(-1), true);
        break;
    case Qt::Key_Right:
        moved(m_month.moveBy(1), true);
        break;
    case Qt::Key_Up:
        moved(m_month.moveBy(-7), true);
        break;
    case Qt::Key_Down:
        moved(m_month.moveBy(7), true);
        break;
    case Qt::Key_PageUp:
        moved(m_month.pageUp(), false);
        break;
    case Qt::Key_PageDown:
        moved(m_month.pageDown(), false);
        break;
    case Qt::Key_Home:
        moved(m_month.previousYear(), false);
        break;
    case Qt::Key_End:
        moved(m_month.nextYear(), false);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        choose();
        break;
    default:
        QDialog::keyPressEvent(event);
    }
}

void TfrmCalPop::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    if (leftArrowRect().contains(point)) {
        moved(m_month.pageUp(), false);
    } else if (rightArrowRect().contains(point)) {
        moved(m_month.pageDown(), false);
    } else if (gridRect().contains(point)) {
        const int cell = cellAt(point);
        m_dragging = m_month.dayInCell(cell) != 0;
        if (m_dragging)
            moved(m_month.selectCell(cell), true);
    }
}

void TfrmCalPop::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return;
    const int cell = cellAt(event->position().toPoint());
    if (m_month.dayInCell(cell) != 0 && cell != m_month.selectedCell())
        moved(m_month.selectCell(cell), true);
}

void TfrmCalPop::mouseReleaseEvent(QMouseEvent*)
{
    if (!m_dragging)
        return;
    m_dragging = false;
    choose();
}

void TfrmCalPop::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), silver);
    drawFrame(painter, rect().adjusted(0, 0, -1, -1), Qt::white, gray);
    paintHeader(painter);
    paintWeekdays(painter);
    paintCells(painter);
}

void TfrmCalPop::paintHeader(QPainter& painter)
{
    paintArrowBox(painter, leftArrowRect(), true);
    paintArrowBox(painter, rightArrowRect(), false);
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(Qt::black);
    painter.drawText(headerRect(), Qt::AlignCenter,
                     QLocale().toString(m_month.currentDate(), QStringLiteral("MMMM d, yyyy")));
    painter.setFont(font());
}

void TfrmCalPop::paintArrowBox(QPainter& painter, const QRect& box, bool pointsLeft)
{
    drawFrame(painter, box.adjusted(0, 0, -1, -1), gray, Qt::white);
    const QPointF middle = QRectF(box).center();
    const qreal reach = box.width() / 4.0;
    const qreal tip = pointsLeft ? -reach : reach;
    const QPointF triangle[] = {{middle.x() + tip, middle.y()},
                                {middle.x() - tip, middle.y() - reach},
                                {middle.x() - tip, middle.y() + reach}};
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawPolygon(triangle, 3);
    painter.setBrush(Qt::NoBrush);
}

void TfrmCalPop::paintWeekdays(QPainter& painter)
{
    const int width = cellsPerColumnWidth * m_cellWidth;
    for (int column = 0; column < columns; ++column) {
        painter.setPen(column == 0 ? QColor(Qt::red) : QColor(Qt::black));
        painter.drawText(QRect(4 + column * width, m_rowHeight + 2, width, m_rowHeight), Qt::AlignCenter,
                         QString::fromLatin1(weekdayNames[static_cast<std::size_t>(column)]));
    }
    const int lineTop = 2 * m_rowHeight;
    const int right = 4 + columns * width;
    painter.setPen(gray);
    painter.drawLine(4, lineTop, right, lineTop);
    painter.setPen(Qt::white);
    painter.drawLine(4, lineTop + 1, right, lineTop + 1);
}

void TfrmCalPop::paintCells(QPainter& painter)
{
    const QDate today = QDate::currentDate();
    const QDate& current = m_month.currentDate();
    QFont bold = font();
    bold.setBold(true);
    for (int cell = 1; cell <= editors::CalendarMonth::cellCount; ++cell) {
        const int day = m_month.dayInCell(cell);
        if (day == 0)
            continue;
        const QRect box = cellRect(cell);
        const bool selected = cell == m_month.selectedCell();
        if (selected)
            drawFrame(painter, box.adjusted(0, 0, -1, -1), gray, Qt::white);
        if (QDate(current.year(), current.month(), day) == today)
            painter.setPen(Qt::yellow);
        else if ((cell - 1) % columns == 0)
            painter.setPen(Qt::red);
        else
            painter.setPen(Qt::black);
        painter.setFont(selected ? bold : font());
        painter.drawText(box, Qt::AlignCenter, QString::number(day));
    }
    painter.setFont(font());
}
