#include "ToolWindow.h"

#include "SearchFields.h"

#include <QApplication>
#include <QScreen>

ToolWindow::ToolWindow(QWidget* recordWindow, int helpContext)
    : QDialog(recordWindow), m_recordWindow(recordWindow)
{
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);
    setProperty("helpContext", helpContext);
}

void ToolWindow::placeBesideRecordWindow()
{
    if (!m_recordWindow)
        return;
    const QScreen* screen =
        m_recordWindow->screen() ? m_recordWindow->screen() : QGuiApplication::primaryScreen();
    move(search::besideRecordWindow(frameGeometry().size(), m_recordWindow->frameGeometry(),
                                    screen->availableGeometry()));
}

void ToolWindow::beginRun(QWidget* stop)
{
    m_enabledBeforeRun.clear();
    for (QWidget* control : findChildren<QWidget*>()) {
        m_enabledBeforeRun.insert(control, control->isEnabled());
        if (control != stop && !control->findChildren<QWidget*>().contains(stop))
            control->setEnabled(false);
    }
    stop->setEnabled(true);
    m_running = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void ToolWindow::endRun(QWidget* stop)
{
    for (auto it = m_enabledBeforeRun.cbegin(); it != m_enabledBeforeRun.cend(); ++it)
        it.key()->setEnabled(it.value());
    stop->setEnabled(false);
    m_running = false;
    QApplication::restoreOverrideCursor();
}
