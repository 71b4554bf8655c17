#include "TColorDlg.h"

#include "TPaletteGrid.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

QStringList TColorDlg::defaultItems()
{
    return {QStringLiteral("Text Color"), QStringLiteral("Bgnd Color")};
}

TColorDlg::TColorDlg(settings::ColorSlots& scheme, int firstSlot, const QString& groupCaption,
                     const QStringList& items, QWidget* parent)
    : QDialog(parent), m_scheme(scheme), m_original(scheme), m_firstSlot(firstSlot),
      m_itemCount(static_cast<int>(std::min<qsizetype>(items.size(), settings::ColorSlotCount - firstSlot))),
      m_items(new QButtonGroup(this)), m_grid(new TPaletteGrid)
{
    setWindowTitle(QStringLiteral("Set Colors"));
    auto* group = new QGroupBox(groupCaption);
    group->setObjectName(QStringLiteral("ColorItems"));
    auto* itemsLayout = new QVBoxLayout(group);
    for (int i = 0; i < m_itemCount; ++i) {
        auto* item = new QRadioButton(items[i]);
        m_items->addButton(item, i);
        itemsLayout->addWidget(item);
    }
    itemsLayout->addStretch();

    auto* colors = new QVBoxLayout;
    auto* colorsLabel = new QLabel(QStringLiteral("Colors:"));
    colorsLabel->setBuddy(m_grid);
    colors->addWidget(colorsLabel);
    colors->addWidget(m_grid);
    colors->addStretch();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("&Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TColorDlg::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(group, 1);
    top->addLayout(colors);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);

    connect(m_items, &QButtonGroup::idClicked, this, [this] { showSelectedSlot(); });
    connect(m_grid, &TPaletteGrid::cellClicked, this, &TColorDlg::chooseColor);
    selectItem(0);
}

int TColorDlg::selectedItem() const
{
    return m_items->checkedId();
}

void TColorDlg::selectItem(int item)
{
    if (QAbstractButton* button = m_items->button(item))
        button->setChecked(true);
    showSelectedSlot();
}

void TColorDlg::showSelectedSlot()
{
    const int item = selectedItem();
    m_grid->setChosenIndex(item < 0 ? -1 : m_scheme[static_cast<size_t>(m_firstSlot + item)]);
}

void TColorDlg::chooseColor(int paletteIndex)
{
    const int item = selectedItem();
    if (item < 0)
        return;
    m_scheme[static_cast<size_t>(m_firstSlot + item)] = static_cast<quint8>(paletteIndex);
    m_grid->setChosenIndex(paletteIndex);
}

bool TColorDlg::groupChanged() const
{
    for (int i = 0; i < m_itemCount; ++i) {
        const auto slot = static_cast<size_t>(m_firstSlot + i);
        if (m_scheme[slot] != m_original[slot])
            return true;
    }
    return false;
}

void TColorDlg::reject()
{
    m_scheme = m_original;
    QDialog::reject();
}
