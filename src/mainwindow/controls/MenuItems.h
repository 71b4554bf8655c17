#pragma once

#include <functional>
#include <QString>
#include <QStringList>

class QMenu;
class QObject;
class QWidget;

namespace controls {

inline constexpr char ErrorLoadingTemplateMessage[] = "Error Loading Template.";
inline constexpr char DuplicateTemplateMessage[] = "Duplicate name - Template Not Saved!";
inline constexpr char TemplateNamePrompt[] = "Template Name:";

// What a menu of named templates needs of its template list. The caller binds these to its list (and,
// for header templates, names the header before each call); the menu only asks and reports.
struct TemplateHooks
{
    std::function<QStringList()> names;              // in list order
    std::function<bool(const QString& name)> load;   // false: the template could not be loaded
    std::function<bool(const QString& name)> add;    // saves the current content; false: not saved
    std::function<void(const QString& name)> remove; // the entry and its content file
};

// Appends "&Load From Template" (unless withLoadAndSave is false), "&Save As Template" (likewise) and
// "&Delete Template". Load and delete list the template names, and are disabled when there are none;
// save asks for the name in an input box captioned saveTitle. Failures show the standard error box over
// dialogParent. afterLoad runs after a template loaded.
void AddTemplateItems(QMenu* menu, QWidget* dialogParent, const TemplateHooks& hooks,
                      const QString& saveTitle, bool withLoadAndSave, const std::function<void()>& afterLoad);

// Empties a menu that is filled anew each time it opens, sub-menus included.
void ClearMenu(QMenu* menu);

// Appends "&Help", which opens the help context the control carries in its "helpContext" property when
// it is not zero.
void AddHelpItem(QMenu* menu, const QObject* control);

} // namespace controls
