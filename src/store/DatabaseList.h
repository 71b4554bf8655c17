#pragma once

#include <QList>
#include <QString>

namespace store {

class DatabaseFolder;
class Prompts;

struct DatabaseEntry
{
    QString fileName; // the table file in the listed folder, e.g. "data_3.dbf"
    QString name;     // shown to the user
    QString description;
};

// The databases of one folder as the Load Database dialog lists and changes them. It borrows the record
// window's table list for the time it lives (the list is reopened in the folder shown) and hands it back
// positioned on the entry of the open record table.
class DatabaseList
{
public:
    static constexpr int maximumDatabases = 999;

    // Messages go to prompts, so that each window shows its own.
    DatabaseList(DatabaseFolder& folder, Prompts& prompts);
    ~DatabaseList();
    DatabaseList(const DatabaseList&) = delete;
    DatabaseList& operator=(const DatabaseList&) = delete;

    // Lists the databases of folder in table-list order. False, with an empty list, after the user was told.
    bool showFolder(const QString& folder);
    const QString& folder() const { return m_folder; }
    const QList<DatabaseEntry>& entries() const { return m_entries; }
    int indexOf(const QString& fileName) const;
    // The table's path as the dialog shows it: folder, "/" and file name, upper-cased.
    QString realFileName(int index) const;

    bool updateEntry(const QString& fileName, const QString& name, const QString& description);
    // "data_" + n + ".dbf" for the smallest n up to 999 that is not listed; empty when none is free.
    QString freeFileName() const;
    // Lists a new database under the free file name, creating its table unless the file exists already.
    // The index of the new entry, or -1 after the user was told why not.
    int addEntry(const QString& name, const QString& description);
    // False, after telling the user, when the table is in use by someone (this program included).
    bool canDelete(const QString& fileName);
    // Removes the entry and the table's files here and in "BACKUP". False after the user was told.
    bool deleteEntry(const QString& fileName);
    // The table of the entry to load, created from the template when its file is missing.
    bool prepareToLoad(const QString& fileName);
    // Hands the table list back (the destructor does it too): it is open in the database folder again, on
    // the entry of the open record table.
    void finish();

private:
    bool readEntries();
    void packTableList();

    DatabaseFolder& m_database;
    Prompts& m_prompts;
    QString m_folder;
    QList<DatabaseEntry> m_entries;
    bool m_finished = false;
};

} // namespace store
