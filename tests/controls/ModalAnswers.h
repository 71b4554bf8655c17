#pragma once

#include <optional>
#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
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
    void answerFile(const QString& path) { m_file = path; }

    // "<caption>|<prompt>" of each input box.
    const QStringList& inputs() const { return m_inputs; }
    // The file name each file dialog offered at first.
    const QStringList& fileNames() const { return m_fileNames; }

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
            const QList<QLineEdit*> edits = files->findChildren<QLineEdit*>();
            m_fileNames.append(edits.isEmpty() ? QString() : edits.constFirst()->text());
            if (m_file) {
                files->selectFile(*m_file);
                static_cast<QDialog*>(files)->accept(); // QFileDialog hides it
            } else {
                files->reject();
            }
            m_file.reset();
        }
    }

    QTimer m_timer;
    std::optional<QString> m_input;
    std::optional<QString> m_file;
    QStringList m_inputs;
    QStringList m_fileNames;
};
