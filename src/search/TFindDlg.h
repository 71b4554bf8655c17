#pragma once

#include "FindHooks.h"
#include "SearchFields.h"
#include "ToolWindow.h"

#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace store {
class Prompts;
}
namespace dbase {
class Table;
}
namespace search {
class FindSearch;
class TFilterList;
} // namespace search

// "Search": finds records whose fields hold a text, one match at a time, or marks every matching record
// in one pass (non-stop mode). A modeless window beside the record window, which registers its hooks and
// reads the position of a match from search(); the window frees itself when closed.
class TFindDlg : public ToolWindow
{
    Q_OBJECT
public:
    static constexpr int helpContext = 21;
    static constexpr char AllFieldsEntry[] = "ALL FIELDS";
    static constexpr char EnterTextMessage[] = "You have to enter Text!";
    static constexpr char NotFoundMessage[] = "Text Not Found!";
    static constexpr char NoRecordsMessage[] = "No Records Found!";
    static constexpr int maxTextLength = 128;

    TFindDlg(dbase::Table& browse, const QList<search::SearchField>& fields, search::TFilterList* filters,
             std::function<int()> dateFormat, store::Prompts& prompts, QWidget* recordWindow = nullptr);
    ~TFindDlg() override;

    void setHooks(const search::FindHooks& hooks);
    search::FindSearch& search() { return *m_search; }
    // Closes and frees the "Replace" window before a non-stop search.
    std::function<void()> closeReplaceWindow;

    void Find();
    void FindNext() { continueSearch(true); }
    void FindPrevious() { continueSearch(false); }
    void Stop();

    QComboBox* FieldList;
    QComboBox* TextBox;
    QGroupBox* StartFrom;
    QRadioButton* FromBeginning;
    QRadioButton* FromEnd;
    QCheckBox* SkipMemos;
    QCheckBox* NonStopMode;
    QLabel* LetterLabel;
    QLabel* CounterLabel;
    QPushButton* FindBtn;
    QPushButton* NextBtn;
    QPushButton* PrevBtn;
    QPushButton* StopBtn;
    QPushButton* CloseBtn;
    QPushButton* HelpBtn;

public slots:
    // Esc closes the window like its Close button.
    void reject() override { close(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildWindow();
    void restoreSettings();
    void saveSettings();
    void fieldChosen();
    void nonStopToggled(bool on);
    void searchChanged();
    void prepareSearch();
    // Whether the step found a match.
    bool showOutcome(int outcome);
    void continueSearch(bool forward);
    void runNonStop();
    void showCounter();
    int runStep(const std::function<int()>& step);

    std::unique_ptr<search::FindSearch> m_search;
    QList<search::SearchField> m_fields;
    search::TFilterList* m_filters;
    store::Prompts& m_prompts;
    bool m_skipMemosChoice = false; // the choice "ALL FIELDS" restores
};
