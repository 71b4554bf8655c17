#pragma once

#include "store/Session.h"

#include <functional>
#include <memory>
#include <QList>
#include <QMainWindow>

class QLabel;
class QTabWidget;
class QMenu;

namespace dbase {
class Table;
}
namespace store {
class DatabaseFolder;
class Prompts;
} // namespace store

// The record window engine: one record of the current table on the record pages, and the cycle of
// loading, editing and saving it. It knows nothing about stamps: the concrete form hands it a function
// that builds the record pages, and it discovers the fields from the controls it finds there.
class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    using RecordPagesBuilder = void (*)(QTabWidget* pages);

    TForm1(store::Session& session, RecordPagesBuilder buildPages, QWidget* parent = nullptr);
    ~TForm1() override;

    // Set by the program body: closing the window ends the run unless the tray keeps it.
    void setCloseHandler(std::function<void()> handler) { m_closeHandler = std::move(handler); }
    // True when the database could not be opened and the window is about to close itself.
    bool failedToOpen() const { return m_failedToOpen; }

    // --- Fields and captions ---------------------------------------------------------------------------
    void DiscoverFields();
    void ApplyCaptions();
    void ApplyDateFormats();
    // False when a damaged memo stopped the transfer; the caller then leaves the rest of the record.
    bool LoadFieldFromColumn(QWidget* control, int column, dbase::Table& table);
    bool StoreFieldToColumn(QWidget* control, int column, dbase::Table& table);
    const QList<QWidget*>& fieldControls() const { return m_fields; }
    const QList<QWidget*>& captionLabels() const { return m_captionLabels; }
    QTabWidget* recordPages() const { return m_pages; }

    // --- The record cycle ------------------------------------------------------------------------------
    void GoToRecord(int index);
    void ShowRecord(int position);
    bool SaveCurrentRecord();
    bool PostCurrentRecord(dbase::Table& table);
    void LoadRecordIntoForm(dbase::Table& table);
    void ClearForm();
    bool IsRecordEmpty() const;
    // The session ends and nobody can answer: the record is saved as it stands, and the close that
    // follows asks nothing.
    void endSession();

    int position() const { return m_position; }
    bool isNewRecord() const { return m_newRecord; }
    bool isRecordInUse() const { return m_inUse; }
    QString statusText() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildWindow(RecordPagesBuilder buildPages);
    bool openDatabase();
    void setTitle();
    void restoreWindowPlacement();
    void saveWindowPlacement();
    void saveSettingsFiles();
    QStringList pageCaptions() const;
    void savePageOrder();
    void restorePageOrder();
    void refreshStatus();
    void setFieldsEnabled(bool enabled);
    void reportCorruptMemo();
    void saveCurrentRecordSilently();
    void dateFormatChanged(QWidget* dateField, int format);
    void showCaptionMenu(QLabel* label);
    void renameCaption(QLabel* label);
    QString fieldText(int fieldNumber) const;

    store::Session& m_session;
    std::unique_ptr<store::Prompts> m_prompts;
    std::unique_ptr<store::DatabaseFolder> m_database;
    std::function<void()> m_closeHandler;

    QWidget* m_rightPane = nullptr;
    QTabWidget* m_pages = nullptr;
    QLabel* m_status = nullptr;
    QList<QWidget*> m_fields;        // indexed by field number - 1
    QList<QWidget*> m_captionLabels; // indexed by field number - 1
    QList<QWidget*> m_dateFields;    // in the order they were found

    // Record-window state
    bool m_newRecord = false;
    bool m_inUse = false;
    int m_position = 0;
    double m_recordNumber = -1;
    bool m_saved = false;
    bool m_applyingTemplate = false;
    bool m_ready = false;
    bool m_failedToOpen = false;
    bool m_firstShowDone = false;
    bool m_sessionEnding = false;
};
