#pragma once

#include "mainwindow/controls/MenuItems.h"

#include <functional>
#include <QString>
#include <QStringList>

class QMenu;

namespace store {
class TTemplateList;
}

// The menus through which the record window offers its templates.

// The hooks a template menu of the controls (header, filter bar) needs, bound to a named template list.
controls::TemplateHooks TemplateMenuHooks(store::TTemplateList& list);

// The template button's pop-up: a disabled "Templates For Adding New Records:", "Blank", then the record
// template names in list order. Choosing an item hands its caption to chosen (the button takes it).
void FillNewRecordTemplateMenu(QMenu* menu, const QStringList& names,
                               const std::function<void(const QString& caption)>& chosen);
// A "Replace Record With Template" sub-menu: "Blank", then the names; each item hands its caption to
// replace (the record window's ReplaceWithTemplate).
void FillReplaceTemplateMenu(QMenu* menu, const QStringList& names,
                             const std::function<void(const QString& caption)>& replace);
