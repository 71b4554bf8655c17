#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The questions that must be answered by typing YES.
enum class ConfirmedAction
{
    DeleteRecord,
    DeleteDatabase,
    DeleteAllRecords,
    RepairDataFile,
    BackupDataFile,
    RestoreDataFile,
    DeleteDisplayedRecords
};

// "Confirm Action": proceeds only when the user types YES. The box upper-cases what is typed and takes
// three characters; OK with anything else ends the dialog as Cancel.
class TDeleteDlg1 : public QDialog
{
    Q_OBJECT
public:
    explicit TDeleteDlg1(QWidget* parent = nullptr);

    void SetTexts(const QString& request, const QString& warning);
    // The caption and texts of the caller's question.
    void setAction(ConfirmedAction action);
    // Asks the caller's question; true only when YES was typed and OK pressed.
    static bool confirm(ConfirmedAction action, QWidget* parent);

    QLabel* Label1;   // the request line
    QLabel* Label2;   // "type in 'YES':"
    QLabel* Label3;   // the warning line
    QLineEdit* Edit1; // where YES is typed
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
};
