#pragma once

#include "editors/LookupFields.h"
#include "mainwindow/controls/MessageBoxes.h"

#include <functional>
#include <memory>
#include <QDialog>
#include <QList>

class QButtonGroup;
class QGroupBox;
class QPushButton;
class QTableView;
class RecordTableModel;

namespace dbase {
class Table;
}
namespace store {
struct Session;
}

// "Edit Lists": the lookup lists of the database folder, one radio entry per lookup field of the record.
// The chosen list shows read-only in "IDX" order; its items are added, changed and deleted through input
// boxes, and "Update Lists" adds to every list the values of its field that the records hold and the list
// lacks. Closing packs every list.
class TListDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int helpContext = 65;
    static const QString caption;
    static const std::string listTag; // "IDX"

    // The lists live in the session's database folder; Update Lists reads its current record table.
    TListDlg(const store::Session& session, const QList<lookup::ListEntry>& entries,
             QWidget* parent = nullptr);
    ~TListDlg() override;

    QGroupBox* RadioGroup1;
    QTableView* DBGrid1;
    QPushButton* EditBtn;
    QPushButton* NewBtn;
    QPushButton* DeleteBtn;
    QPushButton* UpdateBtn;
    QPushButton* CloseBtn;
    QPushButton* HelpBtn;

    const QList<lookup::ListEntry>& entries() const { return m_entries; }
    int selectedEntry() const;
    // Checks the entry and shows its list; the record window presets the field the menu was opened on.
    void selectEntry(int index);
    // The grid's rows; none while no list is open.
    RecordTableModel* model() const { return m_model; }

    void NewItem();
    void EditItem();
    void DeleteItem();
    void UpdateLists();

public slots:
    void done(int result) override;

private:
    void openList(int index);
    void closeList();
    int currentRow() const;
    bool positionOnRow(int row);
    void changeList(const QString& failure, const std::function<void(dbase::Table&)>& change);
    void showCurrentRecord(int fallbackRow);
    void addMissingValues(dbase::Table& records, const lookup::ListEntry& entry);
    void packLists();
    void reportWithNormalCursor(const QString& text);

    const store::Session& m_session;
    QList<lookup::ListEntry> m_entries;
    QButtonGroup* m_choices;
    WidgetPrompts m_prompts;
    std::unique_ptr<dbase::Table> m_list;
    RecordTableModel* m_model = nullptr;
};
