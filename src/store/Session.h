#pragma once

#include "settings/ColorScheme.h"
#include "settings/DatabaseSettings.h"
#include "settings/FieldTexts.h"
#include "settings/ProgramSettings.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace store {

// The folders of a run, without trailing "/".
struct Folders
{
    QString program;        // the executable's folder; holds the template tables
    QString dataRoot;       // the program folder unless the program-level settings name another
    QString publicDatabase; // data root + "/DATA"
    QString settings;       // fixed at log-in: the public database folder or the user's private folder
    QString database;       // folder of the loaded record table
};

// The public access right of the run, from the log-in.
enum class PublicAccess
{
    ReadWrite = 1,
    ReadOnly = 2,
    None = 3
};

// A date field's display format and the field it belongs to.
struct DateFormatEntry
{
    int format = settings::MonthDayYear;
    int fieldIndex = -1; // 0-based field number
};

// The program-wide state of one run: what the settings files hold in memory, the folders and the rights.
// Created by the program body, handed to every window that needs it.
struct Session
{
    Folders folders;
    settings::ProgramSettings program;
    settings::DatabaseSettings database;
    settings::ColorSlots colors = settings::DefaultColorSlots;
    QStringList captions;                               // field captions in field order
    QList<DateFormatEntry> dateFormats;                 // in the order the date fields were found
    QString tableFileName = QStringLiteral("data.dbf"); // the current record table in the database folder

    PublicAccess publicAccess = PublicAccess::ReadWrite;
    bool supervisor = true; // without a log-in the person at the keyboard is the supervisor
    bool copyBufferHoldsRecord = false;

    // Read-only access and the loaded database lies in the public database folder.
    bool isReadOnlyMode() const;
    QList<int> dateFormatNumbers() const;
};

} // namespace store
