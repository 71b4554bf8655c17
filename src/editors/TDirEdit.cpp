#include "TDirEdit.h"

#include "mainwindow/controls/MessageBoxes.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFocusEvent>

TDirEdit::TDirEdit(QWidget* parent) : TMyBtnEdit(parent)
{
    resize(200, 24);
    setAutoSelect(false);
    setButtonHint(QStringLiteral("Click here to select a directory"));
    connect(this, &QLineEdit::textChanged, this, &TDirEdit::applyCase);
}

void TDirEdit::setUpperCase(bool upperCase)
{
    m_upperCase = upperCase;
    applyCase();
}

void TDirEdit::applyCase()
{
    if (!m_upperCase)
        return;
    const QString upper = text().toUpper();
    if (upper == text())
        return;
    const int caret = cursorPosition();
    setText(upper);
    setCursorPosition(caret);
}

void TDirEdit::focusOutEvent(QFocusEvent* event)
{
    TMyBtnEdit::focusOutEvent(event);
    if (!m_checkDirectory || !isFieldChange(event->reason()) || !isVisible())
        return;
    if (!QFileInfo(text()).isDir()) {
        messages::error(this, QStringLiteral("Invalid directory!"));
        setFocus();
    }
}

void TDirEdit::buttonClick()
{
    QFileDialog chooser(this, QStringLiteral("Select Directory"), text());
    chooser.setFileMode(QFileDialog::Directory);
    chooser.setOption(QFileDialog::ShowDirsOnly);
    if (chooser.exec() == QDialog::Accepted && !chooser.selectedFiles().isEmpty())
        setText(chooser.selectedFiles().constFirst());
    setFocus();
}
