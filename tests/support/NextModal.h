#pragma once

#include <functional>
#include <QApplication>
#include <QTimer>
#include <QWidget>

// Acts on the next modal window of a kind once it is up, so that a test can answer a dialog that the code
// under test runs itself. Returns the timer, which a test may stop when the window never came.
template <typename Window>
QTimer* onNextModal(std::function<void(Window*)> action)
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action] {
        auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
        if (!window || !window->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        action(window);
    });
    timer->start(10);
    return timer;
}
