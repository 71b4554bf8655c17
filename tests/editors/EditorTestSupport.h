#pragma once

#include "editors/TypedKeys.h"

#include <functional>
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QTest>
#include <QTimer>

// Acts on the next modal window of type Window as soon as it shows: the way to drive a popup that a
// button opens with exec(). A modal window still open after a few seconds is closed and the test fails.
template <typename Window>
class OnNextModal
{
public:
    explicit OnNextModal(std::function<void(Window*)> action) : m_action(std::move(action))
    {
        m_clock.start();
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(10);
    }

    bool acted() const { return m_acted; }

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* window = qobject_cast<Window*>(modal); window && window->isVisible() && !m_acted) {
            m_acted = true;
            m_action(window);
            return;
        }
        if (modal && m_clock.elapsed() > 5000) {
            ADD_FAILURE() << "a modal window stayed open";
            modal->close();
        }
    }

    std::function<void(Window*)> m_action;
    QTimer m_timer;
    QElapsedTimer m_clock;
    bool m_acted = false;
};

// Counts the beeps of refused keys while it lives.
class BeepCounter
{
public:
    BeepCounter()
        : m_connection(QObject::connect(&editors::KeyBeep::instance(), &editors::KeyBeep::sounded,
                                        [this] { ++m_count; }))
    {}
    ~BeepCounter() { QObject::disconnect(m_connection); }
    BeepCounter(const BeepCounter&) = delete;
    BeepCounter& operator=(const BeepCounter&) = delete;

    int count() const { return m_count; }

private:
    int m_count = 0;
    QMetaObject::Connection m_connection;
};

// A shown, active window holding one field and a plain edit after it, so that focus can really leave.
template <typename Field>
class FieldWindow
{
public:
    FieldWindow() : field(new Field(&window)), next(new QLineEdit(&window))
    {
        window.resize(400, 200);
        field->move(10, 10);
        next->setGeometry(10, 80, 200, 24);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        field->setFocus(Qt::TabFocusReason);
    }

    // Where the focus is in the window; after a modal window closes the test platform leaves no
    // window active, so the application's focus widget says nothing.
    QWidget* focused() const { return window.focusWidget(); }

    QWidget window;
    Field* field;
    QLineEdit* next;
};

// Whether a right click on the widget opens a menu (which is closed again at once).
inline bool menuPopsUp(QWidget* widget)
{
    bool popped = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            popped = true;
            menu->close();
        }
    });
    closer.start(10);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), widget->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(widget, &event);
    return popped;
}

// Sets the default locale for one test and restores the previous one afterwards.
class DefaultLocale
{
public:
    explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(m_previous); }
    DefaultLocale(const DefaultLocale&) = delete;
    DefaultLocale& operator=(const DefaultLocale&) = delete;

private:
    QLocale m_previous;
};
