#pragma once

#include <QLineEdit>
#include <QMenu>
#include <QPointer>

class TEditButton;

// The base of the button edits: a one-line edit with a small button at its right edge that the text
// never runs under, a character filter for typing, and the locked state of read-only records.
//
// Locked: the host disables a field and then calls notifyDisabled(). An editor that locks when
// disabled (date and attachment fields) enables itself again and is locked: it looks enabled and its
// button works, but it takes no typing, cut, paste or undo and its menu does not open. notifyEnabled()
// ends it. setFieldEnabled() below does both steps for any field control.
class TMyBtnEdit : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(bool buttonVisible READ isButtonVisible WRITE setButtonVisible)
    Q_PROPERTY(bool autoSelect READ autoSelect WRITE setAutoSelect)
    Q_PROPERTY(QString buttonHint READ buttonHint WRITE setButtonHint)
public:
    TEditButton* button() const { return m_button; }

    bool isButtonVisible() const { return m_buttonVisible; }
    void setButtonVisible(bool visible);
    // Entering the field selects all of its text, or else puts the caret in front.
    bool autoSelect() const { return m_autoSelect; }
    void setAutoSelect(bool autoSelect) { m_autoSelect = autoSelect; }
    // The button's hint; an empty hint shows none.
    QString buttonHint() const;
    void setButtonHint(const QString& hint);

    bool lockWhenDisabled() const { return m_lockWhenDisabled; }
    void setLockWhenDisabled(bool lock) { m_lockWhenDisabled = lock; }
    bool locked() const { return m_locked; }
    // Disabled or locked: the text may not be changed by the user.
    bool isLocked() const { return !isEnabled() || m_locked; }
    void notifyEnabled();
    void notifyDisabled();

    // The menu of the right mouse button: the editor's own, or one the host assigned.
    QMenu* popupMenu() const { return m_popupMenu; }
    void setPopupMenu(QMenu* menu) { m_popupMenu = menu; }

    // The lowest the field may be for its font.
    int minimumFieldHeight() const;
    // Puts a popup window just under the field on its screen (above it when there is no room below).
    void placeUnder(QWidget* popup) const;

protected:
    explicit TMyBtnEdit(QWidget* parent);

    // Whether a typed character may go into the text.
    virtual bool isValidChar(QChar c) const;
    virtual void buttonClick();
    // What a refused key does: beep.
    virtual void keyRefused();

    // Focus moves that enter or leave the field, as opposed to menus and window switches.
    static bool isFieldChange(Qt::FocusReason reason);

    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void setLocked(bool locked);
    void placeButton();
    void updateTextMargins();

    TEditButton* m_button;
    QPointer<QMenu> m_popupMenu;
    bool m_buttonVisible = true;
    bool m_autoSelect = true;
    bool m_lockWhenDisabled = false;
    bool m_locked = false;
    bool m_readOnlyBeforeLock = false;
};

namespace editors {

// Enables or disables a field control and then sends it the explicit notification, so that the
// button edits can switch to or from their locked state.
void setFieldEnabled(QWidget* control, bool enabled);

} // namespace editors
