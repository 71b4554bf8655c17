#include "../store/DatabaseFixture.h"
#include "mainwindow/dialogs/RecordTableModel.h"
#include "mainwindow/dialogs/TFieldDlg.h"
#include "ModalWatcher.h"
#include "NextModal.h"
#include "pictures/StoredPicture.h"
#include "pictures/TMultiImgControl.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

constexpr int issued = 7;

QImage testPicture(QColor colour)
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// One stamp with a memo and a picture, and the grid's model over the record window's browse table.
struct Edited : Database
{
    explicit Edited(bool readOnly = false)
    {
        TFieldDlg::resetRunMemory();
        open();
        appendStamp("Penny Black", {"first line", "second line"},
                    pictures::StoredPicture::encode(testPicture(Qt::red), false));
        model = std::make_unique<RecordTableModel>(folder->browseTable(), prompts);
        model->setReadOnly(readOnly);
    }
    ~Edited() { TFieldDlg::resetRunMemory(); }

    dbase::Table& stored()
    {
        dbase::Table& table = reader;
        if (!table.isOpen())
            table.open(QFile::encodeName(session.folders.database).toStdString(), "data.dbf");
        table.first();
        return table;
    }

    std::unique_ptr<RecordTableModel> model;
    dbase::Table reader;
};

// Runs the editor modally; action acts on it once it is up.
void run(TFieldDlg& editor, const std::function<void(TFieldDlg*)>& action)
{
    onNextModal<TFieldDlg>(action);
    editor.exec();
}

} // namespace

TEST(FieldEditor, TheEditorFollowsTheColumnsKind)
{
    Edited edited;
    struct Case
    {
        int column;
        const char* caption;
        bool line;
        bool memo;
        bool picture;
    };
    for (const Case& c : {Case{Database::description, "Edit Field - DESCRIPT", true, false, false},
                          Case{Database::cost, "Edit Field - COST", true, false, false},
                          Case{Database::notes, "Edit Field - NOTES", false, true, false},
                          Case{Database::picture, "Edit Field - PICTURE", false, false, true}}) {
        SCOPED_TRACE(c.caption);
        TFieldDlg editor(*edited.model, 0, c.column);
        QString caption;
        bool focused = false;
        run(editor, [&](TFieldDlg* shown) {
            caption = shown->windowTitle();
            focused = shown->focusWidget() &&
                      (shown->focusWidget() == shown->Edit1 || shown->focusWidget() == shown->Memo1);
            shown->reject();
        });
        EXPECT_EQ(caption, c.caption);
        EXPECT_EQ(editor.Edit1 != nullptr, c.line);
        EXPECT_EQ(editor.Memo1 != nullptr, c.memo);
        EXPECT_EQ(editor.AutoWrap != nullptr, c.memo);
        EXPECT_EQ(editor.Picture != nullptr, c.picture);
        EXPECT_EQ(focused, !c.picture);
    }
}

TEST(FieldEditor, OkWritesTheValueAndPostsTheRow)
{
    Edited edited;
    {
        TFieldDlg editor(*edited.model, 0, Database::description);
        EXPECT_EQ(editor.Edit1->text(), "Penny Black");
        run(editor, [](TFieldDlg* shown) {
            shown->Edit1->setText("Two Penny Blue");
            shown->OKBtn->click();
        });
        EXPECT_EQ(editor.result(), QDialog::Accepted);
    }
    EXPECT_FALSE(edited.model->isEditing());
    EXPECT_EQ(store::columnText(edited.stored(), Database::description), "Two Penny Blue");
    {
        TFieldDlg editor(*edited.model, 0, Database::notes);
        EXPECT_EQ(editor.Memo1->toPlainText(), "first line\nsecond line");
        run(editor, [](TFieldDlg* shown) {
            shown->Memo1->setPlainText("rewritten\nin\nthree lines");
            shown->OKBtn->click();
        });
    }
    EXPECT_EQ(store::columnMemoLines(edited.stored(), Database::notes),
              QStringList({"rewritten", "in", "three lines"}));
}

TEST(FieldEditor, APictureIsShownAndAChangedOneStoredAsABitmap)
{
    Edited edited;
    const QByteArray before = store::columnBlob(edited.stored(), Database::picture);
    {
        TFieldDlg editor(*edited.model, 0, Database::picture);
        EXPECT_EQ(editor.Picture->picture().pixelColor(0, 0), QColor(Qt::red));
        run(editor, [](TFieldDlg* shown) { shown->OKBtn->click(); });
    }
    EXPECT_EQ(store::columnBlob(edited.stored(), Database::picture), before)
        << "an unchanged picture stays as it was";
    {
        TFieldDlg editor(*edited.model, 0, Database::picture);
        run(editor, [](TFieldDlg* shown) {
            shown->Picture->setPicture(testPicture(Qt::blue));
            shown->OKBtn->click();
        });
    }
    const QImage stored =
        pictures::StoredPicture::decode(store::columnBlob(edited.stored(), Database::picture));
    EXPECT_EQ(stored.size(), QSize(40, 30));
    EXPECT_EQ(stored.pixelColor(5, 5), QColor(Qt::blue));
}

TEST(FieldEditor, CancelDropsTheRowsChanges)
{
    Edited edited;
    ASSERT_TRUE(edited.model->setData(edited.model->index(0, Database::cost), "12.5", Qt::EditRole));
    TFieldDlg editor(*edited.model, 0, Database::notes);
    run(editor, [](TFieldDlg* shown) {
        shown->Memo1->setPlainText("not wanted");
        shown->CancelBtn->click();
    });
    EXPECT_FALSE(edited.model->isEditing());
    EXPECT_EQ(edited.stored().asNumber(Database::cost), 0);
    EXPECT_EQ(store::columnMemoLines(edited.stored(), Database::notes),
              QStringList({"first line", "second line"}));
}

TEST(FieldEditor, AValueThatCannotBeStoredKeepsTheEditorOpen)
{
    Edited edited;
    TFieldDlg editor(*edited.model, 0, issued);
    bool stillOpen = false;
    ModalWatcher boxes;
    run(editor, [&](TFieldDlg* shown) {
        shown->Edit1->setText("13/45/2001");
        shown->OKBtn->click();
        stillOpen = shown->isVisible();
        shown->Edit1->setText("12/24/2001");
        shown->OKBtn->click();
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(edited.prompts.messages.size(), 1) << "the engine's refusal is shown";
    EXPECT_EQ(store::columnDate(edited.stored(), issued), QDate(2001, 12, 24));
}

TEST(FieldEditor, TheSizeAndAutoWrapAreRememberedForTheRunOnly)
{
    Edited edited;
    QSize designed;
    {
        TFieldDlg editor(*edited.model, 0, Database::notes);
        EXPECT_FALSE(editor.AutoWrap->isChecked());
        EXPECT_EQ(editor.Memo1->lineWrapMode(), QPlainTextEdit::NoWrap);
        EXPECT_EQ(editor.Memo1->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
        run(editor, [&](TFieldDlg* shown) {
            designed = shown->size();
            shown->AutoWrap->click();
            shown->resize(designed + QSize(120, 80));
            shown->reject();
        });
        EXPECT_EQ(editor.Memo1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        EXPECT_EQ(editor.Memo1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    }
    {
        TFieldDlg editor(*edited.model, 0, Database::notes);
        EXPECT_TRUE(editor.AutoWrap->isChecked());
        EXPECT_EQ(editor.Memo1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QSize reopened;
        run(editor, [&](TFieldDlg* shown) {
            reopened = shown->size();
            shown->reject();
        });
        EXPECT_EQ(reopened, designed + QSize(120, 80));
    }
    TFieldDlg::resetRunMemory();
    TFieldDlg editor(*edited.model, 0, Database::notes);
    EXPECT_FALSE(editor.AutoWrap->isChecked());
    QSize restarted;
    run(editor, [&](TFieldDlg* shown) {
        restarted = shown->size();
        shown->reject();
    });
    EXPECT_EQ(restarted, designed);
}

TEST(FieldEditor, OnAReadOnlyGridTheValueIsOnlyShown)
{
    Edited edited(true);
    for (int column : {Database::description, Database::notes, Database::picture}) {
        SCOPED_TRACE(column);
        TFieldDlg editor(*edited.model, 0, column);
        const bool readOnly = (editor.Edit1 && editor.Edit1->isReadOnly()) ||
                              (editor.Memo1 && editor.Memo1->isReadOnly()) ||
                              (editor.Picture && editor.Picture->isReadOnly());
        EXPECT_TRUE(readOnly);
        run(editor, [](TFieldDlg* shown) {
            if (shown->Memo1)
                shown->Memo1->setPlainText("typed anyway");
            shown->OKBtn->click();
        });
        EXPECT_EQ(editor.result(), QDialog::Accepted);
    }
    EXPECT_FALSE(edited.model->isEditing());
    EXPECT_EQ(store::columnMemoLines(edited.stored(), Database::notes),
              QStringList({"first line", "second line"}));
}
