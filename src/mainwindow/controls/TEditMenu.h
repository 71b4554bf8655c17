#pragma once

#include <functional>
#include <QMenu>
#include <QPointer>

class QLineEdit;
class QPlainTextEdit;

// The pop-up menu of the record form's text fields: one-line edits (and the field editors built on
// them), combo boxes with a line edit, and multi-line memos. One menu serves many fields; each time it
// opens it works on the field it was opened for (popupComponent()).
class TEditMenu : public QMenu
{
    Q_OBJECT

public:
    // The items in the order the menu is built; Separator* are the separators.
    enum Item
    {
        Undo = 0,
        UndoSeparator,
        Cut,
        Copy,
        Paste,
        Delete,
        EditSeparator,
        SelectAll,
        MemoSeparator,
        Load,
        Save,
        FileSeparator,
        Font,
        Color,
        HelpSeparator,
        Help,
        ItemCount
    };

    explicit TEditMenu(QWidget* owner);

    // A right click on the field opens this menu (for a combo box, a right click on its line edit).
    void attachTo(QWidget* field);
    // Opens the menu for a field at a screen position.
    void popupFor(QWidget* field, const QPoint& globalPos);
    // The opening rules: focuses the field and sets which items show and which are enabled.
    void prepareFor(QWidget* field);
    QWidget* popupComponent() const { return m_field; }

    QAction* item(Item which) const { return m_items[which]; }
    // Adds an item before the trailing separator and "&Help" (the list fields' menu gets "&Edit List..."
    // and "Auto-F&ill" this way).
    void insertItem(QAction* action);
    // The item that shows the auto-fill option: on opening for a combo box it is checked while isOn
    // answers true.
    void setAutoFillItem(QAction* action, std::function<bool()> isOn);

signals:
    void fontRequested(QWidget* field);
    void colorRequested(QWidget* field);

private:
    QLineEdit* lineEdit() const;
    QPlainTextEdit* memo() const;
    // Runs the one of the two that fits the field; one that changes the text skips read-only fields.
    void onField(bool changesText, const std::function<void(QLineEdit*)>& onEdit,
                 const std::function<void(QPlainTextEdit*)>& onMemo) const;
    void undo();
    void cut();
    void copy();
    void paste();
    void deleteSelection();
    void selectAll();
    void loadMemo();
    void saveMemo();
    void showHelp();

    QAction* m_items[ItemCount] = {};
    QPointer<QWidget> m_field;
    QPointer<QAction> m_autoFill;
    std::function<bool()> m_autoFillOn;
};
