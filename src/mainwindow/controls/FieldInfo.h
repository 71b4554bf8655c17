#pragma once

#include <QList>
#include <QString>

namespace controls {

// What the header and the sort bar need to know of a record field to offer it in their menus.
enum class FieldKind
{
    Text,    // a character column: sorts by letters, counts for the letter tabs
    Memo,    // never a header column or a sort field
    Picture, // never a header column or a sort field
    Other    // numbers, dates and the rest
};

struct FieldInfo
{
    QString caption;
    FieldKind kind = FieldKind::Text;
};

// In field order: field n is at index n - 1, and lives in record-table column n - 1 + FirstFieldOffset.
using FieldList = QList<FieldInfo>;

inline bool canBeColumnOrSortField(FieldKind kind)
{
    return kind != FieldKind::Memo && kind != FieldKind::Picture;
}

} // namespace controls
