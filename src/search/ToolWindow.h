#pragma once

#include <QDialog>
#include <QHash>

class QWidget;

// What the modeless "Search" and "Replace" windows share: a stay-on-top tool window beside the record
// window, and a run during which only its Stop button works.
class ToolWindow : public QDialog
{
    Q_OBJECT
public:
    ToolWindow(QWidget* recordWindow, int helpContext);

    // Places the window beside the record window (to its right when there is room).
    void placeBesideRecordWindow();

protected:
    // Disables every control but stop, remembering what was enabled; shows the hourglass.
    void beginRun(QWidget* stop);
    void endRun(QWidget* stop);
    QWidget* recordWindow() const { return m_recordWindow; }
    bool running() const { return m_running; }

private:
    QWidget* m_recordWindow;
    QHash<QWidget*, bool> m_enabledBeforeRun;
    bool m_running = false;
};
