#pragma once

#include <QString>

namespace settings {

// The sort settings file of a record table: four bytes in the database folder.
struct SortSettings
{
    quint8 primaryColumn = 0; // below the first field's column: entry order
    bool primaryDescending = false;
    quint8 secondaryColumn = 0; // below the first field's column: none
    bool secondaryDescending = false;

    bool operator==(const SortSettings&) const = default;
};

// The table's file name with the three characters after its first "." replaced by "idx" (data.dbf has
// data.idx); empty for a name without a dot, which has no sort settings file.
QString SortSettingsFileName(const QString& tableFileName);

// All zero when there is no file, or it is shorter than four bytes.
SortSettings LoadSortSettings(const QString& databaseFolder, const QString& tableFileName);
// Nothing is written for a table name without a dot; failures are ignored.
void SaveSortSettings(const QString& databaseFolder, const QString& tableFileName, const SortSettings& sort);

} // namespace settings
