#include "ExpressionDecimal.h"

#include <algorithm>
#include <limits>

namespace dbase {

namespace {

constexpr int maxDigits = 36;

} // namespace

ExpressionDecimal::Magnitude ExpressionDecimal::powerOfTen(int exponent)
{
    Magnitude result = 1;
    for (int i = 0; i < exponent; ++i)
        result *= 10;
    return result;
}

// Multiplies by 10^exponent, refusing results of more than maxDigits digits.
ExpressionDecimal::Magnitude ExpressionDecimal::checkedScale(Magnitude magnitude, int exponent)
{
    const Magnitude limit = powerOfTen(maxDigits);
    for (int i = 0; i < exponent; ++i) {
        if (magnitude >= limit / 10)
            throw Overflow("the number has more than 36 digits");
        magnitude *= 10;
    }
    return magnitude;
}

std::string ExpressionDecimal::digitsOf(Magnitude magnitude)
{
    if (magnitude == 0)
        return "0";
    std::string digits;
    while (magnitude != 0) {
        digits.push_back(static_cast<char>('0' + static_cast<int>(magnitude % 10)));
        magnitude /= 10;
    }
    std::reverse(digits.begin(), digits.end());
    return digits;
}

ExpressionDecimal ExpressionDecimal::fromInteger(std::int64_t value)
{
    ExpressionDecimal result;
    result.negative_ = value < 0;
    // Negating in unsigned arithmetic keeps the most negative value well defined.
    const auto absolute =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    result.magnitude_ = absolute;
    return result;
}

std::optional<ExpressionDecimal> ExpressionDecimal::parse(std::string_view text)
{
    std::size_t pos = 0;
    const auto skipBlanks = [&] {
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
    };
    skipBlanks();
    ExpressionDecimal result;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        result.negative_ = text[pos] == '-';
        ++pos;
    }
    bool sawDigit = false;
    bool inFraction = false;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '.' && !inFraction) {
            inFraction = true;
            continue;
        }
        if (c < '0' || c > '9')
            break;
        sawDigit = true;
        if (inFraction) {
            if (result.decimals_ == maxDecimals)
                continue;
            ++result.decimals_;
        }
        if (result.magnitude_ >= powerOfTen(maxDigits) / 10)
            return std::nullopt;
        result.magnitude_ = result.magnitude_ * 10 + static_cast<unsigned>(c - '0');
    }
    if (!sawDigit)
        return std::nullopt;
    skipBlanks();
    if (pos != text.size())
        return std::nullopt;
    if (result.magnitude_ == 0)
        result.negative_ = false;
    return result;
}

ExpressionDecimal ExpressionDecimal::withDecimals(int decimals) const
{
    ExpressionDecimal result = *this;
    result.magnitude_ = checkedScale(magnitude_, decimals - decimals_);
    result.decimals_ = decimals;
    return result;
}

ExpressionDecimal ExpressionDecimal::operator-() const
{
    ExpressionDecimal result = *this;
    result.negative_ = magnitude_ != 0 && !negative_;
    return result;
}

ExpressionDecimal ExpressionDecimal::operator+(const ExpressionDecimal& other) const
{
    const int decimals = std::max(decimals_, other.decimals_);
    const ExpressionDecimal a = withDecimals(decimals);
    const ExpressionDecimal b = other.withDecimals(decimals);
    ExpressionDecimal result;
    result.decimals_ = decimals;
    if (a.negative_ == b.negative_) {
        result.magnitude_ = a.magnitude_ + b.magnitude_;
        if (result.magnitude_ >= powerOfTen(maxDigits))
            throw Overflow("the number has more than 36 digits");
        result.negative_ = a.negative_;
    } else if (a.magnitude_ >= b.magnitude_) {
        result.magnitude_ = a.magnitude_ - b.magnitude_;
        result.negative_ = a.negative_;
    } else {
        result.magnitude_ = b.magnitude_ - a.magnitude_;
        result.negative_ = b.negative_;
    }
    if (result.magnitude_ == 0)
        result.negative_ = false;
    return result;
}

ExpressionDecimal ExpressionDecimal::operator-(const ExpressionDecimal& other) const
{
    return *this + -other;
}

bool ExpressionDecimal::isInteger() const
{
    return magnitude_ % powerOfTen(decimals_) == 0;
}

std::optional<std::int64_t> ExpressionDecimal::toInteger() const
{
    if (!isInteger())
        return std::nullopt;
    const Magnitude whole = magnitude_ / powerOfTen(decimals_);
    if (whole > static_cast<Magnitude>(std::numeric_limits<std::int64_t>::max()))
        return std::nullopt;
    const auto value = static_cast<std::int64_t>(whole);
    return negative_ ? -value : value;
}

std::int64_t ExpressionDecimal::truncated() const
{
    const Magnitude whole = magnitude_ / powerOfTen(decimals_);
    if (whole > static_cast<Magnitude>(std::numeric_limits<std::int64_t>::max()))
        throw Overflow("the number is too large");
    const auto value = static_cast<std::int64_t>(whole);
    return negative_ ? -value : value;
}

std::string ExpressionDecimal::format(int decimals) const
{
    decimals = std::clamp(decimals, 0, maxDecimals);
    std::string digits;
    if (decimals < decimals_) {
        const Magnitude divisor = powerOfTen(decimals_ - decimals);
        Magnitude rounded = magnitude_ / divisor;
        if ((magnitude_ % divisor) * 2 >= divisor)
            ++rounded;
        digits = digitsOf(rounded);
    } else {
        digits = digitsOf(magnitude_);
        if (magnitude_ != 0)
            digits.append(static_cast<std::size_t>(decimals - decimals_), '0');
        else
            digits.assign(static_cast<std::size_t>(decimals) + 1, '0');
    }
    const bool zero = digits.find_first_not_of('0') == std::string::npos;
    if (decimals > 0) {
        const auto fraction = static_cast<std::size_t>(decimals);
        if (digits.size() <= fraction)
            digits.insert(0, fraction + 1 - digits.size(), '0');
        digits.insert(digits.size() - fraction, 1, '.');
    }
    if (negative_ && !zero)
        digits.insert(0, 1, '-');
    return digits;
}

} // namespace dbase
