#pragma once

#include "Expression.h"
#include "ExpressionDecimal.h"

#include <memory>
#include <stdexcept>
#include <string>

namespace dbase {

// What a parsed expression node yields. Memo is only ever an argument of MLINE.
enum class ValueKind
{
    Text,
    Number,
    Date,
    Logical,
    Memo
};

// A fault of the expression itself (parsing) or of one evaluation; Expression turns it into a
// DatabaseError that names the expression.
class ExpressionFault : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A node of a parsed expression. Each node has a static kind, and a text node a fixed width; the value
// accessor of its kind is the only one it answers.
class ExpressionNode
{
public:
    ExpressionNode(ValueKind kind, std::size_t width) : kind_(kind), width_(width) {}
    virtual ~ExpressionNode() = default;

    ValueKind kind() const { return kind_; }
    std::size_t width() const { return width_; }
    // True when the node reads no field, so that the parser can evaluate it once.
    virtual bool isConstant() const = 0;
    virtual bool isFieldReference() const { return false; }

    virtual std::string text(const RecordSource& record) const;
    virtual ExpressionDecimal number(const RecordSource& record) const;
    // A date as its day number (Date::julianDay); 0 is the blank date.
    virtual long day(const RecordSource& record) const;
    virtual bool logical(const RecordSource& record) const;
    virtual std::string memo(const RecordSource& record) const;

private:
    ValueKind kind_;
    std::size_t width_;
};

using ExpressionNodePtr = std::shared_ptr<const ExpressionNode>;

ExpressionNodePtr makeFieldNode(const FieldDescriptor& field, std::size_t index);
ExpressionNodePtr makeTextConstant(std::string value);
ExpressionNodePtr makeNumberConstant(const ExpressionDecimal& value);
ExpressionNodePtr makeDateConstant(long day);
// left + right, or with moveBlanks left - right: the trailing blanks of left go to the end.
ExpressionNodePtr makeConcatenation(ExpressionNodePtr left, ExpressionNodePtr right, bool moveBlanks);
ExpressionNodePtr makeNumberSum(ExpressionNodePtr left, ExpressionNodePtr right, bool subtract);
ExpressionNodePtr makeNegation(ExpressionNodePtr operand);
ExpressionNodePtr makeDateShift(ExpressionNodePtr date, ExpressionNodePtr days, bool subtract);
ExpressionNodePtr makeDateDifference(ExpressionNodePtr left, ExpressionNodePtr right);
ExpressionNodePtr makeUpper(ExpressionNodePtr operand);
// start counts from 0 here; width is already cut to the operand's width.
ExpressionNodePtr makeSubstring(ExpressionNodePtr operand, std::size_t start, std::size_t width);
ExpressionNodePtr makeMemoLine(ExpressionNodePtr memo, std::size_t line, std::size_t width);
ExpressionNodePtr makeNumberText(ExpressionNodePtr number, int length, int decimals);
ExpressionNodePtr makeDateText(ExpressionNodePtr date);

// Evaluates a constant node, which reads no record.
const RecordSource& noRecord();

} // namespace dbase
