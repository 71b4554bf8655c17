#include "PopupPlacement.h"

namespace editors {

QPoint popupPosition(const QRect& field, const QSize& popup, const QRect& screen)
{
    const int screenRight = screen.left() + screen.width();
    const int screenBottom = screen.top() + screen.height();
    int left = field.left() + 1;
    int top = field.top() + field.height() + 1;
    if (left + popup.width() > screenRight)
        left = screenRight - 1 - popup.width();
    if (top + popup.height() > screenBottom)
        top = field.top() - popup.height();
    return {left, top};
}

} // namespace editors
