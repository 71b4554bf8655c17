#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace editors {

// Where a popup opens for a field (all in screen coordinates): just under the field's left edge, moved
// left to stay inside the screen's right edge, and above the field when there is no room below.
QPoint popupPosition(const QRect& field, const QSize& popup, const QRect& screen);

} // namespace editors
