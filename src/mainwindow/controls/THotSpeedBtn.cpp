#include "THotSpeedBtn.h"

#include "HotCaption.h"

THotSpeedBtn::THotSpeedBtn(QWidget* parent) : QToolButton(parent)
{
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
}

bool THotSpeedBtn::isHot() const
{
    return controls::IsCaptionHot(this);
}

void THotSpeedBtn::mouseMoveEvent(QMouseEvent* event)
{
    QToolButton::mouseMoveEvent(event);
    controls::ShowHotCaption(this, true);
}

void THotSpeedBtn::leaveEvent(QEvent* event)
{
    QToolButton::leaveEvent(event);
    controls::ShowHotCaption(this, false);
}
