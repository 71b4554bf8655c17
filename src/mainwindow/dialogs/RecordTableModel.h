#pragma once

#include <functional>
#include <memory>
#include <QAbstractTableModel>
#include <QCache>
#include <QStringList>

// The engine's headers stay out of what moc reads.
namespace dbase {
class Table;
struct FieldDescriptor;
} // namespace dbase
namespace store {
class Prompts;
}

// The rows of a table, with its tag and range, for a grid: a row is read when the grid first shows it, so
// a table of any size opens at once. One column per table column, named after it.
//
// Changes go through a second cursor on the same file, which holds the changed record's lock while the
// table itself moves on to read other rows. A row stays in edit state until it is posted or cancelled, as
// in a data-aware grid; moving the edit to another row posts it first. Engine errors are shown with their
// own text through the prompts.
class RecordTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // How many read rows are kept; the rest are read again when asked for.
    static constexpr int cachedRowsLimit = 1000;

    RecordTableModel(dbase::Table& table, store::Prompts& prompts, QObject* parent = nullptr);
    ~RecordTableModel() override;

    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool isReadOnly() const { return m_readOnly; }
    dbase::Table& table() const { return m_table; }
    const dbase::FieldDescriptor& field(int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Text as the grid shows it: numbers read leniently, dates as mm/dd/yyyy, empty text clears.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // --- The row being changed ---------------------------------------------------------------------------
    int editingRow() const { return m_editRow; }
    bool isEditing() const { return m_editRow >= 0; }
    bool isInserting() const { return m_insertRow >= 0; }
    // Locks the row's record for a change; false after the error was shown.
    bool editRow(int row);
    // A new row at row, in insert state (numbered the way the table numbers its new rows).
    bool insertRowAt(int row);
    // Runs change on the row's record in edit state (taken first when needed).
    bool changeRow(int row, const std::function<void(dbase::Table&)>& change);
    bool postRow();
    void cancelRow();
    bool deleteRow(int row);
    // Counts and reads every row again.
    void refresh();
    // The row's record, on the second cursor: in edit state with its changes when it is the row being
    // changed. Valid until the next call.
    dbase::Table& recordOf(int row);

    // Rows read and kept at the moment.
    int cachedRows() const { return m_cache.size(); }

signals:
    void editingChanged();

private:
    bool openWriter();
    // Runs action on the second cursor placed on the row's record; false after an error was shown.
    bool withRecordOf(int row, const std::function<void(dbase::Table&)>& action);
    bool positionTable(int tableRow) const;
    int tableRowOf(int row) const;
    const QStringList* rowTexts(int row) const;
    QStringList textsOf(const dbase::Table& record) const;
    QString textOf(const dbase::Table& record, int column) const;
    void assignText(dbase::Table& record, int column, const QString& text) const;
    void reportError(const std::exception& error) const;
    void rowsChanged(int removedRow);

    dbase::Table& m_table;
    store::Prompts& m_prompts;
    std::unique_ptr<dbase::Table> m_writer;
    bool m_readOnly = false;
    int m_count = 0;
    int m_editRow = -1;
    int m_insertRow = -1;
    mutable int m_tableRow = -1; // where m_table stands, counted from 0 in the range
    mutable QCache<int, QStringList> m_cache;
};
