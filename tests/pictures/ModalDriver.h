#pragma once

#include <functional>
// ModalWatcher.h, included after this header, uses buttons without including them.
#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

// Acts on the next modal window of a kind once it is up, so that a test can drive code that runs a dialog
// of its own.
namespace picturetests {

template <typename Window>
void onNextModal(std::function<void(Window*)> action)
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
}

} // namespace picturetests
