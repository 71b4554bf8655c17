#include "../store/TablePeer.h"
#include "editors/LookupFields.h"
#include "editors/TLookup.h"
#include "EditorTestSupport.h"
#include "ListFolder.h"
#include "ModalWatcher.h"

#include <memory>
#include <QLineEdit>
#include <QSignalSpy>
#include <vector>

namespace {

const QString list1 = QStringLiteral("list1.dbf");

// A lookup field on list1.dbf of the folder, as the record window sets it up.
void attach(TLookup& field, ListFolder& lists, const QString& source = list1)
{
    field.setSession(&lists.session);
    field.setSource(source);
}

std::string caseName(const char* name)
{
    return name;
}

// --- Auto-fill ----------------------------------------------------------------------------------------

struct Keystroke
{
    char key; // '\b' is Backspace
    const char* text;
    const char* selected;
    int index;
};

struct AutoFillCase
{
    const char* name;
    bool autoFill;
    int startIndex;
    std::vector<Keystroke> strokes;
};

class AutoFill : public ::testing::TestWithParam<AutoFillCase>
{
};

TEST_P(AutoFill, TypingCompletesFromTheItemsInTheirShownOrder)
{
    const AutoFillCase& c = GetParam();
    ListFolder lists;
    lists.write(list1, {QStringLiteral("Canada"), QStringLiteral("Cameroon")});
    lists.session.database.autoFill = c.autoFill;
    TLookup field;
    attach(field, lists);
    ASSERT_EQ(field.itemTexts(), QStringList({QStringLiteral("Cameroon"), QStringLiteral("Canada")}));
    field.setCurrentIndex(c.startIndex);
    for (const Keystroke& stroke : c.strokes) {
        if (stroke.key == '\b')
            QTest::keyClick(&field, Qt::Key_Backspace);
        else
            QTest::keyClick(&field, stroke.key);
        SCOPED_TRACE(std::string("after ") + stroke.key);
        EXPECT_EQ(field.currentText(), stroke.text);
        EXPECT_EQ(field.lineEdit()->selectedText(), stroke.selected);
        EXPECT_EQ(field.currentIndex(), stroke.index);
    }
    field.setEditText(QString()); // nothing to add when the field goes
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AutoFill,
    ::testing::Values(
        AutoFillCase{
            "CameroonThenCanada",
            true,
            -1,
            {{'C', "Cameroon", "ameroon", 0}, {'a', "Cameroon", "meroon", 0}, {'n', "Canada", "ada", 1}}},
        AutoFillCase{"LetterCaseCounts", true, -1, {{'c', "c", "", -1}, {'a', "ca", "", -1}}},
        AutoFillCase{"NoItemBeginsSo", true, -1, {{'C', "Cameroon", "ameroon", 0}, {'x', "Cx", "", 0}}},
        AutoFillCase{"BackspaceIsNotTyped",
                     true,
                     -1,
                     {{'C', "Cameroon", "ameroon", 0}, {'\b', "C", "", 0}, {'a', "Cameroon", "meroon", 0}}},
        AutoFillCase{
            "OffTypesOnly", false, -1, {{'C', "C", "", -1}, {'a', "Ca", "", -1}, {'n', "Can", "", -1}}},
        AutoFillCase{"OffKeepsTheChosenItem", false, 1, {{'s', "Canadas", "", 1}, {'\b', "Canada", "", 1}}}),
    [](const ::testing::TestParamInfo<AutoFillCase>& info) { return caseName(info.param.name); });

// --- Leaving the field --------------------------------------------------------------------------------

struct LeavingCase
{
    const char* name;
    QStringList list;
    const char* typed;
    QStringList listAfter;
};

class Leaving : public ::testing::TestWithParam<LeavingCase>
{
};

TEST_P(Leaving, AValueMissingFromTheItemsJoinsTheList)
{
    const LeavingCase& c = GetParam();
    ListFolder lists;
    lists.write(list1, c.list);
    lists.session.database.autoFill = false;
    FieldWindow<TLookup> form;
    attach(*form.field, lists);
    QTest::keyClicks(form.field, QString::fromLatin1(c.typed));
    QTest::keyClick(form.field, Qt::Key_Tab);
    EXPECT_EQ(form.focused(), form.next);
    EXPECT_EQ(lists.values(list1), c.listAfter);
    QStringList shown = c.listAfter;
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(form.field->itemTexts(), shown);
    EXPECT_EQ(form.field->currentText(), c.typed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Leaving,
    ::testing::Values(LeavingCase{"NewValue", {"Cameroon"}, "Canada", {"Cameroon", "Canada"}},
                      LeavingCase{"SameValue", {"Cameroon", "Canada"}, "Canada", {"Cameroon", "Canada"}},
                      LeavingCase{"OnlyLetterCaseDiffers", {"Canada"}, "CANADA", {"Canada"}},
                      LeavingCase{"EmptyText", {"Canada"}, "", {"Canada"}},
                      LeavingCase{"IntoAnEmptyList", {}, "Mint never hinged", {"Mint never hinged"}}),
    [](const ::testing::TestParamInfo<LeavingCase>& info) { return caseName(info.param.name); });

TEST(LookupLeaving, TheDropDownDoesNotLeaveTheField)
{
    ListFolder lists;
    lists.write(list1, {QStringLiteral("Canada")});
    FieldWindow<TLookup> form;
    attach(*form.field, lists);
    form.field->setEditText(QStringLiteral("Chile"));
    QFocusEvent popupTakesFocus(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(form.field, &popupTakesFocus);
    QFocusEvent otherWindow(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(form.field, &otherWindow);
    EXPECT_EQ(lists.values(list1), QStringList{QStringLiteral("Canada")});
    form.field->setEditText(QString());
}

TEST(LookupLeaving, AFieldDestroyedWithANewValueAddsIt)
{
    ListFolder lists;
    lists.write(list1, {QStringLiteral("Canada")});
    auto field = std::make_unique<TLookup>();
    attach(*field, lists);
    field->setEditText(QStringLiteral("Chile"));
    field.reset();
    EXPECT_EQ(lists.values(list1), QStringList({QStringLiteral("Canada"), QStringLiteral("Chile")}));
}

TEST(LookupLeaving, AnotherUserHoldingTheListLeavesTheValueInTheItemsOnly)
{
    ListFolder lists;
    lists.write(list1, {QStringLiteral("Canada")});
    TLookup field;
    attach(field, lists);
    ModalWatcher watcher;
    {
        const TablePeer peer = TablePeer::holdingOpen(lists.database.path(), list1, true);
        ASSERT_TRUE(peer.ready());
        field.setEditText(QStringLiteral("Chile"));
        field.AddCurrentValue();
        EXPECT_EQ(field.itemTexts(), QStringList({QStringLiteral("Canada"), QStringLiteral("Chile")}));
    }
    EXPECT_EQ(lists.values(list1), QStringList{QStringLiteral("Canada")});
    EXPECT_TRUE(watcher.texts().isEmpty());
    // The next reload shows the list as it is.
    field.ReloadItems();
    EXPECT_EQ(field.itemTexts(), QStringList{QStringLiteral("Canada")});
    EXPECT_EQ(field.currentText(), "Chile");
    field.setEditText(QString());
}

TEST(LookupTwin, ANewValueReloadsTheTwinToo)
{
    ListFolder lists;
    lists.write(list1, {QStringLiteral("Canada")});
    TLookup field;
    TLookup twin;
    attach(field, lists);
    attach(twin, lists);
    field.setTwin(&twin);
    field.setEditText(QStringLiteral("Chile"));
    field.AddCurrentValue();
    EXPECT_EQ(twin.itemTexts(), QStringList({QStringLiteral("Canada"), QStringLiteral("Chile")}));
}

// --- Entering the field ---------------------------------------------------------------------------------

TEST(LookupEntering, TheTextIsNotSelectedAndTheCaretStandsAtItsStart)
{
    ListFolder lists;
    lists.write(list1, {QStringLiteral("Canada")});
    FieldWindow<TLookup> form;
    attach(*form.field, lists);
    form.field->setCurrentIndex(0);
    form.next->setFocus(Qt::TabFocusReason);
    form.field->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_FALSE(form.field->lineEdit()->hasSelectedText());
    EXPECT_EQ(form.field->lineEdit()->cursorPosition(), 0);
}

// --- The list table -----------------------------------------------------------------------------------

struct ListFileCase
{
    const char* name;
    bool listExists;
    bool damaged;
    QStringList listValues;
    QStringList items; // the template holds "Mint"
};

class ListFile : public ::testing::TestWithParam<ListFileCase>
{
};

TEST_P(ListFile, AMissingOrUnreadableListIsMadeFromTheTemplate)
{
    const ListFileCase& c = GetParam();
    ListFolder lists;
    if (c.listExists)
        lists.write(list1, c.listValues);
    lists.writeTemplate({QStringLiteral("Mint")});
    if (c.damaged) {
        QFile file(store::findFileNoCase(lists.database.path(), list1));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("not a table");
    }
    ModalWatcher watcher;
    TLookup field;
    attach(field, lists);
    EXPECT_TRUE(watcher.texts().isEmpty());
    EXPECT_EQ(field.itemTexts(), c.items);
    EXPECT_EQ(lists.values(list1), c.items);
    EXPECT_TRUE(lists.exists(QStringLiteral("list1.mdx")));
}

INSTANTIATE_TEST_SUITE_P(Cases, ListFile,
                         ::testing::Values(ListFileCase{"Missing", false, false, {}, {"Mint"}},
                                           ListFileCase{"Damaged", true, true, {"Used"}, {"Mint"}},
                                           ListFileCase{"Present", true, false, {"Used"}, {"Used"}}),
                         [](const ::testing::TestParamInfo<ListFileCase>& info) {
                             return caseName(info.param.name);
                         });

TEST(LookupListFile, AListDeletedBetweenRunsIsCreatedAgain)
{
    ListFolder lists;
    {
        TLookup field;
        attach(field, lists);
        field.setEditText(QStringLiteral("Canada"));
    }
    ASSERT_EQ(lists.values(list1), QStringList{QStringLiteral("Canada")});
    dbase::deleteTable(store::localPath(lists.database.path()), "list1.dbf");
    ASSERT_FALSE(lists.exists(list1));
    TLookup field;
    attach(field, lists);
    EXPECT_TRUE(lists.exists(list1));
    EXPECT_TRUE(field.itemTexts().isEmpty());
}

TEST(LookupListFile, AListAnotherUserHoldsExclusivelyIsNotReplaced)
{
    ListFolder lists;
    lists.write(list1, {QStringLiteral("Canada")});
    ModalWatcher watcher;
    TLookup field;
    {
        const TablePeer peer = TablePeer::holdingOpen(lists.database.path(), list1, true);
        ASSERT_TRUE(peer.ready());
        attach(field, lists);
        EXPECT_TRUE(field.itemTexts().isEmpty());
    }
    EXPECT_TRUE(watcher.texts().isEmpty());
    EXPECT_EQ(lists.values(list1), QStringList{QStringLiteral("Canada")});
    field.ReloadItems();
    EXPECT_EQ(field.itemTexts(), QStringList{QStringLiteral("Canada")});
}

TEST(LookupListFile, WithoutTheTemplateTheFieldWorksWithoutAList)
{
    ListFolder lists;
    QFile::remove(lists.program.file(QStringLiteral("list.dbf")));
    ModalWatcher watcher;
    TLookup field;
    attach(field, lists);
    EXPECT_EQ(watcher.texts(),
              QStringList{TLookup::createFailedMessage + "\n" + lists.database.path() + "/list1.dbf"});
    field.setEditText(QStringLiteral("Canada"));
    field.AddCurrentValue();
    EXPECT_EQ(field.itemTexts(), QStringList{QStringLiteral("Canada")});
    EXPECT_FALSE(lists.exists(list1));
    field.ReloadItems();
    EXPECT_TRUE(field.itemTexts().isEmpty());
    field.setEditText(QString());
}

TEST(LookupListFile, TheListFollowsTheDatabaseFolder)
{
    ListFolder lists;
    lists.write(list1, {QStringLiteral("Canada")});
    QTemporaryDir other;
    TLookup field;
    attach(field, lists);
    ASSERT_EQ(field.itemTexts(), QStringList{QStringLiteral("Canada")});

    lists.session.folders.database = other.path();
    field.ReloadItems();
    EXPECT_EQ(field.listFolder(), other.path());
    EXPECT_TRUE(field.itemTexts().isEmpty());
    field.setEditText(QStringLiteral("Chile"));
    field.AddCurrentValue();
    EXPECT_EQ(ListFolder::valuesIn(other.path(), list1), QStringList{QStringLiteral("Chile")});
    EXPECT_EQ(lists.values(list1), QStringList{QStringLiteral("Canada")});
}

TEST(LookupReload, TheTextStaysAndNoChangeIsSignalled)
{
    ListFolder lists;
    lists.write(list1, {QStringLiteral("Canada"), QStringLiteral("Chile")});
    TLookup field;
    attach(field, lists);
    field.setEditText(QStringLiteral("Chi"));
    const QSignalSpy changes(&field, &QComboBox::editTextChanged);
    lists.write(list1, {QStringLiteral("Cuba"), QStringLiteral("Chad"), QStringLiteral("Chad")});
    field.ReloadItems();
    EXPECT_EQ(field.itemTexts(),
              QStringList({QStringLiteral("Chad"), QStringLiteral("Chad"), QStringLiteral("Cuba")}));
    EXPECT_EQ(field.currentText(), "Chi");
    EXPECT_EQ(changes.count(), 0);
    field.setEditText(QString());
}

TEST(LookupHint, TheDefaultHintNamesTheDropDown)
{
    TLookup field;
    EXPECT_EQ(field.toolTip(), "Lookup Field - click on the down arrow to see the choices");
}

// --- The record's lookup fields -------------------------------------------------------------------------

struct FieldQuery
{
    int fieldNumber;
    const char* listName;
    int entryIndex;
};

TEST(LookupFields, ListNamesItemsAndEntriesFollowFieldOrder)
{
    ListFolder lists;
    lists.write(QStringLiteral("list2.dbf"), {QStringLiteral("Used"), QStringLiteral("Mint")});
    QWidget form;
    auto* description = new QLineEdit(&form);
    auto* country = new TLookup(&form);
    country->setSource(list1);
    auto* note = new QLineEdit(&form);
    auto* condition = new TLookup(&form);
    condition->setSource(QStringLiteral("list2.dbf"));
    const QList<QWidget*> fields{description, country, note, condition};
    lookup::attachSession(fields, lists.session);
    EXPECT_TRUE(lists.exists(list1));

    for (const FieldQuery& query :
         {FieldQuery{1, "", -1}, FieldQuery{2, "list1.dbf", 0}, FieldQuery{3, "", -1},
          FieldQuery{4, "list2.dbf", 1}, FieldQuery{5, "", -1}, FieldQuery{0, "", -1}}) {
        SCOPED_TRACE(query.fieldNumber);
        EXPECT_EQ(lookup::listNameOfField(fields, query.fieldNumber), query.listName);
        EXPECT_EQ(lookup::entryIndexOfField(fields, query.fieldNumber), query.entryIndex);
    }
    EXPECT_EQ(lookup::itemsOfField(fields, 4), QStringList({QStringLiteral("Mint"), QStringLiteral("Used")}));
    EXPECT_TRUE(lookup::itemsOfField(fields, 1).isEmpty());
    const QStringList captions{"Stamp Description:", "Country:", "Short Note:", "Condition:"};
    EXPECT_EQ(lookup::listEntries(fields, captions),
              QList<lookup::ListEntry>({{"Country:", "list1.dbf", 2}, {"Condition:", "list2.dbf", 4}}));

    lists.write(list1, {QStringLiteral("Canada")});
    lookup::reloadLookupFields(fields);
    EXPECT_EQ(lookup::itemsOfField(fields, 2), QStringList{QStringLiteral("Canada")});
}

} // namespace
