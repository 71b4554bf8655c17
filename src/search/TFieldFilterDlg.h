#pragma once

#include "FilterDialogContext.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class TDateEdit;

namespace search {
struct TFilter;
class TFilterList;
} // namespace search
namespace store {
class Prompts;
}

// The condition on one field of the filter: an operator and one or two values, or a list of values
// ("One Of"). Closes with Accepted when it stored a condition.
class TFieldFilterDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int helpContext = 85;
    static constexpr char EmptyExpressionMessage[] = "The Field expression cannot be Empty!";

    TFieldFilterDlg(search::TFilter& condition, search::TFilterList& filters,
                    const search::SearchField& field, const FilterDialogContext& context,
                    store::Prompts& prompts, QWidget* parent = nullptr);

    QList<QRadioButton*> Operators; // by operator number
    QLineEdit* Value1;              // a filter edit, a currency editor or a date editor
    QLineEdit* Value2;
    QLabel* WordLabel; // "THAN", "TO" or "AND"
    QPlainTextEdit* ValueList;
    QPushButton* RemoveBtn;
    QPushButton* PopulateBtn;
    QPushButton* AddDatesBtn;
    QPushButton* OkBtn;
    QPushButton* CancelBtn;
    QPushButton* HelpBtn;

private:
    void buildWindow(const QString& caption);
    void presetFromCondition();
    int chosenOperator() const;
    void operatorChosen();
    void removeCaretLine();
    void addDatesFromCalendar();
    bool isEmptyValue(QLineEdit* box) const;
    QString valueText(QLineEdit* box) const;
    void okClicked();

    search::TFilter& m_condition;
    search::TFilterList& m_filters;
    search::SearchField m_field;
    FilterDialogContext m_context;
    store::Prompts& m_prompts;
};
