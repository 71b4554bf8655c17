#pragma once

#include "FieldInfo.h"
#include "MenuItems.h"
#include "settings/SortSettings.h"

#include <QPixmap>
#include <QWidget>

class QMenu;
class TNoFocusBitBtn;

// The sort and filter bar above the record list: three parts side by side, the primary sort field (a
// third of the width), the secondary sort field (a third) and the filter scope (the rest). A left click
// on a sort part emits clicked(), on the filter part filterClicked(); a right click opens the part's
// menu.
//
// The menus offer what the caller gave: the fields (setFields), the sort settings in force
// (ShowSortSettings) and the filter templates (setFilterTemplates). Choosing a sort field or direction
// does not change the bar: it emits the settings the choice leads to, and the record window takes a
// copy of its own settings (to revert to), puts the new ones in force and applies them, then shows them
// here again through ShowSortSettings.
class TSortButton : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Label1 READ Label1 WRITE setLabel1)
    Q_PROPERTY(QString Label2 READ Label2 WRITE setLabel2)
    Q_PROPERTY(QString Hint1 READ Hint1 WRITE setHint1)
    Q_PROPERTY(QString Hint2 READ Hint2 WRITE setHint2)
    Q_PROPERTY(QString Hint3 READ Hint3 WRITE setHint3)
    Q_PROPERTY(bool IsDown1 READ IsDown1 WRITE setIsDown1)
    Q_PROPERTY(bool IsDown2 READ IsDown2 WRITE setIsDown2)
    Q_PROPERTY(QPixmap DownBmp READ DownBmp WRITE setDownBmp)
    Q_PROPERTY(QPixmap UpBmp READ UpBmp WRITE setUpBmp)
    Q_PROPERTY(QPixmap FilterBmp READ FilterBmp WRITE setFilterBmp)
    Q_PROPERTY(int FilterState READ FilterState WRITE setFilterState)
    Q_PROPERTY(int helpContext READ helpContext WRITE setHelpContext)

public:
    // The filter scopes, as the filter part shows them.
    enum Scope
    {
        AllRecords = 0,
        NormalFilter = 1,
        ReversedFilter = 2
    };
    static QString scopeText(int scope);

    explicit TSortButton(QWidget* parent = nullptr);

    QString Label1() const;
    void setLabel1(const QString& label);
    QString Label2() const;
    void setLabel2(const QString& label);
    QString Hint1() const;
    void setHint1(const QString& hint);
    QString Hint2() const;
    void setHint2(const QString& hint);
    QString Hint3() const;
    void setHint3(const QString& hint);
    bool IsDown1() const { return m_isDown1; }
    void setIsDown1(bool down);
    bool IsDown2() const { return m_isDown2; }
    void setIsDown2(bool down);
    QPixmap DownBmp() const { return m_downBmp; }
    void setDownBmp(const QPixmap& glyph);
    QPixmap UpBmp() const { return m_upBmp; }
    void setUpBmp(const QPixmap& glyph);
    QPixmap FilterBmp() const { return m_filterBmp; }
    void setFilterBmp(const QPixmap& glyph);
    int FilterState() const { return m_filterState; }
    // Values outside the three scopes are ignored.
    void setFilterState(int state);
    int helpContext() const { return m_helpContext; }
    void setHelpContext(int context) { m_helpContext = context; }

    // Both captions and both directions at once.
    void SetLabels(const QString& label1, bool isDown1, const QString& label2, bool isDown2);

    // The record fields the sort menus list.
    void setFields(const controls::FieldList& fields);
    const controls::FieldList& fields() const { return m_fields; }
    // The sort settings in force: the menus start from them, and the captions ("Entry Order", "NONE" or
    // the field captions) and directions show them.
    void ShowSortSettings(const settings::SortSettings& sort);
    const settings::SortSettings& sortSettings() const { return m_sort; }
    // Loading and saving filter templates are offered only while quickFilter() has a receiver.
    void setFilterTemplates(const controls::TemplateHooks& hooks) { m_filterTemplates = hooks; }

    TNoFocusBitBtn* primaryPart() const { return m_parts[0]; }
    TNoFocusBitBtn* secondaryPart() const { return m_parts[1]; }
    TNoFocusBitBtn* filterPart() const { return m_parts[2]; }
    QMenu* primaryMenu() const { return m_menus[0]; }
    QMenu* secondaryMenu() const { return m_menus[1]; }
    QMenu* filterMenu() const { return m_menus[2]; }
    // Opens a part's menu below the part (the window's F6, F7 and F8).
    void popupPrimaryMenu() { popupBelow(0); }
    void popupSecondaryMenu() { popupBelow(1); }
    void popupFilterMenu() { popupBelow(2); }

    QSize sizeHint() const override { return {300, 20}; }

signals:
    void clicked();
    void filterClicked();
    void filterMenuClicked();
    void sortByClicked(const settings::SortSettings& chosen);
    void sort1MenuClicked(const settings::SortSettings& chosen);
    void sort2MenuClicked(const settings::SortSettings& chosen);
    void quickFilter();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutParts();
    void popupBelow(int part);
    void showGlyphs();
    void fillPrimaryMenu();
    void fillSecondaryMenu();
    void fillFilterMenu();
    bool isTextColumn(int column) const;
    QString columnCaption(int column) const;
    void addFieldItems(QMenu* fieldMenu, int checkedColumn, int disabledColumn,
                       const std::function<void(int column)>& chosen);
    void addDirectionItems(QMenu* directionMenu, bool descending, const std::function<void(bool)>& chosen);
    void applyDirectionRule(settings::SortSettings& sort) const;

    TNoFocusBitBtn* m_parts[3] = {};
    QMenu* m_menus[3] = {};
    bool m_isDown1 = true;
    bool m_isDown2 = false;
    QPixmap m_downBmp;
    QPixmap m_upBmp;
    QPixmap m_filterBmp;
    int m_filterState = AllRecords;
    int m_helpContext = 0;

    controls::FieldList m_fields;
    settings::SortSettings m_sort;
    controls::TemplateHooks m_filterTemplates;
};
