#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// The application's main form: never shown, it owns the run. The run ends when it closes; closing it
// closes the record window first, which may refuse.
class TTrayForm : public QObject
{
    Q_OBJECT
public:
    explicit TTrayForm(QObject* parent = nullptr);

    // The window the tray acts on: the record window, or whatever stands in its place.
    void setFrontWindow(QWidget* window) { m_front = window; }
    QWidget* frontWindow() const { return m_front; }

    // Closes the front window (unless it is already hidden) and then the run. False when the window
    // refused to close.
    bool close();
    bool isClosed() const { return m_closed; }

signals:
    void closed();

private:
    QPointer<QWidget> m_front;
    bool m_closing = false;
    bool m_closed = false;
};
