#include "TSortDlg.h"

#include "mainwindow/controls/HelpPages.h"
#include "store/DatabaseFolder.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

QGroupBox* orderGroup(QRadioButton*& ascending, QRadioButton*& descending)
{
    auto* group = new QGroupBox(QStringLiteral("Sort Order"));
    ascending = new QRadioButton(QStringLiteral("Ascending"));
    descending = new QRadioButton(QStringLiteral("Descending"));
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(ascending);
    layout->addWidget(descending);
    return group;
}

QWidget* fieldChoice(const QString& caption, QComboBox* box, QGroupBox* order)
{
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(caption);
    label->setBuddy(box);
    layout->addWidget(label);
    layout->addWidget(box);
    layout->addWidget(order);
    layout->addStretch();
    return column;
}

} // namespace

TSortDlg::TSortDlg(const controls::FieldList& fields, const settings::SortSettings& sort, QWidget* parent)
    : QDialog(parent), PrimaryField(new QComboBox), SecondaryField(new QComboBox),
      PrimaryOrder(orderGroup(PrimaryAscending, PrimaryDescending)),
      SecondaryOrder(orderGroup(SecondaryAscending, SecondaryDescending)),
      OkButton(new QPushButton(QStringLiteral("&OK"))),
      CancelButton(new QPushButton(QStringLiteral("&Cancel"))),
      HelpButton(new QPushButton(QStringLiteral("&Help"))), m_fields(fields)
{
    setObjectName(QStringLiteral("SortDlg"));
    setWindowTitle(QStringLiteral("Sort Options"));
    setProperty("helpContext", helpContext);
    PrimaryField->setObjectName(QStringLiteral("PrimaryField"));
    SecondaryField->setObjectName(QStringLiteral("SecondaryField"));

    PrimaryField->addItem(QStringLiteral("Entry Order"));
    SecondaryField->addItem(QStringLiteral("NONE"));
    for (int i = 0; i < m_fields.size(); ++i) {
        if (!controls::canBeColumnOrSortField(m_fields[i].kind))
            continue;
        m_columns.append(i + store::FirstFieldOffset);
        PrimaryField->addItem(m_fields[i].caption);
        SecondaryField->addItem(m_fields[i].caption);
    }
    choose(PrimaryField, sort.primaryColumn);
    choose(SecondaryField, sort.secondaryColumn);
    (sort.primaryDescending ? PrimaryDescending : PrimaryAscending)->setChecked(true);
    (sort.secondaryDescending ? SecondaryDescending : SecondaryAscending)->setChecked(true);

    auto* choices = new QHBoxLayout;
    choices->addWidget(fieldChoice(QStringLiteral("Primary Sort Field:"), PrimaryField, PrimaryOrder));
    choices->addWidget(fieldChoice(QStringLiteral("Secondary Sort Field:"), SecondaryField, SecondaryOrder));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {OkButton, CancelButton, HelpButton}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    OkButton->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addLayout(buttons);

    connect(PrimaryField, &QComboBox::currentIndexChanged, this, &TSortDlg::applyRules);
    connect(SecondaryField, &QComboBox::currentIndexChanged, this, &TSortDlg::applyRules);
    connect(PrimaryDescending, &QRadioButton::toggled, this, &TSortDlg::applyRules);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpButton, &QPushButton::clicked, this, [] { help::showContext(helpContext); });
    applyRules();
}

int TSortDlg::chosenColumn(const QComboBox* box) const
{
    const int item = box->currentIndex();
    return item > 0 ? m_columns.value(item - 1) : 0;
}

void TSortDlg::choose(QComboBox* box, int column)
{
    const int item = static_cast<int>(m_columns.indexOf(column));
    box->setCurrentIndex(column >= store::FirstFieldOffset && item >= 0 ? item + 1 : 0);
}

bool TSortDlg::isTextColumn(int column) const
{
    const int field = column - store::FirstFieldOffset;
    return field >= 0 && field < m_fields.size() && m_fields[field].kind == controls::FieldKind::Text;
}

void TSortDlg::applyRules()
{
    const QSignalBlocker blockSecondary(SecondaryField);
    const int primary = chosenColumn(PrimaryField);
    if (primary == 0 || chosenColumn(SecondaryField) == primary)
        SecondaryField->setCurrentIndex(0);
    const int secondary = chosenColumn(SecondaryField);
    if (secondary == 0) {
        SecondaryAscending->setChecked(true);
        SecondaryOrder->setEnabled(false);
    } else if (isTextColumn(primary) && isTextColumn(secondary)) {
        (PrimaryDescending->isChecked() ? SecondaryDescending : SecondaryAscending)->setChecked(true);
        SecondaryOrder->setEnabled(false);
    } else {
        SecondaryOrder->setEnabled(true);
    }
}

settings::SortSettings TSortDlg::sortSettings() const
{
    return {static_cast<quint8>(chosenColumn(PrimaryField)), PrimaryDescending->isChecked(),
            static_cast<quint8>(chosenColumn(SecondaryField)), SecondaryDescending->isChecked()};
}
