#pragma once

#include "SearchFields.h"

#include <functional>
#include <QStringList>

// What the filter dialogs need of the record window and the settings.
struct FilterDialogContext
{
    QList<search::SearchField> fields; // the fields a filter can test
    QString settingsFolder;            // where "filter.dat" and the templates' files are
    std::function<int()> dateFormat;   // the program's date-format setting
    std::function<void(int)> setDateFormat;
    // The items of the field's lookup list; empty when the field has none.
    std::function<QStringList(int column)> lookupItems;
};
