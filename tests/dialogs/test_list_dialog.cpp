#include "../editors/EditorTestSupport.h"
#include "../editors/ListFolder.h"
#include "../store/TablePeer.h"
#include "mainwindow/dialogs/RecordTableModel.h"
#include "mainwindow/dialogs/TListDlg.h"
#include "ModalWatcher.h"

#include <algorithm>
#include <map>
#include <optional>
#include <QGroupBox>
#include <QInputDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <vector>

namespace {

const QString list1 = QStringLiteral("list1.dbf");
const QString list2 = QStringLiteral("list2.dbf");
const QString list3 = QStringLiteral("list3.dbf");

// The lists of three lookup fields and a record table "data.dbf" from the program folder's template.
struct ListsAndRecords : ListFolder
{
    static constexpr int country = 2;
    static constexpr int condition = 5;
    static constexpr int type = 15;

    ListsAndRecords()
    {
        dbase::copyTable(store::localPath(program.path()), "data.dbf", store::localPath(database.path()),
                         "data.dbf", false);
        session.tableFileName = QStringLiteral("data.dbf");
    }

    static QList<lookup::ListEntry> entries()
    {
        return {{"Country:", list1, country}, {"Condition:", list2, condition}, {"Type:", list3, type}};
    }

    // One record with these values of its form fields.
    void appendRecord(const std::map<int, QString>& fields) const
    {
        dbase::Table records;
        records.open(store::localPath(database.path()), "data.dbf");
        records.append();
        for (const auto& [field, value] : fields)
            store::setColumnText(records, field + 1, value);
        records.post();
    }

    // The physical records of a list in use: deleted ones still count until the list is packed.
    int physicalRecords(const QString& name) const
    {
        dbase::Table list;
        list.open(store::localPath(database.path()), store::localPath(name));
        dbase::Table::Bookmark highest = 0;
        for (list.first(); !list.eof(); list.next())
            highest = std::max(highest, list.bookmark());
        return static_cast<int>(highest);
    }
};

QStringList sorted(QStringList values)
{
    std::sort(values.begin(), values.end());
    return values;
}

// What the grid shows, top to bottom.
QStringList gridValues(const TListDlg& dialog)
{
    QStringList values;
    if (const RecordTableModel* model = dialog.model()) {
        for (int row = 0; row < model->rowCount(); ++row)
            values.append(model->data(model->index(row, 0), Qt::DisplayRole).toString());
    }
    return values;
}

int gridRow(const TListDlg& dialog)
{
    return dialog.DBGrid1->currentIndex().isValid() ? dialog.DBGrid1->currentIndex().row() : -1;
}

void setGridRow(TListDlg& dialog, int row)
{
    dialog.DBGrid1->setCurrentIndex(dialog.model()->index(row, 0));
}

// The dialog shown and active, as the user has it.
void show(TListDlg& dialog)
{
    dialog.show();
    dialog.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
}

// Answers the next input box, noting "caption|prompt|default"; without an answer it is cancelled.
class InputAnswer
{
public:
    explicit InputAnswer(std::optional<QString> answer)
        : m_modal([this, answer](QInputDialog* input) {
              m_asked = input->windowTitle() + '|' + input->labelText() + '|' + input->textValue();
              if (answer) {
                  input->setTextValue(*answer);
                  input->accept();
              } else {
                  input->reject();
              }
          })
    {}
    const QString& asked() const { return m_asked; }

private:
    QString m_asked;
    OnNextModal<QInputDialog> m_modal;
};

TEST(ListDialog, OneEntryPerLookupFieldAndTheFirstListInKeyOrder)
{
    ListsAndRecords folder;
    folder.write(list1, {QStringLiteral("Chile"), QStringLiteral("Canada"), QStringLiteral("Cameroon")});
    folder.write(list2, {QStringLiteral("Used"), QStringLiteral("Mint")});
    folder.write(list3, {});
    TListDlg dialog(folder.session, ListsAndRecords::entries());
    EXPECT_EQ(dialog.windowTitle(), "Edit Lists");
    EXPECT_EQ(dialog.property("helpContext").toInt(), 65);
    EXPECT_EQ(dialog.RadioGroup1->title(), "Lists");
    QStringList captions;
    for (const QRadioButton* radio : dialog.RadioGroup1->findChildren<QRadioButton*>())
        captions.append(radio->text());
    EXPECT_EQ(captions, QStringList({"Country:", "Condition:", "Type:"}));
    EXPECT_EQ(dialog.selectedEntry(), 0);
    EXPECT_EQ(gridValues(dialog), QStringList({"Cameroon", "Canada", "Chile"}));
    EXPECT_TRUE(dialog.model()->isReadOnly());
    EXPECT_EQ(gridRow(dialog), 0);

    dialog.RadioGroup1->findChildren<QRadioButton*>()[1]->click();
    EXPECT_EQ(dialog.selectedEntry(), 1);
    EXPECT_EQ(gridValues(dialog), QStringList({"Mint", "Used"}));
    dialog.selectEntry(2);
    EXPECT_TRUE(gridValues(dialog).isEmpty());
}

TEST(ListDialog, AListThatCannotBeOpenedIsReported)
{
    ListsAndRecords folder;
    folder.write(list1, {QStringLiteral("Canada")});
    ModalWatcher watcher;
    TListDlg dialog(folder.session, ListsAndRecords::entries());
    dialog.selectEntry(1);
    EXPECT_EQ(watcher.texts(), QStringList{"Cannot open the file: list2.dbf"});
    EXPECT_EQ(dialog.model(), nullptr);
    // Nothing can be added to a list that is not open.
    const InputAnswer answer(QStringLiteral("Mint"));
    dialog.NewBtn->click();
    EXPECT_EQ(watcher.texts().value(1), "Could not Add the Item!");
    EXPECT_FALSE(folder.exists(list2));
}

// --- New, Edit and Delete ---------------------------------------------------------------------------------

struct ButtonCase
{
    const char* name;
    QStringList list; // in record order
    const char* button;
    int row;
    std::optional<QString> input; // the input box's answer; none: cancelled
    bool yes;                     // the answer to the question
    const char* asked;            // the input box or the question
    QStringList listAfter;        // in key order
    const char* error;
    int rowAfter;
};

class ListButtons : public ::testing::TestWithParam<ButtonCase>
{
};

TEST_P(ListButtons, EachChangesTheListAndGivesTheGridTheFocus)
{
    const ButtonCase& c = GetParam();
    ListsAndRecords folder;
    folder.write(list1, c.list);
    TListDlg dialog(folder.session, ListsAndRecords::entries());
    show(dialog);
    if (c.row >= 0)
        setGridRow(dialog, c.row);
    ModalWatcher watcher(c.yes ? QMessageBox::Yes : QMessageBox::No);
    const InputAnswer answer(c.input);
    dialog.findChild<QPushButton*>(QLatin1String(c.button))->click();

    QStringList asked = watcher.texts();
    if (!answer.asked().isEmpty())
        asked.prepend(answer.asked());
    QStringList expected{QString::fromLatin1(c.asked)};
    if (*c.error)
        expected.append(QString::fromLatin1(c.error));
    EXPECT_EQ(asked, expected);
    EXPECT_EQ(gridValues(dialog), c.listAfter);
    EXPECT_EQ(sorted(folder.values(list1)), c.listAfter);
    EXPECT_EQ(gridRow(dialog), c.rowAfter);
    EXPECT_EQ(dialog.focusWidget(), dialog.DBGrid1);
}

const char* const addBox = "Add New Item|New List Item:|";
const char* const deleteQuestion = "Are you sure you want to Delete this Item?";

INSTANTIATE_TEST_SUITE_P(
    Cases, ListButtons,
    ::testing::Values(ButtonCase{"NewAddsAndShowsTheItem",
                                 {"Canada", "Cameroon"},
                                 "NewBtn",
                                 0,
                                 "Chile",
                                 false,
                                 addBox,
                                 {"Cameroon", "Canada", "Chile"},
                                 "",
                                 2},
                      ButtonCase{"NewCancelled",
                                 {"Canada", "Cameroon"},
                                 "NewBtn",
                                 1,
                                 {},
                                 false,
                                 addBox,
                                 {"Cameroon", "Canada"},
                                 "",
                                 1},
                      ButtonCase{
                          "NewIntoAnEmptyList", {}, "NewBtn", -1, "Mint", false, addBox, {"Mint"}, "", 0},
                      ButtonCase{"EditChangesTheCurrentItem",
                                 {"Canada", "Cameroon"},
                                 "EditBtn",
                                 1,
                                 "Kanada",
                                 false,
                                 "Edit Item|Modify List Item:|Canada",
                                 {"Cameroon", "Kanada"},
                                 "",
                                 1},
                      ButtonCase{"EditMovesTheItemInKeyOrder",
                                 {"Canada", "Cameroon"},
                                 "EditBtn",
                                 0,
                                 "Zaire",
                                 false,
                                 "Edit Item|Modify List Item:|Cameroon",
                                 {"Canada", "Zaire"},
                                 "",
                                 1},
                      ButtonCase{"EditCancelled",
                                 {"Canada", "Cameroon"},
                                 "EditBtn",
                                 0,
                                 {},
                                 false,
                                 "Edit Item|Modify List Item:|Cameroon",
                                 {"Cameroon", "Canada"},
                                 "",
                                 0},
                      ButtonCase{"EditInAnEmptyList",
                                 {},
                                 "EditBtn",
                                 -1,
                                 "Mint",
                                 false,
                                 "Edit Item|Modify List Item:|",
                                 {},
                                 "Could not Modify the Item!",
                                 -1},
                      ButtonCase{"DeleteAnsweredYes",
                                 {"Canada", "Cameroon", "Chile"},
                                 "DeleteBtn",
                                 1,
                                 {},
                                 true,
                                 deleteQuestion,
                                 {"Cameroon", "Chile"},
                                 "",
                                 1},
                      ButtonCase{"DeleteTheLastRow",
                                 {"Canada", "Cameroon"},
                                 "DeleteBtn",
                                 1,
                                 {},
                                 true,
                                 deleteQuestion,
                                 {"Cameroon"},
                                 "",
                                 0},
                      ButtonCase{"DeleteAnsweredNo",
                                 {"Canada", "Cameroon"},
                                 "DeleteBtn",
                                 0,
                                 {},
                                 false,
                                 deleteQuestion,
                                 {"Cameroon", "Canada"},
                                 "",
                                 0},
                      ButtonCase{"DeleteInAnEmptyList",
                                 {},
                                 "DeleteBtn",
                                 -1,
                                 {},
                                 true,
                                 deleteQuestion,
                                 {},
                                 "Could not Delete the Item!",
                                 -1}),
    [](const ::testing::TestParamInfo<ButtonCase>& info) { return std::string(info.param.name); });

struct LockedCase
{
    const char* button;
    const char* error;
};

TEST(ListDialog, AnItemAnotherUserHoldsCannotBeChangedOrDeleted)
{
    for (const LockedCase& c : {LockedCase{"EditBtn", "Could not Modify the Item!"},
                                LockedCase{"DeleteBtn", "Could not Delete the Item!"}}) {
        SCOPED_TRACE(c.button);
        ListsAndRecords folder;
        folder.write(list1, {QStringLiteral("Canada"), QStringLiteral("Cameroon")});
        TListDlg dialog(folder.session, ListsAndRecords::entries());
        setGridRow(dialog, 1); // Canada, record 1
        const TablePeer peer = TablePeer::holdingRecordLock(folder.database.path(), list1, 1);
        ASSERT_TRUE(peer.ready());
        ModalWatcher watcher(QMessageBox::Yes);
        const InputAnswer answer(QStringLiteral("Kanada"));
        dialog.findChild<QPushButton*>(QLatin1String(c.button))->click();
        EXPECT_EQ(watcher.texts().last(), c.error);
        EXPECT_EQ(gridValues(dialog), QStringList({"Cameroon", "Canada"}));
        EXPECT_EQ(gridRow(dialog), 1);
    }
}

// --- Update Lists -----------------------------------------------------------------------------------------

struct UpdateCase
{
    const char* name;
    std::vector<const char*> countries; // one record each
    QStringList before;
    QStringList after; // in key order
};

class UpdateLists : public ::testing::TestWithParam<UpdateCase>
{
};

TEST_P(UpdateLists, TheRecordsValuesMissingUnderExactComparisonAreAddedOnce)
{
    const UpdateCase& c = GetParam();
    ListsAndRecords folder;
    folder.write(list1, c.before);
    folder.write(list2, {});
    folder.write(list3, {});
    for (const char* country : c.countries)
        folder.appendRecord({{ListsAndRecords::country, country}, {ListsAndRecords::condition, "Mint"}});
    ModalWatcher watcher;
    TListDlg dialog(folder.session, ListsAndRecords::entries());
    dialog.selectEntry(2);
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        dialog.UpdateBtn->click();
        EXPECT_EQ(sorted(folder.values(list1)), c.after);
        EXPECT_EQ(folder.values(list2), c.countries.empty() ? QStringList() : QStringList{"Mint"});
        EXPECT_TRUE(folder.values(list3).isEmpty());
        EXPECT_EQ(dialog.selectedEntry(), 0);
        EXPECT_EQ(gridValues(dialog), c.after);
    }
    EXPECT_TRUE(watcher.texts().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UpdateLists,
    ::testing::Values(
        UpdateCase{
            "SkipsEmptyValuesAndRepeats", {"Chile", "", "Chile", "Canada"}, {"Canada"}, {"Canada", "Chile"}},
        UpdateCase{
            "ComparesLetterCase", {"canada", "CANADA", "Canada"}, {"Canada"}, {"CANADA", "Canada", "canada"}},
        UpdateCase{"FillsAnEmptyList", {"Peru", "Chile"}, {}, {"Chile", "Peru"}},
        UpdateCase{"LeadingBlanksCount", {" Peru", "Peru"}, {"Peru"}, {" Peru", "Peru"}},
        UpdateCase{"WithoutRecords", {}, {"Canada"}, {"Canada"}}),
    [](const ::testing::TestParamInfo<UpdateCase>& info) { return std::string(info.param.name); });

TEST(ListDialogUpdate, AListThatCannotBeOpenedIsReportedAndTheOthersGoOn)
{
    ListsAndRecords folder;
    folder.write(list1, {});
    folder.write(list3, {});
    folder.appendRecord({{ListsAndRecords::country, "Peru"}, {ListsAndRecords::type, "Airmail"}});
    ModalWatcher watcher;
    TListDlg dialog(folder.session, ListsAndRecords::entries());
    dialog.UpdateLists();
    EXPECT_EQ(watcher.texts(), QStringList{"Could not open file: list2.dbf"});
    EXPECT_EQ(folder.values(list1), QStringList{"Peru"});
    EXPECT_EQ(folder.values(list3), QStringList{"Airmail"});
    EXPECT_EQ(gridValues(dialog), QStringList{"Peru"});
    EXPECT_FALSE(QApplication::overrideCursor());
}

TEST(ListDialogUpdate, AListNarrowerThanTheFieldGetsWhatFitsOnce)
{
    ListsAndRecords folder;
    dbase::createTable(store::localPath(folder.database.path()), "list1.dbf",
                       {{"VALUE", dbase::FieldType::Character, 5, 0}}, {{"IDX", "VALUE", false}});
    folder.appendRecord({{ListsAndRecords::country, "Cameroon"}});
    folder.appendRecord({{ListsAndRecords::country, "Cam  Island"}});
    TListDlg dialog(folder.session, {{"Country:", list1, ListsAndRecords::country}});
    dialog.UpdateLists();
    dialog.UpdateLists();
    EXPECT_EQ(folder.values(list1), QStringList({"Camer", "Cam"}));
}

TEST(ListDialogUpdate, WithoutTheRecordTableTheListsStayAndTheFirstIsShownAgain)
{
    ListsAndRecords folder;
    folder.write(list1, {QStringLiteral("Canada")});
    folder.session.tableFileName = QStringLiteral("missing.dbf");
    TListDlg dialog(folder.session, {{"Country:", list1, ListsAndRecords::country}});
    ModalWatcher watcher;
    dialog.UpdateLists();
    ASSERT_EQ(watcher.texts().size(), 1);
    EXPECT_TRUE(watcher.texts()[0].contains("missing.dbf"));
    EXPECT_EQ(gridValues(dialog), QStringList{"Canada"});
    EXPECT_FALSE(QApplication::overrideCursor());
}

// --- Closing --------------------------------------------------------------------------------------------

TEST(ListDialogClose, EveryListIsPacked)
{
    ListsAndRecords folder;
    folder.write(list1, {QStringLiteral("Canada"), QStringLiteral("Cameroon")});
    folder.write(list2, {QStringLiteral("Mint"), QStringLiteral("Used")});
    TListDlg dialog(folder.session, ListsAndRecords::entries());
    ModalWatcher watcher(QMessageBox::Yes);
    dialog.DeleteItem(); // Cameroon, record 2 of list1
    dialog.selectEntry(1);
    dialog.DeleteItem(); // Mint, record 1 of list2
    dialog.selectEntry(0);
    dialog.DeleteItem(); // Canada, record 1 of list1
    ASSERT_EQ(folder.physicalRecords(list2), 2);
    ASSERT_EQ(folder.values(list2), QStringList{"Used"});
    dialog.CloseBtn->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(watcher.texts(), QStringList(3, deleteQuestion)); // list3 does not exist: nothing to pack
    EXPECT_TRUE(folder.values(list1).isEmpty());
    EXPECT_EQ(folder.values(list2), QStringList{"Used"});
    EXPECT_EQ(folder.physicalRecords(list2), 1);
}

TEST(ListDialogClose, AListInUseIsReportedAndTheOthersArePacked)
{
    ListsAndRecords folder;
    folder.write(list1, {QStringLiteral("Canada")});
    folder.write(list2, {QStringLiteral("Mint"), QStringLiteral("Used")});
    TListDlg dialog(folder.session, ListsAndRecords::entries());
    dialog.selectEntry(1);
    ModalWatcher watcher(QMessageBox::Yes);
    dialog.DeleteItem();
    const TablePeer peer = TablePeer::holdingOpen(folder.database.path(), list1, false);
    ASSERT_TRUE(peer.ready());
    dialog.reject();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    ASSERT_EQ(watcher.texts().size(), 2);
    EXPECT_TRUE(watcher.texts()[1].contains("list1.dbf")) << watcher.texts()[1].toStdString();
    EXPECT_EQ(folder.values(list2), QStringList{"Used"});
    EXPECT_EQ(folder.physicalRecords(list2), 1);
    EXPECT_FALSE(QApplication::overrideCursor());
}

} // namespace
