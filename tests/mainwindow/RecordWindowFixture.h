#pragma once

#include "dbase/Table.h"
#include "mainwindow/TForm3.h"
#include "ModalWatcher.h"
#include "ProgramFolder.h"
#include "ScriptedPrompts.h"
#include "store/ColumnValues.h"
#include "store/DatabaseFolder.h"
#include "store/Session.h"

#include <gtest/gtest.h>
#include <memory>
#include <QDir>
#include <QTest>

// A program folder with the built template tables, whose public database folder is the database folder,
// and the record window on it. Message boxes are answered and noted.
class RecordWindowTest : public ::testing::Test
{
protected:
    static constexpr int descriptionColumn = 2; // field 1
    static constexpr int costColumn = 9;        // field 8

    RecordWindowTest()
    {
        QDir().mkpath(folder.file("DATA/BACKUP"));
        store::Folders& folders = session.folders;
        folders.program = folder.path();
        folders.dataRoot = folder.path();
        folders.publicDatabase = folder.file("DATA");
        folders.settings = folders.publicDatabase;
        folders.database = folders.publicDatabase;
    }

    ~RecordWindowTest() override { closeWindow(); }

    // Records with these descriptions (field 1), numbered and posted as the record window posts them.
    void seed(const QStringList& descriptions, const QString& tableFileName = QStringLiteral("data.dbf"))
    {
        ScriptedPrompts prompts;
        const QString current = session.tableFileName;
        session.tableFileName = tableFileName;
        {
            store::DatabaseFolder database(session, prompts);
            ASSERT_TRUE(database.OpenDatabase()) << prompts.messages.join("\n").toStdString();
            dbase::Table& table = database.browseTable();
            for (const QString& text : descriptions) {
                table.append();
                store::setColumnText(table, descriptionColumn, text);
                table.post();
            }
        }
        session.tableFileName = current;
    }

    // The record window, shown, on its first record.
    TForm1& open()
    {
        window = std::make_unique<TForm3>(session);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return *window;
    }

    // Closing saves the current record; the window then writes its settings files.
    void closeWindow()
    {
        if (!window)
            return;
        window->close();
        window.reset();
    }

    // Field 1 of every record of the table, in entry order, read by a table object of its own.
    QStringList storedDescriptions(const QString& tableFileName = QStringLiteral("data.dbf")) const
    {
        dbase::Table table;
        table.open(session.folders.database.toStdString(), tableFileName.toStdString());
        QStringList texts;
        for (table.first(); !table.eof(); table.next())
            texts.append(store::columnText(table, descriptionColumn));
        return texts;
    }

    template <typename Control> Control* field(int number) const
    {
        return window->findChild<Control*>(QStringLiteral("L%1").arg(number));
    }

    ModalWatcher boxes;
    ProgramFolder folder;
    store::Session session;
    std::unique_ptr<TForm1> window;
};
