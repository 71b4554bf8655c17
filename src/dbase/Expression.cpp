#include "Expression.h"

#include "Errors.h"
#include "ExpressionNode.h"
#include "ExpressionParser.h"

namespace dbase {

namespace {

std::string faultMessage(std::string_view text, const std::string& fault)
{
    return "Expression \"" + std::string(text) + "\": " + fault;
}

} // namespace

Expression::Expression(std::string_view text, const std::vector<FieldDescriptor>& fields) : text_(text)
{
    try {
        root_ = ExpressionParser(text, fields).parse();
    } catch (const ExpressionFault& fault) {
        throw DatabaseError(faultMessage(text, fault.what()));
    }
    switch (root_->kind()) {
    case ValueKind::Text:
        type_ = ExpressionType::Character;
        width_ = root_->width();
        break;
    case ValueKind::Number:
        type_ = ExpressionType::Numeric;
        break;
    case ValueKind::Date:
        type_ = ExpressionType::Date;
        break;
    case ValueKind::Logical:
    case ValueKind::Memo: // the parser refuses a bare memo
        type_ = ExpressionType::Logical;
        break;
    }
}

Expression Expression::indexKey(std::string_view text, const std::vector<FieldDescriptor>& fields)
{
    Expression expression(text, fields);
    // Numeric and date keys have binary forms of their own in the index file; this engine keys on text only.
    switch (expression.type()) {
    case ExpressionType::Numeric:
        throw DatabaseError(faultMessage(text, "the key is a number; index keys must be text (use STR())"));
    case ExpressionType::Date:
        throw DatabaseError(faultMessage(text, "the key is a date; index keys must be text (use DTOS())"));
    case ExpressionType::Logical:
        throw DatabaseError(faultMessage(text, "the key is a logical value; index keys must be text"));
    case ExpressionType::Character:
        break;
    }
    if (expression.width() == 0)
        throw DatabaseError(faultMessage(text, "the key is empty"));
    if (expression.width() > maxKeyLength)
        throw DatabaseError(faultMessage(text, "the key is " + std::to_string(expression.width()) +
                                                   " bytes long; at most " + std::to_string(maxKeyLength) +
                                                   " are allowed"));
    return expression;
}

bool Expression::isFieldReference() const
{
    return root_->isFieldReference();
}

std::string Expression::evaluate(const RecordSource& record) const
{
    if (type_ != ExpressionType::Character)
        throw DatabaseError(faultMessage(text_, "only a text expression yields a key"));
    try {
        return root_->text(record);
    } catch (const ExpressionFault& fault) {
        throw DatabaseError(faultMessage(text_, std::string("cannot be evaluated: ") + fault.what()));
    }
}

} // namespace dbase
