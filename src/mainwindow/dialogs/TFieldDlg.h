#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class RecordTableModel;
class TMultiImgControl;

// "Edit Field": one column of a grid row in a window of its own: a one-line edit, a memo (with
// "Auto-Wrap"), or the picture control for binary columns. OK writes the value and posts the row; Cancel
// drops the row's changes. The window's last size and the Auto-Wrap choice are remembered for the run.
// On a read-only grid the value is only shown.
class TFieldDlg : public QDialog
{
    Q_OBJECT
public:
    TFieldDlg(RecordTableModel& model, int row, int column, QWidget* parent = nullptr);
    ~TFieldDlg() override;

    // Forgets the size and the Auto-Wrap choice, as a new run starts.
    static void resetRunMemory();
    static QSize rememberedSize();
    static bool rememberedAutoWrap();

    QLineEdit* Edit1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QCheckBox* AutoWrap = nullptr;
    TMultiImgControl* Picture = nullptr;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

public slots:
    void accept() override;
    void reject() override;
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildEditor(QWidget* holder);
    void loadValue();
    void applyAutoWrap(bool wrap);

    RecordTableModel& m_model;
    int m_row;
    int m_column;
};
