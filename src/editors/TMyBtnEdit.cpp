#include "TMyBtnEdit.h"

#include "PopupPlacement.h"
#include "TEditButton.h"
#include "TypedKeys.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScreen>
#include <QStyleOptionFrame>

namespace {

constexpr int systemBorderHeight = 1;

bool isEditingShortcut(const QKeyEvent& event)
{
    for (QKeySequence::StandardKey key :
         {QKeySequence::Cut, QKeySequence::Paste, QKeySequence::Undo, QKeySequence::Redo,
          QKeySequence::Delete, QKeySequence::DeleteStartOfWord, QKeySequence::DeleteEndOfWord,
          QKeySequence::DeleteEndOfLine, QKeySequence::DeleteCompleteLine}) {
        if (event.matches(key))
            return true;
    }
    return false;
}

} // namespace

TMyBtnEdit::TMyBtnEdit(QWidget* parent) : QLineEdit(parent), m_button(new TEditButton(this))
{
    m_button->setGeometry(width() - TEditButton::defaultWidth - 2, 0, TEditButton::defaultWidth,
                          height() - 2);
    connect(m_button, &QAbstractButton::clicked, this, [this] { buttonClick(); });
    setMinimumHeight(minimumFieldHeight());
    updateTextMargins();
}

void TMyBtnEdit::setButtonVisible(bool visible)
{
    m_buttonVisible = visible;
    m_button->setVisible(visible);
    updateTextMargins();
}

QString TMyBtnEdit::buttonHint() const
{
    return m_button->toolTip();
}

void TMyBtnEdit::setButtonHint(const QString& hint)
{
    m_button->setToolTip(hint);
}

void TMyBtnEdit::notifyEnabled()
{
    setLocked(false);
}

void TMyBtnEdit::notifyDisabled()
{
    if (!m_lockWhenDisabled)
        return;
    setEnabled(true);
    setLocked(true);
}

void TMyBtnEdit::setLocked(bool locked)
{
    if (locked == m_locked)
        return;
    m_locked = locked;
    // Read-only keeps the edit's own cut, paste, undo and drops away while locked.
    if (locked) {
        m_readOnlyBeforeLock = isReadOnly();
        setReadOnly(true);
    } else {
        setReadOnly(m_readOnlyBeforeLock);
    }
}

int TMyBtnEdit::minimumFieldHeight() const
{
    const int fontHeight = fontMetrics().height();
    const int systemFontHeight = QFontMetrics(QApplication::font()).height();
    return 4 * systemBorderHeight + fontHeight + std::min(systemFontHeight, fontHeight) / 4;
}

void TMyBtnEdit::placeUnder(QWidget* popup) const
{
    const QRect field(mapToGlobal(QPoint(0, 0)), size());
    const QScreen* shown = screen() ? screen() : QApplication::primaryScreen();
    popup->move(editors::popupPosition(field, popup->size(), shown->geometry()));
}

bool TMyBtnEdit::isValidChar(QChar c) const
{
    return c != QLatin1Char('\r') && c != QLatin1Char('\n');
}

void TMyBtnEdit::buttonClick() {}

void TMyBtnEdit::keyRefused()
{
    editors::KeyBeep::sound();
}

bool TMyBtnEdit::isFieldChange(Qt::FocusReason reason)
{
    return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason &&
           reason != Qt::MenuBarFocusReason;
}

void TMyBtnEdit::keyPressEvent(QKeyEvent* event)
{
    if (const std::optional<QChar> typed = editors::typedCharacter(*event)) {
        if (isLocked()) {
            event->accept();
            return;
        }
        if (!isValidChar(*typed)) {
            keyRefused();
            event->accept();
            return;
        }
    } else if (isLocked() && (event->key() == Qt::Key_Delete || isEditingShortcut(*event))) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TMyBtnEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (!isFieldChange(event->reason()))
        return;
    if (m_autoSelect) {
        selectAll();
    } else {
        deselect();
        setCursorPosition(0);
    }
}

void TMyBtnEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    placeButton();
}

void TMyBtnEdit::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        setMinimumHeight(minimumFieldHeight());
    else if (event->type() == QEvent::EnabledChange)
        m_button->update();
}

void TMyBtnEdit::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_locked) {
        event->accept();
        return;
    }
    if (m_popupMenu) {
        m_popupMenu->exec(event->globalPos());
        return;
    }
    QLineEdit::contextMenuEvent(event);
}

void TMyBtnEdit::placeButton()
{
    QStyleOptionFrame option;
    initStyleOption(&option);
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
    m_button->setGeometry(width() - frame - TEditButton::defaultWidth, frame, TEditButton::defaultWidth,
                          height() - 2 * frame);
}

void TMyBtnEdit::updateTextMargins()
{
    setTextMargins(0, 0, m_buttonVisible ? TEditButton::defaultWidth + 1 : 0, 0);
}

namespace editors {

void setFieldEnabled(QWidget* control, bool enabled)
{
    control->setEnabled(enabled);
    if (auto* edit = qobject_cast<TMyBtnEdit*>(control)) {
        if (enabled)
            edit->notifyEnabled();
        else
            edit->notifyDisabled();
    }
}

} // namespace editors
