#pragma once

#include <functional>
#include <optional>
#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QStringList>
#include <QTimer>

// Answers the input boxes and file dialogs that open while a test runs (message boxes are ModalWatcher's):
// it notes what each one asked and gives the answer set beforehand, or cancels without one.
class ModalAnswers : public QObject
{
public:
    ModalAnswers()
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalAnswers::poll);
        m_timer.start(10);
    }

    void answerInput(const QString& text) { m_input = text; }
    // afterAccept runs once the dialog has taken the answer, before the code that opened it goes on.
    void answerFile(const QString& path, std::function<void()> afterAccept = {})
    {
        m_file = path;
        m_afterAccept = std::move(afterAccept);
    }

    // "<caption>|<prompt>" of each input box.
    const QStringList& inputs() const { return m_inputs; }
    // The name filter each file dialog started with.
    const QStringList& nameFilters() const { return m_nameFilters; }

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal->property("answered").toBool())
            return;
        if (auto* input = qobject_cast<QInputDialog*>(modal)) {
            modal->setProperty("answered", true);
            m_inputs.append(input->windowTitle() + QLatin1Char('|') + input->labelText());
            if (m_input) {
                input->setTextValue(*m_input);
                input->accept();
            } else {
                input->reject();
            }
            m_input.reset();
        } else if (auto* files = qobject_cast<QFileDialog*>(modal)) {
            modal->setProperty("answered", true);
            m_nameFilters.append(files->selectedNameFilter());
            if (m_file) {
                // Typed into the name box: selectFile() leaves the box alone while it has the focus.
                auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                if (name)
                    name->setText(*m_file);
                else
                    files->selectFile(*m_file);
                static_cast<QDialog*>(files)->accept(); // QFileDialog hides it
                if (m_afterAccept)
                    m_afterAccept();
            } else {
                files->reject();
            }
            m_file.reset();
            m_afterAccept = {};
        }
    }

    QTimer m_timer;
    std::optional<QString> m_input;
    std::optional<QString> m_file;
    std::function<void()> m_afterAccept;
    QStringList m_inputs;
    QStringList m_nameFilters;
};
