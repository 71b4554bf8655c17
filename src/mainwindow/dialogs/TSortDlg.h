#pragma once

#include "mainwindow/controls/FieldInfo.h"
#include "settings/SortSettings.h"

#include <QDialog>
#include <QList>

class QComboBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

// "Sort Options": the primary sort field ("Entry Order" or a field) and the secondary one ("NONE" or a
// field), each with its order. Memo and picture fields are not offered.
//
// After every change: the secondary field becomes "NONE" under entry order or when it names the primary
// field; "NONE" sorts ascending; two text fields sort the same way, the primary's, so the secondary order
// is then disabled. The caller reads sortSettings() after OK.
class TSortDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int helpContext = 22;

    // fields in field order, as the sort bar has them; sort is shown as it stands.
    TSortDlg(const controls::FieldList& fields, const settings::SortSettings& sort,
             QWidget* parent = nullptr);

    // The chosen columns (0 for "Entry Order" and "NONE") and orders.
    settings::SortSettings sortSettings() const;

    QComboBox* PrimaryField;
    QComboBox* SecondaryField;
    QGroupBox* PrimaryOrder;
    QRadioButton* PrimaryAscending;
    QRadioButton* PrimaryDescending;
    QGroupBox* SecondaryOrder;
    QRadioButton* SecondaryAscending;
    QRadioButton* SecondaryDescending;
    QPushButton* OkButton;
    QPushButton* CancelButton;
    QPushButton* HelpButton;

private:
    // The column a combo box names: 0 for its first item.
    int chosenColumn(const QComboBox* box) const;
    void choose(QComboBox* box, int column);
    bool isTextColumn(int column) const;
    void applyRules();

    controls::FieldList m_fields;
    QList<int> m_columns; // the column of each item after the first
};
