#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace dbase {

// An exact decimal number of key expressions: a sign, a magnitude and a count of decimals.
// Exact arithmetic keeps keys such as STR(999999999999999999 - PRICE, 20, 4) right to the last digit,
// where a double would round every value below 128 to the same key.
class ExpressionDecimal
{
public:
    static constexpr int maxDecimals = 18;

    // Thrown when a result needs more than 36 significant digits.
    class Overflow : public std::overflow_error
    {
    public:
        using std::overflow_error::overflow_error;
    };

    ExpressionDecimal() = default;
    static ExpressionDecimal fromInteger(std::int64_t value);
    // Digits with an optional sign and decimal point, with blanks around them; nothing for anything else.
    // Decimals beyond maxDecimals are cut off.
    static std::optional<ExpressionDecimal> parse(std::string_view text);

    ExpressionDecimal operator-() const;
    ExpressionDecimal operator+(const ExpressionDecimal& other) const;
    ExpressionDecimal operator-(const ExpressionDecimal& other) const;

    bool isZero() const { return magnitude_ == 0; }
    bool isInteger() const;
    // The value when it is a whole number within the range of int64.
    std::optional<std::int64_t> toInteger() const;
    // The whole part, cut toward zero; Overflow beyond the range of int64.
    std::int64_t truncated() const;

    // Rounded half away from zero to the given decimals and written without padding: "-12.50", "0.5", "3".
    // Zero is never written with a minus sign.
    std::string format(int decimals) const;

private:
    __extension__ typedef unsigned __int128 Magnitude;

    static Magnitude powerOfTen(int exponent);
    static Magnitude checkedScale(Magnitude magnitude, int exponent);
    static std::string digitsOf(Magnitude magnitude);
    ExpressionDecimal withDecimals(int decimals) const;

    Magnitude magnitude_ = 0;
    int decimals_ = 0;
    bool negative_ = false;
};

} // namespace dbase
