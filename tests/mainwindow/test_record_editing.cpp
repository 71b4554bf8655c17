#include "editors/TCurrencyEdit.h"
#include "editors/TDateEdit.h"
#include "mainwindow/dialogs/TDbEditDlg.h"
#include "mainwindow/dialogs/TLoadDbDlg.h"
#include "mainwindow/dialogs/TSortDlg.h"
#include "NextModal.h"
#include "RecordWindowFixture.h"
#include "store/RecordTemplateRows.h"
#include "store/TRecordTemplateList.h"

#include <functional>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTabWidget>

namespace {

QStringList itemTexts(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts.append(action->text());
    return texts;
}

QMenu* subMenu(const QMenu* menu, const QString& caption)
{
    for (const QAction* action : menu->actions()) {
        if (action->text() == caption)
            return action->menu();
    }
    return nullptr;
}

} // namespace

TEST_F(RecordWindowTest, ClearingEveryFieldOfARecordKeepsTheStoredRecord)
{
    seed({"Penny Black", "Two Penny Blue"});
    TForm1& window = open();
    ASSERT_EQ(field<QLineEdit>(1)->text(), "Penny Black");
    field<QLineEdit>(1)->clear();
    ASSERT_TRUE(window.IsRecordEmpty());
    window.NextRecord();
    EXPECT_EQ(field<QLineEdit>(1)->text(), "Two Penny Blue");
    EXPECT_EQ(storedDescriptions(), QStringList({"Penny Black", "Two Penny Blue"}));
}

TEST_F(RecordWindowTest, ANewRecordHoldingOnlyAMoneyValueOfZeroIsNotSaved)
{
    TForm1& window = open();
    ASSERT_TRUE(window.isNewRecord());
    field<TCurrencyEdit>(8)->setValue(0);
    EXPECT_TRUE(window.IsRecordEmpty());
    window.NewRecord();
    EXPECT_TRUE(storedDescriptions().isEmpty());
    // A cent is a value.
    field<TCurrencyEdit>(8)->setValue(0.01);
    window.NewRecord();
    EXPECT_EQ(storedDescriptions().size(), 1);
    EXPECT_EQ(window.position(), 2);
}

TEST_F(RecordWindowTest, SavingANewRecordAfterTheLastOfTenLandsOnTheRecordAskedFor)
{
    QStringList ten;
    for (int i = 1; i <= 10; ++i)
        ten.append(QStringLiteral("Stamp %1").arg(i));
    seed(ten);
    TForm1& window = open();
    window.GoToRecord(10);
    ASSERT_TRUE(window.isNewRecord());
    EXPECT_EQ(window.position(), 11);
    field<QLineEdit>(1)->setText("Stamp 11");
    // Asked for a fresh record: the save makes 11, and the form starts the twelfth.
    window.GoToRecord(10);
    EXPECT_EQ(storedDescriptions().size(), 11);
    EXPECT_TRUE(window.isNewRecord());
    EXPECT_EQ(window.position(), 12);
    EXPECT_TRUE(window.IsRecordEmpty());

    // Asked for the tenth: the new record went to the end, so the tenth is still the tenth.
    field<QLineEdit>(1)->setText("Stamp 12");
    window.GoToRecord(9);
    EXPECT_EQ(storedDescriptions().size(), 12);
    EXPECT_EQ(window.position(), 10);
    EXPECT_EQ(field<QLineEdit>(1)->text(), "Stamp 10");
}

TEST_F(RecordWindowTest, NextOnTheLastRecordShowsItAgainAndPreviousOnTheFirstToo)
{
    seed({"First", "Second", "Third"});
    TForm1& window = open();
    EXPECT_FALSE(window.command(TForm1::Command::Previous)->isEnabled());
    window.GoToRecord(2);
    EXPECT_FALSE(window.command(TForm1::Command::Next)->isEnabled());
    window.NextRecord();
    EXPECT_EQ(window.position(), 3);
    EXPECT_EQ(field<QLineEdit>(1)->text(), "Third");
    window.PreviousRecord();
    window.PreviousRecord();
    window.PreviousRecord();
    EXPECT_EQ(window.position(), 1);
    EXPECT_EQ(field<QLineEdit>(1)->text(), "First");
    EXPECT_TRUE(window.command(TForm1::Command::Next)->isEnabled());
    // From a new record, Previous goes to the last one.
    window.NewRecord();
    EXPECT_TRUE(window.command(TForm1::Command::Previous)->isEnabled());
    window.PreviousRecord();
    EXPECT_EQ(field<QLineEdit>(1)->text(), "Third");
}

TEST_F(RecordWindowTest, StatusTextsAndPositionLabelsFollowTheRecord)
{
    seed({"One", "Two", "Three", "Four"});
    TForm1& window = open();
    auto* position = window.findChild<QLabel*>("PositionLabel");
    auto* percent = window.findChild<QLabel*>("PercentLabel");
    EXPECT_EQ(window.statusText(), "Read/Write Access");
    EXPECT_EQ(position->text(), "1");
    EXPECT_EQ(percent->text(), "25%");
    window.GoToRecord(2);
    EXPECT_EQ(position->text(), "3");
    EXPECT_EQ(percent->text(), "75%");
    window.NewRecord();
    EXPECT_EQ(window.statusText(), "New Record");
    EXPECT_EQ(position->text(), "");
    EXPECT_EQ(percent->text(), "100%") << "five of four, capped";
    EXPECT_FALSE(window.command(TForm1::Command::Synchronize)->isEnabled());
}

TEST_F(RecordWindowTest, ReadOnlyModeLocksTheFieldsAndTheEditingCommands)
{
    seed({"Inverted Jenny"});
    session.publicAccess = store::PublicAccess::ReadOnly;
    TForm1& window = open();
    EXPECT_EQ(window.statusText(), "Read Only Access");
    EXPECT_TRUE(window.windowTitle().endsWith(" [Read Only Mode]"));
    EXPECT_FALSE(field<QLineEdit>(1)->isEnabled());
    for (TForm1::Command which :
         {TForm1::Command::NewRecord, TForm1::Command::CopyRecord, TForm1::Command::PasteRecord,
          TForm1::Command::DeleteRecord, TForm1::Command::UndoChanges})
        EXPECT_FALSE(window.command(which)->isEnabled());
    // Disabled fields show the system colours, not the scheme's.
    EXPECT_EQ(field<QLineEdit>(1)->palette().color(QPalette::Base),
              QApplication::palette().color(QPalette::Base));
    field<QLineEdit>(1)->setText("changed");
    window.close();
    EXPECT_EQ(storedDescriptions(), QStringList({"Inverted Jenny"}));
}

TEST_F(RecordWindowTest, ARecordAnotherProcessHoldsIsShownReadOnlyAndNotWritten)
{
    seed({"Mauritius Post Office", "Basel Dove"});
    QProcess locker;
    locker.start(QStringLiteral(RECORD_LOCKER), {session.folders.database, "data.dbf", "0"});
    ASSERT_TRUE(locker.waitForStarted(10000));
    ASSERT_TRUE(locker.waitForReadyRead(10000));
    ASSERT_EQ(locker.readLine().trimmed(), "locked");

    TForm1& window = open();
    EXPECT_TRUE(window.isRecordInUse());
    EXPECT_EQ(window.statusText(), "Read Only Access - Record In Use");
    EXPECT_FALSE(field<QLineEdit>(1)->isEnabled());
    EXPECT_FALSE(window.command(TForm1::Command::DeleteRecord)->isEnabled());
    field<QLineEdit>(1)->setText("typed while locked");
    window.NextRecord();
    EXPECT_EQ(window.statusText(), "Read/Write Access") << "the second record is free";
    EXPECT_EQ(storedDescriptions(), QStringList({"Mauritius Post Office", "Basel Dove"}));

    locker.closeWriteChannel();
    EXPECT_TRUE(locker.waitForFinished(10000));
}

TEST_F(RecordWindowTest, UndoBringsBackTheStoredValues)
{
    seed({"Basel Dove"});
    TForm1& window = open();
    field<QLineEdit>(1)->setText("typed over");
    window.UndoChanges();
    EXPECT_EQ(field<QLineEdit>(1)->text(), "Basel Dove");
    window.NewRecord();
    field<QLineEdit>(1)->setText("not yet saved");
    window.UndoChanges();
    EXPECT_TRUE(window.IsRecordEmpty());
    EXPECT_TRUE(window.isNewRecord());
}

TEST_F(RecordWindowTest, ImmediateDeleteShowsTheRecordThatFollowed)
{
    session.database.recordDeleteMode = 1;
    seed({"Alpha", "Beta", "Gamma"});
    TForm1& window = open();
    window.GoToRecord(1);
    window.DeleteCurrentRecord();
    EXPECT_EQ(storedDescriptions(), QStringList({"Alpha", "Gamma"}));
    EXPECT_EQ(window.position(), 2);
    EXPECT_EQ(field<QLineEdit>(1)->text(), "Gamma");
    window.DeleteCurrentRecord();
    EXPECT_TRUE(window.isNewRecord()) << "the last one deleted, a new record follows";
    EXPECT_EQ(window.position(), 2);
    // A new record is only cleared; an empty form is left alone.
    field<QLineEdit>(1)->setText("draft");
    window.DeleteCurrentRecord();
    EXPECT_TRUE(window.IsRecordEmpty());
    EXPECT_EQ(storedDescriptions(), QStringList({"Alpha"}));
    EXPECT_TRUE(boxes.texts().isEmpty());
}

TEST_F(RecordWindowTest, CopyAndPasteGoThroughTheCopyBuffer)
{
    seed({"Alpha", "Beta"});
    TForm1& window = open();
    EXPECT_FALSE(window.command(TForm1::Command::PasteRecord)->isEnabled());
    field<TDateEdit>(6)->setDate(QDate(1840, 5, 6));
    field<QPlainTextEdit>(21)->setPlainText("first line\nsecond line");
    window.CopyCurrentRecord();
    EXPECT_TRUE(session.copyBufferHoldsRecord);
    EXPECT_TRUE(window.command(TForm1::Command::PasteRecord)->isEnabled());

    // The copy buffer's values, as View Copy Buffer lists them.
    window.recordPageMenu()->popup(window.mapToGlobal(QPoint(100, 100)));
    QTest::qWait(20);
    QMenu* buffer = subMenu(window.recordPageMenu(), "&View Copy Buffer");
    ASSERT_NE(buffer, nullptr);
    EXPECT_TRUE(buffer->menuAction()->isVisible());
    const QStringList values = itemTexts(buffer);
    window.recordPageMenu()->hide();
    ASSERT_EQ(values.size(), 28);
    EXPECT_EQ(values[0], "Alpha");
    EXPECT_EQ(values[5], "05/06/1840");
    EXPECT_EQ(values[9], "<PICTURE> - Empty");
    EXPECT_EQ(values[20], "first line");

    window.NextRecord();
    window.PasteIntoCurrentRecord();
    EXPECT_EQ(field<QLineEdit>(1)->text(), "Alpha");
    window.close();
    EXPECT_EQ(storedDescriptions(), QStringList({"Alpha", "Alpha"}));
}

TEST_F(RecordWindowTest, AnEmptyFormIsNotCopied)
{
    TForm1& window = open();
    window.CopyCurrentRecord();
    EXPECT_EQ(boxes.texts(), QStringList({"Empty Record - Not Copied!"}));
    EXPECT_FALSE(session.copyBufferHoldsRecord);
}

TEST_F(RecordWindowTest, NewRecordsTakeTheChosenTemplate)
{
    {
        store::TRecordTemplateList templates(session.folders.settings);
        ASSERT_TRUE(templates.AddTemplate("Mint Block"));
        ScriptedPrompts prompts;
        store::DatabaseFolder database(session, prompts);
        ASSERT_TRUE(database.OpenDatabase());
        dbase::Table& buffer = database.copyBuffer();
        store::PrepareTemplateRow(buffer, 0);
        buffer.edit();
        store::setColumnText(buffer, descriptionColumn, "From the template");
        buffer.post();
        store::SetTodayMarkers(buffer, {7}); // field 6, "Date Issued:"
    }
    TForm1& window = open();
    EXPECT_EQ(window.newRecordTemplate(), "Blank");
    window.setNewRecordTemplate("Mint Block");
    window.NewRecord();
    EXPECT_EQ(field<QLineEdit>(1)->text(), "From the template");
    EXPECT_EQ(field<TDateEdit>(6)->date(), QDate::currentDate());
    // Replacing with "Blank" empties the form; a name without a row is refused.
    window.ReplaceWithTemplate("Blank");
    EXPECT_TRUE(window.IsRecordEmpty());
    window.setNewRecordTemplate("Blank");
    window.NewRecord();
    EXPECT_TRUE(window.IsRecordEmpty());
    window.ReplaceWithTemplate("Gone");
    EXPECT_EQ(boxes.texts(), QStringList({"Template could not be loaded!\nYou should delete this template"}));
}

TEST_F(RecordWindowTest, SynchronizeFindsTheRecordWhereItIsNow)
{
    seed({"Alpha", "Beta", "Gamma"});
    TForm1& window = open();
    window.GoToRecord(2);
    {
        // Another user deletes the first record.
        dbase::Table other;
        other.open(session.folders.database.toStdString(), "data.dbf");
        other.first();
        other.deleteRecord();
    }
    window.Synchronize();
    EXPECT_EQ(window.position(), 2);
    EXPECT_EQ(field<QLineEdit>(1)->text(), "Gamma");
}

TEST_F(RecordWindowTest, TabMovesThroughTheFieldsOfAPageAndOnToTheNext)
{
    seed({"Alpha"});
    TForm1& window = open();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    field<QLineEdit>(1)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), field<QWidget>(2)) << "field order, not the page's own order";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), field<QWidget>(3));
    // Notes is a memo: Tab leaves it instead of typing a tab.
    window.recordPages()->setCurrentIndex(2);
    field<QWidget>(21)->setFocus();
    QTest::keyClick(field<QWidget>(21), Qt::Key_Tab);
    EXPECT_EQ(field<QPlainTextEdit>(21)->toPlainText(), "");
    EXPECT_EQ(QApplication::focusWidget(), field<QWidget>(22));
    // From the last field of page 3 to the first of page 4, and back with Shift+Tab.
    field<QWidget>(27)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(window.recordPages()->currentIndex(), 3);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(window.recordPages()->currentIndex(), 2);
    EXPECT_EQ(QApplication::focusWidget(), field<QWidget>(27));
    // Before the first page comes the last.
    window.recordPages()->setCurrentIndex(0);
    field<QWidget>(1)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(window.recordPages()->currentIndex(), 3);
}

TEST_F(RecordWindowTest, TheFoundFieldIsShownInRedAndYellow)
{
    seed({"Alpha"});
    TForm1& window = open();
    field<QPlainTextEdit>(21)->setPlainText("Plate 1a\nFour margins");
    window.HighlightFoundField(20, "margins");
    EXPECT_EQ(window.recordPages()->currentIndex(), 2);
    auto* notes = field<QPlainTextEdit>(21);
    EXPECT_EQ(notes->palette().color(QPalette::Base), QColor(Qt::red));
    EXPECT_EQ(notes->palette().color(QPalette::Text), QColor(Qt::yellow));
    EXPECT_EQ(notes->textCursor().selectedText(), "margins");
    // The next find gives the field its own colours back.
    window.HighlightFoundField(0);
    EXPECT_EQ(notes->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(notes->palette().color(QPalette::Text), QColor(Qt::black));
    EXPECT_EQ(field<QLineEdit>(1)->palette().color(QPalette::Base), QColor(Qt::red));
    EXPECT_EQ(window.recordPages()->currentIndex(), 0);
}

TEST_F(RecordWindowTest, AHalfTypedDateKeepsTheFormUntilItIsADate)
{
    seed({"Penny Black", "Two Penny Blue"});
    TForm1& window = open();
    auto* issued = field<TDateEdit>(6);
    QTest::keyClicks(issued, "13");
    window.NextRecord();
    EXPECT_EQ(boxes.texts(), QStringList({"Invalid Date!"}));
    EXPECT_EQ(window.position(), 1) << "the form stays on the record";
    EXPECT_EQ(field<QLineEdit>(1)->text(), "Penny Black");

    issued->setDate(QDate(1840, 5, 6));
    window.NextRecord();
    EXPECT_EQ(window.position(), 2);
    window.PreviousRecord();
    EXPECT_EQ(issued->date(), QDate(1840, 5, 6));
}

TEST_F(RecordWindowTest, EveryDialogCommandSavesTheTypedValueFirst)
{
    seed({"Penny Black"});
    TForm1& window = open();
    const struct
    {
        TForm1::Command command;
        std::function<void()> answer;
    } commands[] = {
        {TForm1::Command::LoadDatabase, [] { onNextModal<TLoadDbDlg>([](TLoadDbDlg* d) { d->reject(); }); }},
        {TForm1::Command::Sort, [] { onNextModal<TSortDlg>([](TSortDlg* d) { d->reject(); }); }},
        {TForm1::Command::TableView, [] { onNextModal<TDbEditDlg>([](TDbEditDlg* d) { d->reject(); }); }},
    };
    int typed = 0;
    for (const auto& [command, answer] : commands) {
        const QString text = QStringLiteral("typed before command %1").arg(++typed);
        field<QLineEdit>(1)->setText(text);
        answer();
        window.command(command)->trigger();
        EXPECT_EQ(storedDescriptions(), QStringList{text});
        EXPECT_EQ(field<QLineEdit>(1)->text(), text) << "the window shows the record again";
    }
}
