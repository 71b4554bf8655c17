#include "TForm1.h"

#include "dbase/Errors.h"
#include "mainwindow/controls/MessageBoxes.h"
#include "settings/PageOrder.h"
#include "settings/WindowPlacement.h"
#include "store/DatabaseFolder.h"
#include "store/ProgramTexts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {
// The right pane keeps this width at least while the window is being created; afterwards 230 will do.
constexpr int creationRightPaneMinimum = 280;
constexpr int rightPaneMinimum = 230;
} // namespace

TForm1::TForm1(store::Session& session, RecordPagesBuilder buildPages, QWidget* parent)
    : QMainWindow(parent), m_session(session), m_prompts(std::make_unique<WidgetPrompts>(this))
{
    // 1. The colour scheme of the database folder.
    m_session.colors = settings::LoadColorScheme(m_session.folders.database);
    // 2. The window and its record pages, first page in front.
    buildWindow(buildPages);
    // 4. The fields of the record.
    DiscoverFields();
    // 5. Help contexts.
    setProperty("helpContext", 1);
    // 6. The tables of the database folder.
    m_database = std::make_unique<store::DatabaseFolder>(m_session, *m_prompts);
    // 7. At the top right of the screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().right() - frameGeometry().width() + 1, 1);
    // 9. The database; a window without one closes itself at once.
    if (m_database->OpenDatabase()) {
        setTitle();
    } else {
        m_failedToOpen = true;
        QTimer::singleShot(0, this, &QWidget::close);
    }
    // 11. The stored bounds.
    restoreWindowPlacement();
    // 13. The record pages in their stored order; from now on the right pane may be narrower.
    m_rightPane->setMinimumWidth(rightPaneMinimum);
    restorePageOrder();
}

TForm1::~TForm1()
{
    saveWindowPlacement();
    saveSettingsFiles();
    m_database->CloseEditTable();
    m_database->CloseDatabase();
}

void TForm1::buildWindow(RecordPagesBuilder buildPages)
{
    setWindowTitle(store::windowTitlePrefix);
    m_rightPane = new QWidget;
    m_rightPane->setObjectName(QStringLiteral("RightPane"));
    m_rightPane->setMinimumWidth(creationRightPaneMinimum);
    auto* layout = new QVBoxLayout(m_rightPane);
    layout->setContentsMargins(4, 4, 4, 4);
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("StatusText"));
    m_status->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(m_status);
    m_pages = new QTabWidget;
    m_pages->setObjectName(QStringLiteral("RecordPages"));
    m_pages->tabBar()->setToolTip(QStringLiteral("Use Drag and Drop to change the Tab Order"));
    m_pages->setMovable(true);
    buildPages(m_pages);
    m_pages->setCurrentIndex(0);
    layout->addWidget(m_pages, 1);
    setCentralWidget(m_rightPane);
    resize(480, 420);
}

void TForm1::setTitle()
{
    setWindowTitle(m_database->windowTitle());
}

void TForm1::restoreWindowPlacement()
{
    const settings::PlacementDecision decision = settings::LoadWindowPlacement(m_session.folders.settings);
    switch (decision.action) {
    case settings::PlacementDecision::Action::Maximize:
        setWindowState(windowState() | Qt::WindowMaximized);
        break;
    case settings::PlacementDecision::Action::Restore: {
        const settings::WindowPlacement& p = decision.placement;
        setGeometry(p.left, p.top, p.width, p.height);
        m_rightPane->resize(std::max<int>(p.rightPaneWidth, creationRightPaneMinimum), m_rightPane->height());
        break;
    }
    case settings::PlacementDecision::Action::Keep:
        break;
    }
}

void TForm1::saveWindowPlacement()
{
    if (isMaximized()) {
        settings::SaveWindowPlacement(m_session.folders.settings, settings::WindowPlacement::maximized());
        return;
    }
    const QRect bounds = geometry();
    settings::SaveWindowPlacement(m_session.folders.settings, {bounds.top(), bounds.left(), bounds.width(),
                                                               bounds.height(), m_rightPane->width()});
}

void TForm1::saveSettingsFiles()
{
    settings::SaveProgramSettings(m_session.program, m_session.folders.program);
    m_session.database.lastTableFileName = m_session.tableFileName;
    m_session.database.lastDatabaseFolder = m_session.folders.database;
    settings::SaveDatabaseSettings(m_session.database, m_session.folders.settings);
    savePageOrder();
}

QStringList TForm1::pageCaptions() const
{
    QStringList captions;
    for (int i = 0; i < m_pages->count(); ++i)
        captions.append(m_pages->tabText(i));
    return captions;
}

void TForm1::savePageOrder()
{
    settings::SavePageOrder(m_session.folders.settings, m_session.tableFileName, pageCaptions());
}

void TForm1::restorePageOrder()
{
    const QString order = settings::ReadPageOrder(m_session.folders.settings, m_session.tableFileName);
    if (order.isEmpty())
        return;
    const QList<int> newOrder = settings::RestorePageOrder(pageCaptions(), order);
    QList<QWidget*> pages;
    for (int i = 0; i < m_pages->count(); ++i)
        pages.append(m_pages->widget(i));
    QTabBar* bar = m_pages->tabBar();
    for (int target = 0; target < newOrder.size(); ++target)
        bar->moveTab(m_pages->indexOf(pages[newOrder[target]]), target);
    m_pages->setCurrentIndex(0);
}

void TForm1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // A show after the table view or the HTML wizard had the window's place skips the first-show work.
    if (property("tag").toInt() == 1000) {
        setProperty("tag", 0);
        return;
    }
    if (m_firstShowDone || m_failedToOpen)
        return;
    m_firstShowDone = true;
    ApplyCaptions();
    ApplyDateFormats();
    try {
        m_database->OpenEditTable();
    } catch (const dbase::DatabaseError& error) {
        messages::error(this, QString::fromUtf8(error.what()));
        return;
    }
    m_ready = true;
    GoToRecord(0);
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (!m_failedToOpen && m_ready && !m_sessionEnding && !SaveCurrentRecord()) {
        event->ignore();
        return;
    }
    event->accept();
    hide();
    if (m_closeHandler)
        m_closeHandler();
}
