#include "CalculatorEngine.h"

#include <array>
#include <charconv>
#include <cmath>

namespace editors {

namespace {

constexpr int resultDecimals = 10;
// A result this long in fixed notation has an integer part of 16 digits or more.
constexpr qsizetype unshowableLength = 27;

QString fixedText(long double value, int decimals)
{
    std::array<char, 64> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::fixed, decimals);
    if (error != std::errc())
        return {};
    return QString::fromLatin1(buffer.data(), end - buffer.data());
}

QString trimmedFraction(QString text)
{
    if (!text.contains(QLatin1Char('.')))
        return text;
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

qsizetype integerDigits(const QString& text)
{
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    return point < 0 ? text.size() : point;
}

} // namespace

CalculatorEngine::CalculatorEngine(long double start)
{
    showResult(start);
    m_operand = shownValue();
}

QString CalculatorEngine::text() const
{
    return m_negative && m_status != Status::Error ? QLatin1Char('-') + m_display : m_display;
}

void CalculatorEngine::press(QChar key)
{
    key = key.toUpper();
    if (m_status == Status::Error && key != QLatin1Char('C'))
        return;
    switch (key.unicode()) {
    case 'C':
        m_status = Status::ShowingResult;
        m_display = QStringLiteral("0");
        m_negative = false;
        m_pendingOperator = QLatin1Char('=');
        return;
    case '.':
        startNumberIfNeeded();
        if (!m_display.contains(QLatin1Char('.')) && m_display.size() < displayLimit)
            m_display.append(key);
        return;
    case 8:
        startNumberIfNeeded();
        if (m_display.size() == 1)
            m_display = QStringLiteral("0");
        else
            m_display.chop(1);
        return;
    case '_':
        m_negative = !m_negative;
        return;
    case '+':
    case '-':
    case '*':
    case '/':
    case '=':
    case '%':
    case 13:
        applyOperator(key);
        return;
    default:
        if (key >= QLatin1Char('0') && key <= QLatin1Char('9')) {
            startNumberIfNeeded();
            if (m_display == QLatin1String("0"))
                m_display.clear();
            if (m_display.size() < displayLimit)
                m_display.append(key);
        }
    }
}

void CalculatorEngine::startNumberIfNeeded()
{
    if (m_status != Status::ShowingResult)
        return;
    m_status = Status::Entering;
    m_display = QStringLiteral("0");
    m_negative = false;
}

void CalculatorEngine::applyOperator(QChar key)
{
    if (m_status == Status::Entering) {
        m_status = Status::ShowingResult;
        long double value = shownValue();
        const QChar pending = m_pendingOperator;
        if (key == QLatin1Char('%')) {
            if (pending == QLatin1Char('*') || pending == QLatin1Char('/'))
                value *= 0.01L;
            else if (pending == QLatin1Char('+') || pending == QLatin1Char('-'))
                value = m_operand * value * 0.01L;
        }
        long double result = value;
        if (pending == QLatin1Char('+')) {
            result = m_operand + value;
        } else if (pending == QLatin1Char('-')) {
            result = m_operand - value;
        } else if (pending == QLatin1Char('*')) {
            result = m_operand * value;
        } else if (pending == QLatin1Char('/')) {
            if (value == 0) {
                showError();
                return;
            }
            result = m_operand / value;
        }
        showResult(result);
        if (m_status == Status::Error)
            return;
    }
    m_pendingOperator = key;
    m_operand = shownValue();
}

void CalculatorEngine::showResult(long double result)
{
    if (!std::isfinite(result)) {
        showError();
        return;
    }
    QString text = fixedText(std::fabs(result), resultDecimals);
    if (text.isEmpty() || text.size() >= unshowableLength) {
        showError();
        return;
    }
    text = trimmedFraction(text);
    if (text.size() > displayLimit) {
        // Too many decimals for the display: round to the places that fit.
        const qsizetype places = displayLimit - integerDigits(text) - 1;
        text =
            trimmedFraction(fixedText(std::fabs(result), static_cast<int>(std::max<qsizetype>(places, 0))));
        if (integerDigits(text) > displayLimit) {
            showError();
            return;
        }
    }
    m_display = text;
    m_negative = result < 0 && text != QLatin1String("0");
}

void CalculatorEngine::showError()
{
    m_status = Status::Error;
    m_display = QStringLiteral("Error");
}

long double CalculatorEngine::shownValue() const
{
    long double value = 0;
    const QByteArray digits = m_display.toLatin1();
    std::from_chars(digits.constData(), digits.constData() + digits.size(), value);
    return m_negative ? -value : value;
}

} // namespace editors
