#include "TEditMenu.h"

#include "HelpPages.h"
#include "MessageBoxes.h"
#include "settings/StreamError.h"
#include "settings/TextFile.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

const QString textFilePattern = QStringLiteral("*.txt");

// The file a memo is loaded from or saved to; empty when the user cancels.
QString askForTextFile(QWidget* parent, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent,
                       mode == QFileDialog::AcceptOpen ? QStringLiteral("Open") : QStringLiteral("Save As"));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The text files are what the dialog lists first; a pattern typed as the name could otherwise be
    // taken for a file name when saving.
    dialog.setNameFilters({textFilePattern, QStringLiteral("*")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

TEditMenu::TEditMenu(QWidget* owner) : QMenu(owner)
{
    m_items[Undo] = addAction(QStringLiteral("&Undo"), this, &TEditMenu::undo);
    m_items[UndoSeparator] = addSeparator();
    m_items[Cut] = addAction(QStringLiteral("Cu&t"), this, &TEditMenu::cut);
    m_items[Copy] = addAction(QStringLiteral("&Copy"), this, &TEditMenu::copy);
    m_items[Paste] = addAction(QStringLiteral("&Paste"), this, &TEditMenu::paste);
    m_items[Delete] = addAction(QStringLiteral("&Delete"), this, &TEditMenu::deleteSelection);
    m_items[EditSeparator] = addSeparator();
    m_items[SelectAll] = addAction(QStringLiteral("Select &All"), this, &TEditMenu::selectAll);
    m_items[MemoSeparator] = addSeparator();
    m_items[Load] = addAction(QStringLiteral("&Load"), this, &TEditMenu::loadMemo);
    m_items[Save] = addAction(QStringLiteral("&Save"), this, &TEditMenu::saveMemo);
    m_items[FileSeparator] = addSeparator();
    m_items[Font] = addAction(QStringLiteral("&Font..."), this, [this] { emit fontRequested(m_field); });
    m_items[Color] = addAction(QStringLiteral("C&olor..."), this, [this] { emit colorRequested(m_field); });
    m_items[HelpSeparator] = addSeparator();
    m_items[Help] = addAction(QStringLiteral("&Help"), this, &TEditMenu::showHelp);
}

void TEditMenu::attachTo(QWidget* field)
{
    QList<QWidget*> targets{field};
    if (auto* combo = qobject_cast<QComboBox*>(field); combo && combo->lineEdit())
        targets.append(combo->lineEdit());
    QPointer<QWidget> guarded(field);
    for (QWidget* target : targets) {
        target->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(target, &QWidget::customContextMenuRequested, this,
                [this, guarded, target](const QPoint& pos) {
                    if (guarded)
                        popupFor(guarded, target->mapToGlobal(pos));
                });
    }
}

void TEditMenu::popupFor(QWidget* field, const QPoint& globalPos)
{
    prepareFor(field);
    popup(globalPos);
}

QLineEdit* TEditMenu::lineEdit() const
{
    if (auto* combo = qobject_cast<QComboBox*>(m_field.data()))
        return combo->lineEdit();
    return qobject_cast<QLineEdit*>(m_field.data());
}

QPlainTextEdit* TEditMenu::memo() const
{
    return qobject_cast<QPlainTextEdit*>(m_field.data());
}

void TEditMenu::prepareFor(QWidget* field)
{
    m_field = field;
    field->setFocus(Qt::PopupFocusReason);
    const bool isCombo = qobject_cast<QComboBox*>(field) != nullptr;
    const bool isMemo = memo() != nullptr;

    bool hasSelection = false;
    bool isEmpty = true;
    bool canUndo = false;
    bool readOnly = true;
    if (QLineEdit* edit = lineEdit()) {
        hasSelection = edit->hasSelectedText();
        isEmpty = edit->text().isEmpty();
        canUndo = edit->isUndoAvailable();
        readOnly = edit->isReadOnly();
    } else if (QPlainTextEdit* text = memo()) {
        hasSelection = text->textCursor().hasSelection();
        isEmpty = text->document()->isEmpty();
        canUndo = text->document()->isUndoAvailable();
        readOnly = text->isReadOnly();
    }

    for (Item memoOnly : {MemoSeparator, Load, Save})
        m_items[memoOnly]->setVisible(isMemo);
    for (Item notForCombo : {Undo, UndoSeparator})
        m_items[notForCombo]->setVisible(!isCombo);
    if (isCombo && m_autoFill)
        m_autoFill->setChecked(m_autoFillOn && m_autoFillOn());

    m_items[Undo]->setEnabled(canUndo && !readOnly);
    m_items[Cut]->setEnabled(hasSelection && !readOnly);
    m_items[Copy]->setEnabled(hasSelection);
    m_items[Delete]->setEnabled(hasSelection && !readOnly);
    m_items[Paste]->setEnabled(!readOnly);
    m_items[SelectAll]->setEnabled(!hasSelection && !isEmpty);
    m_items[Load]->setEnabled(!readOnly);
}

void TEditMenu::insertItem(QAction* action)
{
    insertAction(m_items[HelpSeparator], action);
}

void TEditMenu::setAutoFillItem(QAction* action, std::function<bool()> isOn)
{
    action->setCheckable(true);
    m_autoFill = action;
    m_autoFillOn = std::move(isOn);
}

void TEditMenu::onField(bool changesText, const std::function<void(QLineEdit*)>& onEdit,
                        const std::function<void(QPlainTextEdit*)>& onMemo) const
{
    // A read-only field can be copied from, never changed.
    if (QLineEdit* edit = lineEdit()) {
        if (!changesText || !edit->isReadOnly())
            onEdit(edit);
    } else if (QPlainTextEdit* text = memo()) {
        if (!changesText || !text->isReadOnly())
            onMemo(text);
    }
}

void TEditMenu::undo()
{
    onField(true, &QLineEdit::undo, &QPlainTextEdit::undo);
}

void TEditMenu::cut()
{
    onField(true, &QLineEdit::cut, &QPlainTextEdit::cut);
}

void TEditMenu::copy()
{
    onField(false, &QLineEdit::copy, &QPlainTextEdit::copy);
}

void TEditMenu::paste()
{
    onField(true, &QLineEdit::paste, &QPlainTextEdit::paste);
}

void TEditMenu::deleteSelection()
{
    onField(
        true,
        [](QLineEdit* edit) {
            if (edit->hasSelectedText())
                edit->del();
        },
        [](QPlainTextEdit* text) {
            QTextCursor cursor = text->textCursor();
            cursor.removeSelectedText();
            text->setTextCursor(cursor);
        });
}

void TEditMenu::selectAll()
{
    onField(false, &QLineEdit::selectAll, &QPlainTextEdit::selectAll);
}

void TEditMenu::loadMemo()
{
    QPlainTextEdit* text = memo();
    if (!text || text->isReadOnly())
        return;
    const QString path = askForTextFile(text->window(), QFileDialog::AcceptOpen);
    if (path.isEmpty())
        return;
    const std::optional<QStringList> lines = settings::ReadTextLines(path);
    if (!lines) {
        messages::error(text->window(), settings::StreamError::cannotOpen(path).message());
        return;
    }
    text->setPlainText(lines->join(QLatin1Char('\n')));
}

void TEditMenu::saveMemo()
{
    QPlainTextEdit* text = memo();
    if (!text)
        return;
    const QString path = askForTextFile(text->window(), QFileDialog::AcceptSave);
    if (path.isEmpty())
        return;
    const QString content = text->toPlainText();
    const QStringList lines = content.isEmpty() ? QStringList() : content.split(QLatin1Char('\n'));
    if (!settings::WriteTextLines(path, lines))
        messages::error(text->window(), settings::StreamError::cannotCreate(path).message());
}

void TEditMenu::showHelp()
{
    const int context = m_field ? m_field->property("helpContext").toInt() : 0;
    if (context != 0)
        help::showContext(context);
}
