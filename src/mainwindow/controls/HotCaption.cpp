#include "HotCaption.h"

#include <QWidget>

namespace controls {

void ShowHotCaption(QWidget* button, bool hot)
{
    QPalette palette = button->palette();
    const QColor color = hot ? QColor(Qt::red) : QColor(Qt::black);
    if (palette.color(QPalette::ButtonText) == color)
        return;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, QPalette::ButtonText, color);
    button->setPalette(palette);
}

bool IsCaptionHot(const QWidget* button)
{
    return button->palette().color(QPalette::Active, QPalette::ButtonText) == QColor(Qt::red);
}

} // namespace controls
