#include "TColorButton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

const QColor silver(192, 192, 192);
const QColor grey(128, 128, 128);

void fillFrame(QPainter& painter, const QRect& outer, int thickness, const QColor& color)
{
    painter.fillRect(QRect(outer.left(), outer.top(), outer.width(), thickness), color);
    painter.fillRect(QRect(outer.left(), outer.bottom() - thickness + 1, outer.width(), thickness), color);
    painter.fillRect(QRect(outer.left(), outer.top(), thickness, outer.height()), color);
    painter.fillRect(QRect(outer.right() - thickness + 1, outer.top(), thickness, outer.height()), color);
}

} // namespace

TColorButton::TColorButton(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TColorButton::setCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    updateGeometry();
    update();
}

void TColorButton::setColor(QColor& member, const QColor& color)
{
    if (member == color)
        return;
    member = color;
    update();
}

void TColorButton::setTextColor(const QColor& color)
{
    setColor(m_textColor, color);
}

void TColorButton::setBgndColor(const QColor& color)
{
    setColor(m_bgndColor, color);
}

void TColorButton::setSelTextColor(const QColor& color)
{
    setColor(m_selTextColor, color);
}

void TColorButton::setSelBgndColor(const QColor& color)
{
    setColor(m_selBgndColor, color);
}

void TColorButton::setStayDown(bool stayDown)
{
    if (stayDown == m_stayDown)
        return;
    m_stayDown = stayDown;
    update();
}

void TColorButton::setSelected(bool selected)
{
    if (selected == m_selected)
        return;
    if (selected && parentWidget()) {
        const auto siblings =
            parentWidget()->findChildren<TColorButton*>(QString(), Qt::FindDirectChildrenOnly);
        for (TColorButton* sibling : siblings) {
            if (sibling != this && sibling->m_selected) {
                sibling->m_selected = false;
                sibling->update();
            }
        }
    }
    m_selected = selected;
    update();
}

void TColorButton::setIsDefault(bool isDefault)
{
    m_isDefault = isDefault;
}

void TColorButton::Click()
{
    if (m_stayDown)
        setSelected(true);
    else
        update();
    emit clicked();
}

bool TColorButton::isSunken() const
{
    return isEnabled() && (m_pressed || (m_selected && m_stayDown));
}

QColor TColorButton::effectiveBackground() const
{
    if (!isEnabled())
        return silver;
    return hasFocus() || (m_selected && m_stayDown) ? m_selBgndColor : m_bgndColor;
}

QColor TColorButton::effectiveTextColor() const
{
    if (!isEnabled())
        return grey;
    return hasFocus() || (m_selected && m_stayDown) ? m_selTextColor : m_textColor;
}

QSize TColorButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    return {qMax(75, metrics.horizontalAdvance(m_caption) + 16), qMax(25, metrics.height() + 10)};
}

void TColorButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const bool sunken = isSunken();
    paintFace(painter, sunken);
    paintContent(painter, sunken);
    paintFocusMark(painter, sunken);
}

void TColorButton::paintFace(QPainter& painter, bool sunken) const
{
    const QRect whole = rect();
    painter.fillRect(whole, effectiveBackground());
    // The border is a 3-pixel pen centred on the outline: two of its pixels fall inside.
    fillFrame(painter, whole, 2, Qt::black);
    QRect inner = whole.adjusted(2, 2, -2, -2);
    if (sunken) {
        painter.fillRect(QRect(inner.left(), inner.top(), 1, inner.height()), Qt::black);
        painter.fillRect(QRect(inner.left(), inner.top(), inner.width(), 1), Qt::black);
        return;
    }
    if (hasFocus())
        inner.adjust(1, 1, -1, -1);
    painter.fillRect(QRect(inner.left(), inner.top(), 2, inner.height()), Qt::white);
    painter.fillRect(QRect(inner.left(), inner.top(), inner.width(), 2), Qt::white);
    painter.fillRect(QRect(inner.right() - 1, inner.top(), 2, inner.height()), grey);
    painter.fillRect(QRect(inner.left(), inner.bottom() - 1, inner.width(), 2), grey);
    painter.fillRect(QRect(inner.left(), inner.bottom(), 1, 1), Qt::white);
    painter.fillRect(QRect(inner.right(), inner.top(), 1, 1), Qt::white);
}

void TColorButton::paintContent(QPainter& painter, bool sunken)
{
    const QFontMetrics metrics(font());
    const int textWidth = metrics.horizontalAdvance(m_caption);
    const int textHeight = metrics.height();
    const int shift = sunken ? 1 : 0;
    const int left = qMax(4, (width() - textWidth) / 2) + shift;
    const int top = (height() - textHeight) / 2 + shift;
    painter.save();
    painter.setClipRect(rect().adjusted(4, 2, -4, -2));
    painter.setFont(font());
    painter.setPen(effectiveTextColor());
    painter.drawText(QRect(left, top, textWidth, textHeight),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_caption);
    painter.restore();
}

void TColorButton::paintFocusMark(QPainter& painter, bool sunken) const
{
    if (!hasFocus() || !isEnabled() || height() <= 16)
        return;
    const int shift = sunken ? 1 : 0;
    const QRect mark = rect().adjusted(6, 4, -6, -4).translated(shift, shift);
    QList<QPoint> dots;
    auto dot = [&dots](int x, int y) {
        if ((x + y) % 2 == 0)
            dots.append(QPoint(x, y));
    };
    for (int x = mark.left(); x <= mark.right(); ++x) {
        dot(x, mark.top());
        dot(x, mark.bottom());
    }
    for (int y = mark.top() + 1; y < mark.bottom(); ++y) {
        dot(mark.left(), y);
        dot(mark.right(), y);
    }
    painter.setPen(Qt::black);
    painter.drawPoints(dots.constData(), static_cast<int>(dots.size()));
}

void TColorButton::setPressed(bool pressed)
{
    if (pressed == m_pressed)
        return;
    m_pressed = pressed;
    update();
}

void TColorButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    // The widget keeps the mouse until the button is released (Qt's implicit grab).
    m_mouseHeld = true;
    setPressed(true);
    if (focusPolicy() & Qt::TabFocus)
        setFocus(Qt::MouseFocusReason);
}

void TColorButton::mouseMoveEvent(QMouseEvent* event)
{
    if (m_mouseHeld)
        setPressed(rect().contains(event->position().toPoint()));
}

void TColorButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_mouseHeld) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_mouseHeld = false;
    setPressed(m_spaceHeld);
    if (rect().contains(event->position().toPoint()))
        Click();
}

void TColorButton::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
        if (!event->isAutoRepeat()) {
            m_spaceHeld = true;
            setPressed(true);
        }
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Swallowed either way, so that Enter never reaches a default button of the window.
        if (m_isDefault)
            Click();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void TColorButton::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Space || event->isAutoRepeat()) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    if (!m_spaceHeld)
        return;
    m_spaceHeld = false;
    setPressed(m_mouseHeld);
    Click();
}

void TColorButton::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void TColorButton::focusOutEvent(QFocusEvent* event)
{
    // Space released elsewhere must not leave the button looking pressed.
    if (m_spaceHeld) {
        m_spaceHeld = false;
        setPressed(m_mouseHeld);
    }
    QWidget::focusOutEvent(event);
    update();
}

void TColorButton::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange)
        update();
}
