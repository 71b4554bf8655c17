#include "TemplateMenus.h"

#include "store/TRecordTemplateList.h"
#include "store/TTemplateList.h"

#include <QMenu>

controls::TemplateHooks TemplateMenuHooks(store::TTemplateList& list)
{
    controls::TemplateHooks hooks;
    hooks.names = [&list] { return list.Names(); };
    hooks.load = [&list](const QString& name) { return list.LoadByName(name); };
    hooks.add = [&list](const QString& name) { return list.Add(name); };
    hooks.remove = [&list](const QString& name) { list.Delete(list.IndexOfName(name)); };
    return hooks;
}

namespace {

void addTemplateItems(QMenu* menu, const QStringList& names,
                      const std::function<void(const QString&)>& chosen)
{
    for (const QString& caption : QStringList{store::TRecordTemplateList::BlankName} + names)
        menu->addAction(caption, menu, [chosen, caption] { chosen(caption); });
}

} // namespace

void FillNewRecordTemplateMenu(QMenu* menu, const QStringList& names,
                               const std::function<void(const QString& caption)>& chosen)
{
    controls::ClearMenu(menu);
    menu->addAction(QStringLiteral("Templates For Adding New Records:"))->setEnabled(false);
    addTemplateItems(menu, names, chosen);
}

void FillReplaceTemplateMenu(QMenu* menu, const QStringList& names,
                             const std::function<void(const QString& caption)>& replace)
{
    controls::ClearMenu(menu);
    addTemplateItems(menu, names, replace);
}
