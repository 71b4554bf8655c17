#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace store {
class DatabaseFolder;
class TRecordTemplateList;
} // namespace store

// "Save Record As Template": names the record template the current record is saved into (an existing
// one, or a new one, which is added to the list at once) and the date fields that are to mean "today".
// Existing templates can be deleted here, name and copy-buffer row together.
//
// After OK, TemplateIndex() is the template's position in the list (its copy-buffer row is one more) and
// DateColumns() the copy-buffer columns whose box was ticked. The caller then writes the form into that
// row and marks the dates (RecordTemplateRows.h), whatever the result writes "records.tml" and rebuilds
// its template menus.
class TRecordTemplateForm : public QDialog
{
    Q_OBJECT
public:
    static constexpr int helpContext = 100;
    static constexpr char NameRequiredMessage[] = "You must enter Template Name (\"Blank\" is not allowed)!";
    static constexpr char NotCreatedMessage[] = "Could not create New Template!";
    static constexpr char DeleteQuestion[] = "Are you sure you want to Delete selected Template?";
    static constexpr char PackFailedMessage[] = "Function Failed!\nDatabase may be used by someone else - "
                                                "this function requires Exclusive Database Use.";
    static constexpr char RowInUseMessage[] = "Record in use - not Deleted!";

    // captions: the field captions in field order, which name the date boxes.
    TRecordTemplateForm(store::TRecordTemplateList& templates, store::DatabaseFolder& folder,
                        const QStringList& captions, QWidget* parent = nullptr);

    int TemplateIndex() const { return m_templateIndex; }
    QList<int> DateColumns() const;

    QListWidget* ExistingTemplates; // "Blank" first, then the template names
    QLineEdit* TemplateName;
    QGroupBox* DateGroup;
    QList<QCheckBox*> DateBoxes; // tag: the copy-buffer column
    QPushButton* OkButton;
    QPushButton* CancelButton;
    QPushButton* HelpButton;
    QPushButton* DeleteButton;

private:
    void addDateBoxes(const QStringList& captions);
    int selectedItem() const; // -1 when nothing is selected
    void updateDeleteButton();
    void pickTemplate(QListWidgetItem* item);
    void deleteSelected();
    void confirm();

    store::TRecordTemplateList& m_templates;
    store::DatabaseFolder& m_folder;
    int m_templateIndex = 0;
};
