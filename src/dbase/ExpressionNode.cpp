#include "ExpressionNode.h"

#include "Date.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace dbase {

namespace {

// The last day dBASE dates reach: 31 December 9999.
constexpr long lastDay = 5373484;

std::string fitted(std::string_view bytes, std::size_t width)
{
    std::string text(bytes.substr(0, width));
    text.resize(width, ' ');
    return text;
}

unsigned char upperCp1252(unsigned char c)
{
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) // à..þ, but not the division sign
        return static_cast<unsigned char>(c - 0x20);
    switch (c) {
    case 0x9A: // š
        return 0x8A;
    case 0x9C: // œ
        return 0x8C;
    case 0x9E: // ž
        return 0x8E;
    case 0xFF: // ÿ
        return 0x9F;
    default:
        return c;
    }
}

class FieldNode : public ExpressionNode
{
public:
    FieldNode(ValueKind kind, std::size_t width, std::size_t index)
        : ExpressionNode(kind, width), index_(index)
    {}
    bool isConstant() const override { return false; }
    bool isFieldReference() const override { return true; }

    std::string text(const RecordSource& record) const override
    {
        return fitted(record.fieldBytes(index_), width());
    }
    // An unreadable number counts as 0, as a blank one does.
    ExpressionDecimal number(const RecordSource& record) const override
    {
        return ExpressionDecimal::parse(record.fieldBytes(index_)).value_or(ExpressionDecimal());
    }
    // An unreadable date counts as the blank date.
    long day(const RecordSource& record) const override
    {
        const std::optional<Date> date = Date::fromStored(record.fieldBytes(index_));
        return date && !date->isBlank() ? date->julianDay() : 0;
    }
    bool logical(const RecordSource& record) const override
    {
        const std::string_view bytes = record.fieldBytes(index_);
        return !bytes.empty() && std::string_view("TtYy").find(bytes[0]) != std::string_view::npos;
    }
    std::string memo(const RecordSource& record) const override { return record.memoText(index_); }

private:
    std::size_t index_;
};

class TextConstant : public ExpressionNode
{
public:
    explicit TextConstant(std::string value)
        : ExpressionNode(ValueKind::Text, value.size()), value_(std::move(value))
    {}
    bool isConstant() const override { return true; }
    std::string text(const RecordSource&) const override { return value_; }

private:
    std::string value_;
};

class NumberConstant : public ExpressionNode
{
public:
    explicit NumberConstant(const ExpressionDecimal& value)
        : ExpressionNode(ValueKind::Number, 0), value_(value)
    {}
    bool isConstant() const override { return true; }
    ExpressionDecimal number(const RecordSource&) const override { return value_; }

private:
    ExpressionDecimal value_;
};

class DateConstant : public ExpressionNode
{
public:
    explicit DateConstant(long day) : ExpressionNode(ValueKind::Date, 0), day_(day) {}
    bool isConstant() const override { return true; }
    long day(const RecordSource&) const override { return day_; }

private:
    long day_;
};

// Common ground of nodes over one or two operands.
class CompositeNode : public ExpressionNode
{
public:
    // The operands are taken by reference so that callers may read them in the same full expression.
    CompositeNode(ValueKind kind, std::size_t width, const ExpressionNodePtr& first,
                  const ExpressionNodePtr& second = nullptr)
        : ExpressionNode(kind, width), first_(first), second_(second)
    {}
    bool isConstant() const override { return first_->isConstant() && (!second_ || second_->isConstant()); }

protected:
    const ExpressionNode& first() const { return *first_; }
    const ExpressionNode& second() const { return *second_; }

private:
    ExpressionNodePtr first_;
    ExpressionNodePtr second_;
};

class Concatenation : public CompositeNode
{
public:
    Concatenation(ExpressionNodePtr left, ExpressionNodePtr right, bool moveBlanks)
        : CompositeNode(ValueKind::Text, left->width() + right->width(), std::move(left), std::move(right)),
          moveBlanks_(moveBlanks)
    {}
    std::string text(const RecordSource& record) const override
    {
        std::string left = first().text(record);
        const std::string right = second().text(record);
        if (!moveBlanks_)
            return left + right;
        const std::size_t kept = left.find_last_not_of(' ') + 1; // npos + 1 is 0 for an all-blank text
        const std::size_t blanks = left.size() - kept;
        left.resize(kept);
        left += right;
        left.append(blanks, ' ');
        return left;
    }

private:
    bool moveBlanks_;
};

class NumberSum : public CompositeNode
{
public:
    NumberSum(ExpressionNodePtr left, ExpressionNodePtr right, bool subtract)
        : CompositeNode(ValueKind::Number, 0, std::move(left), std::move(right)), subtract_(subtract)
    {}
    ExpressionDecimal number(const RecordSource& record) const override
    {
        try {
            const ExpressionDecimal left = first().number(record);
            const ExpressionDecimal right = second().number(record);
            return subtract_ ? left - right : left + right;
        } catch (const ExpressionDecimal::Overflow& overflow) {
            throw ExpressionFault(overflow.what());
        }
    }

private:
    bool subtract_;
};

class Negation : public CompositeNode
{
public:
    explicit Negation(ExpressionNodePtr operand) : CompositeNode(ValueKind::Number, 0, std::move(operand)) {}
    ExpressionDecimal number(const RecordSource& record) const override { return -first().number(record); }
};

class DateShift : public CompositeNode
{
public:
    DateShift(ExpressionNodePtr date, ExpressionNodePtr days, bool subtract)
        : CompositeNode(ValueKind::Date, 0, std::move(date), std::move(days)), subtract_(subtract)
    {}
    long day(const RecordSource& record) const override
    {
        const long start = first().day(record);
        std::int64_t days = 0;
        try {
            days = second().number(record).truncated();
        } catch (const ExpressionDecimal::Overflow&) {
            throw ExpressionFault("the date lies outside the years 1 to 9999");
        }
        if (days > lastDay || days < -lastDay)
            throw ExpressionFault("the date lies outside the years 1 to 9999");
        const long result = subtract_ ? start - static_cast<long>(days) : start + static_cast<long>(days);
        if (result < 0 || result > lastDay)
            throw ExpressionFault("the date lies outside the years 1 to 9999");
        return result;
    }

private:
    bool subtract_;
};

class DateDifference : public CompositeNode
{
public:
    DateDifference(ExpressionNodePtr left, ExpressionNodePtr right)
        : CompositeNode(ValueKind::Number, 0, std::move(left), std::move(right))
    {}
    ExpressionDecimal number(const RecordSource& record) const override
    {
        return ExpressionDecimal::fromInteger(first().day(record) - second().day(record));
    }
};

class Upper : public CompositeNode
{
public:
    explicit Upper(ExpressionNodePtr operand)
        : CompositeNode(ValueKind::Text, operand->width(), std::move(operand))
    {}
    std::string text(const RecordSource& record) const override
    {
        std::string value = first().text(record);
        for (char& c : value)
            c = static_cast<char>(upperCp1252(static_cast<unsigned char>(c)));
        return value;
    }
};

class Substring : public CompositeNode
{
public:
    Substring(ExpressionNodePtr operand, std::size_t start, std::size_t width)
        : CompositeNode(ValueKind::Text, width, std::move(operand)), start_(start)
    {}
    std::string text(const RecordSource& record) const override
    {
        return first().text(record).substr(start_, width());
    }

private:
    std::size_t start_;
};

class MemoLine : public CompositeNode
{
public:
    MemoLine(ExpressionNodePtr memo, std::size_t line, std::size_t width)
        : CompositeNode(ValueKind::Text, width, std::move(memo)), line_(line)
    {}
    std::string text(const RecordSource& record) const override
    {
        const std::string memo = first().memo(record);
        std::size_t begin = 0;
        for (std::size_t line = 1; line < line_; ++line) {
            const std::size_t end = memo.find_first_of("\r\n", begin);
            if (end == std::string::npos)
                return std::string(width(), ' ');
            begin = end + (memo.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        }
        const std::size_t end = std::min(memo.find_first_of("\r\n", begin), memo.size());
        return fitted(std::string_view(memo).substr(begin, end - begin), width());
    }

private:
    std::size_t line_;
};

class NumberText : public CompositeNode
{
public:
    NumberText(ExpressionNodePtr number, int length, int decimals)
        : CompositeNode(ValueKind::Text, static_cast<std::size_t>(length), std::move(number)),
          decimals_(decimals)
    {}
    // Fewer decimals when the requested ones do not fit; asterisks when even the whole part does not.
    std::string text(const RecordSource& record) const override
    {
        const ExpressionDecimal value = first().number(record);
        for (int decimals = decimals_; decimals >= 0; --decimals) {
            const std::string digits = value.format(decimals);
            if (digits.size() <= width())
                return std::string(width() - digits.size(), ' ') + digits;
        }
        return std::string(width(), '*');
    }

private:
    int decimals_;
};

class DateText : public CompositeNode
{
public:
    explicit DateText(ExpressionNodePtr date) : CompositeNode(ValueKind::Text, 8, std::move(date)) {}
    std::string text(const RecordSource& record) const override
    {
        const long day = first().day(record);
        if (day == 0)
            return std::string(8, ' ');
        const Date date = Date::fromJulianDay(day);
        if (!date.isValid())
            throw ExpressionFault("the date lies outside the years 1 to 9999");
        return date.toStored();
    }
};

class NoRecord : public RecordSource
{
public:
    std::string_view fieldBytes(std::size_t) const override
    {
        throw std::logic_error("a constant read a field");
    }
    std::string memoText(std::size_t) const override { throw std::logic_error("a constant read a memo"); }
};

} // namespace

std::string ExpressionNode::text(const RecordSource&) const
{
    throw std::logic_error("not a text node");
}

ExpressionDecimal ExpressionNode::number(const RecordSource&) const
{
    throw std::logic_error("not a number node");
}

long ExpressionNode::day(const RecordSource&) const
{
    throw std::logic_error("not a date node");
}

bool ExpressionNode::logical(const RecordSource&) const
{
    throw std::logic_error("not a logical node");
}

std::string ExpressionNode::memo(const RecordSource&) const
{
    throw std::logic_error("not a memo node");
}

ExpressionNodePtr makeFieldNode(const FieldDescriptor& field, std::size_t index)
{
    ValueKind kind = ValueKind::Text;
    if (field.isNumeric())
        kind = ValueKind::Number;
    else if (field.isDate())
        kind = ValueKind::Date;
    else if (field.isLogical())
        kind = ValueKind::Logical;
    else if (field.isMemo())
        kind = ValueKind::Memo;
    return std::make_shared<FieldNode>(kind, field.isText() ? field.length : 0, index);
}

ExpressionNodePtr makeTextConstant(std::string value)
{
    return std::make_shared<TextConstant>(std::move(value));
}

ExpressionNodePtr makeNumberConstant(const ExpressionDecimal& value)
{
    return std::make_shared<NumberConstant>(value);
}

ExpressionNodePtr makeDateConstant(long day)
{
    return std::make_shared<DateConstant>(day);
}

ExpressionNodePtr makeConcatenation(ExpressionNodePtr left, ExpressionNodePtr right, bool moveBlanks)
{
    return std::make_shared<Concatenation>(std::move(left), std::move(right), moveBlanks);
}

ExpressionNodePtr makeNumberSum(ExpressionNodePtr left, ExpressionNodePtr right, bool subtract)
{
    return std::make_shared<NumberSum>(std::move(left), std::move(right), subtract);
}

ExpressionNodePtr makeNegation(ExpressionNodePtr operand)
{
    return std::make_shared<Negation>(std::move(operand));
}

ExpressionNodePtr makeDateShift(ExpressionNodePtr date, ExpressionNodePtr days, bool subtract)
{
    return std::make_shared<DateShift>(std::move(date), std::move(days), subtract);
}

ExpressionNodePtr makeDateDifference(ExpressionNodePtr left, ExpressionNodePtr right)
{
    return std::make_shared<DateDifference>(std::move(left), std::move(right));
}

ExpressionNodePtr makeUpper(ExpressionNodePtr operand)
{
    return std::make_shared<Upper>(std::move(operand));
}

ExpressionNodePtr makeSubstring(ExpressionNodePtr operand, std::size_t start, std::size_t width)
{
    return std::make_shared<Substring>(std::move(operand), start, width);
}

ExpressionNodePtr makeMemoLine(ExpressionNodePtr memo, std::size_t line, std::size_t width)
{
    return std::make_shared<MemoLine>(std::move(memo), line, width);
}

ExpressionNodePtr makeNumberText(ExpressionNodePtr number, int length, int decimals)
{
    return std::make_shared<NumberText>(std::move(number), length, decimals);
}

ExpressionNodePtr makeDateText(ExpressionNodePtr date)
{
    return std::make_shared<DateText>(std::move(date));
}

const RecordSource& noRecord()
{
    static const NoRecord instance;
    return instance;
}

} // namespace dbase
