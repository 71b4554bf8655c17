#pragma once

#include "settings/ColorScheme.h"

#include <QDialog>
#include <QStringList>

class QButtonGroup;
class TPaletteGrid;

// "Set Colors": one item per colour slot of a group (consecutive slots from the first one), and the
// palette grid. A click on a colour gives the selected item's slot that palette index at once; Cancel
// puts back every slot of the scheme as it was when the dialog opened.
class TColorDlg : public QDialog
{
    Q_OBJECT

public:
    static QStringList defaultItems();

    TColorDlg(settings::ColorSlots& scheme, int firstSlot, const QString& groupCaption,
              const QStringList& items, QWidget* parent = nullptr);

    int selectedItem() const;
    void selectItem(int item);
    TPaletteGrid* grid() const { return m_grid; }
    // Whether any slot of the group differs from when the dialog opened.
    bool groupChanged() const;

public slots:
    void reject() override;

private:
    void chooseColor(int paletteIndex);
    void showSelectedSlot();

    settings::ColorSlots& m_scheme;
    const settings::ColorSlots m_original;
    const int m_firstSlot;
    const int m_itemCount;
    QButtonGroup* m_items;
    TPaletteGrid* m_grid;
};
