#pragma once

#include "dbase/Table.h"
#include "ProgramFolder.h"
#include "ScriptedPrompts.h"
#include "store/ColumnValues.h"
#include "store/DatabaseFolder.h"
#include "store/Session.h"

#include <memory>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <vector>

// A program folder with the built template tables, whose public database folder is the session's
// database folder, and the database folder of the record window on it.
struct Database
{
    // Columns of the record template used here: field 1 (text), field 21 (memo), fields 10 and 28
    // (pictures), field 8 (money).
    static constexpr int description = 2;
    static constexpr int cost = 9;
    static constexpr int smallPicture = 11;
    static constexpr int notes = 22;
    static constexpr int picture = 29;

    Database()
    {
        QDir().mkpath(program.file("DATA/BACKUP"));
        session.folders.program = program.path();
        session.folders.dataRoot = program.path();
        session.folders.publicDatabase = program.file("DATA");
        session.folders.settings = session.folders.publicDatabase;
        session.folders.database = session.folders.publicDatabase;
    }

    QString file(const QString& name) const { return session.folders.database + "/" + name; }
    // A folder of its own in the program folder (a user's private folder, say), with its "BACKUP".
    QString folderBeside(const QString& name) const
    {
        const QString path = program.file(name);
        QDir().mkpath(path + "/BACKUP");
        return path;
    }
    QString backupFile(const QString& name) const { return file("BACKUP/" + name); }
    QByteArray read(const QString& path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // The record window's tables, opened; fails the test when they do not open.
    store::DatabaseFolder& open()
    {
        folder = std::make_unique<store::DatabaseFolder>(session, prompts);
        EXPECT_TRUE(folder->OpenDatabase()) << prompts.messages.join("\n").toStdString();
        return *folder;
    }
    void close() { folder.reset(); }

    // Appends a record the way the record window does: numbered on insert, posted.
    void appendStamp(const QString& text, const QStringList& memo = {}, const QByteArray& pictureBytes = {})
    {
        dbase::Table& table = folder->browseTable();
        table.append();
        store::setColumnText(table, description, text);
        if (!memo.isEmpty())
            store::setColumnMemoLines(table, notes, memo);
        store::setColumnBlob(table, picture, pictureBytes);
        table.post();
    }
    void appendStamps(int count)
    {
        for (int i = 0; i < count; ++i)
            appendStamp(QStringLiteral("Stamp %1").arg(i + 1));
    }

    ProgramFolder program;
    store::Session session;
    ScriptedPrompts prompts;
    std::unique_ptr<store::DatabaseFolder> folder;
};

// Every record's values in table order, as the engine gives them: text, numbers, dates, memo text and
// picture bytes. Column 0, the record number, is left out so that renumbered copies compare equal.
inline std::vector<std::vector<std::string>> recordValues(dbase::Table& table)
{
    std::vector<std::vector<std::string>> rows;
    for (table.first(); !table.eof(); table.next()) {
        std::vector<std::string> row;
        for (std::size_t column = 1; column < table.fieldCount(); ++column)
            row.push_back(table.asString(column));
        rows.push_back(row);
    }
    return rows;
}

inline std::vector<int> recordNumbers(dbase::Table& table)
{
    std::vector<int> numbers;
    for (table.first(); !table.eof(); table.next())
        numbers.push_back(static_cast<int>(table.asNumber(0)));
    return numbers;
}

// The table's values read through a table object of its own, in record order.
inline std::vector<std::vector<std::string>> tableValues(const QString& folder, const QString& fileName)
{
    dbase::Table table;
    table.open(QFile::encodeName(folder).toStdString(), QFile::encodeName(fileName).toStdString());
    return recordValues(table);
}

inline std::vector<int> tableNumbers(const QString& folder, const QString& fileName)
{
    dbase::Table table;
    table.open(QFile::encodeName(folder).toStdString(), QFile::encodeName(fileName).toStdString());
    return recordNumbers(table);
}
