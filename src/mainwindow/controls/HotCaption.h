#pragma once

class QWidget;

namespace controls {

// The caption colour of a hot-tracking button: red while the pointer is over it, black otherwise.
void ShowHotCaption(QWidget* button, bool hot);
bool IsCaptionHot(const QWidget* button);

} // namespace controls
