#include "RecordTemplateRows.h"

#include "ColumnValues.h"
#include "DatabaseFolder.h"
#include "dbase/Errors.h"
#include "dbase/Table.h"
#include "TRecordTemplateList.h"

#include <QFile>

namespace store {

namespace {

bool isTemplateDateColumn(const dbase::Table& copyBuffer, int column)
{
    return column >= FirstFieldOffset && static_cast<std::size_t>(column) < copyBuffer.fieldCount() &&
           copyBuffer.fieldDescriptor(static_cast<std::size_t>(column)).isDate();
}

// Packing needs the copy buffer to itself; it is open shared again afterwards either way.
bool packCopyBuffer(DatabaseFolder& folder)
{
    dbase::Table& copyBuffer = folder.copyBuffer();
    const QString fileName = QFile::decodeName(copyBuffer.fileName().c_str());
    copyBuffer.close();
    bool packed = false;
    if (folder.OpenTableWithRepair(copyBuffer, fileName, true)) {
        try {
            copyBuffer.pack();
            packed = true;
        } catch (const dbase::DatabaseError&) {
        }
        copyBuffer.close();
    }
    folder.OpenTableWithRepair(copyBuffer, fileName, false);
    return packed;
}

} // namespace

bool GoToTemplateRow(dbase::Table& copyBuffer, int index)
{
    if (index < 0)
        return false;
    const dbase::Table::Bookmark before = copyBuffer.bookmark();
    const std::int64_t row = std::int64_t{index} + 1;
    copyBuffer.first();
    if (copyBuffer.moveBy(row) == row && !copyBuffer.eof())
        return true;
    if (before != 0)
        copyBuffer.gotoBookmark(before);
    return false;
}

void PrepareTemplateRow(dbase::Table& copyBuffer, int index)
{
    for (std::int64_t rows = copyBuffer.recordCount(); rows < std::int64_t{index} + 2; ++rows) {
        copyBuffer.append();
        copyBuffer.post();
    }
    GoToTemplateRow(copyBuffer, index);
}

QList<int> TemplateDateColumns(const dbase::Table& copyBuffer)
{
    QList<int> columns;
    for (int column = FirstFieldOffset; static_cast<std::size_t>(column) < copyBuffer.fieldCount();
         ++column) {
        if (isTemplateDateColumn(copyBuffer, column))
            columns.append(column);
    }
    return columns;
}

QList<int> TodayMarkedColumns(const dbase::Table& copyBuffer)
{
    QList<int> marked;
    for (int column : TemplateDateColumns(copyBuffer)) {
        if (columnDate(copyBuffer, column) == TodayMarker)
            marked.append(column);
    }
    return marked;
}

void SetTodayMarkers(dbase::Table& copyBuffer, const QList<int>& columns)
{
    for (int column : columns) {
        if (!isTemplateDateColumn(copyBuffer, column))
            continue;
        copyBuffer.edit();
        setColumnDate(copyBuffer, column, TodayMarker);
        copyBuffer.post();
    }
}

TemplateChoice LocateTemplate(const TRecordTemplateList& templates, dbase::Table& copyBuffer,
                              const QString& caption)
{
    const int index = templates.FindTemplate(caption);
    if (index >= 0)
        return GoToTemplateRow(copyBuffer, index) ? TemplateChoice::Row : TemplateChoice::Missing;
    return caption == TRecordTemplateList::BlankName ? TemplateChoice::Blank : TemplateChoice::Missing;
}

TemplateRemoval RemoveRecordTemplate(TRecordTemplateList& templates, DatabaseFolder& folder, int index)
{
    if (index < 0 || index >= templates.Count())
        return TemplateRemoval::Removed;
    dbase::Table& copyBuffer = folder.copyBuffer();
    if (GoToTemplateRow(copyBuffer, index)) {
        try {
            copyBuffer.deleteRecord();
        } catch (const dbase::DatabaseError&) {
            return TemplateRemoval::RowInUse;
        }
    }
    templates.DeleteTemplate(index);
    return packCopyBuffer(folder) ? TemplateRemoval::Removed : TemplateRemoval::RemovedUnpacked;
}

} // namespace store
