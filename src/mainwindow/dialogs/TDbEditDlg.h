#pragma once

#include "mainwindow/controls/MessageBoxes.h"

#include <QDialog>
#include <string>

class QPushButton;
class QTableView;
class RecordTableModel;
class TDBNavigator;

namespace dbase {
class Table;
}

// "Table Viewer": every record of the table, with its sort and range, in a grid with a navigator. The
// record window hands its browse table over while the view runs (shown modally and maximized); the leading
// columns (record number and filter mark) are never shown. Read-only, the grid is silver and the
// navigator only moves.
class TDbEditDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int helpContext = 234;
    static const QString caption;
    static const QString readOnlyCaptionSuffix;

    // folder and fileName open the table when it is not open yet.
    TDbEditDlg(dbase::Table& table, const QString& folder, const QString& fileName, int hiddenColumns,
               bool readOnly, QWidget* parent = nullptr);
    ~TDbEditDlg() override;

    QTableView* DBGrid1;
    TDBNavigator* DBNavigator1;
    QPushButton* CloseBtn;
    QPushButton* HelpBtn;

    RecordTableModel* model() const { return m_model; }
    // Opens the field editor on the column of the grid's current row, as a double click does.
    void editField(int column);

public slots:
    // Closing posts a pending change first; one that cannot be posted keeps the view open.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool attachTable();
    void detachTable();
    void narrowWideColumns();
    int naturalWidth(int column) const;
    void navigate(int which);
    void currentRowChanged(int row);
    void updateNavigator();
    int currentRow() const;
    void setCurrentRow(int row);

    dbase::Table& m_table;
    QString m_folder;
    QString m_fileName;
    int m_hiddenColumns;
    bool m_readOnly;
    WidgetPrompts m_prompts;
    RecordTableModel* m_model = nullptr;
    std::string m_tag;
};
