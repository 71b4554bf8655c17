#include "TCurrencyEdit.h"

#include "store/NumberText.h"

#include <QLocale>

TCurrencyEdit::TCurrencyEdit(QWidget* parent) : QLineEdit(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setText(formatValue(0));
    connect(this, &QLineEdit::editingFinished, this, &TCurrencyEdit::reformat);
}

double TCurrencyEdit::value() const
{
    return store::parseLenientNumber(text());
}

void TCurrencyEdit::setValue(double value)
{
    setText(formatValue(value));
}

void TCurrencyEdit::reformat()
{
    setValue(value());
}

QString TCurrencyEdit::formatValue(double value)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(value, 'f', 2);
}
