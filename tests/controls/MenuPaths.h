#pragma once

#include <QAction>
#include <QMenu>
#include <QStringList>

// Looking items up in menus by their captions, as a user reads them.

inline QStringList itemTexts(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        if (action->isVisible())
            texts.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return texts;
}

// The item at the end of a path of captions ("&Sort Direction", "Descending"); nullptr when missing.
inline QAction* findItem(const QMenu* menu, const QStringList& path)
{
    QAction* found = nullptr;
    for (const QString& caption : path) {
        if (!menu)
            return nullptr;
        found = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->text() == caption) {
                found = action;
                break;
            }
        }
        if (!found)
            return nullptr;
        menu = found->menu();
    }
    return found;
}

inline QMenu* subMenu(const QMenu* menu, const QString& caption)
{
    QAction* item = findItem(menu, {caption});
    return item ? item->menu() : nullptr;
}
