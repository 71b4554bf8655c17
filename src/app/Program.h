#pragma once

#include "store/Session.h"

#include <memory>
#include <QObject>
#include <QString>

class TAboutBox;
class TForm1;
class TTrayForm;
class QSessionManager;

// The program body: fixes the folders, reads the settings, creates the windows in their order, and
// tears everything down in its order when the run ends.
class Program : public QObject
{
    Q_OBJECT
public:
    explicit Program(const QString& programFolder);
    ~Program() override;

    // Everything up to the message loop. False when the run ends at once (a refused log-in, a data root
    // that cannot be reached); finish() must still run.
    bool start();
    // The teardown after the message loop; runs once.
    void finish();
    // The session ends without anyone to answer: the current record is saved as it stands, then the run
    // closes the normal way.
    void endSession();

    store::Session& session() { return m_session; }
    TForm1* mainWindow() const { return m_window.get(); }
    TTrayForm* trayForm() const { return m_tray.get(); }

signals:
    // The tray form closed: the message loop should end.
    void runEnded();

private:
    bool fixFolders();
    void ensureDataFolders();
    void trayActivatedFirstTime();
    void recordWindowClosed();
    void commitData(QSessionManager& manager);

    store::Session m_session;
    std::unique_ptr<TAboutBox> m_splash;
    std::unique_ptr<TTrayForm> m_tray;
    std::unique_ptr<TForm1> m_window;
    bool m_finished = false;
};

// Runs the whole program in the given program folder; returns the process exit code.
int ProgramMain(const QString& programFolder);
