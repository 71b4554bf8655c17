#pragma once

#include <optional>
#include <QChar>
#include <QObject>

class QKeyEvent;

namespace editors {

// The character a key press types into an edit, backspace included; nothing for keys that type
// nothing (caret keys, Delete, Enter, shortcuts with Ctrl).
std::optional<QChar> typedCharacter(const QKeyEvent& event);

// The beep of a refused key or an unreadable number. Anyone may listen to it.
class KeyBeep : public QObject
{
    Q_OBJECT
public:
    static KeyBeep& instance();
    static void sound();

signals:
    void sounded();
};

} // namespace editors
