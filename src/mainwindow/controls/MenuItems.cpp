#include "MenuItems.h"

#include "HelpPages.h"
#include "MessageBoxes.h"

#include <QInputDialog>
#include <QMenu>
#include <QPointer>

namespace controls {

namespace {

QStringList templateNames(const TemplateHooks& hooks)
{
    return hooks.names ? hooks.names() : QStringList();
}

// A sub-menu with one item per template name; choosing an item hands its name to chosen.
void addNameMenu(QMenu* menu, const QString& title, const QStringList& names,
                 const std::function<void(const QString&)>& chosen)
{
    QMenu* sub = menu->addMenu(title);
    for (const QString& name : names)
        sub->addAction(name, sub, [chosen, name] { chosen(name); });
    sub->menuAction()->setEnabled(!names.isEmpty());
}

} // namespace

void AddTemplateItems(QMenu* menu, QWidget* dialogParent, const TemplateHooks& hooks,
                      const QString& saveTitle, bool withLoadAndSave, const std::function<void()>& afterLoad)
{
    const QStringList names = templateNames(hooks);
    // The menu may outlive a parent that goes away while it is open.
    QPointer<QWidget> parent(dialogParent);
    if (withLoadAndSave) {
        addNameMenu(menu, QStringLiteral("&Load From Template"), hooks.load ? names : QStringList(),
                    [hooks, parent, afterLoad](const QString& name) {
                        if (!hooks.load(name)) {
                            messages::error(parent, QString::fromLatin1(ErrorLoadingTemplateMessage));
                            return;
                        }
                        if (afterLoad)
                            afterLoad();
                    });
        QAction* save =
            menu->addAction(QStringLiteral("&Save As Template"), menu, [hooks, parent, saveTitle] {
                bool ok = false;
                const QString name =
                    QInputDialog::getText(parent, saveTitle, QString::fromLatin1(TemplateNamePrompt),
                                          QLineEdit::Normal, QString(), &ok);
                if (!ok || name.isEmpty())
                    return;
                if (!hooks.add(name))
                    messages::error(parent, QString::fromLatin1(DuplicateTemplateMessage));
            });
        save->setEnabled(static_cast<bool>(hooks.add));
    }
    addNameMenu(menu, QStringLiteral("&Delete Template"), hooks.remove ? names : QStringList(),
                [hooks](const QString& name) { hooks.remove(name); });
}

void ClearMenu(QMenu* menu)
{
    // Sub-menus are children of the menu, not actions it owns, so clear() alone would keep them.
    for (QMenu* sub : menu->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly)) {
        sub->setParent(nullptr);
        sub->deleteLater();
    }
    menu->clear();
}

void AddHelpItem(QMenu* menu, const QObject* control)
{
    QPointer<const QObject> source(control);
    menu->addAction(QStringLiteral("&Help"), menu, [source] {
        const int context = source ? source->property("helpContext").toInt() : 0;
        if (context != 0)
            help::showContext(context);
    });
}

} // namespace controls
