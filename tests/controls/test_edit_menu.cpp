#include "AnsweredBoxes.h"
#include "HelpRequests.h"
#include "mainwindow/controls/TEditMenu.h"
#include "MenuPaths.h"
#include "ModalAnswers.h"
#include "TestFiles.h"

#include <gtest/gtest.h>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct FieldForm : ::testing::Test
{
    QWidget window;
    QLineEdit* edit = new QLineEdit(&window);
    QComboBox* combo = new QComboBox(&window);
    QPlainTextEdit* memo = new QPlainTextEdit(&window);
    TEditMenu* menu = new TEditMenu(&window);

    FieldForm()
    {
        window.resize(400, 300);
        edit->setGeometry(10, 10, 200, 24);
        combo->setEditable(true);
        combo->setGeometry(10, 40, 200, 24);
        memo->setGeometry(10, 70, 300, 150);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    ~FieldForm() override { menu->close(); }

    bool enabled(TEditMenu::Item item) const { return menu->item(item)->isEnabled(); }
    bool shown(TEditMenu::Item item) const { return menu->item(item)->isVisible(); }
    // Opens the menu afresh for the field it was last opened for, as a user does, and chooses the item
    // (a disabled item does nothing).
    void trigger(TEditMenu::Item item) const
    {
        menu->prepareFor(menu->popupComponent());
        menu->item(item)->trigger();
    }
    static QString clipboard() { return QGuiApplication::clipboard()->text(); }
};

} // namespace

TEST_F(FieldForm, ItemsInOrder)
{
    menu->prepareFor(memo);
    EXPECT_EQ(itemTexts(menu),
              QStringList({"&Undo", "-", "Cu&t", "&Copy", "&Paste", "&Delete", "-", "Select &All", "-",
                           "&Load", "&Save", "-", "&Font...", "C&olor...", "-", "&Help"}));
    menu->prepareFor(edit);
    EXPECT_EQ(itemTexts(menu), QStringList({"&Undo", "-", "Cu&t", "&Copy", "&Paste", "&Delete", "-",
                                            "Select &All", "-", "&Font...", "C&olor...", "-", "&Help"}))
        << "load and save only for memos";
    menu->prepareFor(combo);
    EXPECT_EQ(itemTexts(menu), QStringList({"Cu&t", "&Copy", "&Paste", "&Delete", "-", "Select &All", "-",
                                            "&Font...", "C&olor...", "-", "&Help"}))
        << "no undo for combo boxes";
}

TEST_F(FieldForm, EnabledStatesFollowTheField)
{
    struct Case
    {
        const char* name;
        std::function<QWidget*(FieldForm&)> arrange;
        bool undo, cut, copy, paste, del, selectAll;
    };
    const Case cases[] = {
        {"text, nothing selected",
         [](FieldForm& f) {
             f.edit->setText(QStringLiteral("Mint"));
             return f.edit;
         },
         false, false, false, true, false, true},
        {"text, part selected",
         [](FieldForm& f) {
             f.edit->setText(QStringLiteral("Mint"));
             f.edit->setSelection(0, 2);
             return f.edit;
         },
         false, true, true, true, true, false},
        {"empty", [](FieldForm& f) { return f.edit->setText(QString()), f.edit; }, false, false, false, true,
         false, false},
        {"typed into",
         [](FieldForm& f) {
             f.edit->clear();
             f.edit->setFocus();
             QTest::keyClicks(f.edit, QStringLiteral("ab"));
             return f.edit;
         },
         true, false, false, true, false, true},
        {"read-only with a selection",
         [](FieldForm& f) {
             f.edit->setText(QStringLiteral("Mint"));
             f.edit->setReadOnly(true);
             f.edit->selectAll();
             return f.edit;
         },
         false, false, true, false, false, false},
        {"memo with a selection",
         [](FieldForm& f) {
             f.memo->setPlainText(QStringLiteral("one\ntwo"));
             f.memo->selectAll();
             return f.memo;
         },
         false, true, true, true, true, false},
        {"empty memo", [](FieldForm& f) { return f.memo->clear(), f.memo; }, false, false, false, true, false,
         false},
        {"combo box text",
         [](FieldForm& f) {
             f.combo->setEditText(QStringLiteral("France"));
             return f.combo;
         },
         false, false, false, true, false, true},
    };
    for (const Case& c : cases) {
        edit->setReadOnly(false);
        QWidget* field = c.arrange(*this);
        menu->prepareFor(field);
        EXPECT_EQ(menu->popupComponent(), field) << c.name;
        EXPECT_EQ(enabled(TEditMenu::Undo), c.undo) << c.name;
        EXPECT_EQ(enabled(TEditMenu::Cut), c.cut) << c.name;
        EXPECT_EQ(enabled(TEditMenu::Copy), c.copy) << c.name;
        EXPECT_EQ(enabled(TEditMenu::Paste), c.paste) << c.name;
        EXPECT_EQ(enabled(TEditMenu::Delete), c.del) << c.name;
        EXPECT_EQ(enabled(TEditMenu::SelectAll), c.selectAll) << c.name;
    }
}

TEST_F(FieldForm, OpeningFocusesTheField)
{
    edit->setFocus();
    menu->popupFor(memo, window.mapToGlobal(QPoint(20, 80)));
    EXPECT_TRUE(menu->isVisible());
    menu->close();
    EXPECT_TRUE(memo->hasFocus());
}

TEST_F(FieldForm, EditActionsOnOneLineFields)
{
    for (QLineEdit* field : {edit, combo->lineEdit()}) {
        QWidget* owner = field == edit ? static_cast<QWidget*>(edit) : combo;
        field->setText(QStringLiteral("Penny Black"));
        field->setSelection(0, 6);
        menu->prepareFor(owner);
        trigger(TEditMenu::Cut);
        EXPECT_EQ(field->text(), QStringLiteral("Black"));
        EXPECT_EQ(clipboard(), QStringLiteral("Penny "));

        field->setCursorPosition(5);
        trigger(TEditMenu::Paste);
        EXPECT_EQ(field->text(), QStringLiteral("BlackPenny "));

        field->setSelection(0, 5);
        trigger(TEditMenu::Copy);
        EXPECT_EQ(clipboard(), QStringLiteral("Black"));
        trigger(TEditMenu::Delete);
        EXPECT_EQ(field->text(), QStringLiteral("Penny "));

        trigger(TEditMenu::SelectAll);
        EXPECT_EQ(field->selectedText(), QStringLiteral("Penny "));
        if (field == edit) {
            trigger(TEditMenu::Undo);
            EXPECT_EQ(field->text(), QStringLiteral("BlackPenny "));
        }
    }
}

TEST_F(FieldForm, DeleteWithoutSelectionLeavesTheText)
{
    edit->setText(QStringLiteral("Mint"));
    edit->setCursorPosition(0);
    menu->prepareFor(edit);
    trigger(TEditMenu::Delete);
    EXPECT_EQ(edit->text(), QStringLiteral("Mint"));
}

TEST_F(FieldForm, ReadOnlyFieldsAreNotChanged)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    edit->setText(QStringLiteral("Mint"));
    edit->setReadOnly(true);
    edit->selectAll();
    menu->prepareFor(edit);
    for (TEditMenu::Item item : {TEditMenu::Cut, TEditMenu::Paste, TEditMenu::Delete})
        trigger(item);
    EXPECT_EQ(edit->text(), QStringLiteral("Mint"));
}

TEST_F(FieldForm, EditActionsOnMemos)
{
    memo->setPlainText(QStringLiteral("first line\nsecond line"));
    QTextCursor cursor = memo->textCursor();
    cursor.setPosition(0);
    cursor.setPosition(6, QTextCursor::KeepAnchor);
    memo->setTextCursor(cursor);
    menu->prepareFor(memo);
    trigger(TEditMenu::Cut);
    EXPECT_EQ(clipboard(), QStringLiteral("first "));
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("line\nsecond line"));
    trigger(TEditMenu::Undo);
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("first line\nsecond line"));
    trigger(TEditMenu::SelectAll);
    trigger(TEditMenu::Delete);
    EXPECT_TRUE(memo->toPlainText().isEmpty());
    trigger(TEditMenu::Paste);
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("first "));
}

TEST_F(FieldForm, FontAndColourAreTheOwnersToChange)
{
    QSignalSpy fonts(menu, &TEditMenu::fontRequested);
    QSignalSpy colours(menu, &TEditMenu::colorRequested);
    menu->prepareFor(memo);
    trigger(TEditMenu::Font);
    menu->prepareFor(edit);
    trigger(TEditMenu::Color);
    ASSERT_EQ(fonts.count(), 1);
    ASSERT_EQ(colours.count(), 1);
    EXPECT_EQ(fonts.at(0).at(0).value<QWidget*>(), memo);
    EXPECT_EQ(colours.at(0).at(0).value<QWidget*>(), edit);
}

TEST_F(FieldForm, HelpOpensTheFieldsContext)
{
    HelpRequests help;
    edit->setProperty("helpContext", 36);
    menu->prepareFor(edit);
    trigger(TEditMenu::Help);
    menu->prepareFor(memo); // no context
    trigger(TEditMenu::Help);
    EXPECT_EQ(help.contexts(), QList<int>{36});
}

TEST_F(FieldForm, MemoLoadsAndSavesTextFiles)
{
    QTemporaryDir folder;
    const QString source = folder.filePath(QStringLiteral("notes.txt"));
    writeFile(source, "Perforation 14\r\nCharni\xe8re\r\n");
    memo->setPlainText(QStringLiteral("old"));
    ModalAnswers answers;
    answers.answerFile(source);
    menu->prepareFor(memo);
    trigger(TEditMenu::Load);
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("Perforation 14\nCharni\u00e8re"));
    EXPECT_EQ(answers.nameFilters(), QStringList{QStringLiteral("*.txt")});

    const QString target = folder.filePath(QStringLiteral("out.txt"));
    memo->setPlainText(QStringLiteral("Gum: original\nFiligrane \u00e9toile"));
    answers.answerFile(target);
    trigger(TEditMenu::Save);
    EXPECT_EQ(readFile(target), QByteArray("Gum: original\r\nFiligrane \xe9toile\r\n"));

    memo->setPlainText(QStringLiteral("kept"));
    trigger(TEditMenu::Load); // cancelled
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("kept"));
}

TEST_F(FieldForm, FileErrorsShowTheStandardErrorBox)
{
    QTemporaryDir folder;
    const QString vanishing = folder.filePath(QStringLiteral("gone.txt"));
    writeFile(vanishing, "x");
    ModalAnswers answers;
    ModalWatcher boxes;
    memo->setPlainText(QStringLiteral("kept"));
    menu->prepareFor(memo);
    answers.answerFile(vanishing, [vanishing] { QFile::remove(vanishing); });
    trigger(TEditMenu::Load);
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("kept"));

    const QString unwritable = folder.filePath(QStringLiteral("missing/folder/out.txt"));
    answers.answerFile(unwritable);
    trigger(TEditMenu::Save);
    EXPECT_EQ(boxes.texts(), QStringList({QStringLiteral("Cannot open file ") + vanishing,
                                          QStringLiteral("Cannot create file ") + unwritable}))
        << boxes.texts().join(QLatin1Char('|')).toStdString();
}

TEST_F(FieldForm, ListFieldItemsGoBeforeTheLastTwo)
{
    auto* editList = new QAction(QStringLiteral("&Edit List..."), menu);
    auto* autoFill = new QAction(QStringLiteral("Auto-F&ill"), menu);
    menu->insertItem(editList);
    menu->insertItem(autoFill);
    bool autoFillOn = true;
    menu->setAutoFillItem(autoFill, [&] { return autoFillOn; });
    menu->prepareFor(combo);
    const QList<QAction*> all = menu->actions();
    EXPECT_EQ(all.indexOf(autoFill), 15);
    EXPECT_EQ(all.indexOf(editList), 14);
    EXPECT_EQ(all.last()->text(), QStringLiteral("&Help"));
    EXPECT_TRUE(autoFill->isChecked());
    autoFillOn = false;
    menu->prepareFor(combo);
    EXPECT_FALSE(autoFill->isChecked());
}

TEST_F(FieldForm, ARightClickOnAnAttachedFieldOpensTheMenuForIt)
{
    menu->attachTo(edit);
    menu->attachTo(combo);
    QContextMenuEvent onEdit(QContextMenuEvent::Mouse, QPoint(5, 5), edit->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(edit, &onEdit);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->popupComponent(), edit);
    menu->close();
    QContextMenuEvent onComboText(QContextMenuEvent::Mouse, QPoint(5, 5),
                                  combo->lineEdit()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(combo->lineEdit(), &onComboText);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->popupComponent(), combo);
}
