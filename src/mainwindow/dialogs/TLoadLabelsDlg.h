#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

namespace store {
class TTemplateList;
}

// "Load Labels From Template": picks a caption template by name, and deletes templates on the way. After
// OK, fileName() is the chosen template's content file (empty when none was selected); the caller loads it.
class TLoadLabelsDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int helpContext = 100;
    static constexpr char DeleteQuestion[] = "Delete Selected Template?";

    explicit TLoadLabelsDlg(store::TTemplateList& templates, QWidget* parent = nullptr);

    QString fileName() const { return m_fileName; }

    QListWidget* TemplateList;
    QPushButton* OkButton;
    QPushButton* CancelButton;
    QPushButton* HelpButton;
    QPushButton* DeleteButton;

private:
    int selectedRow() const; // -1 when nothing is selected
    void deleteSelected();
    void choose();

    store::TTemplateList& m_templates;
    QString m_fileName;
};
