#pragma once

#include "dbase/Errors.h"
#include "dbase/Table.h"
#include "ProgramFolder.h"
#include "store/ColumnValues.h"
#include "store/FileNames.h"
#include "store/Session.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

// A program folder with the built template tables and a database folder beside it, with the session that
// names both: the lookup lists of one test live here.
struct ListFolder
{
    ListFolder()
    {
        session.folders.program = program.path();
        session.folders.database = database.path();
    }

    QString path(const QString& name) const { return database.filePath(name); }
    bool exists(const QString& name) const { return !store::findFileNoCase(database.path(), name).isEmpty(); }

    // A list table from the program folder's template, holding values in this order.
    void write(const QString& name, const QStringList& values) const
    {
        writeTable(database.path(), name, values);
    }
    // Values the template itself holds, which every list made from it starts with.
    void writeTemplate(const QStringList& values) const
    {
        writeTable(program.path(), QStringLiteral("list.dbf"), values, false);
    }

    // The list's values in record order; empty when it cannot be read.
    QStringList values(const QString& name) const { return valuesIn(database.path(), name); }

    static QStringList valuesIn(const QString& folder, const QString& name)
    {
        QStringList values;
        dbase::Table table;
        try {
            table.open(store::localPath(folder), store::localPath(name));
            for (table.first(); !table.eof(); table.next())
                values.append(store::columnText(table, 0));
        } catch (const dbase::DatabaseError& error) {
            ADD_FAILURE() << name.toStdString() << ": " << error.what();
        }
        return values;
    }

    ProgramFolder program;
    QTemporaryDir database;
    store::Session session;

private:
    void writeTable(const QString& folder, const QString& name, const QStringList& values,
                    bool copy = true) const
    {
        if (copy)
            dbase::copyTable(store::localPath(program.path()), "list.dbf", store::localPath(folder),
                             store::localPath(name), true);
        dbase::Table table;
        table.open(store::localPath(folder), store::localPath(name));
        for (const QString& value : values) {
            table.append();
            store::setColumnText(table, 0, value);
            table.post();
        }
    }
};
