#include "Session.h"

namespace store {

bool Session::isReadOnlyMode() const
{
    return publicAccess == PublicAccess::ReadOnly &&
           settings::SameFolder(folders.database, folders.publicDatabase);
}

QList<int> Session::dateFormatNumbers() const
{
    QList<int> numbers;
    for (const DateFormatEntry& entry : dateFormats)
        numbers.append(entry.format);
    return numbers;
}

} // namespace store
