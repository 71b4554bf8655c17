#pragma once

#include <QString>

namespace store {

// The questions and messages that logic of the record store puts to the user. The record window answers
// them with message boxes; tests answer them from a script.
class Prompts
{
public:
    virtual ~Prompts() = default;
    virtual void error(const QString& text, int helpContext = 0) = 0;
    virtual void warning(const QString& text, int helpContext = 0) = 0;
    virtual void information(const QString& text, int helpContext = 0) = 0;
    // A warning with Yes and No; true for Yes.
    virtual bool askYesNo(const QString& text, int helpContext = 0) = 0;
};

} // namespace store
