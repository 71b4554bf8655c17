#pragma once

#include "SearchFields.h"
#include "ToolWindow.h"

#include <functional>
#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class TDateEdit;

namespace dbase {
class Table;
}
namespace search {
class ReplaceRun;
struct ReplaceHooks;
struct ReplaceRequest;
class TFilterList;
} // namespace search
namespace security {
class ActivityLog;
}
namespace store {
class Prompts;
}

// "Replace": overwrites one field in many records, replaces a substring in it or numbers the records, in
// the records of the filter scope and the record list's order. Created once by the record window, hidden
// on close and shown again with its choices.
class TReplaceDlg : public ToolWindow
{
    Q_OBJECT
public:
    static constexpr int helpContext = 130;
    static constexpr char ConfirmQuestion[] =
        "This function is very Dangerous!\nMake sure you selected the desired set of records using a Filter. "
        "Click on Help for more information. Are you sure you want to use Replace function?";
    static constexpr char CannotOpenMessage[] = "Could not open the database for Replace!";
    static constexpr char NothingReplacedMessage[] = "No records were replaced!";

    // The log gets an entry for each run that replaced something, under databaseName().
    TReplaceDlg(dbase::Table& browse, const QList<search::SearchField>& fields, search::TFilterList* filters,
                security::ActivityLog* log, std::function<QString()> databaseName, store::Prompts& prompts,
                QWidget* recordWindow = nullptr);
    ~TReplaceDlg() override;

    void setHooks(const search::ReplaceHooks& hooks);
    // Closes and frees the "Search" window before a run.
    std::function<void()> closeSearchWindow;

    void Replace();
    void Stop();
    const search::ReplaceRun& run() const { return *m_run; }

    QComboBox* FieldList;
    QGroupBox* ModeGroup;
    QList<QRadioButton*> Modes; // by mode number
    QLabel* SecondLabel;
    QLineEdit* SecondEdit; // the substring, or the counter's start
    QLabel* ValueLabel;
    QLineEdit* OneLineEdit;
    QPlainTextEdit* MemoEdit;
    TDateEdit* DateEdit;
    QGroupBox* StartGroup;
    QRadioButton* FromCurrent;
    QRadioButton* FromFirst;
    QLabel* CounterLabel;
    QPushButton* ReplaceBtn;
    QPushButton* StopBtn;
    QPushButton* CloseBtn;
    QPushButton* HelpBtn;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildWindow();
    int mode() const;
    const search::SearchField* chosenField() const;
    // After every change of field, mode or value.
    void updateChoices();
    search::ReplaceRequest request() const;
    void report(int outcome);

    std::unique_ptr<search::ReplaceRun> m_run;
    QList<search::SearchField> m_fields;
    security::ActivityLog* m_log;
    std::function<QString()> m_databaseName;
    store::Prompts& m_prompts;
    std::function<bool(int&)> m_beforeReplace;
    std::function<void()> m_afterReplace;
    bool m_updating = false;
};
