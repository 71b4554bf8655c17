#include "TEditButton.h"

#include <QPainter>

TEditButton::TEditButton(QWidget* edit) : QAbstractButton(edit)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
}

QSize TEditButton::sizeHint() const
{
    return {defaultWidth, parentWidget() ? parentWidget()->height() - 2 : defaultWidth};
}

void TEditButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette& colours = palette();
    const QColor face = colours.color(QPalette::Active, QPalette::Button);
    const QColor shadow = colours.color(QPalette::Active, QPalette::Dark);
    const int w = width();
    const int h = height();
    painter.fillRect(rect(), face);

    const bool editEnabled = parentWidget() == nullptr || parentWidget()->isEnabled();
    const QColor dots = editEnabled ? QColor(Qt::black) : disabledDots;
    const int quarter = w / 4;
    for (int i = 1; i <= 3; ++i)
        painter.fillRect(i * quarter - 1, h / 2 - 1, 2, 2, dots);

    const bool down = isDown();
    painter.setPen(down ? shadow : face);
    painter.drawLine(0, 0, w - 1, 0);
    painter.drawLine(0, 0, 0, h - 1);
    painter.setPen(down ? face : QColor(Qt::white));
    painter.drawLine(1, 1, w - 2, 1);
    painter.drawLine(1, 1, 1, h - 2);
    if (down) {
        painter.setPen(shadow);
        painter.drawLine(w - 2, 1, w - 2, h - 2);
        painter.drawLine(1, h - 2, w - 2, h - 2);
    }
}
