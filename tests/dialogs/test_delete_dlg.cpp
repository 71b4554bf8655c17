#include "mainwindow/dialogs/TDeleteDlg1.h"
#include "NextModal.h"

#include <gtest/gtest.h>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// Types into the box of a shown dialog and presses one of its buttons.
int answer(TDeleteDlg1& dialog, const QString& typed, QPushButton* TDeleteDlg1::*button)
{
    onNextModal<TDeleteDlg1>([&](TDeleteDlg1* shown) {
        EXPECT_EQ(shown->focusWidget(), shown->Edit1) << "the box has the focus when the dialog opens";
        QTest::keyClicks(shown->Edit1, typed);
        (shown->*button)->click();
    });
    return dialog.exec();
}

} // namespace

TEST(DeleteConfirmation, OnlyYesTypedInAnyCaseConfirms)
{
    struct Case
    {
        const char* typed;
        const char* shown;
        int result;
    };
    for (const Case& c :
         {Case{"yes", "YES", QDialog::Accepted}, Case{"YES", "YES", QDialog::Accepted},
          Case{"yEs", "YES", QDialog::Accepted}, Case{"YE", "YE", QDialog::Rejected},
          Case{"no", "NO", QDialog::Rejected}, Case{"", "", QDialog::Rejected},
          Case{"yesterday", "YES", QDialog::Accepted}, Case{" yes", " YE", QDialog::Rejected}}) {
        SCOPED_TRACE(c.typed);
        TDeleteDlg1 dialog;
        EXPECT_EQ(answer(dialog, c.typed, &TDeleteDlg1::OKBtn), c.result);
        EXPECT_EQ(dialog.Edit1->text(), c.shown);
    }
}

TEST(DeleteConfirmation, CancelNeverConfirms)
{
    TDeleteDlg1 dialog;
    EXPECT_EQ(answer(dialog, "yes", &TDeleteDlg1::CancelBtn), QDialog::Rejected);
}

TEST(DeleteConfirmation, EachCallerAsksItsOwnQuestion)
{
    struct Case
    {
        ConfirmedAction action;
        const char* caption;
        const char* request;
        const char* warning;
    };
    const char* undone = "WARNING! This operation cannot be Undone!";
    for (const Case& c : {
             Case{ConfirmedAction::DeleteRecord, "Confirm Action",
                  "If you want to Delete the selected Record please",
                  "WARNING! Record Deletion cannot be Undone!"},
             Case{ConfirmedAction::DeleteDatabase, "Confirm", "If you want to Delete the Database please",
                  undone},
             Case{ConfirmedAction::DeleteAllRecords, "Confirm Action",
                  "If you want to Delete All Records please", undone},
             Case{ConfirmedAction::RepairDataFile, "Confirm Action",
                  "If you want to Repair the Data File please", undone},
             Case{ConfirmedAction::BackupDataFile, "Confirm Action",
                  "If you want to Backup the Data File please", undone},
             Case{ConfirmedAction::RestoreDataFile, "Confirm Action",
                  "If you want to Restore data from the Backup file please", undone},
             Case{ConfirmedAction::DeleteDisplayedRecords, "Confirm Action",
                  "If you want to Delete All Displayed Records please", undone},
         }) {
        SCOPED_TRACE(c.request);
        TDeleteDlg1 dialog;
        dialog.setAction(c.action);
        EXPECT_EQ(dialog.windowTitle(), c.caption);
        EXPECT_EQ(dialog.Label1->text(), c.request);
        EXPECT_EQ(dialog.Label2->text(), "type in 'YES':");
        EXPECT_EQ(dialog.Label3->text(), c.warning);
    }
}

TEST(DeleteConfirmation, ADialogStartsWithTheRecordQuestionAndTakesOtherTexts)
{
    TDeleteDlg1 dialog;
    EXPECT_EQ(dialog.windowTitle(), "Confirm Action");
    EXPECT_EQ(dialog.Label1->text(), "If you want to Delete the selected Record please");
    dialog.SetTexts("first", "second");
    EXPECT_EQ(dialog.Label1->text(), "first");
    EXPECT_EQ(dialog.Label3->text(), "second");

    onNextModal<TDeleteDlg1>([](TDeleteDlg1* shown) {
        QTest::keyClicks(shown->Edit1, "yes");
        QTest::keyClick(shown->Edit1, Qt::Key_Return);
    });
    EXPECT_TRUE(TDeleteDlg1::confirm(ConfirmedAction::BackupDataFile, nullptr)) << "Enter presses OK";
}
