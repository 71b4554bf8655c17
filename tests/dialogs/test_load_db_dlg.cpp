#include "../store/DatabaseFixture.h"
#include "../store/TablePeer.h"
#include "mainwindow/dialogs/TDeleteDlg1.h"
#include "mainwindow/dialogs/TEditDbDlg.h"
#include "mainwindow/dialogs/TLoadDbDlg.h"
#include "ModalWatcher.h"
#include "NextModal.h"

#include <gtest/gtest.h>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

// A logged-in user (not the supervisor) with a private folder as settings folder beside the public one;
// the record window has the database of `database` open.
struct Folders : Database
{
    explicit Folders(bool openPrivate)
    {
        session.supervisor = false;
        privateFolder = folderBeside("data0001");
        session.folders.settings = privateFolder;
        if (openPrivate)
            session.folders.database = privateFolder;
    }
    QString privateFolder;
};

QStringList listed(const TLoadDbDlg& dialog)
{
    QStringList names;
    for (int i = 0; i < dialog.DbList->count(); ++i)
        names.append(dialog.DbList->item(i)->text());
    return names;
}

void answerEditDialog(const QString& name, const QString& description, QString* caption = nullptr,
                      QString* fileName = nullptr)
{
    onNextModal<TEditDbDlg>([=](TEditDbDlg* dialog) {
        if (caption)
            *caption = dialog->windowTitle();
        if (fileName)
            *fileName = dialog->FileNameEdit->text();
        dialog->NameEdit->setText(name);
        dialog->DescriptionEdit->setText(description);
        dialog->accept();
    });
}

void answerConfirmation(const QString& typed)
{
    onNextModal<TDeleteDlg1>([=](TDeleteDlg1* dialog) {
        QTest::keyClicks(dialog->Edit1, typed);
        dialog->OKBtn->click();
    });
}

} // namespace

TEST(LoadDatabaseDialog, TheDatabaseTypeAndTheChangingButtonsFollowTheUserAndTheFolder)
{
    struct Case
    {
        const char* name;
        bool supervisor;
        store::PublicAccess access;
        bool openPrivate;
        bool publicChecked;
        bool typeEnabled;
        bool mayChange;
    };
    using Access = store::PublicAccess;
    for (const Case& c : {
             Case{"supervisor", true, Access::ReadWrite, false, true, false, true},
             Case{"user on the public folder", false, Access::ReadWrite, false, true, true, false},
             Case{"read-only user on the public folder", false, Access::ReadOnly, false, true, true, false},
             Case{"user on a private folder", false, Access::ReadWrite, true, false, true, true},
             Case{"user without public access", false, Access::None, false, false, false, true},
         }) {
        SCOPED_TRACE(c.name);
        Folders db(c.openPrivate);
        db.session.supervisor = c.supervisor;
        db.session.publicAccess = c.access;
        db.open();
        TLoadDbDlg dialog(db.session, *db.folder);
        EXPECT_EQ(dialog.PublicBtn->isChecked(), c.publicChecked);
        EXPECT_EQ(dialog.PrivateBtn->isChecked(), !c.publicChecked);
        EXPECT_EQ(dialog.DbType->isEnabled(), c.typeEnabled);
        EXPECT_EQ(dialog.NewBtn->isEnabled(), c.mayChange);
        const bool listed = dialog.DbList->count() > 0;
        EXPECT_EQ(dialog.EditBtn->isEnabled(), c.mayChange && listed);
        EXPECT_EQ(dialog.DeleteBtn->isEnabled(), c.mayChange && listed);
        EXPECT_EQ(dialog.windowTitle(), "Load Database");
    }
}

TEST(LoadDatabaseDialog, SwitchingTypesListsTheOtherFolderAndShowsTheRealFileName)
{
    Folders db(false);
    db.open();
    TLoadDbDlg dialog(db.session, *db.folder);
    EXPECT_EQ(listed(dialog), QStringList("data.dbf"));
    EXPECT_EQ(dialog.RealFileName->text(), (db.session.folders.publicDatabase + "/data.dbf").toUpper());

    dialog.PrivateBtn->setChecked(true);
    EXPECT_TRUE(listed(dialog).isEmpty()) << "the private folder has no databases yet";
    EXPECT_TRUE(dialog.RealFileName->text().isEmpty());
    EXPECT_TRUE(dialog.NewBtn->isEnabled());
    EXPECT_FALSE(dialog.EditBtn->isEnabled());
    EXPECT_FALSE(dialog.DeleteBtn->isEnabled());

    QString caption;
    answerEditDialog("My stamps", "Kept at home", &caption);
    dialog.NewBtn->click();
    EXPECT_EQ(caption, "Create New Database");
    EXPECT_EQ(listed(dialog), QStringList("My stamps"));
    EXPECT_EQ(dialog.DbList->currentRow(), 0);
    EXPECT_EQ(dialog.RealFileName->text(), (db.privateFolder + "/data_1.dbf").toUpper());
    EXPECT_TRUE(dialog.EditBtn->isEnabled());
    EXPECT_TRUE(QFile::exists(db.privateFolder + "/data_1.dbf"));

    dialog.PublicBtn->setChecked(true);
    EXPECT_EQ(listed(dialog), QStringList("data.dbf"));
    EXPECT_FALSE(dialog.NewBtn->isEnabled());
}

TEST(LoadDatabaseDialog, EditChangesTheNameShownAndDoubleClickEditsToo)
{
    Folders db(false);
    db.session.supervisor = true;
    db.open();
    TLoadDbDlg dialog(db.session, *db.folder);
    QString caption;
    QString fileName;
    answerEditDialog("Main catalog", "All of it", &caption, &fileName);
    dialog.EditBtn->click();
    EXPECT_EQ(caption, "Edit Database Information");
    EXPECT_EQ(fileName, "data.dbf");
    EXPECT_EQ(listed(dialog), QStringList("Main catalog"));

    answerEditDialog("Renamed again", {});
    QListWidgetItem* item = dialog.DbList->item(0);
    emit dialog.DbList->itemDoubleClicked(item);
    EXPECT_EQ(listed(dialog), QStringList("Renamed again"));
    dialog.reject();
    EXPECT_EQ(db.folder->databaseName(), "Renamed again");
}

TEST(LoadDatabaseDialog, DeleteNeedsYesTypedAndThePassedSecurityCheck)
{
    struct Case
    {
        const char* typed;
        bool securityPassed;
        bool deleted;
    };
    for (const Case& c : {Case{"YE", true, false}, Case{"yes", false, false}, Case{"yes", true, true}}) {
        SCOPED_TRACE(c.typed);
        Folders db(true);
        db.open();
        TLoadDbDlg dialog(db.session, *db.folder);
        answerEditDialog("Spare", {});
        dialog.NewBtn->click();
        ASSERT_EQ(listed(dialog), QStringList({"data.dbf", "Spare"}));
        bool asked = false;
        dialog.setSecurityCheck([&] {
            asked = true;
            return c.securityPassed;
        });
        ModalWatcher boxes;
        answerConfirmation(c.typed);
        dialog.DbList->setCurrentRow(1);
        dialog.DeleteBtn->click();
        EXPECT_EQ(asked, QString(c.typed) == "yes");
        EXPECT_EQ(listed(dialog), c.deleted ? QStringList("data.dbf") : QStringList({"data.dbf", "Spare"}));
        EXPECT_EQ(QFile::exists(db.privateFolder + "/data_1.dbf"), !c.deleted);
        EXPECT_EQ(boxes.texts(), c.deleted ? QStringList("Table Deleted.") : QStringList());
    }
}

TEST(LoadDatabaseDialog, TheOpenTableAndOneInUseElsewhereAreNotDeleted)
{
    Folders db(true);
    db.open();
    TLoadDbDlg dialog(db.session, *db.folder);
    answerEditDialog("Shared", {});
    dialog.NewBtn->click();
    TablePeer peer = TablePeer::holdingOpen(db.privateFolder, "data_1.dbf", false);
    ASSERT_TRUE(peer.ready());
    ModalWatcher boxes;
    for (int row : {0, 1}) {
        dialog.DbList->setCurrentRow(row);
        dialog.DeleteBtn->click();
    }
    EXPECT_EQ(boxes.texts(), QStringList(2, "Table in use - cannot be deleted at this time!"));
    EXPECT_EQ(listed(dialog).size(), 2);
}

TEST(LoadDatabaseDialog, NewRefusesWhenAll999NamesAreListed)
{
    Folders db(true);
    db.open();
    dbase::Table& list = db.folder->tableList();
    for (int n = 1; n <= 999; ++n) {
        list.append();
        store::setColumnText(list, store::tablelist::fileNameColumn, QStringLiteral("data_%1.dbf").arg(n));
        list.post();
    }
    TLoadDbDlg dialog(db.session, *db.folder);
    ASSERT_EQ(dialog.DbList->count(), 1000);
    ModalWatcher boxes;
    answerEditDialog("One too many", {});
    dialog.NewBtn->click();
    EXPECT_EQ(boxes.texts(),
              QStringList("Cannot Create a new Table! You have reached the limit of 999 per user."));
    EXPECT_EQ(dialog.DbList->count(), 1000);
}

TEST(LoadDatabaseDialog, LoadChoosesTheSelectedTableAndCreatesItWhenMissing)
{
    Folders db(false);
    db.open();
    dbase::Table& list = db.folder->tableList();
    list.append();
    store::setColumnText(list, store::tablelist::fileNameColumn, "data_5.dbf");
    store::setColumnText(list, store::tablelist::databaseNameColumn, "Listed only");
    list.post();
    {
        TLoadDbDlg dialog(db.session, *db.folder);
        ASSERT_EQ(listed(dialog), QStringList({"data.dbf", "Listed only"}));
        dialog.DbList->setCurrentRow(1);
        dialog.LoadBtn->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.chosenFolder(), db.session.folders.publicDatabase);
        EXPECT_EQ(dialog.chosenFileName(), "data_5.dbf");
        EXPECT_TRUE(QFile::exists(db.file("data_5.dbt")));
        EXPECT_EQ(db.folder->databaseName(), "data.dbf") << "the table list is back on the open table";
    }
    {
        TLoadDbDlg dialog(db.session, *db.folder);
        dialog.PrivateBtn->setChecked(true);
        dialog.CancelBtn->click();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_TRUE(dialog.chosenFileName().isEmpty());
        EXPECT_EQ(db.folder->databaseName(), "data.dbf");
    }
    db.appendStamps(1);
    EXPECT_EQ(recordNumbers(db.folder->browseTable()), (std::vector<int>{2}));
}
