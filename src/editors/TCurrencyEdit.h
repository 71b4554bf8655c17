#pragma once

#include "MoneyText.h"
#include "TMyBtnEdit.h"

#include <QColor>

// A money field: its value shown with a picture format (",0.00" by default) in one colour for
// positive and another for negative values, read back when the field is left, with a calculator
// behind its button.
class TCurrencyEdit : public TMyBtnEdit
{
    Q_OBJECT
public:
    static inline const QString defaultDisplayFormat = QStringLiteral(",0.00");

    explicit TCurrencyEdit(QWidget* parent = nullptr);

    // The value; while the text has been edited and not yet read back, the value the text reads as.
    double value() const;
    void setValue(double value);
    QString displayFormat() const { return m_displayFormat; }
    void setDisplayFormat(const QString& format);
    QColor plusColor() const { return m_plusColor; }
    void setPlusColor(const QColor& colour);
    QColor negColor() const { return m_negColor; }
    void setNegColor(const QColor& colour);
    // The colour the text is drawn in.
    QColor textColour() const;

    // Reads the text and shows the value in the display format, as leaving the field does.
    void reformat();

signals:
    void fontRequested();
    void colorRequested();

protected:
    bool isValidChar(QChar c) const override;
    void keyRefused() override;
    void buttonClick() override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    editors::NumberSeparators separators() const;
    void readText();
    void showValue();
    void setTextColour(const QColor& colour);
    void applySignColour();

    QString m_displayFormat = defaultDisplayFormat;
    double m_value = 0;
    QColor m_plusColor = QColor(0, 0, 0xFF);
    QColor m_negColor = QColor(0xFF, 0, 0);
    // The text as last formatted; another text means the user is editing.
    QString m_shownText;
};
