#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

// Answers the message boxes that appear while a test runs: it notes each text and presses a button, so
// a test can drive code that asks the user something.
class ModalWatcher : public QObject
{
public:
    explicit ModalWatcher(QMessageBox::StandardButton answer = QMessageBox::Ok) : m_answer(answer)
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalWatcher::poll);
        m_timer.start(10);
    }

    const QStringList& texts() const { return m_texts; }
    void setAnswer(QMessageBox::StandardButton answer) { m_answer = answer; }

private:
    void poll()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box->property("answered").toBool())
            return;
        box->setProperty("answered", true);
        m_texts.append(box->text());
        QAbstractButton* button = box->button(m_answer);
        if (!button)
            button = box->buttons().value(0);
        button->click();
    }

    QTimer m_timer;
    QMessageBox::StandardButton m_answer;
    QStringList m_texts;
};
