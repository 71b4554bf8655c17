#pragma once

#include "FontRecord.h"

#include <array>
#include <QString>

namespace settings {

// "options.dat" of the settings folder: how the record window looks and behaves. Option values are the
// zero-based index of their choice; the reserved words are kept so that they are written back as read.
struct DatabaseSettings
{
    enum FontRole
    {
        RecordButtonFont = 0,
        OneLineFieldFont = 1,
        MultiLineFieldFont = 2
    };

    int menusAndSpeedBars = 0; // 0 both, 1 only menus, 2 only speed bars
    quint16 reserved2 = 1;
    quint16 reserved3 = 0;
    int hintMessages = 0;    // 0 show, 1 hide
    int letterTabs = 0;      // 0 "Use Letter Tabs", 1 "Don't Use Letter Tabs"
    int initialDataFile = 1; // 0 "Load Default File", 1 "Load Last Used File"
    quint16 reserved7 = 0;
    int filterDateFormat = 0; // 0 "mm/dd/yyyy", 1 "dd/mm/yyyy", 2 "yyyy/mm/dd", 3 "yyyy"
    int speedBarLocation = 1; // 0 "Top", 1 "Bottom"
    int recordDeleteMode = 0; // 0 "Ask User To Confirm", 1 "Immediate Delete"
    // The table and database folder of the last run, as read; RestoreLastUsedTable decides whether they
    // are used. Before saving, the caller puts the current table's file name and folder here.
    QString lastTableFileName = QStringLiteral("data.dbf");
    QString lastDatabaseFolder; // the settings folder unless the file names one
    quint16 hideOnStartup = 0;  // see startsHidden()
    int letterTabsLocation = 0; // 0 "Center", 1 "Right"
    bool stayOnTop = false;
    bool displayTipsOnStartup = true;
    std::array<FontSpec, 3> fonts; // indexed by FontRole
    bool autoFill = true;
    bool showReminders = true;
    bool displayTrayIcon = false;

    // The tray option "Hide On Startup" stores this value; any value above 5 reads as hide.
    static constexpr quint16 HideOnStartupValue = 6;
    bool startsHidden() const { return displayTrayIcon && hideOnStartup > 5; }

    bool operator==(const DatabaseSettings&) const = default;
};

// Starts settings from the defaults (the last database folder defaulting to settingsFolder) and reads
// the file over them. Files of the older layouts, which end after the stay-on-top and tips options or
// after the show-reminders option, load with defaults for what they lack; a file that ends anywhere else
// keeps what was read before that point. Returns true when the file could be opened.
bool LoadDatabaseSettings(DatabaseSettings& settings, const QString& settingsFolder);

// Always writes the full layout. False when the file could not be written (the old one then stays).
bool SaveDatabaseSettings(const DatabaseSettings& settings, const QString& settingsFolder);

// Where the record table of this run is: the table's file name and its database folder.
struct CurrentTable
{
    QString fileName;
    QString folder;

    bool operator==(const CurrentTable&) const = default;
};

struct TableRestoreContext
{
    QString settingsFolder; // the default database folder
    QString dataRoot;
    QString publicDatabaseFolder;
    bool publicAccessNone = false; // the user may not use the public database folder
};

// The table to open at start-up. With "Load Last Used File" the stored table is taken, and its folder
// too when that lies inside the data root and, for a user without public access, is not the public
// database folder; otherwise the stored name goes with the settings folder. With "Load Default File",
// or with nothing stored, it is "data.dbf" in the settings folder.
CurrentTable RestoreLastUsedTable(const DatabaseSettings& settings, const TableRestoreContext& context);

} // namespace settings
