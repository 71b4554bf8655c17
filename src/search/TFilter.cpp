#include "TFilter.h"

#include "FilterValues.h"

#include <algorithm>

namespace search {

namespace {

// The operators 0 to 5 on any ordered values; One Of is the caller's.
template <typename Value>
bool compare(quint8 op, const Value& value, const Value& first, const Value& second)
{
    switch (op) {
    case TFilter::Less:
        return value < first;
    case TFilter::LessOrEqual:
        return value <= first;
    case TFilter::Equal:
        return value == first;
    case TFilter::GreaterOrEqual:
        return value >= first;
    case TFilter::Greater:
        return value > first;
    case TFilter::Between:
        return value > first && value < second;
    default:
        return false;
    }
}

} // namespace

void TFilter::Prepare(int dateFormat)
{
    Value1 = Value1.toUpper();
    Value2 = Value2.toUpper();
    HasNumbers = false;
    HasDates = false;
    bool firstNumber = false, secondNumber = false, firstDate = false, secondDate = false;
    if (Operator <= Greater) {
        Number1 = readFilterNumber(Value1, &firstNumber);
        HasNumbers = firstNumber;
        if (!HasNumbers) {
            Date1 = readFilterDate(Value1, dateFormat, &firstDate);
            HasDates = firstDate;
        }
    } else if (Operator == Between) {
        Number1 = readFilterNumber(Value1, &firstNumber);
        Number2 = readFilterNumber(Value2, &secondNumber);
        HasNumbers = firstNumber && secondNumber;
        if (!HasNumbers) {
            Date1 = readFilterDate(Value1, dateFormat, &firstDate);
            Date2 = readFilterDate(Value2, dateFormat, &secondDate);
            HasDates = firstDate && secondDate;
        }
    }
}

bool TFilter::MatchesText(const QString& value) const
{
    const QString upper = value.toUpper();
    if (Operator == OneOf)
        return std::any_of(Values.begin(), Values.end(),
                           [&](const QString& entry) { return upper == entry.toUpper(); });
    return compare(Operator, upper, Value1, Value2);
}

bool TFilter::MatchesNumber(double value) const
{
    if (Operator == OneOf)
        return std::any_of(Values.begin(), Values.end(),
                           [&](const QString& entry) { return value == readFilterNumber(entry); });
    if (HasNumbers)
        return compare(Operator, value, Number1, Number2);
    return compare(Operator, value, readFilterNumber(Value1), readFilterNumber(Value2));
}

bool TFilter::MatchesDate(double value, int dateFormat) const
{
    if (Operator == OneOf)
        return std::any_of(Values.begin(), Values.end(),
                           [&](const QString& entry) { return value == readFilterDate(entry, dateFormat); });
    if (HasDates)
        return compare(Operator, value, Date1, Date2);
    return compare(Operator, value, readFilterDate(Value1, dateFormat), readFilterDate(Value2, dateFormat));
}

} // namespace search
