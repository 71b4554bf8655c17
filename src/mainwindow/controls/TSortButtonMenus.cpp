// The three menus of the sort bar, filled anew each time one opens.
#include "store/DatabaseFolder.h"
#include "TSortButton.h"

#include <QMenu>
#include <QMetaMethod>

namespace {

constexpr int entryOrder = 0; // a column below the first field's: entry order, or no secondary field

QAction* addChoice(QMenu* menu, const QString& text, bool checked, bool enabled)
{
    QAction* action = menu->addAction(text);
    action->setCheckable(true);
    action->setChecked(checked);
    action->setEnabled(enabled);
    return action;
}

} // namespace

void TSortButton::applyDirectionRule(settings::SortSettings& sort) const
{
    if (isTextColumn(sort.primaryColumn) && isTextColumn(sort.secondaryColumn))
        sort.secondaryDescending = sort.primaryDescending;
}

void TSortButton::addFieldItems(QMenu* fieldMenu, int checkedColumn, int disabledColumn,
                                const std::function<void(int column)>& chosen)
{
    for (int i = 0; i < m_fields.size(); ++i) {
        const int column = i + store::FirstFieldOffset;
        const bool enabled = controls::canBeColumnOrSortField(m_fields[i].kind) && column != disabledColumn;
        QAction* item = addChoice(fieldMenu, m_fields[i].caption, column == checkedColumn, enabled);
        connect(item, &QAction::triggered, this, [chosen, column] { chosen(column); });
    }
}

void TSortButton::addDirectionItems(QMenu* directionMenu, bool descending,
                                    const std::function<void(bool)>& chosen)
{
    QAction* ascending = addChoice(directionMenu, QStringLiteral("Ascending"), !descending, true);
    QAction* descendingItem = addChoice(directionMenu, QStringLiteral("Descending"), descending, true);
    connect(ascending, &QAction::triggered, this, [chosen] { chosen(false); });
    connect(descendingItem, &QAction::triggered, this, [chosen] { chosen(true); });
}

void TSortButton::fillPrimaryMenu()
{
    QMenu* menu = m_menus[0];
    controls::ClearMenu(menu);
    const int current = m_sort.primaryColumn < store::FirstFieldOffset ? entryOrder : m_sort.primaryColumn;

    auto choose = [this, current](int column) {
        if (column == current)
            return;
        settings::SortSettings sort = m_sort;
        sort.primaryColumn = static_cast<quint8>(column);
        if (column == entryOrder || sort.secondaryColumn == column)
            sort.secondaryColumn = entryOrder;
        applyDirectionRule(sort);
        emit sortByClicked(sort);
    };
    QMenu* fields = menu->addMenu(QStringLiteral("&Primary Sort Field"));
    QAction* entry = addChoice(fields, QStringLiteral("Entry Order"), current == entryOrder, true);
    connect(entry, &QAction::triggered, this, [choose] { choose(entryOrder); });
    addFieldItems(fields, current, -1, choose);

    QMenu* direction = menu->addMenu(QStringLiteral("&Sort Direction"));
    addDirectionItems(direction, m_isDown1, [this](bool descending) {
        if (descending == m_isDown1)
            return;
        settings::SortSettings sort = m_sort;
        sort.primaryDescending = descending;
        applyDirectionRule(sort);
        emit sort1MenuClicked(sort);
    });
    menu->addSeparator();
    controls::AddHelpItem(menu, this);
}

void TSortButton::fillSecondaryMenu()
{
    QMenu* menu = m_menus[1];
    controls::ClearMenu(menu);
    const int current =
        m_sort.secondaryColumn < store::FirstFieldOffset ? entryOrder : m_sort.secondaryColumn;
    const bool primaryIsEntryOrder = m_sort.primaryColumn < store::FirstFieldOffset;

    auto choose = [this, current](int column) {
        if (column == current)
            return;
        settings::SortSettings sort = m_sort;
        sort.secondaryColumn = static_cast<quint8>(column);
        applyDirectionRule(sort);
        emit sortByClicked(sort);
    };
    QMenu* fields = menu->addMenu(QStringLiteral("&Secondary Sort Field"));
    QAction* none = addChoice(fields, QStringLiteral("NONE"), current == entryOrder, true);
    connect(none, &QAction::triggered, this, [choose] { choose(entryOrder); });
    addFieldItems(fields, current, primaryIsEntryOrder ? -1 : m_sort.primaryColumn, choose);

    QMenu* direction = menu->addMenu(QStringLiteral("Sort &Direction"));
    addDirectionItems(direction, m_isDown2, [this](bool descending) {
        if (descending == m_isDown2 || m_sort.secondaryColumn < store::FirstFieldOffset)
            return;
        settings::SortSettings sort = m_sort;
        sort.secondaryDescending = descending;
        emit sort2MenuClicked(sort);
    });
    // With two text fields the secondary direction follows the primary one.
    const bool followsPrimary = isTextColumn(m_sort.primaryColumn) && isTextColumn(m_sort.secondaryColumn);
    for (QAction* item : direction->actions()) {
        if (primaryIsEntryOrder || (followsPrimary && !item->isChecked()))
            item->setEnabled(false);
    }
    direction->menuAction()->setEnabled(current != entryOrder);
    menu->addSeparator();
    controls::AddHelpItem(menu, this);
}

void TSortButton::fillFilterMenu()
{
    QMenu* menu = m_menus[2];
    controls::ClearMenu(menu);
    const QString scopeItems[] = {QStringLiteral("&All Records"), QStringLiteral("&Normal Filter"),
                                  QStringLiteral("&Reversed Filter")};
    for (int scope = AllRecords; scope <= ReversedFilter; ++scope) {
        QAction* item = menu->addAction(scopeItems[scope]);
        item->setEnabled(scope != m_filterState);
        connect(item, &QAction::triggered, this, [this, scope] {
            setFilterState(scope);
            emit filterMenuClicked();
        });
    }
    menu->addSeparator();
    const bool quickFilterHandled = isSignalConnected(QMetaMethod::fromSignal(&TSortButton::quickFilter));
    controls::AddTemplateItems(menu, this, m_filterTemplates, QStringLiteral("Save Filter As Template"),
                               quickFilterHandled, [this] { emit quickFilter(); });
    menu->addSeparator();
    controls::AddHelpItem(menu, this);
}
