#include "mainwindow/controls/THotBtn.h"
#include "mainwindow/controls/TSortButton.h"
#include "mainwindow/TSpeedBar.h"
#include "RecordWindowFixture.h"
#include "settings/PageOrder.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTabBar>
#include <QTabWidget>

namespace {

QAction* item(const QMenu* menu, const QStringList& path)
{
    QAction* found = nullptr;
    for (const QString& caption : path) {
        found = nullptr;
        for (QAction* action : menu ? menu->actions() : QList<QAction*>()) {
            if (action->text() == caption)
                found = action;
        }
        if (!found)
            return nullptr;
        menu = found->menu();
    }
    return found;
}

QStringList texts(const QMenu* menu)
{
    QStringList captions;
    for (const QAction* action : menu->actions())
        captions.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return captions;
}

QMenu* menuOfBar(QMenuBar* bar, const QString& caption)
{
    for (QAction* action : bar->actions()) {
        if (action->text() == caption)
            return action->menu();
    }
    return nullptr;
}

void sendMouse(QWidget* widget, QEvent::Type type, const QPoint& at)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// The grip dragged so that the line ends at x in the client area.
void dragGripTo(TForm1& window, int x)
{
    QWidget* grip = window.splitterGrip();
    const QPoint start = grip->rect().center();
    sendMouse(grip, QEvent::MouseButtonPress, start);
    const QPoint end(x - grip->x(), start.y());
    sendMouse(grip, QEvent::MouseMove, end);
    sendMouse(grip, QEvent::MouseButtonRelease, end);
    QTest::qWait(20);
}

} // namespace

TEST_F(RecordWindowTest, TheRegionsShareTheClientArea)
{
    TForm1& window = open();
    window.resize(800, 600);
    QTest::qWait(30);
    QWidget* client = window.centralWidget();
    const QRect left = window.leftPane()->geometry();
    const QRect letters = window.letterColumn()->geometry();
    const QRect right = window.rightPane()->geometry();
    // Speed bar at the bottom by default, the panes from the top, the grip between them.
    EXPECT_EQ(window.speedBar()->geometry(), QRect(0, client->height() - 60, client->width(), 60));
    EXPECT_EQ(left.topLeft(), QPoint(0, 0));
    EXPECT_EQ(letters, QRect(left.right() + 1, 0, 24, left.height()));
    EXPECT_EQ(right, QRect(letters.right() + 1, 0, client->width() - left.width() - 24, left.height()));
    const QRect grip = window.splitterGrip()->geometry();
    EXPECT_EQ(grip.top(), left.bottom() + 1);
    EXPECT_EQ(grip.bottom() + 1, window.speedBar()->y());
    EXPECT_EQ(grip.x() + grip.width() / 2, letters.x() + 12) << "centred on the letter column";
    EXPECT_EQ(window.splitterGrip()->cursor().shape(), Qt::SplitHCursor);
    EXPECT_EQ(window.splitterGrip()->toolTip(), "Resize Left and Right Pages");
    // The left pane's bars, the letter column's scroll buttons.
    EXPECT_EQ(window.sortBar()->geometry(), QRect(4, 4, left.width() - 10, 20));
    EXPECT_EQ(window.navigationBar()->geometry().bottom(), left.height() - 1);
    EXPECT_FALSE(window.letterColumn()->findChild<QWidget*>("ScrollLettersUp")->isEnabled());
    // The right pane: status bar with the template button, the record pages, the record speed bar.
    auto* status = window.findChild<QLabel*>("StatusText");
    auto* templateButton = window.findChild<QWidget*>("TemplateButton");
    EXPECT_EQ(status->text(), "New Record");
    EXPECT_EQ(templateButton->geometry().right(), window.findChild<QWidget*>("StatusBar")->width() - 1);
    QWidget* recordBar = window.findChild<QWidget*>("RecordSpeedBar");
    EXPECT_EQ(recordBar->toolTip(), "This is a Speed Bar for the Current Record (above)");
    EXPECT_EQ(window.recordPages()->tabBar()->toolTip(), "Use Drag and Drop to change the Tab Order");
    auto* percent = recordBar->findChild<QLabel*>("PercentLabel");
    EXPECT_EQ(percent->geometry().right(), recordBar->width() - 3) << "2 pixels from the right edge";
    QWidget* next = recordBar->findChild<QWidget*>("RecordButtonNext");
    QWidget* previous = recordBar->findChild<QWidget*>("RecordButtonPrevious");
    EXPECT_EQ(next->geometry().right() + 1, percent->x());
    EXPECT_EQ(previous->geometry().right() + 1, next->x());
    // At the smallest width the buttons still stand side by side.
    window.resize(200, 100);
    QTest::qWait(30);
    QWidget* synchronize = recordBar->findChild<QWidget*>("RecordButtonSynchronize");
    EXPECT_LE(synchronize->geometry().right(), previous->x());
    EXPECT_EQ(previous->geometry().right() + 1, next->x());
}

TEST_F(RecordWindowTest, TheSpeedBarCanGoToTheTopAndTheLettersToTheRight)
{
    TForm1& window = open();
    window.resize(800, 600);
    QTest::qWait(30);
    item(window.windowMenu(), {"&Menus And SpeedBars", "Speed Bar At The Top"})->trigger();
    item(window.windowMenu(), {"&Letter Tabs", "Display On Right Side"})->trigger();
    QTest::qWait(30);
    EXPECT_EQ(session.database.speedBarLocation, 0);
    EXPECT_EQ(session.database.letterTabsLocation, 1);
    EXPECT_EQ(window.speedBar()->y(), 0);
    EXPECT_EQ(window.leftPane()->y(), 60);
    const QRect left = window.leftPane()->geometry();
    const QRect right = window.rightPane()->geometry();
    EXPECT_EQ(right.left(), left.right() + 1);
    EXPECT_EQ(window.letterColumn()->x(), right.right() + 1);
    EXPECT_EQ(window.letterColumn()->geometry().right(), window.centralWidget()->width() - 1);
    // The grip stays centred half a letter column in front of the right pane, below the panes.
    const QRect grip = window.splitterGrip()->geometry();
    EXPECT_EQ(grip.x() + grip.width() / 2, right.left() - 12);
    EXPECT_EQ(window.splitterGrip()->y(), left.bottom() + 1);
}

TEST_F(RecordWindowTest, TheWindowKeepsItsMinimumSizesAndTheLeftPaneKeeps180Pixels)
{
    TForm1& window = open();
    window.resize(200, 100);
    QTest::qWait(30);
    EXPECT_GE(window.width(), 400);
    EXPECT_GE(window.height(), 300);
    // 400 cannot hold 180 + 24 + 230: the right pane gives up what it can, the window grows by the rest.
    EXPECT_EQ(window.rightPane()->width(), 230);
    EXPECT_EQ(window.leftPane()->width(), 180);
    EXPECT_EQ(window.centralWidget()->width(), 180 + 24 + 230);
}

TEST_F(RecordWindowTest, DraggingTheSplitterFarLeftLeaves180Pixels)
{
    TForm1& window = open();
    window.resize(900, 600);
    QTest::qWait(30);
    dragGripTo(window, 0);
    EXPECT_EQ(window.leftPane()->width(), 180);
    EXPECT_EQ(window.rightPane()->width(), window.centralWidget()->width() - 180 - 24);
    EXPECT_EQ(window.rightPane()->x(), 180 + 24);

    dragGripTo(window, window.centralWidget()->width() - 10);
    EXPECT_EQ(window.rightPane()->width(), 230) << "the right pane keeps its minimum";

    dragGripTo(window, 500);
    EXPECT_EQ(window.rightPane()->x(), 500);
    EXPECT_EQ(window.leftPane()->width(), 500 - 24);
}

TEST_F(RecordWindowTest, ShowOnlySpeedBarsKeepsTheClientAreasSize)
{
    TForm1& window = open();
    window.resize(800, 600);
    QTest::qWait(30);
    const QSize client = window.centralWidget()->size();
    ASSERT_TRUE(window.menuBar()->isVisible());
    item(window.windowMenu(), {"&Menus And SpeedBars", "Show Only Speed Bars"})->trigger();
    QTest::qWait(30);
    EXPECT_FALSE(window.menuBar()->isVisible());
    EXPECT_TRUE(window.speedBar()->isVisible());
    EXPECT_EQ(window.centralWidget()->size(), client);
    EXPECT_EQ(session.database.menusAndSpeedBars, 2);

    item(window.windowMenu(), {"&Menus And SpeedBars", "Show Both"})->trigger();
    QTest::qWait(30);
    EXPECT_TRUE(window.menuBar()->isVisible());
    EXPECT_EQ(window.centralWidget()->size(), client);

    // Only menus: the speed bar goes, and the window with it.
    const int height = window.height();
    item(window.windowMenu(), {"&Menus And SpeedBars", "Show Only Menus"})->trigger();
    QTest::qWait(30);
    EXPECT_FALSE(window.speedBar()->isVisible());
    EXPECT_EQ(window.height(), height - 60);
    EXPECT_EQ(window.leftPane()->height(),
              window.centralWidget()->height() - window.splitterGrip()->height());
}

TEST_F(RecordWindowTest, TheWindowMenuChecksTheOptionsInForce)
{
    session.database.menusAndSpeedBars = 2;
    session.database.hintMessages = 1;
    session.database.recordDeleteMode = 1;
    TForm1& window = open();
    EXPECT_EQ(texts(window.windowMenu()),
              QStringList({"&Menus And SpeedBars", "&Letter Tabs", "H&int Messages", "&Record Delete Mode",
                           "-", "&Help"}));
    EXPECT_EQ(texts(item(window.windowMenu(), {"&Menus And SpeedBars"})->menu()),
              QStringList({"Show Both", "Show Only Menus", "Show Only Speed Bars", "-",
                           "Speed Bar At The Top", "Speed Bar At The Bottom"}));
    EXPECT_EQ(texts(item(window.windowMenu(), {"&Letter Tabs"})->menu()),
              QStringList({"Enabled", "Disabled", "-", "Display In Center", "Display On Right Side"}));
    window.windowMenu()->popup(window.mapToGlobal(QPoint(50, 100)));
    QTest::qWait(20);
    const struct
    {
        QStringList path;
        bool checked;
    } cases[] = {
        {{"&Menus And SpeedBars", "Show Both"}, false},
        {{"&Menus And SpeedBars", "Show Only Speed Bars"}, true},
        {{"&Menus And SpeedBars", "Speed Bar At The Bottom"}, true},
        {{"&Menus And SpeedBars", "Speed Bar At The Top"}, false},
        {{"&Letter Tabs", "Enabled"}, true},
        {{"&Letter Tabs", "Display In Center"}, true},
        {{"H&int Messages", "Show"}, false},
        {{"H&int Messages", "Hide"}, true},
        {{"&Record Delete Mode", "Ask User To Confirm"}, false},
        {{"&Record Delete Mode", "Immediate Delete"}, true},
    };
    for (const auto& [path, checked] : cases)
        EXPECT_EQ(item(window.windowMenu(), path)->isChecked(), checked) << path.join(" / ").toStdString();
    window.windowMenu()->hide();
    item(window.windowMenu(), {"&Letter Tabs", "Disabled"})->trigger();
    EXPECT_EQ(session.database.letterTabs, 1);
    item(window.windowMenu(), {"&Record Delete Mode", "Ask User To Confirm"})->trigger();
    EXPECT_EQ(session.database.recordDeleteMode, 0);
}

TEST_F(RecordWindowTest, HiddenHintsShowNoToolTips)
{
    TForm1& window = open();
    QWidget* grip = window.splitterGrip();
    // Counts the hint requests that reach the grip; the window sees them first.
    struct HintRequests : QObject
    {
        int count = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            count += event->type() == QEvent::ToolTip;
            return true;
        }
    } requests;
    grip->installEventFilter(&requests);
    auto askForHint = [grip] {
        QHelpEvent asked(QEvent::ToolTip, grip->rect().center(), grip->mapToGlobal(grip->rect().center()));
        QApplication::sendEvent(grip, &asked);
    };
    askForHint();
    EXPECT_EQ(requests.count, 1);
    item(window.windowMenu(), {"H&int Messages", "Hide"})->trigger();
    EXPECT_EQ(session.database.hintMessages, 1);
    askForHint();
    EXPECT_EQ(requests.count, 1);
    item(window.windowMenu(), {"H&int Messages", "Show"})->trigger();
    askForHint();
    EXPECT_EQ(requests.count, 2);
}

TEST_F(RecordWindowTest, SpeedBarButtonsLoseTheirCaptionsWhenTheyDoNotFit)
{
    TForm1& window = open();
    window.resize(1000, 600);
    QTest::qWait(30);
    TSpeedBar* bar = window.speedBar();
    EXPECT_EQ(bar->tabText(0), "Standard");
    EXPECT_EQ(bar->tabText(1), "Advanced");
    EXPECT_EQ(bar->tabPosition(), QTabWidget::South);
    ASSERT_TRUE(bar->showsCaptions());
    const QList<THotBtn*>& standard = bar->buttons(0);
    QStringList captions;
    for (THotBtn* button : standard)
        captions.append(button->text());
    EXPECT_EQ(captions,
              QStringList({"New", "Load", "Print", "Table", "HTML", "Find", "Replace", "Options", "Exit"}));
    EXPECT_EQ(standard[0]->x(), 4);
    EXPECT_EQ(standard[1]->x(), standard[0]->geometry().right() + 1 + 4);

    window.resize(434, 600);
    QTest::qWait(30);
    EXPECT_FALSE(bar->showsCaptions());
    for (int page : {0, 1}) {
        for (THotBtn* button : bar->buttons(page)) {
            EXPECT_TRUE(button->text().isEmpty());
            EXPECT_EQ(button->width(), button->height());
        }
    }
    EXPECT_EQ(bar->buttons(1)[0]->toolTip(), "Export") << "the hint stays";

    window.resize(1000, 600);
    QTest::qWait(30);
    EXPECT_TRUE(bar->showsCaptions());
    EXPECT_EQ(bar->buttons(1)[3]->text(), "Maintenance");
}

TEST_F(RecordWindowTest, TheNavigationBarPlacesItsButtons)
{
    TForm1& window = open();
    window.resize(900, 600);
    QTest::qWait(30);
    QWidget* bar = window.navigationBar();
    auto button = [bar](const char* name) { return bar->findChild<QAbstractButton*>(name); };
    QAbstractButton* first = button("NavigationFirst");
    QAbstractButton* pageUp = button("NavigationPageUp");
    QAbstractButton* home = button("NavigationHomePage");
    QAbstractButton* pageDown = button("NavigationPageDown");
    QAbstractButton* last = button("NavigationLast");
    EXPECT_EQ(first->x(), 4);
    EXPECT_EQ(pageUp->x(), first->geometry().right() + 1 + 2);
    EXPECT_EQ(last->geometry().right() + 1, bar->width() - 4);
    EXPECT_EQ(pageDown->geometry().right() + 1 + 2, last->x());
    EXPECT_LE(std::abs((home->x() - pageUp->geometry().right()) - (pageDown->x() - home->geometry().right())),
              1);
    EXPECT_EQ(first->text(), "First");
    EXPECT_EQ(home->toolTip(), "Click to visit Kestovan home page");
    EXPECT_EQ(pageDown->toolTip(), "GoTo Next Page [Ctrl+PgDn]");
}

TEST_F(RecordWindowTest, EveryCommandIsInTheMenusAndTheUnbuiltOnesAreDisabled)
{
    TForm1& window = open();
    QMenuBar* bar = window.menuBar();
    QStringList top;
    for (QAction* action : bar->actions())
        top.append(action->text());
    EXPECT_EQ(top, QStringList({"&File", "&Search", "&Options", "&Move", "&Advanced", "&Help"}));
    EXPECT_EQ(texts(menuOfBar(bar, "&File")), QStringList({"&New Record", "&Load Database", "&Print",
                                                           "&Table View", "&HTML Report", "-", "&Exit"}));
    EXPECT_EQ(texts(menuOfBar(bar, "&Search")), QStringList({"&Find", "&Replace"}));
    EXPECT_EQ(texts(menuOfBar(bar, "&Move")),
              QStringList({"&First", "Page&Up", "Page&Down", "&Last", "-", "&Previous", "&Next"}));
    EXPECT_EQ(texts(menuOfBar(bar, "&Advanced")),
              QStringList({"&Export", "&Import", "-", "&Password", "&Maintenance", "-", "&Filter", "&Sort",
                           "S&ummary"}));
    EXPECT_EQ(texts(menuOfBar(bar, "&Help")),
              QStringList({"&Help Contents", "&Tips", "&Manual", "-", "Home &Page", "&Online FAQ",
                           "&Email Support", "-", "&About"}));
    // Speed-bar hints are the commands' hints.
    const struct
    {
        TForm1::Command command;
        const char* hint;
        bool built;
    } commands[] = {
        {TForm1::Command::NewRecord, "Add New Record", true},
        {TForm1::Command::Exit, "Program Shutdown [Alt+F4]", true},
        {TForm1::Command::Find, "Find Text", true},
        {TForm1::Command::Replace, "Replace Text", true},
        {TForm1::Command::Options, "Set Options", false},
        {TForm1::Command::Print, "Create and Print Reports or Labels", false},
        {TForm1::Command::HtmlReport, "Generate HTML Report", false},
        {TForm1::Command::Password, "Change Password", false},
        {TForm1::Command::Maintenance, "Database Maintenance Functions", false},
        {TForm1::Command::Filter, "Define/Use Filter", true},
        {TForm1::Command::Summary, "Display Summary", false},
        {TForm1::Command::First, "First", false},
        {TForm1::Command::Tips, "Tips", false},
        {TForm1::Command::HomePage, "Home Page", false},
        {TForm1::Command::About, "About", true},
        {TForm1::Command::Manual, "Manual", true},
    };
    for (const auto& [which, hint, built] : commands) {
        EXPECT_EQ(window.command(which)->toolTip(), hint);
        EXPECT_EQ(window.command(which)->isEnabled(), built) << hint;
    }
}

TEST_F(RecordWindowTest, AMissingManualIsReported)
{
    TForm1& window = open();
    window.command(TForm1::Command::Manual)->trigger();
    EXPECT_EQ(boxes.texts(),
              QStringList({"Could not load Manual.rtf file!\nTry to load Manual.rtf file into your "
                           "word processor."}));
}

TEST_F(RecordWindowTest, TheRecordPagesOrderIsKeptPerTable)
{
    {
        TForm1& window = open();
        // A page dropped on the third tab.
        window.recordPages()->tabBar()->moveTab(0, 2);
        EXPECT_EQ(window.recordPages()->tabText(2), "Part 1");
        closeWindow();
    }
    EXPECT_EQ(settings::ReadPageOrder(session.folders.settings, "data.dbf"), "2314");
    TForm1& window = open();
    QStringList order;
    for (int i = 0; i < window.recordPages()->count(); ++i)
        order.append(window.recordPages()->tabText(i));
    EXPECT_EQ(order, QStringList({"Part 2", "Part 3", "Part 1", "Part 4"}));
    EXPECT_EQ(window.recordPages()->currentIndex(), 0);
}

TEST_F(RecordWindowTest, TheRecordPagesStretchWithTheRightPane)
{
    TForm1& window = open();
    window.resize(760, 560);
    QTest::qWait(30);
    auto* description = field<QLineEdit>(1);
    auto* country = field<QWidget>(2);
    auto* condition = field<QWidget>(5);
    QWidget* page = window.recordPages()->currentWidget();
    // The full-width field keeps 8 pixels to the right edge; the two of a row share the width.
    EXPECT_EQ(description->geometry().right() + 1, page->width() - 8);
    EXPECT_EQ(condition->geometry().right() + 1, page->width() - 8);
    EXPECT_LE(std::abs(country->width() - condition->width()), 1);
    const QRect before = description->geometry();

    dragGripTo(window, window.rightPane()->x() - 100);
    EXPECT_EQ(description->width(), before.width() + 100);
    dragGripTo(window, window.rightPane()->x() + 137);
    dragGripTo(window, window.rightPane()->x() - 37);
    EXPECT_EQ(description->geometry(), before) << "back at the same width, the same geometry";

    // The memo of page 3 takes the height the page has.
    window.recordPages()->setCurrentIndex(2);
    QTest::qWait(20);
    auto* notes = field<QWidget>(21);
    QWidget* custom5 = field<QWidget>(27);
    EXPECT_EQ(custom5->geometry().bottom() + 1, window.recordPages()->currentWidget()->height() - 8);
    const int notesHeight = notes->height();
    window.resize(window.width(), window.height() + 50);
    QTest::qWait(30);
    EXPECT_EQ(notes->height(), notesHeight + 50);
    EXPECT_EQ(custom5->geometry().bottom() + 1, window.recordPages()->currentWidget()->height() - 8);
}

TEST_F(RecordWindowTest, KeysOfTheWindowOpenItsMenusAndPages)
{
    TForm1& window = open();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    field<QLineEdit>(1)->setFocus();
    QTest::keyClick(field<QLineEdit>(1), Qt::Key_3, Qt::AltModifier);
    EXPECT_EQ(window.recordPages()->currentIndex(), 2);
    QTest::keyClick(window.recordPages(), Qt::Key_1, Qt::AltModifier);
    EXPECT_EQ(window.recordPages()->currentIndex(), 0);

    QTest::keyClick(field<QLineEdit>(1), Qt::Key_F2);
    EXPECT_EQ(QApplication::activePopupWidget(), window.windowMenu());
    EXPECT_EQ(window.windowMenu()->pos(), window.frameGeometry().topLeft() + QPoint(50, 100));
    window.windowMenu()->hide();
    QTest::keyClick(field<QLineEdit>(1), Qt::Key_F4);
    EXPECT_EQ(QApplication::activePopupWidget(), window.recordPageMenu());
    window.recordPageMenu()->hide();
}
