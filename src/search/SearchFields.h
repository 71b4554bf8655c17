#pragma once

#include "FieldClass.h"

#include <QList>
#include <QRect>
#include <QStringList>

namespace dbase {
class Table;
}

namespace search {

// A record field as the search, filter and replace windows offer it.
struct SearchField
{
    QString caption;
    int column = 0; // the table column
    FieldClass kind = FieldClass::Text;
};

// Every field but the pictures, in field order, by the user's captions (field n has caption n - 1 and
// lives in column n + 1).
QList<SearchField> searchableFields(const QStringList& captions, const dbase::Table& table);
// Text, number and date fields only: what a filter condition can test.
QList<SearchField> filterableFields(const QList<SearchField>& fields);

// Where a tool window goes beside the record window: at its top, kept on the screen; to its right when
// the record window's centre is not right of the screen's centre (shifted left to stay on the screen),
// otherwise to its left (at least at the screen's left edge).
QPoint besideRecordWindow(const QSize& tool, const QRect& recordWindow, const QRect& screen);

} // namespace search
