#pragma once

#include <QString>

namespace store {

// The lookup lists of a database folder, "list1.dbf" with "list1.mdx", "list2.dbf" ... numbered from 1 with
// no gap. Copying them from one folder to another first deletes the lists in the target, then copies those
// of the source (expanding compressed files), so the target ends up with exactly the source's lists.
void CopyListFiles(const QString& sourceFolder, const QString& targetFolder);

} // namespace store
