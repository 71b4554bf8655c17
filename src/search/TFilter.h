#pragma once

#include <QString>
#include <QStringList>

namespace search {

// One condition of a filter: a field, an operator and its values.
struct TFilter
{
    enum Kind : quint8
    {
        TextKind = 1,
        IntegerKind = 3,
        FloatKind = 6,
        CurrencyKind = 7,
        DecimalKind = 8,
        DateKind = 9
    };
    enum Operator : quint8
    {
        Less = 0,
        LessOrEqual = 1,
        Equal = 2,
        GreaterOrEqual = 3,
        Greater = 4,
        Between = 5,
        OneOf = 6
    };

    quint8 FieldPos = 0; // the table column
    quint8 FieldKind = TextKind;
    bool Undefined = true;
    quint8 Operator = Equal;
    QString Value1;
    QString Value2;
    QStringList Values;

    // Derived by Prepare, never stored.
    bool HasNumbers = false;
    double Number1 = 0;
    double Number2 = 0;
    bool HasDates = false;
    double Date1 = 0;
    double Date2 = 0;

    // Upper-cases the values and reads them ahead as numbers or dates where the operator allows.
    void Prepare(int dateFormat);

    bool MatchesText(const QString& value) const;
    bool MatchesNumber(double value) const;
    bool MatchesDate(double value, int dateFormat) const;
};

} // namespace search
