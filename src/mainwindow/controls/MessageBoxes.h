#pragma once

#include "store/Prompts.h"

#include <QString>

class QWidget;

// The standard message boxes of the program: fixed English texts, the application title as caption,
// and a Help button when the message has a help context.
namespace messages {

void error(QWidget* parent, const QString& text, int helpContext = 0);
void warning(QWidget* parent, const QString& text, int helpContext = 0);
void information(QWidget* parent, const QString& text, int helpContext = 0);
// A warning with Yes and No; true for Yes.
bool askYesNo(QWidget* parent, const QString& text, int helpContext = 0);

} // namespace messages

// store::Prompts answered with the message boxes above.
class WidgetPrompts : public store::Prompts
{
public:
    explicit WidgetPrompts(QWidget* parent) : m_parent(parent) {}
    void error(const QString& text, int helpContext = 0) override;
    void warning(const QString& text, int helpContext = 0) override;
    void information(const QString& text, int helpContext = 0) override;
    bool askYesNo(const QString& text, int helpContext = 0) override;

private:
    QWidget* m_parent;
};
