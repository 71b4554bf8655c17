#pragma once

#include <functional>
#include <QCoreApplication>
#include <QElapsedTimer>

namespace search {

// Lets pending events run during a long loop, at most every intervalMs, so that a Stop button is seen
// without the loop paying for an event round on every record.
class EventPump
{
public:
    static constexpr int intervalMs = 20;

    EventPump() { m_since.start(); }

    // Runs just before each round of events, e.g. to show the run's progress.
    std::function<void()> beforeEvents;

    void operator()()
    {
        if (m_since.elapsed() < intervalMs)
            return;
        if (beforeEvents)
            beforeEvents();
        QCoreApplication::processEvents();
        m_since.restart();
    }

private:
    QElapsedTimer m_since;
};

} // namespace search
