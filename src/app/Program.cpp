#include "Program.h"

#include "mainwindow/controls/HelpPages.h"
#include "mainwindow/controls/MessageBoxes.h"
#include "mainwindow/TForm3.h"
#include "options/TAboutBox.h"
#include "options/TTrayForm.h"
#include "security/LogInGate.h"
#include "settings/FieldTexts.h"
#include "settings/ShutdownMarker.h"
#include "SignalBridge.h"
#include "store/ProgramTexts.h"

#include <QApplication>
#include <QDir>
#include <QSessionManager>
#include <QTimer>

namespace {

QString withoutTrailingSlash(QString folder)
{
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

} // namespace

Program::Program(const QString& programFolder)
{
    m_session.folders.program = withoutTrailingSlash(QDir::cleanPath(programFolder));
}

Program::~Program()
{
    finish();
}

bool Program::start()
{
    // 1. The program folder is the data root until the settings say otherwise.
    store::Folders& folders = m_session.folders;
    folders.dataRoot = folders.program;
    QDir::setCurrent(folders.program);
    help::setProgramFolder(folders.program);

    // 2. Program-wide texts.
    QApplication::setApplicationName(store::applicationTitle);
    QApplication::setApplicationDisplayName(store::applicationTitle);

    // 3. The About box as splash, painted at once.
    m_splash = std::make_unique<TAboutBox>();
    m_splash->makeSplash();
    m_splash->show();
    QApplication::processEvents();

    // 4. Program-level settings; they may move the data root.
    const bool programSettingsRead = settings::LoadProgramSettings(m_session.program, folders.program);
    if (!fixFolders())
        return false;

    // 5. The public database folder and its backup folder.
    ensureDataFolders();

    // 6. The log-in gate, when the settings ask for it. Accounts are not kept by this build yet, so a
    // gate that is asked for cannot be passed.
    if (programSettingsRead && security::LogInGateRequired(m_session.program)) {
        m_splash.reset();
        messages::error(nullptr, QStringLiteral("Incorrect Login!"));
        return false;
    }

    // 7. Database-level settings of the settings folder, with the last-used table.
    folders.settings = folders.publicDatabase;
    settings::LoadDatabaseSettings(m_session.database, folders.settings);
    const settings::CurrentTable table = settings::RestoreLastUsedTable(
        m_session.database, {folders.settings, folders.dataRoot, folders.publicDatabase,
                             m_session.publicAccess == store::PublicAccess::None});
    m_session.tableFileName = table.fileName;
    folders.database = table.folder;

    // 8. Field captions and date formats.
    m_session.captions = settings::LoadCaptions(folders.settings);
    for (int format : settings::LoadDateFormats(folders.settings))
        m_session.dateFormats.append({format, -1});

    // 9. The tray form owns the run; its first activation checks how the last run ended.
    m_tray = std::make_unique<TTrayForm>();
    connect(m_tray.get(), &TTrayForm::closed, this, &Program::runEnded);
    QTimer::singleShot(0, this, &Program::trayActivatedFirstTime);

    // 10. The record window; then the splash goes.
    m_window = std::make_unique<TForm3>(m_session);
    m_window->setCloseHandler([this] { recordWindowClosed(); });
    m_tray->setFrontWindow(m_window.get());
    connect(qApp, &QGuiApplication::commitDataRequest, this, &Program::commitData);
    m_window->show();
    m_splash.reset();
    return true;
}

bool Program::fixFolders()
{
    store::Folders& folders = m_session.folders;
    if (!m_session.program.dataRoot.isEmpty())
        folders.dataRoot = withoutTrailingSlash(m_session.program.dataRoot);
    if (!QDir(folders.dataRoot).exists()) {
        m_splash.reset();
        messages::error(nullptr, QStringLiteral("The data folder ") + folders.dataRoot +
                                     QStringLiteral(" cannot be found. Start-up cannot go on."));
        return false;
    }
    folders.publicDatabase = folders.dataRoot + QStringLiteral("/DATA");
    return true;
}

void Program::ensureDataFolders()
{
    const QString backup = m_session.folders.publicDatabase + QStringLiteral("/BACKUP");
    if (!QDir().mkpath(backup))
        messages::warning(nullptr, QStringLiteral("Could not Create Data Directory!"));
}

void Program::trayActivatedFirstTime()
{
    const QString& settingsFolder = m_session.folders.settings;
    if (!settings::WasClosedNormally(settingsFolder)) {
        QApplication::beep();
        messages::warning(
            m_window.get(),
            store::windowTitlePrefix +
                QStringLiteral(" was not Closed normally!\nIt is STRONGLY recommended that you Restore "
                               "the last used database from your backup. For more information click "
                               "on Help."),
            123);
    }
    settings::WriteRunningMarker(settingsFolder);
}

void Program::recordWindowClosed()
{
    // The tray keeps the program alive only where a tray icon can be shown; the tray is not built yet.
    m_tray->close();
}

void Program::commitData(QSessionManager& manager)
{
    if (m_window && m_window->isVisible() && !m_window->SaveCurrentRecord())
        manager.cancel();
}

void Program::endSession()
{
    // Nobody will answer an open question now: it is dismissed, as if cancelled.
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (!modal->close())
            break;
    }
    if (m_window)
        m_window->endSession();
    if (m_tray)
        m_tray->close();
}

void Program::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    const bool ran = m_tray != nullptr;
    // 1. The record window saves its files as it goes.
    m_window.reset();
    // 2. The run ended cleanly.
    if (ran)
        settings::WriteCleanMarker(m_session.folders.settings);
    m_tray.reset();
    m_splash.reset();
}

int ProgramMain(const QString& programFolder)
{
    Program program(programFolder);
    QObject::connect(&program, &Program::runEnded, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    SignalBridge terminations;
    QObject::connect(&terminations, &SignalBridge::terminationRequested, &program, &Program::endSession);
    int code = 0;
    if (program.start())
        code = QApplication::exec();
    program.finish();
    return code;
}
