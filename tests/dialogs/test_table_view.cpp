#include "../store/DatabaseFixture.h"
#include "../store/TablePeer.h"
#include "mainwindow/dialogs/RecordTableModel.h"
#include "mainwindow/dialogs/TDbEditDlg.h"
#include "mainwindow/dialogs/TDBNavigator.h"
#include "mainwindow/dialogs/TFieldDlg.h"
#include "ModalWatcher.h"
#include "NextModal.h"

#include <gtest/gtest.h>
#include <QHeaderView>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QToolButton>

namespace {

using Button = TDBNavigator::Button;

constexpr int attachment = 23; // 254 characters wide
constexpr int issued = 7;      // a date

// A catalog of a few stamps, sorted by entry, shown in the table view as the record window hands it over.
struct Viewed : Database
{
    explicit Viewed(bool readOnly = false)
    {
        open();
        for (const char* name : {"Penny Black", "Inverted Jenny", "Blue Mauritius"})
            appendStamp(name, {QStringLiteral("notes of %1").arg(name)});
        folder->browseTable().setActiveTag("IDX0");
        view = std::make_unique<TDbEditDlg>(folder->browseTable(), session.folders.database,
                                            session.tableFileName, store::FirstFieldOffset, readOnly);
        view->show();
    }
    ~Viewed()
    {
        if (view)
            view->reject();
    }

    RecordTableModel& model() const { return *view->model(); }
    QToolButton* button(Button which) const { return view->DBNavigator1->button(which); }
    // The stamp descriptions as the file holds them, read by a table object of its own.
    QStringList onDisk() const
    {
        QStringList values;
        for (const auto& row : tableValues(session.folders.database, session.tableFileName))
            values.append(QString::fromStdString(row[Database::description - 1]));
        return values;
    }

    std::unique_ptr<TDbEditDlg> view;
};

QList<Button> shownButtons(const TDbEditDlg& view)
{
    QList<Button> shown;
    for (Button which : TDBNavigator::allButtons)
        if (view.DBNavigator1->button(which)->isVisibleTo(view.DBNavigator1))
            shown.append(which);
    return shown;
}

} // namespace

TEST(TableView, ReadOnlyShowsOnlyTheMovingButtonsASilverGridAndSaysSo)
{
    Viewed viewed(true);
    TDbEditDlg& view = *viewed.view;
    EXPECT_EQ(view.windowTitle(), "Table Viewer - Read Only Mode");
    EXPECT_EQ(shownButtons(view), TDBNavigator::movingButtons);
    EXPECT_EQ(view.DBGrid1->palette().color(QPalette::Base), QColor(192, 192, 192));
    RecordTableModel& model = viewed.model();
    EXPECT_FALSE(model.flags(model.index(0, Database::description)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.setData(model.index(0, Database::description), "changed", Qt::EditRole));
    EXPECT_FALSE(model.insertRowAt(0));
    EXPECT_FALSE(model.deleteRow(0));
    EXPECT_EQ(viewed.onDisk(), QStringList({"Penny Black", "Inverted Jenny", "Blue Mauritius"}));
}

TEST(TableView, ReadWriteShowsTheWholeNavigator)
{
    Viewed viewed;
    EXPECT_EQ(viewed.view->windowTitle(), "Table Viewer");
    EXPECT_EQ(shownButtons(*viewed.view), TDBNavigator::allButtons);
    EXPECT_NE(viewed.view->DBGrid1->palette().color(QPalette::Base), QColor(192, 192, 192));
    EXPECT_TRUE(viewed.view->isMaximized());
}

TEST(TableView, TheRecordNumberAndTheFilterMarkNeverShow)
{
    Viewed viewed;
    QTableView* grid = viewed.view->DBGrid1;
    EXPECT_TRUE(grid->isColumnHidden(0));
    EXPECT_TRUE(grid->isColumnHidden(1));
    EXPECT_FALSE(grid->isColumnHidden(Database::description));
    EXPECT_EQ(grid->currentIndex().row(), 0);
    EXPECT_EQ(grid->currentIndex().column(), Database::description) << "the first shown column is current";
    EXPECT_EQ(viewed.model().rowCount(), 3);
    EXPECT_EQ(viewed.model().headerData(Database::description, Qt::Horizontal, Qt::DisplayRole), "DESCRIPT");
    EXPECT_EQ(viewed.model().data(viewed.model().index(1, Database::description), Qt::DisplayRole),
              "Inverted Jenny");
    EXPECT_EQ(viewed.model().data(viewed.model().index(2, Database::notes), Qt::DisplayRole),
              "notes of Blue Mauritius");
}

TEST(TableView, ColumnsWiderThanHalfTheScreenAreNarrowedToHalf)
{
    Viewed viewed;
    QTableView* grid = viewed.view->DBGrid1;
    const int half = viewed.view->screen()->geometry().width() / 2;
    const int averageChar = grid->fontMetrics().averageCharWidth();
    ASSERT_GT(254 * averageChar, half) << "the attachment column needs more than half the screen";
    EXPECT_EQ(grid->columnWidth(attachment), half);
    EXPECT_GT(grid->columnWidth(issued), 0);
    EXPECT_LT(grid->columnWidth(issued), half);
    for (int column = store::FirstFieldOffset; column < viewed.model().columnCount(); ++column)
        EXPECT_LE(grid->columnWidth(column), half) << column;
}

TEST(TableView, AChangeInTheGridIsPostedWhenTheRowIsLeftOrTheViewCloses)
{
    Viewed viewed;
    RecordTableModel& model = viewed.model();
    QTableView* grid = viewed.view->DBGrid1;
    ASSERT_TRUE(model.setData(model.index(0, Database::description), "Two Penny Blue", Qt::EditRole));
    EXPECT_EQ(model.editingRow(), 0);
    EXPECT_TRUE(viewed.button(Button::Post)->isEnabled());
    EXPECT_EQ(viewed.onDisk().first(), "Penny Black") << "nothing is written before the post";
    grid->setCurrentIndex(model.index(1, Database::description));
    EXPECT_FALSE(model.isEditing());
    EXPECT_EQ(viewed.onDisk().first(), "Two Penny Blue");

    ASSERT_TRUE(model.setData(model.index(2, Database::cost), "1,234.50", Qt::EditRole));
    ASSERT_TRUE(model.setData(model.index(2, issued), "05/06/1840", Qt::EditRole));
    viewed.view->accept();
    dbase::Table& table = viewed.folder->browseTable();
    ASSERT_TRUE(table.isOpen()) << "the table is open again for the record window";
    EXPECT_EQ(table.activeTag(), "IDX0");
    table.last();
    EXPECT_EQ(table.asNumber(Database::cost), 1234.5);
    EXPECT_EQ(store::columnDate(table, issued), QDate(1840, 5, 6));
    viewed.view.reset();
}

TEST(TableView, AnUnreadableDateIsRefusedAndCancelDropsTheRowsChanges)
{
    Viewed viewed;
    RecordTableModel& model = viewed.model();
    ModalWatcher boxes;
    EXPECT_FALSE(model.setData(model.index(0, issued), "31/31/1999", Qt::EditRole));
    EXPECT_EQ(boxes.texts().size(), 1);
    ASSERT_TRUE(model.setData(model.index(0, Database::description), "Changed", Qt::EditRole));
    EXPECT_EQ(model.data(model.index(0, Database::description), Qt::DisplayRole), "Changed");
    viewed.button(Button::Cancel)->click();
    EXPECT_FALSE(model.isEditing());
    EXPECT_EQ(model.data(model.index(0, Database::description), Qt::DisplayRole), "Penny Black");
    viewed.view->accept();
    EXPECT_EQ(viewed.onDisk().first(), "Penny Black");
}

TEST(TableView, ARecordLockedByAnotherUserShowsTheEnginesErrorAndIsNotWritten)
{
    Viewed viewed;
    dbase::Table& table = viewed.folder->browseTable();
    table.first();
    const auto record = static_cast<int>(table.recordNumber());
    TablePeer peer = TablePeer::holdingRecordLock(viewed.session.folders.database, "data.dbf", record);
    ASSERT_TRUE(peer.ready());
    RecordTableModel& model = viewed.model();
    ModalWatcher boxes;
    EXPECT_FALSE(model.setData(model.index(0, Database::description), "Mine now", Qt::EditRole));
    EXPECT_EQ(boxes.texts(), QStringList("Record locked by another user"));
    EXPECT_FALSE(model.isEditing());
    EXPECT_FALSE(model.deleteRow(0));
    EXPECT_EQ(boxes.texts().size(), 2);
    peer.release();
    EXPECT_EQ(viewed.onDisk().first(), "Penny Black");
    EXPECT_TRUE(model.setData(model.index(0, Database::description), "Mine now", Qt::EditRole));
    EXPECT_TRUE(model.postRow());
    EXPECT_EQ(viewed.onDisk().first(), "Mine now");
}

TEST(TableView, InsertedRowsAreNumberedAsTheTableNumbersThem)
{
    Viewed viewed;
    RecordTableModel& model = viewed.model();
    viewed.view->DBGrid1->setCurrentIndex(model.index(1, Database::description));
    viewed.button(Button::Insert)->click();
    ASSERT_TRUE(model.isInserting());
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.data(model.index(2, Database::description), Qt::DisplayRole), "Inverted Jenny");
    ASSERT_TRUE(model.setData(model.index(1, Database::description), "Basel Dove", Qt::EditRole));
    viewed.button(Button::Post)->click();
    EXPECT_FALSE(model.isEditing());
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(viewed.onDisk().last(), "Basel Dove");
    EXPECT_EQ(tableNumbers(viewed.session.folders.database, "data.dbf"), (std::vector<int>{2, 3, 4, 5}));

    viewed.button(Button::Insert)->click();
    viewed.button(Button::Cancel)->click();
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(viewed.onDisk().size(), 4);
}

TEST(TableView, DeleteAsksFirst)
{
    Viewed viewed;
    RecordTableModel& model = viewed.model();
    viewed.view->DBGrid1->setCurrentIndex(model.index(1, Database::description));
    ModalWatcher boxes(QMessageBox::No);
    viewed.button(Button::Delete)->click();
    EXPECT_EQ(boxes.texts(), QStringList("Delete record?"));
    EXPECT_EQ(model.rowCount(), 3);
    boxes.setAnswer(QMessageBox::Yes);
    viewed.button(Button::Delete)->click();
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(viewed.onDisk(), QStringList({"Penny Black", "Blue Mauritius"}));
    EXPECT_EQ(viewed.view->DBGrid1->currentIndex().row(), 1);
    EXPECT_EQ(model.data(model.index(1, Database::description), Qt::DisplayRole), "Blue Mauritius");
}

TEST(TableView, TheNavigatorMovesAndEnablesWhatFits)
{
    Viewed viewed;
    QTableView* grid = viewed.view->DBGrid1;
    EXPECT_FALSE(viewed.button(Button::First)->isEnabled());
    EXPECT_FALSE(viewed.button(Button::Post)->isEnabled());
    viewed.button(Button::Last)->click();
    EXPECT_EQ(grid->currentIndex().row(), 2);
    EXPECT_FALSE(viewed.button(Button::Next)->isEnabled());
    viewed.button(Button::Prior)->click();
    EXPECT_EQ(grid->currentIndex().row(), 1);
    viewed.button(Button::Edit)->click();
    EXPECT_EQ(viewed.model().editingRow(), 1);
    EXPECT_FALSE(viewed.button(Button::Edit)->isEnabled());
    EXPECT_TRUE(viewed.button(Button::Cancel)->isEnabled());
    viewed.button(Button::First)->click();
    EXPECT_EQ(grid->currentIndex().row(), 0);
    EXPECT_FALSE(viewed.model().isEditing()) << "leaving the row ends its edit";

    viewed.appendStamp("Added by the record window");
    viewed.button(Button::Refresh)->click();
    EXPECT_EQ(viewed.model().rowCount(), 4);
}

TEST(TableView, AMemoEditorHasTheScreenAndTheViewComesBackAsItWas)
{
    Viewed viewed;
    TDbEditDlg& view = *viewed.view;
    bool hiddenMeanwhile = false;
    onNextModal<TFieldDlg>([&](TFieldDlg* editor) {
        hiddenMeanwhile = view.property("tag").toInt() == 1000 && view.isMinimized();
        editor->reject();
    });
    view.editField(Database::notes);
    EXPECT_TRUE(hiddenMeanwhile);
    EXPECT_EQ(view.property("tag").toInt(), 0);
    EXPECT_TRUE(view.isVisible());
    EXPECT_TRUE(view.isMaximized());
    EXPECT_TRUE(view.DBGrid1->isColumnHidden(0));
    EXPECT_EQ(view.windowTitle(), "Table Viewer");
}

TEST(TableView, ATableThatCannotBeOpenedIsReported)
{
    Database db;
    dbase::Table closed;
    ModalWatcher boxes;
    TDbEditDlg view(closed, db.session.folders.database, "missing.dbf", store::FirstFieldOffset, false);
    view.show();
    QTest::qWait(50);
    EXPECT_EQ(boxes.texts(), QStringList("Database could not be open!"));
    EXPECT_FALSE(view.isVisible());
}

// The grid reads the rows it shows, so a large table opens at once and keeps little in memory.
TEST(TableView, ALargeTableIsReadRowByRowAsTheGridShowsIt)
{
    Database db;
    const std::string folder = QFile::encodeName(db.session.folders.database).toStdString();
    dbase::createTable(folder, "large.dbf",
                       {{"RECNO", dbase::FieldType::Numeric, 10, 0},
                        {"FMARK", dbase::FieldType::Character, 1, 0},
                        {"NAME", dbase::FieldType::Character, 20, 0}});
    constexpr int records = 100000;
    {
        dbase::Table table;
        table.open(folder, "large.dbf", true);
        for (int i = 1; i <= records; ++i) {
            table.append();
            table.setNumber(0, i);
            table.setString(2, "stamp " + std::to_string(i));
            table.post();
        }
    }
    dbase::Table table;
    table.open(folder, "large.dbf");
    TDbEditDlg view(table, db.session.folders.database, "large.dbf", store::FirstFieldOffset, false);
    view.show();
    QTest::qWait(20);
    RecordTableModel& model = *view.model();
    EXPECT_EQ(model.rowCount(), records);
    EXPECT_LT(model.cachedRows(), 200);
    view.DBNavigator1->button(Button::Last)->click();
    QTest::qWait(20);
    EXPECT_EQ(model.data(model.index(records - 1, 2), Qt::DisplayRole), "stamp 100000");
    EXPECT_EQ(model.data(model.index(records / 2, 2), Qt::DisplayRole), "stamp 50001");
    EXPECT_LE(model.cachedRows(), RecordTableModel::cachedRowsLimit);
    view.reject();
}
