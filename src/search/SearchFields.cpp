#include "SearchFields.h"

#include "dbase/Table.h"
#include "store/DatabaseFolder.h"

#include <algorithm>

namespace search {

QList<SearchField> searchableFields(const QStringList& captions, const dbase::Table& table)
{
    QList<SearchField> fields;
    for (int i = 0; i < captions.size(); ++i) {
        const int column = i + store::FirstFieldOffset;
        if (column >= static_cast<int>(table.fieldCount()))
            break;
        const FieldClass kind = classOf(table.fieldDescriptor(static_cast<std::size_t>(column)));
        if (kind != FieldClass::Other)
            fields.append({captions.at(i), column, kind});
    }
    return fields;
}

QList<SearchField> filterableFields(const QList<SearchField>& fields)
{
    QList<SearchField> filterable;
    std::copy_if(fields.begin(), fields.end(), std::back_inserter(filterable),
                 [](const SearchField& field) { return field.kind != FieldClass::Memo; });
    return filterable;
}

QPoint besideRecordWindow(const QSize& tool, const QRect& recordWindow, const QRect& screen)
{
    const int top = std::clamp(recordWindow.top(), screen.top(),
                               std::max(screen.top(), screen.bottom() + 1 - tool.height()));
    if (recordWindow.center().x() <= screen.center().x() && tool.width() <= screen.width()) {
        const int left = std::min(recordWindow.right() + 1, screen.right() + 1 - tool.width());
        return {left, top};
    }
    return {std::max(screen.left(), recordWindow.left() - tool.width()), top};
}

} // namespace search
