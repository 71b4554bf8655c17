#pragma once

#include "store/Prompts.h"

#include <QStringList>

// The user, as a test plays it: every message is noted, and questions are answered Yes or No as set.
class ScriptedPrompts : public store::Prompts
{
public:
    void error(const QString& text, int) override { messages.append(QStringLiteral("error: ") + text); }
    void warning(const QString& text, int) override { messages.append(QStringLiteral("warning: ") + text); }
    void information(const QString& text, int) override { messages.append(QStringLiteral("information: ") + text); }
    bool askYesNo(const QString& text, int) override
    {
        messages.append(QStringLiteral("question: ") + text);
        return answerYes;
    }

    QStringList messages;
    bool answerYes = false;
};
