#pragma once

#include "FilterDialogContext.h"

#include <optional>
#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace search {
class TFilterList;
}
namespace store {
class Prompts;
class TFilterTemplateList;
} // namespace store

// "Set Filter": which fields the filter tests and the conditions on them, filter templates, and the
// filter scope. Closes with Apply (mark the records anew) or ScopeOnly.
class TFilterDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int helpContext = 23;
    enum Result
    {
        ScopeOnly = QDialog::Accepted,
        Apply = 2
    };

    TFilterDlg(search::TFilterList& filters, store::TFilterTemplateList& templates, int scope,
               const FilterDialogContext& context, store::Prompts& prompts, QWidget* parent = nullptr);

    int chosenScope() const;
    // The scope the record window shows after the dialog closed with result: "Normal Filter" after Apply,
    // otherwise the chosen one; none when nothing changed.
    static std::optional<int> scopeAfter(int result, int currentScope, int chosenScope);

    QListWidget* AllFields;
    QListWidget* UsedFields;
    QPushButton* AddBtn;
    QPushButton* RemoveBtn;
    QPushButton* RemoveAllBtn;
    QPushButton* EditBtn;
    QPushButton* SaveBtn;
    QPushButton* LoadBtn;
    QGroupBox* ScopeGroup;
    QList<QRadioButton*> Scopes; // by scope number
    QPushButton* ApplyBtn;
    QPushButton* OkBtn;
    QPushButton* CancelBtn;
    QPushButton* HelpBtn;

private:
    void buildWindow();
    void fillUsedList(int selected);
    void updateButtons();
    const search::SearchField* fieldOfColumn(int column) const;
    void addField();
    void removeField();
    void removeAll();
    void editCondition();
    void saveTemplate();
    void loadTemplate();

    search::TFilterList& m_filters;
    store::TFilterTemplateList& m_templates;
    FilterDialogContext m_context;
    store::Prompts& m_prompts;
    QList<search::SearchField> m_filterable;
};

// Marks every record anew with the filter, under the hourglass and a progress window.
void ApplyFilterWithProgress(search::TFilterList& filters, QWidget* parent);
