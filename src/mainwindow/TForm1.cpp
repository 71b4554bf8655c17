// The record window's life: creation in its order, the first show, closing and the files saved at the end.
#include "TForm1.h"

#include "dbase/Errors.h"
#include "editors/LookupFields.h"
#include "mainwindow/controls/MessageBoxes.h"
#include "mainwindow/controls/TKestoHeader.h"
#include "mainwindow/controls/TSortButton.h"
#include "mainwindow/dialogs/HeaderTemplateContent.h"
#include "search/TFilterList.h"
#include "search/TFindDlg.h"
#include "search/TReplaceDlg.h"
#include "security/ActivityLog.h"
#include "settings/PageOrder.h"
#include "settings/StreamError.h"
#include "settings/WindowPlacement.h"
#include "store/ContentTemplateLists.h"
#include "store/DatabaseFolder.h"
#include "store/ProgramTexts.h"
#include "store/TIndex.h"
#include "store/TLabelTemplateList.h"
#include "store/TRecordTemplateList.h"
#include "TSpeedBar.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

namespace {

const QString headerFileName = QStringLiteral("header.dat");

// Help contexts of the window and of the left pane's controls.
constexpr int windowHelpContext = 1;
constexpr int sortBarHelpContext = 103;
constexpr int headerHelpContext = 104;

} // namespace

TForm1::TForm1(store::Session& session, RecordPagesBuilder buildPages, QWidget* parent)
    : QMainWindow(parent), m_session(session), m_prompts(std::make_unique<WidgetPrompts>(this))
{
    // 1. The colour scheme of the database folder.
    m_session.colors = settings::LoadColorScheme(m_session.folders.database);
    // 2. and 3. The window, its regions and commands; the first record page and speed-bar page in front.
    buildWindow(buildPages);
    // 4. The fields of the record.
    DiscoverFields();
    collectPageItems();
    // 5. Help contexts.
    setProperty("helpContext", windowHelpContext);
    m_sortBar->setHelpContext(sortBarHelpContext);
    m_header->setHelpContext(headerHelpContext);
    // 6. The tables of the database folder, and the sort order of the record table.
    m_database = std::make_unique<store::DatabaseFolder>(m_session, *m_prompts);
    m_index = std::make_unique<store::TIndex>(m_session, *m_prompts);
    m_index->afterSort = [this] { afterSort(); };
    m_index->restoreCursor = [] {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    };
    // 7. At the top right of the screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().right() - frameGeometry().width() + 1, 1);
    // 8. The record list's header.
    m_sortBar->setFields(fieldList());
    m_header->setFields(fieldList());
    m_header->LoadFromFile(m_session.folders.settings + QLatin1Char('/') + headerFileName);
    connect(m_header, &TKestoHeader::hChanged, this, &TForm1::headerChanged);
    loadTemplateLists();
    createFilters();
    connect(m_sortBar, &TSortButton::clicked, this, &TForm1::runSortDialog);
    for (auto chose :
         {&TSortButton::sortByClicked, &TSortButton::sort1MenuClicked, &TSortButton::sort2MenuClicked})
        connect(m_sortBar, chose, this, &TForm1::ApplySortChange);
    // 9. The panes, then the database; a window without one closes itself at once.
    placePanesVertically();
    if (m_database->OpenDatabase()) {
        setTitle();
        lookup::attachSession(m_fields, m_session);
        applySortOfOpenedTable(true);
        attachFilters();
    } else {
        m_failedToOpen = true;
        QTimer::singleShot(0, this, &QWidget::close);
    }
    // 10. View options, colours, the filter state.
    ApplyViewOptions();
    ApplyColors();
    m_sortBar->setFilterState(TSortButton::AllRecords);
    // 11. The stored bounds.
    restoreWindowPlacement();
    // 12. Fonts, then the full layout.
    ApplyFonts();
    m_layoutSuspended = false;
    LayoutWindow();
    // 13. The record templates; from now on the right pane may be narrower; the stored page order.
    m_recordTemplates = std::make_unique<store::TRecordTemplateList>(m_session.folders.settings);
    m_rightPaneMinimum = rightPaneMinimum;
    restorePageOrder();
}

TForm1::~TForm1()
{
    saveWindowPlacement();
    saveSettingsFiles();
    if (!m_failedToOpen) {
        m_index->SaveSortSettings();
        saveFilterDefinitions();
    }
    m_database->CloseEditTable();
    m_database->CloseDatabase();
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
    try {
        m_header->SaveToFile(m_session.folders.settings + QLatin1Char('/') + headerFileName);
    } catch (const settings::StreamError&) {
        // The layout of the last run stays; nobody is there to be told at this point.
    }
    saveTemplateLists();
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
    if (property("tag").toInt() == standInTag) {
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
