#include "TypedKeys.h"

#include <QApplication>
#include <QKeyEvent>

namespace editors {

std::optional<QChar> typedCharacter(const QKeyEvent& event)
{
    if (event.key() == Qt::Key_Backspace)
        return QChar(8);
    // Ctrl with a letter is a shortcut; Ctrl with Alt is how some keyboards type their third level.
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (modifiers.testFlag(Qt::ControlModifier) && !modifiers.testFlag(Qt::AltModifier))
        return std::nullopt;
    const QString text = event.text();
    if (text.size() != 1)
        return std::nullopt;
    const QChar c = text.at(0);
    if (c.unicode() < 0x20 || c.unicode() == 0x7f)
        return std::nullopt;
    return c;
}

KeyBeep& KeyBeep::instance()
{
    static KeyBeep beep;
    return beep;
}

void KeyBeep::sound()
{
    QApplication::beep();
    emit instance().sounded();
}

} // namespace editors
