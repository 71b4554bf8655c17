#pragma once

#include "CalculatorEngine.h"

#include <QDialog>

class QPushButton;
class TMyBtnEdit;

// The four-function calculator a money field's button opens just under the field. The field itself is
// its display: every change is written into the field's text. OK keeps it, Cancel lets the field
// restore what it had.
class TCalcDlg : public QDialog
{
    Q_OBJECT
public:
    TCalcDlg(TMyBtnEdit* edit, double start);

    const editors::CalculatorEngine& engine() const { return m_engine; }
    QPushButton* okButton() const { return m_okButton; }
    QPushButton* cancelButton() const { return m_cancelButton; }
    // The button that sends a key, e.g. "+" or "7"; "_" is the sign button and backspace "<-".
    QPushButton* keyButton(QChar key) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void addKey(int row, int column, const QString& caption, QChar key, const QString& hint);
    void press(QChar key);

    TMyBtnEdit* m_edit;
    editors::CalculatorEngine m_engine;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
};
