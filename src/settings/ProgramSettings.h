#pragma once

#include <QString>

namespace settings {

// The security settings of the installation: "options.dat" of the program folder, mirrored into the
// data root when that is another folder. Option values are the zero-based index of their choice.
struct ProgramSettings
{
    int passwordMode = 1;       // 0 "Password Required", 1 "Password Not Required"
    int publicAccess = 0;       // 0 "As Specified In Accounts", 1 "Read and Write", 2 "Read Only", 3 "None"
    QString dataRoot;           // without trailing "/"; the program folder unless the file names another
    int usersCount = 0;         // 0 "1-User System", 1 "Multi-User System"
    QString supervisorPassword; // empty: none

    bool operator==(const ProgramSettings&) const = default;
};

// Starts settings from the defaults and reads the program folder's file over them. When that names a
// data root other than the program folder and the data root has an "options.dat", that file's password
// mode, public access, users count and supervisor password replace those just read; the data root stays
// the one the program folder names. An empty data root in the file means the program folder. Returns
// true when the program folder's file could be opened.
bool LoadProgramSettings(ProgramSettings& settings, const QString& programFolder);

// Writes the program folder's file and, when the data root is another folder, the same items into the
// data root's file. A file that cannot be written is skipped.
void SaveProgramSettings(const ProgramSettings& settings, const QString& programFolder);

// Whether two folder paths name the same folder (existing folders are compared as resolved on disk).
bool SameFolder(const QString& first, const QString& second);

} // namespace settings
