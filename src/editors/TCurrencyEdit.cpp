#include "TCurrencyEdit.h"

#include "TCalcDlg.h"
#include "TypedKeys.h"

#include <QFocusEvent>
#include <QLocale>

TCurrencyEdit::TCurrencyEdit(QWidget* parent) : TMyBtnEdit(parent)
{
    resize(120, 22);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setToolTip(QStringLiteral("Numeric Field - Enter Number Here"));
    setButtonHint(QStringLiteral("Click here to display a Calculator"));
    showValue();
}

editors::NumberSeparators TCurrencyEdit::separators() const
{
    const QLocale locale;
    const QString decimal = locale.decimalPoint();
    const QString thousands = locale.groupSeparator();
    return {decimal.size() == 1 ? decimal.at(0) : QLatin1Char('.'),
            thousands.size() == 1 ? thousands.at(0) : QLatin1Char(',')};
}

double TCurrencyEdit::value() const
{
    if (text() == m_shownText)
        return m_value;
    return editors::readMoneyText(text(), separators()).value_or(m_value);
}

void TCurrencyEdit::setValue(double value)
{
    // Always shown again, so that loading a record over an edited text replaces that text.
    m_value = value;
    showValue();
}

void TCurrencyEdit::setDisplayFormat(const QString& format)
{
    if (format == m_displayFormat)
        return;
    m_displayFormat = format;
    showValue();
}

void TCurrencyEdit::setPlusColor(const QColor& colour)
{
    m_plusColor = colour;
    if (!editors::looksNegative(text()))
        setTextColour(colour);
}

void TCurrencyEdit::setNegColor(const QColor& colour)
{
    m_negColor = colour;
    if (editors::looksNegative(text()))
        setTextColour(colour);
}

QColor TCurrencyEdit::textColour() const
{
    return palette().color(QPalette::Active, QPalette::Text);
}

void TCurrencyEdit::reformat()
{
    readText();
    showValue();
}

void TCurrencyEdit::readText()
{
    const std::optional<double> read = editors::readMoneyText(text(), separators());
    if (!read) {
        editors::KeyBeep::sound();
        return;
    }
    m_value = *read;
}

void TCurrencyEdit::showValue()
{
    m_shownText = editors::formatPicture(m_value, m_displayFormat, separators());
    setText(m_shownText);
    // The colour follows the text now shown, not the one it replaced.
    applySignColour();
}

void TCurrencyEdit::applySignColour()
{
    setTextColour(editors::looksNegative(text()) ? m_negColor : m_plusColor);
}

void TCurrencyEdit::setTextColour(const QColor& colour)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Active, QPalette::Text, colour);
    colours.setColor(QPalette::Inactive, QPalette::Text, colour);
    setPalette(colours);
}

bool TCurrencyEdit::isValidChar(QChar c) const
{
    return c == QChar(8) || c == QLatin1Char('-') || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           c == separators().decimal;
}

void TCurrencyEdit::keyRefused() {}

void TCurrencyEdit::focusOutEvent(QFocusEvent* event)
{
    TMyBtnEdit::focusOutEvent(event);
    if (isFieldChange(event->reason()))
        reformat();
}

void TCurrencyEdit::buttonClick()
{
    const QString saved = text();
    setTextColour(Qt::black);
    TCalcDlg calculator(this, value());
    const bool accepted = calculator.exec() == QDialog::Accepted;
    setFocus();
    if (accepted)
        setText(QString(text()).replace(QLatin1Char('.'), separators().decimal));
    else
        setText(saved);
    reformat();
}
