#include "TFilterEdit.h"

#include "TypedKeys.h"

#include <QKeyEvent>

TFilterEdit::TFilterEdit(QWidget* parent) : QLineEdit(parent)
{
    resize(120, 22);
}

void TFilterEdit::setValidChars(const QString& validChars)
{
    const std::optional<editors::CharacterSet> set = editors::CharacterSet::parse(validChars);
    if (!set)
        return;
    m_validChars = validChars;
    m_set = *set;
    if (m_set.isEmpty())
        return;
    QString kept;
    for (QChar c : text()) {
        if (m_set.contains(c))
            kept.append(c);
    }
    if (kept != text())
        setText(kept);
}

void TFilterEdit::keyPressEvent(QKeyEvent* event)
{
    const std::optional<QChar> typed = editors::typedCharacter(*event);
    if (typed && *typed != QChar(8) && !m_set.isEmpty() && !m_set.contains(*typed)) {
        editors::KeyBeep::sound();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
