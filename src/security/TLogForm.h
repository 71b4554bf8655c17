#pragma once

#include "ActivityLog.h"

#include <QDialog>

class QPushButton;
class QTreeWidget;

namespace store {
class Prompts;
}

// "Maintenance Log": the activity log as a list, created once after the log-in and kept until the
// program ends. Other parts add entries through AddEntry; the maintenance window shows it.
class TLogForm : public QDialog
{
    Q_OBJECT
public:
    static constexpr int helpContext = 131;
    static constexpr char DeleteQuestion[] = "Remove Selected Items?";
    static constexpr char ClearQuestion[] = "Delete ALL Items?";

    // Reads "log.dat" of the settings folder; prompts asks the questions and reports a failed save.
    TLogForm(const QString& settingsFolder, store::Prompts& prompts, QWidget* parent = nullptr);
    // Writes the log, so that rows deleted since the last entry stay deleted.
    ~TLogForm() override;

    // Logs a bulk operation of the database and writes the file at once.
    void AddEntry(const QString& databaseName, const QString& description);
    const security::ActivityLog& log() const { return m_log; }

    QTreeWidget* LogList;
    QPushButton* OkBtn;
    QPushButton* DeleteBtn;
    QPushButton* ClearBtn;
    QPushButton* HelpBtn;

private:
    void fillList();
    void deleteSelected();
    void clearAll();
    void save();

    security::ActivityLog m_log;
    store::Prompts& m_prompts;
};
