#pragma once

#include <QDate>
#include <QList>
#include <QString>

namespace dbase {
class Table;
}

namespace store {

class DatabaseFolder;
class TRecordTemplateList;

// The rows of the copy buffer "copy.dbf" that hold the record templates: row 0 is the copy buffer itself,
// template i (its position in TRecordTemplateList) is row i + 1. Rows count the live records in
// record-number order, as the copy buffer has no tag.

// A date column of a template row that holds this date stands for the day the template is applied.
inline const QDate TodayMarker{1899, 12, 31};

// Positions the copy buffer on the template's row; false, position unchanged, when it has no such row.
bool GoToTemplateRow(dbase::Table& copyBuffer, int index);
// Positions the copy buffer on the template's row, first appending (and posting) empty rows up to it when
// the buffer is too short. Throws dbase::DatabaseError when a row cannot be appended.
void PrepareTemplateRow(dbase::Table& copyBuffer, int index);

// The date columns of the copy buffer from the first form field on, in column order.
QList<int> TemplateDateColumns(const dbase::Table& copyBuffer);
// Those of them whose value on the current row is TodayMarker.
QList<int> TodayMarkedColumns(const dbase::Table& copyBuffer);
// Sets each of the given date columns of the current row to TodayMarker, one edit and post each; other
// columns are left alone. Throws dbase::DatabaseError when the row cannot be edited or posted.
void SetTodayMarkers(dbase::Table& copyBuffer, const QList<int>& columns);

inline constexpr char TemplateNotLoadedMessage[] =
    "Template could not be loaded!\nYou should delete this template";

// What a template caption (a menu item, the template button) stands for.
enum class TemplateChoice
{
    Blank,  // "Blank": an empty form
    Row,    // a template; the copy buffer is on its row
    Missing // a name with no template or no row: TemplateNotLoadedMessage when replacing a record
};
TemplateChoice LocateTemplate(const TRecordTemplateList& templates, dbase::Table& copyBuffer,
                              const QString& caption);

// What became of a template that was asked to go.
enum class TemplateRemoval
{
    Removed,         // the name and its row are gone, and the copy buffer was packed
    RemovedUnpacked, // the same, but another user had the copy buffer open, so its space stays used
    RowInUse         // another user holds the row: nothing was removed, so names and rows stay in step
};

// Removes template index from the list (writing "records.tml") and its row from the copy buffer, then
// packs the copy buffer with exclusive use. A name whose row is missing is simply removed; an index out of
// range changes nothing.
TemplateRemoval RemoveRecordTemplate(TRecordTemplateList& templates, DatabaseFolder& folder, int index);

} // namespace store
