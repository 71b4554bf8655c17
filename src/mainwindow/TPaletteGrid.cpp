#include "TPaletteGrid.h"

#include "mainwindow/controls/PaletteColors.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
// The first of the dark palette colours, on which a black frame would not show.
constexpr int firstDarkIndex = 12;
} // namespace

TPaletteGrid::TPaletteGrid(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ColorGrid"));
    setToolTip(QStringLiteral("Click to select a Color"));
    setFixedSize(sizeHint());
}

QSize TPaletteGrid::sizeHint() const
{
    return {cellWidth, cellHeight * settings::PaletteSize};
}

void TPaletteGrid::setChosenIndex(int index)
{
    if (index == m_chosen)
        return;
    m_chosen = index;
    update();
}

QRect TPaletteGrid::cellRect(int index) const
{
    return {0, index * cellHeight, cellWidth, cellHeight};
}

QColor TPaletteGrid::frameColor(int index)
{
    return index < firstDarkIndex ? QColor(Qt::black) : QColor(Qt::yellow);
}

void TPaletteGrid::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (int index = 0; index < settings::PaletteSize; ++index)
        painter.fillRect(cellRect(index), controls::PaletteColor(index));
    if (m_chosen < 0 || m_chosen >= settings::PaletteSize)
        return;
    const QRect cell = cellRect(m_chosen);
    const QColor frame = frameColor(m_chosen);
    painter.fillRect(cell.left(), cell.top(), cell.width(), frameWidth, frame);
    painter.fillRect(cell.left(), cell.bottom() - frameWidth + 1, cell.width(), frameWidth, frame);
    painter.fillRect(cell.left(), cell.top(), frameWidth, cell.height(), frame);
    painter.fillRect(cell.right() - frameWidth + 1, cell.top(), frameWidth, cell.height(), frame);
}

void TPaletteGrid::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int index = event->position().toPoint().y() / cellHeight;
    if (index >= 0 && index < settings::PaletteSize)
        emit cellClicked(index);
}
