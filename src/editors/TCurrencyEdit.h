#pragma once

#include <QLineEdit>

// A money field: shows its value with thousands separators and two decimals (",0.00").
class TCurrencyEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TCurrencyEdit(QWidget* parent = nullptr);

    double value() const;
    void setValue(double value);
    // Shows the value read from the current text in the display format.
    void reformat();

    static QString formatValue(double value);

signals:
    void fontRequested();
    void colorRequested();
};
