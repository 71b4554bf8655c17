#include "editors/TDateEdit.h"
#include "NextModal.h"
#include "search/FindSearch.h"
#include "search/ReplaceRun.h"
#include "search/TFieldFilterDlg.h"
#include "search/TFilterDlg.h"
#include "search/TFindDlg.h"
#include "search/TLoadFiltersDlg.h"
#include "search/TReplaceDlg.h"
#include "SearchCatalog.h"
#include "security/ActivityLog.h"
#include "store/ContentTemplateLists.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

namespace {

QStringList captions()
{
    QStringList names;
    for (int i = 1; i <= 28; ++i)
        names.append(QStringLiteral("Field %1").arg(i));
    return names;
}

// A catalog with the windows' field list.
struct WindowCatalog : SearchCatalog
{
    QList<search::SearchField> fields = search::searchableFields(captions(), browse());
    int entryOf(int column) const
    {
        for (int i = 0; i < fields.size(); ++i)
            if (fields.at(i).column == column)
                return i;
        return -1;
    }
};

TEST(ToolWindows, PlacedBesideTheRecordWindow)
{
    const QRect screen(0, 0, 1920, 1080);
    const QSize tool(300, 400);
    struct Case
    {
        const char* name;
        QRect record;
        QPoint expected;
    } cases[] = {
        {"right of a window on the left", {0, 100, 800, 600}, {800, 100}},
        {"shifted left to stay on the screen", {0, 50, 1700, 600}, {1620, 50}},
        {"left of a window on the right", {1200, 100, 700, 600}, {900, 100}},
        {"at the screen's edge when there is no room on the left", {100, 100, 1800, 600}, {0, 100}},
        {"kept on the screen at the bottom", {0, 900, 800, 600}, {800, 680}},
    };
    for (const Case& test : cases)
        EXPECT_EQ(search::besideRecordWindow(tool, test.record, screen), test.expected) << test.name;
}

TEST(FindWindow, MessagesButtonsAndHooks)
{
    WindowCatalog catalog;
    for (const char* text : {"Penny red", "Plain", "Red cross", "Big red"})
        catalog.add({.description = text});
    ScriptedPrompts prompts;
    QStringList calls;
    auto* window = new TFindDlg(
        catalog.browse(), catalog.fields, &catalog.filters, [] { return 0; }, prompts);
    search::FindHooks hooks;
    hooks.FindStart = [&](bool forward) {
        calls.append(forward ? "start forward" : "start backward");
        return true;
    };
    hooks.ShowFound = [&] {
        calls.append(QStringLiteral("found %1:%2")
                         .arg(window->search().RecordCounter)
                         .arg(window->search().CurrentField));
    };
    hooks.NotFound = [&] { calls.append("not found"); };
    hooks.BeforeNonStop = [&] {
        calls.append("before non-stop");
        return true;
    };
    hooks.AfterNonStop = [&] {
        calls.append(QStringLiteral("after non-stop %1").arg(window->search().FoundCount));
    };
    window->setHooks(hooks);
    window->show();

    window->TextBox->setEditText("");
    window->FindBtn->click();
    EXPECT_EQ(prompts.messages, QStringList({"information: You have to enter Text!"}));

    window->TextBox->setEditText("red");
    window->FindBtn->click();
    EXPECT_TRUE(window->NextBtn->isEnabled());
    EXPECT_FALSE(window->PrevBtn->isEnabled());
    EXPECT_FALSE(window->StopBtn->isEnabled());
    EXPECT_EQ(window->CounterLabel->text(), "1");
    window->NextBtn->click();
    EXPECT_TRUE(window->PrevBtn->isEnabled());
    window->TextBox->setEditText("red ");
    EXPECT_FALSE(window->NextBtn->isEnabled()) << "a changed text starts over";

    window->TextBox->setEditText("blue");
    window->FindBtn->click();
    EXPECT_EQ(prompts.messages.last(), "information: Text Not Found!");
    EXPECT_FALSE(window->NextBtn->isEnabled());
    EXPECT_EQ(window->TextBox->itemText(0), "blue");
    EXPECT_EQ(window->TextBox->itemText(1), "red") << "the history, most recent first";

    window->FieldList->setCurrentIndex(catalog.entryOf(column::description) + 1);
    EXPECT_FALSE(window->SkipMemos->isEnabled());
    window->NonStopMode->setChecked(true);
    EXPECT_TRUE(window->FromBeginning->isChecked());
    EXPECT_FALSE(window->StartFrom->isEnabled());
    window->TextBox->setEditText("red");
    window->FindBtn->click();
    EXPECT_EQ(
        prompts.messages.last(),
        "information: 3 Record(s) Found!\nTo return later to All-Record-Display set Filter to All Records.");
    EXPECT_EQ(calls, QStringList({"start forward", "found 0:2", "found 2:2", "start forward", "not found",
                                  "before non-stop", "after non-stop 3"}));
    EXPECT_EQ(catalog.showScope(store::FilterScope::NormalFilter), 3);
    EXPECT_TRUE(window->close()); // and frees itself
}

TEST(ReplaceWindow, ChoicesFollowTheFieldAndARunIsLogged)
{
    WindowCatalog catalog;
    for (int i = 0; i < 5; ++i)
        catalog.add({.description = "Stamp", .mark = i < 2 ? "2" : "0"});
    ScriptedPrompts prompts;
    security::ActivityLog log(catalog.file("log.dat"));
    TReplaceDlg window(
        catalog.browse(), catalog.fields, &catalog.filters, &log, [] { return QStringLiteral("Main"); },
        prompts);
    QStringList calls;
    window.setHooks({[&](int& scope) {
                         calls.append("before");
                         scope = 1;
                         catalog.browse().first();
                         return true;
                     },
                     [&] { calls.append("after"); }});
    window.show();

    window.FieldList->setCurrentIndex(catalog.entryOf(column::issued));
    window.Modes.at(search::ReplaceRequest::Substring)->setChecked(true);
    EXPECT_TRUE(window.Modes.first()->isChecked()) << "no substrings in a date";
    EXPECT_TRUE(window.DateEdit->isVisibleTo(&window));
    EXPECT_FALSE(window.ReplaceBtn->isEnabled()) << "a blank date is no value";

    window.FieldList->setCurrentIndex(catalog.entryOf(column::description));
    window.Modes.at(search::ReplaceRequest::AutoIncrement)->setChecked(true);
    EXPECT_EQ(window.SecondLabel->text(), "Start From:");
    EXPECT_FALSE(window.OneLineEdit->isVisibleTo(&window));
    EXPECT_TRUE(window.ReplaceBtn->isEnabled());
    window.Modes.at(search::ReplaceRequest::Substring)->setChecked(true);
    EXPECT_EQ(window.SecondLabel->text(), "Substring To Replace:");
    window.SecondEdit->setText("STAMP");
    window.OneLineEdit->setText("Cover");

    window.ReplaceBtn->click();
    EXPECT_TRUE(calls.isEmpty()) << "answered No";
    prompts.answerYes = true;
    window.ReplaceBtn->click();
    EXPECT_EQ(calls, QStringList({"before", "after"}));
    EXPECT_EQ(prompts.messages.last(),
              "information: 2 records were Replaced.\n0 records failed the Replace.");
    ASSERT_EQ(log.entries().size(), 1);
    EXPECT_EQ(log.entries().first().DatabaseFile, "Main");
    EXPECT_EQ(log.entries().first().Description, "2 Records Replaced.");
    EXPECT_EQ(catalog.marksOf(column::description),
              QStringList({"Cover=2", "Cover=2", "Stamp=0", "Stamp=0", "Stamp=0"}));

    window.ReplaceBtn->click(); // "Cover" holds no "STAMP"
    EXPECT_EQ(prompts.messages.last(), "information: No records were replaced!");
    window.CloseBtn->click();
    EXPECT_FALSE(window.isVisible()) << "closing only hides";
}

struct FilterDialogs : testing::Test
{
    WindowCatalog catalog;
    ScriptedPrompts prompts;
    store::TFilterTemplateList templates{catalog.session.folders.settings};
    FilterDialogContext context{catalog.fields,
                                catalog.session.folders.settings,
                                [] { return 0; },
                                {},
                                [](int) { return QStringList(); }};

    FilterDialogs() { templates.setContent(&catalog.filters); }
};

TEST_F(FilterDialogs, ConditionsAreAddedEditedAndSavedAsTemplates)
{
    TFilterDlg dialog(catalog.filters, templates, 0, context, prompts);
    EXPECT_EQ(dialog.AllFields->count(), 25) << "no memo, no pictures";
    dialog.AllFields->setCurrentRow(catalog.entryOf(column::cost));
    dialog.AddBtn->click();
    dialog.AddBtn->click();
    ASSERT_EQ(catalog.filters.Count(), 1) << "one condition per field";
    EXPECT_FALSE(dialog.ApplyBtn->isEnabled()) << "an undefined condition cannot be applied";

    onNextModal<TFieldFilterDlg>([](TFieldFilterDlg* conditions) {
        conditions->Operators.at(search::TFilter::Between)->setChecked(true);
        conditions->Value1->setText("10");
        conditions->OkBtn->click(); // the second value is missing
        conditions->Value2->setText("1234.5");
        conditions->OkBtn->click();
    });
    dialog.EditBtn->click();
    EXPECT_EQ(prompts.messages, QStringList({"error: The Field expression cannot be Empty!"}));
    const search::TFilter& condition = *catalog.filters.Condition(0);
    EXPECT_FALSE(condition.Undefined);
    EXPECT_EQ(condition.FieldKind, search::TFilter::FloatKind);
    EXPECT_EQ(condition.Value1, "10.00");
    EXPECT_EQ(condition.Value2, "1,234.50");
    EXPECT_TRUE(condition.HasNumbers);
    EXPECT_TRUE(dialog.ApplyBtn->isEnabled());
    EXPECT_FALSE(dialog.UsedFields->item(0)->icon().isNull()) << "a defined condition is checked";

    onNextModal<QInputDialog>([](QInputDialog* input) {
        input->setTextValue("Dear");
        input->accept();
    });
    dialog.SaveBtn->click();
    onNextModal<QInputDialog>([](QInputDialog* input) {
        input->setTextValue("Dear");
        input->accept();
    });
    dialog.SaveBtn->click();
    EXPECT_EQ(prompts.messages.last(), "error: Duplicate name - Template Not Saved!");
    ASSERT_EQ(templates.Count(), 1);

    dialog.RemoveAllBtn->click();
    EXPECT_EQ(dialog.UsedFields->count(), 0);
    EXPECT_FALSE(dialog.EditBtn->isEnabled());
    onNextModal<TLoadFiltersDlg>([](TLoadFiltersDlg* chooser) {
        EXPECT_EQ(chooser->windowTitle(), "Load Filter Template");
        chooser->OkButton->click();
    });
    dialog.LoadBtn->click();
    ASSERT_EQ(catalog.filters.Count(), 1);
    EXPECT_EQ(catalog.filters.Condition(0)->Value2, "1,234.50");
    EXPECT_EQ(dialog.UsedFields->count(), 1);
}

TEST_F(FilterDialogs, OneOfListsAndTheScopeAfterClosing)
{
    catalog.filters.AddCondition(column::country);
    onNextModal<TFieldFilterDlg>([](TFieldFilterDlg* conditions) {
        conditions->Operators.at(search::TFilter::OneOf)->setChecked(true);
        EXPECT_FALSE(conditions->Value1->isVisibleTo(conditions));
        conditions->OkBtn->click(); // an empty list
        conditions->ValueList->setPlainText("France\n\nItaly\nSpain");
        QTextCursor caret = conditions->ValueList->textCursor();
        caret.movePosition(QTextCursor::End);
        conditions->ValueList->setTextCursor(caret);
        EXPECT_FALSE(conditions->RemoveBtn->isEnabled());
        conditions->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(conditions));
        conditions->ValueList->setFocus();
        EXPECT_TRUE(conditions->RemoveBtn->isEnabled()) << "offered while the list has the focus";
        conditions->RemoveBtn->click();
        conditions->OkBtn->click();
    });
    TFilterDlg dialog(catalog.filters, templates, 2, context, prompts);
    EXPECT_TRUE(dialog.Scopes.at(2)->isChecked());
    dialog.EditBtn->click();
    EXPECT_EQ(catalog.filters.Condition(0)->Values, QStringList({"France", "Italy"}));
    EXPECT_EQ(prompts.messages, QStringList({"error: The Field expression cannot be Empty!"}));

    struct Case
    {
        int result, current, chosen;
        std::optional<int> scope;
    } cases[] = {{TFilterDlg::Apply, 2, 0, 1},
                 {TFilterDlg::ScopeOnly, 0, 2, 2},
                 {TFilterDlg::ScopeOnly, 1, 1, {}},
                 {QDialog::Rejected, 0, 2, {}}};
    for (const Case& test : cases)
        EXPECT_EQ(TFilterDlg::scopeAfter(test.result, test.current, test.chosen), test.scope);
}

} // namespace

namespace {

TEST(FindWindow, ClosingDuringANonStopSearchStopsItFirst)
{
    WindowCatalog catalog;
    for (int i = 0; i < 3000; ++i)
        catalog.add({.description = "red", .mark = "0"});
    ScriptedPrompts prompts;
    QPointer<TFindDlg> window = new TFindDlg(
        catalog.browse(), catalog.fields, nullptr, [] { return 0; }, prompts);
    window->show();
    window->NonStopMode->setChecked(true);
    window->TextBox->setEditText("red");
    bool closedDuringRun = false;
    QTimer::singleShot(0, window, [&] { closedDuringRun = !window->close(); });
    window->FindBtn->click();
    EXPECT_TRUE(closedDuringRun) << "the window waits for the run";
    ASSERT_FALSE(window.isNull());
    EXPECT_EQ(window->search().FoundCount, 0) << "the close stopped the run";
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_TRUE(window->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

} // namespace

namespace {

TEST(FilterWindow, ApplyingUnderTheProgressWindowMarksEveryRecord)
{
    SearchCatalog catalog;
    catalog.addNumbered(100);
    catalog.filters.AttachTable(catalog.browse());
    ApplyFilterWithProgress(catalog.filters, nullptr);
    EXPECT_FALSE(catalog.filters.AutoMarking) << "nothing happens without conditions";
    catalog.filters.SetCondition(*catalog.filters.Condition(catalog.filters.AddCondition(column::cost)), "50",
                                 {}, search::TFilter::FloatKind, search::TFilter::LessOrEqual);
    ApplyFilterWithProgress(catalog.filters, nullptr);
    EXPECT_TRUE(catalog.filters.AutoMarking);
    EXPECT_EQ(catalog.showScope(store::FilterScope::NormalFilter), 50);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
