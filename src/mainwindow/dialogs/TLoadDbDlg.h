#pragma once

#include "mainwindow/controls/MessageBoxes.h"
#include "store/DatabaseList.h"

#include <functional>
#include <QDialog>

class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace store {
class DatabaseFolder;
struct Session;
} // namespace store

// "Load Database": the databases of the private folder (the settings folder) or of the public database
// folder, with New, Edit and Delete, and Load to choose one. The record window loads the chosen table
// itself (DatabaseFolder::LoadDatabase) once the dialog has closed with Accepted.
class TLoadDbDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int helpContext = 81;

    TLoadDbDlg(store::Session& session, store::DatabaseFolder& database, QWidget* parent = nullptr);

    // What Load chose.
    QString chosenFolder() const { return m_chosenFolder; }
    QString chosenFileName() const { return m_chosenFileName; }
    // The check a deletion must pass when passwords are in force; without one every deletion may go on.
    void setSecurityCheck(std::function<bool()> check) { m_securityCheck = std::move(check); }

    QListWidget* DbList;     // "Available Databases:"
    QLineEdit* RealFileName; // "Real File Name:"
    QGroupBox* DbType;       // "Database Type"
    QRadioButton* PrivateBtn;
    QRadioButton* PublicBtn;
    QPushButton* LoadBtn;
    QPushButton* CancelBtn;
    QPushButton* HelpBtn;
    QPushButton* EditBtn;
    QPushButton* NewBtn;
    QPushButton* DeleteBtn;

public slots:
    void done(int result) override;

private:
    void buildWindow();
    void showDatabaseType();
    void fillList(int selected);
    void updateButtons();
    void selectionChanged();
    int selectedIndex() const;
    void editClicked();
    void newClicked();
    void deleteClicked();
    void loadClicked();

    store::Session& m_session;
    WidgetPrompts m_prompts;
    store::DatabaseList m_list;
    std::function<bool()> m_securityCheck = [] { return true; };
    QString m_chosenFolder;
    QString m_chosenFileName;
};
