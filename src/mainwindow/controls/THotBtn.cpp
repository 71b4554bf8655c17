#include "THotBtn.h"

#include "HotCaption.h"

#include <QCursor>
#include <QEvent>

THotBtn::THotBtn(QWidget* parent) : THotBtn(QString(), parent) {}

THotBtn::THotBtn(const QString& caption, QWidget* parent) : QPushButton(caption, parent)
{
    setMouseTracking(true);
    m_leaveCheck.setInterval(leaveCheckMs);
    connect(&m_leaveCheck, &QTimer::timeout, this, &THotBtn::checkPointer);
}

bool THotBtn::isHot() const
{
    return controls::IsCaptionHot(this);
}

void THotBtn::becomeHot()
{
    if (!isEnabled())
        return;
    controls::ShowHotCaption(this, true);
    m_leaveCheck.start();
}

void THotBtn::becomeCold()
{
    m_leaveCheck.stop();
    controls::ShowHotCaption(this, false);
}

void THotBtn::checkPointer()
{
    if (!rect().contains(mapFromGlobal(QCursor::pos())))
        becomeCold();
}

void THotBtn::enterEvent(QEnterEvent* event)
{
    QPushButton::enterEvent(event);
    becomeHot();
}

void THotBtn::mouseMoveEvent(QMouseEvent* event)
{
    QPushButton::mouseMoveEvent(event);
    if (!m_leaveCheck.isActive())
        becomeHot();
}

void THotBtn::leaveEvent(QEvent* event)
{
    QPushButton::leaveEvent(event);
    becomeCold();
}

void THotBtn::changeEvent(QEvent* event)
{
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        becomeCold();
}
