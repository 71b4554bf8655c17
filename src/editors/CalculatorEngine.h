#pragma once

#include <QChar>
#include <QString>

namespace editors {

// The four-function calculator behind the calculator popup: it takes one key at a time (the button
// keys "0"-"9", ".", "C", "_" for the sign, backspace, "+", "-", "*", "/", "%", "=" and carriage
// return) and keeps the display of at most 15 characters.
class CalculatorEngine
{
public:
    enum class Status
    {
        ShowingResult,
        Entering,
        Error
    };
    static constexpr qsizetype displayLimit = 15;
    static constexpr QChar backspaceKey = QChar(8);
    static constexpr QChar carriageReturnKey = QChar(13);
    static constexpr QChar signKey = QLatin1Char('_');

    // Starts showing a value, as after "=".
    explicit CalculatorEngine(long double start = 0);

    void press(QChar key);

    Status status() const { return m_status; }
    const QString& display() const { return m_display; }
    bool isNegative() const { return m_negative; }
    // The display as the edit shows it: a "-" in front of a negative number.
    QString text() const;

private:
    void startNumberIfNeeded();
    void applyOperator(QChar key);
    void showResult(long double result);
    void showError();
    long double shownValue() const;

    Status m_status = Status::ShowingResult;
    QString m_display = QStringLiteral("0");
    bool m_negative = false;
    QChar m_pendingOperator = QLatin1Char('=');
    long double m_operand = 0;
};

} // namespace editors
