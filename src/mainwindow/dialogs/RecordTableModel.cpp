#include "RecordTableModel.h"

#include "dbase/Errors.h"
#include "dbase/Table.h"
#include "store/ColumnValues.h"
#include "store/NumberText.h"
#include "store/Prompts.h"

#include <cstdlib>
#include <QLocale>

namespace {

const QString dateFormat = QStringLiteral("MM/dd/yyyy");

std::size_t at(int column)
{
    return static_cast<std::size_t>(column);
}

} // namespace

RecordTableModel::RecordTableModel(dbase::Table& table, store::Prompts& prompts, QObject* parent)
    : QAbstractTableModel(parent), m_table(table), m_prompts(prompts),
      m_writer(std::make_unique<dbase::Table>()), m_cache(cachedRowsLimit)
{
    m_count = static_cast<int>(m_table.recordCount());
}

RecordTableModel::~RecordTableModel() = default;

const dbase::FieldDescriptor& RecordTableModel::field(int column) const
{
    return m_table.fieldDescriptor(at(column));
}

int RecordTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_count + (m_insertRow >= 0 ? 1 : 0);
}

int RecordTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_table.fieldCount());
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return QString::fromStdString(field(section).name);
}

Qt::ItemFlags RecordTableModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    // Memos and pictures have the field editor; the grid edits the values that fit a cell.
    if (!m_readOnly && index.isValid() && !field(index.column()).usesMemoFile())
        result |= Qt::ItemIsEditable;
    return result;
}

int RecordTableModel::tableRowOf(int row) const
{
    return m_insertRow >= 0 && row > m_insertRow ? row - 1 : row;
}

bool RecordTableModel::positionTable(int tableRow) const
{
    if (tableRow < 0 || tableRow >= m_count)
        return false;
    // From the first row when that is nearer than the row the table stands on.
    if (m_tableRow < 0 || m_table.eof() || m_table.bof() || tableRow < std::abs(tableRow - m_tableRow)) {
        m_table.first();
        m_tableRow = 0;
    }
    const std::int64_t moved = m_table.moveBy(tableRow - m_tableRow);
    m_tableRow += static_cast<int>(moved);
    return m_tableRow == tableRow && !m_table.eof() && !m_table.bof();
}

const QStringList* RecordTableModel::rowTexts(int row) const
{
    if (const QStringList* cached = m_cache.object(row))
        return cached;
    try {
        if (!positionTable(tableRowOf(row)))
            return nullptr;
        auto* texts = new QStringList(textsOf(m_table));
        m_cache.insert(row, texts);
        return texts;
    } catch (const dbase::DatabaseError&) {
        return nullptr;
    }
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    if (index.row() == m_editRow || index.row() == m_insertRow)
        return textOf(*m_writer, index.column());
    const QStringList* texts = rowTexts(index.row());
    return texts ? texts->value(index.column()) : QVariant();
}

QStringList RecordTableModel::textsOf(const dbase::Table& record) const
{
    QStringList texts;
    for (int column = 0; column < columnCount(); ++column)
        texts.append(textOf(record, column));
    return texts;
}

QString RecordTableModel::textOf(const dbase::Table& record, int column) const
{
    const dbase::FieldDescriptor& descriptor = field(column);
    try {
        if (descriptor.isDate())
            return store::columnDate(record, column).toString(dateFormat);
        if (descriptor.isBinary())
            return record.isNull(at(column)) ? QString() : QStringLiteral("(Picture)");
        if (descriptor.isMemo())
            return store::columnMemoLines(record, column).value(0);
        return store::columnText(record, column);
    } catch (const dbase::EngineError&) {
        return QStringLiteral("(Damaged)");
    }
}

void RecordTableModel::assignText(dbase::Table& record, int column, const QString& text) const
{
    const dbase::FieldDescriptor& descriptor = field(column);
    if (text.trimmed().isEmpty()) {
        record.clear(at(column));
    } else if (descriptor.isNumeric()) {
        record.setNumber(at(column), store::parseLenientNumber(text, QLocale().decimalPoint().at(0)));
    } else if (descriptor.isDate()) {
        const QDate date = QDate::fromString(text.trimmed(), dateFormat);
        if (!date.isValid())
            throw dbase::DatabaseError("'" + text.toStdString() + "' is not a valid date");
        store::setColumnDate(record, column, date);
    } else {
        store::setColumnText(record, column, text);
    }
}

bool RecordTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const QString text = value.toString();
    return changeRow(index.row(), [&](dbase::Table& record) { assignText(record, index.column(), text); });
}

void RecordTableModel::reportError(const std::exception& error) const
{
    m_prompts.error(QString::fromLocal8Bit(error.what()));
}

bool RecordTableModel::openWriter()
{
    if (m_writer->isOpen())
        return true;
    try {
        m_writer->open(m_table.folder(), m_table.fileName(), false);
    } catch (const dbase::DatabaseError& error) {
        reportError(error);
        return false;
    }
    // New rows are numbered and marked here as the table itself would do it.
    m_writer->afterInsert = m_table.afterInsert;
    m_writer->beforePost = m_table.beforePost;
    m_writer->afterPost = m_table.afterPost;
    return true;
}

bool RecordTableModel::withRecordOf(int row, const std::function<void(dbase::Table&)>& action)
{
    if (!openWriter())
        return false;
    try {
        if (!positionTable(tableRowOf(row)))
            return false;
        m_writer->goToCurrent(m_table);
        action(*m_writer);
        return true;
    } catch (const dbase::DatabaseError& error) {
        reportError(error);
        return false;
    }
}

dbase::Table& RecordTableModel::recordOf(int row)
{
    if (row == m_editRow)
        return *m_writer;
    if (isEditing())
        postRow();
    withRecordOf(row, [](dbase::Table&) {});
    return *m_writer;
}

bool RecordTableModel::editRow(int row)
{
    if (m_readOnly)
        return false;
    if (row == m_editRow)
        return true;
    if ((isEditing() && !postRow()) || !withRecordOf(row, [](dbase::Table& record) { record.edit(); }))
        return false;
    m_editRow = row;
    emit editingChanged();
    return true;
}

bool RecordTableModel::insertRowAt(int row)
{
    if (m_readOnly || (isEditing() && !postRow()) || !openWriter())
        return false;
    row = std::clamp(row, 0, m_count);
    try {
        m_writer->append();
    } catch (const dbase::DatabaseError& error) {
        reportError(error);
        return false;
    }
    beginInsertRows({}, row, row);
    m_cache.clear();
    m_insertRow = row;
    endInsertRows();
    // Only now: the grid's current row moves while the row goes in, and that must not post it.
    m_editRow = row;
    emit editingChanged();
    return true;
}

bool RecordTableModel::changeRow(int row, const std::function<void(dbase::Table&)>& change)
{
    if (!editRow(row))
        return false;
    try {
        change(*m_writer);
    } catch (const dbase::DatabaseError& error) {
        reportError(error);
        return false;
    } catch (const dbase::EngineError& error) {
        reportError(error);
        return false;
    }
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    return true;
}

bool RecordTableModel::postRow()
{
    if (!isEditing())
        return true;
    try {
        m_writer->post();
    } catch (const dbase::DatabaseError& error) {
        reportError(error);
        return false;
    }
    m_editRow = -1;
    m_insertRow = -1;
    rowsChanged(-1);
    emit editingChanged();
    return true;
}

void RecordTableModel::cancelRow()
{
    if (!isEditing())
        return;
    const int row = m_editRow;
    m_writer->cancel();
    m_editRow = -1;
    if (m_insertRow >= 0) {
        beginRemoveRows({}, row, row);
        m_insertRow = -1;
        m_cache.clear();
        endRemoveRows();
    } else {
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    }
    emit editingChanged();
}

bool RecordTableModel::deleteRow(int row)
{
    if (m_readOnly)
        return false;
    if (row == m_insertRow) {
        cancelRow();
        return true;
    }
    if (row == m_editRow)
        cancelRow();
    else if (isEditing() && !postRow())
        return false;
    if (!withRecordOf(row, [](dbase::Table& record) { record.deleteRecord(); }))
        return false;
    rowsChanged(row);
    return true;
}

void RecordTableModel::refresh()
{
    if (isEditing() && !postRow())
        return;
    beginResetModel();
    m_cache.clear();
    m_tableRow = -1;
    m_count = static_cast<int>(m_table.recordCount());
    endResetModel();
}

// After a post or a delete: the rows are read again; the grid keeps its place when it can.
void RecordTableModel::rowsChanged(int removedRow)
{
    m_cache.clear();
    m_tableRow = -1;
    const int count = static_cast<int>(m_table.recordCount());
    const int lastColumn = columnCount() - 1;
    if (count == rowCount()) {
        m_count = count;
        if (count > 0)
            emit dataChanged(index(0, 0), index(count - 1, lastColumn));
    } else if (removedRow >= 0 && count == rowCount() - 1) {
        beginRemoveRows({}, removedRow, removedRow);
        m_count = count;
        endRemoveRows();
    } else {
        beginResetModel();
        m_count = count;
        endResetModel();
    }
}
