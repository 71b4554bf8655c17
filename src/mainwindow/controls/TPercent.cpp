#include "TPercent.h"

#include <cmath>
#include <QMouseEvent>
#include <QPainter>

TPercent::TPercent(QWidget* parent) : QWidget(parent)
{
    resize(sizeHint());
}

void TPercent::setPercentShaded(int percent)
{
    percent = qBound(0, percent, 100);
    if (percent == m_percent)
        return;
    m_percent = percent;
    // Back at the start the frame is drawn anew too; further on only the bar changes.
    if (percent <= 1)
        update();
    else
        update(barRect());
}

void TPercent::setPercentColor(const QColor& color)
{
    m_color = color;
    update();
}

void TPercent::setShowPercent(bool show)
{
    m_showPercent = show;
    update();
}

void TPercent::setCaption(const QString& caption)
{
    m_caption = caption;
    update();
}

QString TPercent::text() const
{
    return m_showPercent ? QString::number(m_percent) + QLatin1Char('%') : m_caption;
}

QRect TPercent::barRect() const
{
    return rect().adjusted(1, 1, -1, -1);
}

QRect TPercent::filledRect() const
{
    const int extent = IsHorizontal() ? width() : height();
    const int end = static_cast<int>(std::lround((extent - 4) * m_percent / 100.0)) + 2;
    if (end <= 2)
        return {};
    if (IsHorizontal())
        return QRect(QPoint(2, 2), QPoint(end - 1, height() - 3));
    return QRect(QPoint(2, 2), QPoint(width() - 3, end - 1));
}

void TPercent::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect whole = rect();
    const QColor frameGrey(128, 128, 128);
    painter.fillRect(QRect(whole.left(), whole.top(), whole.width(), 1), frameGrey);
    painter.fillRect(QRect(whole.left(), whole.top(), 1, whole.height()), frameGrey);
    painter.fillRect(QRect(whole.left(), whole.bottom(), whole.width(), 1), Qt::white);
    painter.fillRect(QRect(whole.right(), whole.top(), 1, whole.height()), Qt::white);

    const QRect bar = barRect();
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(bar.adjusted(0, 0, -1, -1));
    painter.fillRect(filledRect(), m_color);

    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(bar, Qt::AlignCenter | Qt::TextSingleLine, text());
}

void TPercent::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
