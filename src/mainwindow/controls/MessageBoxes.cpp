#include "MessageBoxes.h"

#include "HelpPages.h"
#include "store/ProgramTexts.h"

#include <QMessageBox>
#include <QPushButton>

namespace messages {

namespace {

QMessageBox::StandardButton show(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                 int helpContext, QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, store::applicationTitle, text, buttons, parent);
    if (helpContext > 0) {
        // Help answers without closing the box, as a help button should.
        QPushButton* help = box.addButton(QMessageBox::Help);
        help->disconnect();
        QObject::connect(help, &QPushButton::clicked, [helpContext] { help::showContext(helpContext); });
    }
    box.setProperty("helpContext", helpContext);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

void error(QWidget* parent, const QString& text, int helpContext)
{
    show(parent, QMessageBox::Critical, text, helpContext, QMessageBox::Ok);
}

void warning(QWidget* parent, const QString& text, int helpContext)
{
    show(parent, QMessageBox::Warning, text, helpContext, QMessageBox::Ok);
}

void information(QWidget* parent, const QString& text, int helpContext)
{
    show(parent, QMessageBox::Information, text, helpContext, QMessageBox::Ok);
}

bool askYesNo(QWidget* parent, const QString& text, int helpContext)
{
    return show(parent, QMessageBox::Warning, text, helpContext, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

} // namespace messages

void WidgetPrompts::error(const QString& text, int helpContext)
{
    messages::error(m_parent, text, helpContext);
}

void WidgetPrompts::warning(const QString& text, int helpContext)
{
    messages::warning(m_parent, text, helpContext);
}

void WidgetPrompts::information(const QString& text, int helpContext)
{
    messages::information(m_parent, text, helpContext);
}

bool WidgetPrompts::askYesNo(const QString& text, int helpContext)
{
    return messages::askYesNo(m_parent, text, helpContext);
}
