#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGHUP into a Qt signal on the event loop, where the program can end its run in
// order; a signal handler itself may do nothing but write a byte.
class SignalBridge : public QObject
{
    Q_OBJECT
public:
    explicit SignalBridge(QObject* parent = nullptr);
    ~SignalBridge() override;

signals:
    void terminationRequested();

private:
    QSocketNotifier* m_notifier;
};
