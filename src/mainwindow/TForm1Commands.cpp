// The commands of the record window: the menus, the speed bar, the record speed bar, the window and
// record-page pop-up menus, the keys the window takes before its controls, and the Help commands.
#include "mainwindow/controls/HelpPages.h"
#include "mainwindow/controls/MenuItems.h"
#include "mainwindow/controls/MessageBoxes.h"
#include "mainwindow/controls/TFormatedButton.h"
#include "mainwindow/controls/THotSpeedBtn.h"
#include "mainwindow/controls/TKestoHeader.h"
#include "mainwindow/controls/TSortButton.h"
#include "options/TAboutBox.h"
#include "store/DatabaseFolder.h"
#include "store/TRecordTemplateList.h"
#include "TForm1.h"
#include "TSpeedBar.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QTabWidget>
#include <QUrl>

namespace {

constexpr int windowMenuHelpContext = 29;
constexpr int recordPageMenuHelpContext = 31;
constexpr int templatePanelHelpContext = 99;

const QString manualFileName = QStringLiteral("manual.rtf");
const QString supportAddress = QStringLiteral("mailto:support@kestovan.example");

void addHelp(QMenu* menu, int context)
{
    menu->addAction(QStringLiteral("&Help"), menu, [context] { help::showContext(context); });
}

} // namespace

QAction* TForm1::addCommand(Command which, const QString& menuText, const QString& hint,
                            const std::function<void()>& run)
{
    auto* action = new QAction(menuText, this);
    action->setObjectName(QString(menuText).remove(QLatin1Char('&')).remove(QLatin1Char(' ')));
    action->setToolTip(hint.isEmpty() ? QString(menuText).remove(QLatin1Char('&')) : hint);
    if (run)
        connect(action, &QAction::triggered, this, run);
    else
        m_unbuiltCommands.append(which); // its work is not part of this program yet
    action->setEnabled(static_cast<bool>(run));
    m_commands[static_cast<size_t>(which)] = action;
    return action;
}

void TForm1::createCommands()
{
    const std::function<void()> notBuilt;
    addCommand(Command::NewRecord, QStringLiteral("&New Record"), QStringLiteral("Add New Record"),
               [this] { NewRecord(); });
    addCommand(Command::LoadDatabase, QStringLiteral("&Load Database"),
               QStringLiteral("Load Another Database"), [this] { runLoadDatabase(); });
    addCommand(Command::Print, QStringLiteral("&Print"), QStringLiteral("Create and Print Reports or Labels"),
               notBuilt);
    addCommand(Command::TableView, QStringLiteral("&Table View"),
               QStringLiteral("View Database in Table Format"), [this] { runTableView(); });
    addCommand(Command::HtmlReport, QStringLiteral("&HTML Report"), QStringLiteral("Generate HTML Report"),
               notBuilt);
    addCommand(Command::Exit, QStringLiteral("&Exit"), QStringLiteral("Program Shutdown [Alt+F4]"),
               [this] { exitProgram(); });
    addCommand(Command::Find, QStringLiteral("&Find"), QStringLiteral("Find Text"),
               [this] { runFindDialog(); });
    addCommand(Command::Replace, QStringLiteral("&Replace"), QStringLiteral("Replace Text"),
               [this] { runReplaceDialog(); });
    addCommand(Command::Options, QStringLiteral("&Options"), QStringLiteral("Set Options"), notBuilt);
    addCommand(Command::First, QStringLiteral("&First"), QString(), [this] { FirstPage(); });
    addCommand(Command::PageUp, QStringLiteral("Page&Up"), QString(), [this] { PriorPage(); });
    addCommand(Command::PageDown, QStringLiteral("Page&Down"), QString(), [this] { NextPage(); });
    addCommand(Command::Last, QStringLiteral("&Last"), QString(), [this] { LastPage(); });
    addCommand(Command::Previous, QStringLiteral("&Previous"), QStringLiteral("Previous Record [Alt+PgUp]"),
               [this] { PreviousRecord(); });
    addCommand(Command::Next, QStringLiteral("&Next"), QStringLiteral("Next Record [Alt+PgDn]"),
               [this] { NextRecord(); });
    addCommand(Command::Export, QStringLiteral("&Export"), QString(), notBuilt);
    addCommand(Command::Import, QStringLiteral("&Import"), QString(), notBuilt);
    addCommand(Command::Password, QStringLiteral("&Password"), QStringLiteral("Change Password"), notBuilt);
    addCommand(Command::Maintenance, QStringLiteral("&Maintenance"),
               QStringLiteral("Database Maintenance Functions"), notBuilt);
    addCommand(Command::Filter, QStringLiteral("&Filter"), QStringLiteral("Define/Use Filter"),
               [this] { runFilterDialog(); });
    addCommand(Command::Sort, QStringLiteral("&Sort"), QStringLiteral("Sort Data"),
               [this] { runSortDialog(); });
    addCommand(Command::Summary, QStringLiteral("S&ummary"), QStringLiteral("Display Summary"), notBuilt);
    addCommand(Command::HelpContents, QStringLiteral("&Help Contents"), QString(),
               [this] { help::showContext(property("helpContext").toInt()); });
    addCommand(Command::Tips, QStringLiteral("&Tips"), QString(), notBuilt);
    addCommand(Command::Manual, QStringLiteral("&Manual"), QString(), [this] { openManual(); });
    addCommand(Command::HomePage, QStringLiteral("Home &Page"), QString(), notBuilt);
    addCommand(Command::OnlineFaq, QStringLiteral("&Online FAQ"), QString(), notBuilt);
    addCommand(Command::EmailSupport, QStringLiteral("&Email Support"), QString(),
               [this] { emailSupport(); });
    addCommand(Command::About, QStringLiteral("&About"), QString(), [this] { showAbout(); });
    addCommand(Command::PrintRecord, QStringLiteral("P&rint Record"),
               QStringLiteral("Print Current Record [Alt+P]"), notBuilt);
    addCommand(Command::DeleteRecord, QStringLiteral("&Delete Record"),
               QStringLiteral("Delete Current Record [Alt+Del]"), [this] { DeleteCurrentRecord(); });
    addCommand(Command::CopyRecord, QStringLiteral("&Copy Record"),
               QStringLiteral("Copy Current Record [Alt+C]"), [this] { CopyCurrentRecord(); });
    addCommand(Command::PasteRecord, QStringLiteral("&Paste Record"),
               QStringLiteral("Paste Into Current Record [Alt+T]"), [this] { PasteIntoCurrentRecord(); });
    addCommand(Command::UndoChanges, QStringLiteral("&Undo Changes"), QStringLiteral("Undo Changes [Alt+U]"),
               [this] { UndoChanges(); });
    addCommand(Command::Synchronize, QStringLiteral("S&ynchronize"),
               QStringLiteral("Show the Current Record in the Record List [Alt+Y]"),
               [this] { Synchronize(); });

    const struct
    {
        Command command;
        QStyle::StandardPixmap glyph;
    } glyphs[] = {
        {Command::PrintRecord, QStyle::SP_FileDialogDetailedView},
        {Command::DeleteRecord, QStyle::SP_TrashIcon},
        {Command::CopyRecord, QStyle::SP_FileDialogNewFolder},
        {Command::PasteRecord, QStyle::SP_DialogApplyButton},
        {Command::UndoChanges, QStyle::SP_BrowserReload},
        {Command::Synchronize, QStyle::SP_FileDialogToParent},
        {Command::Previous, QStyle::SP_ArrowBack},
        {Command::Next, QStyle::SP_ArrowForward},
    };
    for (const auto& [which, glyph] : glyphs)
        command(which)->setIcon(style()->standardIcon(glyph));
}

void TForm1::buildMenus()
{
    auto add = [this](QMenu* menu, std::initializer_list<Command> items) {
        for (Command which : items)
            menu->addAction(command(which));
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    add(file,
        {Command::NewRecord, Command::LoadDatabase, Command::Print, Command::TableView, Command::HtmlReport});
    file->addSeparator();
    add(file, {Command::Exit});
    QMenu* search = menuBar()->addMenu(QStringLiteral("&Search"));
    add(search, {Command::Find, Command::Replace});
    menuBar()->addAction(command(Command::Options));
    QMenu* move = menuBar()->addMenu(QStringLiteral("&Move"));
    add(move, {Command::First, Command::PageUp, Command::PageDown, Command::Last});
    move->addSeparator();
    add(move, {Command::Previous, Command::Next});
    QMenu* advanced = menuBar()->addMenu(QStringLiteral("&Advanced"));
    add(advanced, {Command::Export, Command::Import});
    advanced->addSeparator();
    add(advanced, {Command::Password, Command::Maintenance});
    advanced->addSeparator();
    add(advanced, {Command::Filter, Command::Sort, Command::Summary});
    QMenu* helpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
    add(helpMenu, {Command::HelpContents, Command::Tips, Command::Manual});
    helpMenu->addSeparator();
    add(helpMenu, {Command::HomePage, Command::OnlineFaq, Command::EmailSupport});
    helpMenu->addSeparator();
    add(helpMenu, {Command::About});
}

void TForm1::buildSpeedBar()
{
    const struct
    {
        Command command;
        const char* caption;
        QStyle::StandardPixmap glyph;
    } standard[] =
        {
            {Command::NewRecord, "New", QStyle::SP_FileIcon},
            {Command::LoadDatabase, "Load", QStyle::SP_DialogOpenButton},
            {Command::Print, "Print", QStyle::SP_FileDialogDetailedView},
            {Command::TableView, "Table", QStyle::SP_FileDialogListView},
            {Command::HtmlReport, "HTML", QStyle::SP_DriveNetIcon},
            {Command::Find, "Find", QStyle::SP_FileDialogContentsView},
            {Command::Replace, "Replace", QStyle::SP_BrowserReload},
            {Command::Options, "Options", QStyle::SP_ComputerIcon},
            {Command::Exit, "Exit", QStyle::SP_DialogCloseButton},
        },
      advanced[] = {
          {Command::Export, "Export", QStyle::SP_ArrowRight},
          {Command::Import, "Import", QStyle::SP_ArrowLeft},
          {Command::Password, "Password", QStyle::SP_MessageBoxWarning},
          {Command::Maintenance, "Maintenance", QStyle::SP_DriveHDIcon},
          {Command::Filter, "Filter", QStyle::SP_FileDialogInfoView},
          {Command::Sort, "Sort", QStyle::SP_ArrowDown},
          {Command::Summary, "Summary", QStyle::SP_FileDialogDetailedView},
      };
    const int standardPage = m_speedBar->addPage(QStringLiteral("Standard"));
    for (const auto& [which, caption, glyph] : standard)
        m_speedBar->addButton(standardPage, command(which), QString::fromLatin1(caption),
                              style()->standardIcon(glyph));
    const int advancedPage = m_speedBar->addPage(QStringLiteral("Advanced"));
    for (const auto& [which, caption, glyph] : advanced)
        m_speedBar->addButton(advancedPage, command(which), QString::fromLatin1(caption),
                              style()->standardIcon(glyph));
}

QAction* TForm1::addViewChoice(QMenu* menu, const QString& text, int& option, int value, bool placementOnly)
{
    QAction* action = menu->addAction(text);
    action->setCheckable(true);
    int* stored = &option;
    connect(action, &QAction::triggered, this, [this, stored, value, placementOnly] {
        *stored = value;
        if (placementOnly)
            LayoutWindow();
        else
            ApplyViewOptions();
    });
    m_viewChoices.append({action, [stored, value] { return *stored == value; }});
    return action;
}

void TForm1::buildWindowMenu()
{
    settings::DatabaseSettings& options = m_session.database;
    m_windowMenu = new QMenu(this);
    m_windowMenu->setObjectName(QStringLiteral("WindowMenu"));
    QMenu* bars = m_windowMenu->addMenu(QStringLiteral("&Menus And SpeedBars"));
    addViewChoice(bars, QStringLiteral("Show Both"), options.menusAndSpeedBars, 0, false);
    addViewChoice(bars, QStringLiteral("Show Only Menus"), options.menusAndSpeedBars, 1, false);
    addViewChoice(bars, QStringLiteral("Show Only Speed Bars"), options.menusAndSpeedBars, 2, false);
    bars->addSeparator();
    addViewChoice(bars, QStringLiteral("Speed Bar At The Top"), options.speedBarLocation, 0, true);
    addViewChoice(bars, QStringLiteral("Speed Bar At The Bottom"), options.speedBarLocation, 1, true);
    QMenu* letters = m_windowMenu->addMenu(QStringLiteral("&Letter Tabs"));
    for (const auto& [caption, value] : {std::pair{"Enabled", 0}, std::pair{"Disabled", 1}}) {
        QAction* choice = letters->addAction(QString::fromLatin1(caption));
        choice->setCheckable(true);
        connect(choice, &QAction::triggered, this, [this, value] { setLetterTabsOption(value); });
        m_viewChoices.append({choice, [&options, value] { return options.letterTabs == value; }});
    }
    letters->addSeparator();
    addViewChoice(letters, QStringLiteral("Display In Center"), options.letterTabsLocation, 0, true);
    addViewChoice(letters, QStringLiteral("Display On Right Side"), options.letterTabsLocation, 1, true);
    QMenu* hints = m_windowMenu->addMenu(QStringLiteral("H&int Messages"));
    addViewChoice(hints, QStringLiteral("Show"), options.hintMessages, 0, false);
    addViewChoice(hints, QStringLiteral("Hide"), options.hintMessages, 1, false);
    QMenu* deleteMode = m_windowMenu->addMenu(QStringLiteral("&Record Delete Mode"));
    addViewChoice(deleteMode, QStringLiteral("Ask User To Confirm"), options.recordDeleteMode, 0, true);
    addViewChoice(deleteMode, QStringLiteral("Immediate Delete"), options.recordDeleteMode, 1, true);
    m_windowMenu->addSeparator();
    addHelp(m_windowMenu, windowMenuHelpContext);
    connect(m_windowMenu, &QMenu::aboutToShow, this, &TForm1::prepareWindowMenu);
}

void TForm1::prepareWindowMenu()
{
    for (const auto& [action, isCurrent] : m_viewChoices)
        action->setChecked(isCurrent());
}

void TForm1::buildRecordPageMenu()
{
    m_recordPageMenu = new QMenu(this);
    m_recordPageMenu->setObjectName(QStringLiteral("RecordPageMenu"));
    m_replaceMenu = m_recordPageMenu->addMenu(QStringLiteral("R&eplace Record With Template"));
    m_saveTemplateItem = m_recordPageMenu->addAction(QStringLiteral("&Save Record To Template"), this,
                                                     &TForm1::saveRecordToTemplate);
    m_recordPageMenu->addSeparator();
    m_copyBufferMenu = m_recordPageMenu->addMenu(QStringLiteral("&View Copy Buffer"));
    m_recordPageMenu->addSeparator();
    for (Command which : {Command::PasteRecord, Command::CopyRecord, Command::UndoChanges,
                          Command::DeleteRecord, Command::PrintRecord, Command::Synchronize})
        m_recordPageMenu->addAction(command(which));
    m_recordPageMenu->addSeparator();
    addHelp(m_recordPageMenu, recordPageMenuHelpContext);
    connect(m_recordPageMenu, &QMenu::aboutToShow, this, &TForm1::prepareRecordPageMenu);
}

void TForm1::prepareRecordPageMenu()
{
    fillReplaceMenu(m_replaceMenu);
    m_saveTemplateItem->setEnabled(!IsRecordEmpty());
    // The copy buffer's values, when there is something to paste and the run may paste it.
    m_copyBufferMenu->clear();
    const bool showBuffer = !m_session.isReadOnlyMode() && m_session.copyBufferHoldsRecord;
    m_copyBufferMenu->menuAction()->setVisible(showBuffer);
    dbase::Table& buffer = m_database->copyBuffer();
    if (showBuffer && buffer.isOpen()) {
        buffer.first();
        FillValueList(m_copyBufferMenu, buffer);
    }
}

void TForm1::showRecordPageMenu(const QPoint& globalPos)
{
    m_recordPageMenu->popup(globalPos);
}

void TForm1::buildTemplateMenu()
{
    m_templateMenu = new QMenu(this);
    m_templateMenu->setObjectName(QStringLiteral("TemplateMenu"));
    connect(m_templateMenu, &QMenu::aboutToShow, this, &TForm1::fillTemplateMenu);
    connect(m_templateButton, &QToolButton::clicked, this,
            [this] { m_templateMenu->popup(m_templateButton->mapToGlobal(QPoint(10, 10))); });

    m_templatePanelMenu = new QMenu(this);
    m_templatePanelMenu->setObjectName(QStringLiteral("TemplatePanelMenu"));
    QMenu* replace = m_templatePanelMenu->addMenu(QStringLiteral("&Replace Record With Template"));
    QAction* saveTemplate = m_templatePanelMenu->addAction(QStringLiteral("&Save Record To Template"), this,
                                                           &TForm1::saveRecordToTemplate);
    m_templatePanelMenu->addSeparator();
    addHelp(m_templatePanelMenu, templatePanelHelpContext);
    connect(m_templatePanelMenu, &QMenu::aboutToShow, this, [this, replace, saveTemplate] {
        fillReplaceMenu(replace);
        saveTemplate->setEnabled(!IsRecordEmpty());
    });
}

void TForm1::fillTemplateMenu()
{
    m_templateMenu->clear();
    m_templateMenu->addAction(QStringLiteral("Templates For Adding New Records:"))->setEnabled(false);
    QStringList names{store::TRecordTemplateList::BlankName};
    if (m_recordTemplates)
        names += m_recordTemplates->Names();
    for (const QString& name : names)
        m_templateMenu->addAction(name, this, [this, name] { setNewRecordTemplate(name); });
}

void TForm1::fillReplaceMenu(QMenu* menu)
{
    menu->clear();
    QStringList names{store::TRecordTemplateList::BlankName};
    if (m_recordTemplates)
        names += m_recordTemplates->Names();
    for (const QString& name : names)
        menu->addAction(name, this, [this, name] { ReplaceWithTemplate(name); });
    menu->menuAction()->setEnabled(command(Command::DeleteRecord)->isEnabled());
}

QString TForm1::newRecordTemplate() const
{
    return m_templateButton->text();
}

void TForm1::setNewRecordTemplate(const QString& name)
{
    m_templateButton->setText(name);
}

bool TForm1::handleWindowKey(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier);
    const int key = event->key();
    auto run = [this](Command which) {
        if (command(which)->isEnabled())
            command(which)->trigger();
        return true;
    };
    if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && !(modifiers & Qt::ControlModifier)) {
        QWidget* field = fieldOf(QApplication::focusWidget());
        return field && moveToTabTarget(field, key == Qt::Key_Backtab || (modifiers & Qt::ShiftModifier));
    }
    if (modifiers == Qt::ControlModifier) {
        switch (key) {
        case Qt::Key_N:
            return run(Command::NewRecord);
        case Qt::Key_F:
            return run(Command::Find);
        case Qt::Key_O:
            return run(Command::Options);
        case Qt::Key_P:
            return run(Command::Print);
        case Qt::Key_PageUp:
            return run(Command::PageUp);
        case Qt::Key_PageDown:
            return run(Command::PageDown);
        case Qt::Key_End:
            return run(Command::Last);
        case Qt::Key_Home:
            return run(Command::First);
        case Qt::Key_G:
            m_navigationButtons[2]->click();
            return true;
        default:
            return false;
        }
    }
    if (modifiers == (Qt::ControlModifier | Qt::AltModifier) && key >= Qt::Key_A && key <= Qt::Key_Z) {
        if (LetterTabsActive())
            SelectLetter(static_cast<char>('A' + (key - Qt::Key_A)));
        return true;
    }
    if (modifiers == Qt::AltModifier) {
        if (key >= Qt::Key_1 && key <= Qt::Key_9) {
            showRecordPage(key - Qt::Key_0);
            return true;
        }
        switch (key) {
        case Qt::Key_PageUp:
            return run(Command::Previous);
        case Qt::Key_PageDown:
            return run(Command::Next);
        case Qt::Key_Delete:
            return run(Command::DeleteRecord);
        case Qt::Key_C:
            return run(Command::CopyRecord);
        case Qt::Key_T:
            return run(Command::PasteRecord);
        case Qt::Key_U:
            return run(Command::UndoChanges);
        case Qt::Key_P:
            return run(Command::PrintRecord);
        case Qt::Key_Y:
            return run(Command::Synchronize);
        default:
            return false;
        }
    }
    if (modifiers == Qt::NoModifier && key == Qt::Key_F2) {
        m_windowMenu->popup(frameGeometry().topLeft() + QPoint(50, 100));
        return true;
    }
    if (modifiers != Qt::NoModifier)
        return false;
    switch (key) {
    case Qt::Key_F3: {
        // The focused record button's pop-up, or the first button's.
        const auto focused = static_cast<int>(
            m_listButtons.indexOf(qobject_cast<TFormatedButton*>(QApplication::focusWidget())));
        const int index = std::max(0, focused);
        if (index < m_listButtons.size()) {
            QWidget* button = m_listButtons[index];
            showRecordMenu(index, button->mapToGlobal(QPoint(button->width(), 0)));
        }
        return true;
    }
    case Qt::Key_F4:
        showRecordPageMenu(m_rightPane->mapToGlobal(QPoint(10, 10)));
        return true;
    case Qt::Key_F5:
        m_header->showPopupMenu(m_header->mapToGlobal(QPoint(10, m_header->height())));
        return true;
    case Qt::Key_F6:
        m_sortBar->popupPrimaryMenu();
        return true;
    case Qt::Key_F7:
        m_sortBar->popupSecondaryMenu();
        return true;
    case Qt::Key_F8:
        m_sortBar->popupFilterMenu();
        return true;
    default:
        return false;
    }
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::KeyPress:
        if (widget && widget->window() == this && handleWindowKey(static_cast<QKeyEvent*>(event)))
            return true;
        break;
    case QEvent::ToolTip:
        // Hints hidden: no tool tip of this window shows.
        if (m_session.database.hintMessages == 1 && widget && widget->window() == this)
            return true;
        break;
    case QEvent::Resize:
        if (watched == m_client)
            LayoutWindow();
        else if (widget && widget->property("pageLayout").isValid())
            stretchPage(widget->property("pageLayout").toInt());
        break;
    case QEvent::ContextMenu: {
        const QPoint at = static_cast<QContextMenuEvent*>(event)->globalPos();
        if (watched == m_client) {
            m_windowMenu->popup(at);
            return true;
        }
        if (watched == m_rightPane) {
            showRecordPageMenu(at);
            return true;
        }
        if (watched == m_statusBar) {
            m_templatePanelMenu->popup(at);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::exitProgram()
{
    if (m_exitHandler)
        m_exitHandler();
    else
        close();
}

void TForm1::openManual()
{
    const QString path = m_session.folders.program + QLatin1Char('/') + manualFileName;
    if (!QFileInfo::exists(path) || !QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        messages::error(
            this, QStringLiteral("Could not load Manual.rtf file!\nTry to load Manual.rtf file into your "
                                 "word processor."));
}

void TForm1::emailSupport()
{
    if (!QDesktopServices::openUrl(QUrl(supportAddress)))
        messages::error(this,
                        QStringLiteral("Could not locate your email client software!\nMake sure you have "
                                       "selected Email software in Internet Properties (Programs page)."));
}

void TForm1::showAbout()
{
    TAboutBox about(this);
    about.exec();
}
