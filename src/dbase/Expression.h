#pragma once

#include "Field.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace dbase {

// One record as a key expression reads it. The table implements it over its record buffer.
class RecordSource
{
public:
    virtual ~RecordSource() = default;
    // The bytes of field i exactly as the record stores them (text padded with blanks, numbers as
    // right-aligned text, dates as "YYYYMMDD" or blanks, memo fields as their block number).
    virtual std::string_view fieldBytes(std::size_t index) const = 0;
    // The text of memo field i, its lines separated by CR LF; empty when the field has no memo.
    // May throw EngineError for a damaged memo.
    virtual std::string memoText(std::size_t index) const = 0;
};

enum class ExpressionType : char
{
    Character = 'C',
    Numeric = 'N',
    Date = 'D',
    Logical = 'L'
};

class ExpressionNode;

// A dBASE key expression, parsed once against a table's fields and then evaluated per record.
//
// The language: field names (any case); string literals in "", '' or []; numbers; date literals
// {mm/dd/yyyy} ({} is the blank date); parentheses; unary minus; + and - on text, numbers and dates;
// UPPER(c), SUBSTR(c, start[, count]), MLINE(memo, n), STR(n[, length[, decimals]]) and DTOS(d).
//
// Every expression has a static type, and a character expression a fixed width:
// - a text field has its field width; text + text and text - text the sum of both widths. The minus
//   form moves the trailing blanks of its left part to the end of the result.
// - UPPER keeps the width and folds a-z and the accented Windows-1252 lower-case letters to capitals.
// - SUBSTR's start and count must be constant whole numbers; start counts from 1, and the width is the
//   count, cut at the end of the text.
// - MLINE(memo, n) is line n (counting from 1, lines ending in CR LF, LF or CR) of the memo, cut or padded
//   to memoLineWidth characters. n must be a constant. No word wrapping is applied.
// - STR(n, length, decimals) has the width length (1 to 20, default 10; decimals default 0). The number
//   is rounded half away from zero and right-aligned; when the decimals do not fit they are reduced,
//   and when the whole part does not fit the result is all asterisks.
// - DTOS(d) is "YYYYMMDD", or eight blanks for the blank date.
// Numbers are exact decimals. date - date is a number of days, date +/- number a date; the blank date
// counts as day 0.
//
// Faults are DatabaseErrors whose message names the expression and the fault.
class Expression
{
public:
    static constexpr std::size_t maxKeyLength = 100;
    // 99 so that a one-character prefix (the filter mark) plus a memo line still fits in a key.
    static constexpr std::size_t memoLineWidth = 99;

    Expression(std::string_view text, const std::vector<FieldDescriptor>& fields);
    // An expression that can key an index tag: character typed, 1 to maxKeyLength bytes wide.
    static Expression indexKey(std::string_view text, const std::vector<FieldDescriptor>& fields);

    const std::string& text() const { return text_; }
    ExpressionType type() const { return type_; }
    // The width of a character result; 0 for the other types.
    std::size_t width() const { return width_; }
    // True when the expression is nothing but a field name.
    bool isFieldReference() const;

    // The value of a character expression for one record: exactly width() bytes.
    std::string evaluate(const RecordSource& record) const;

private:
    std::string text_;
    std::shared_ptr<const ExpressionNode> root_;
    ExpressionType type_ = ExpressionType::Character;
    std::size_t width_ = 0;
};

} // namespace dbase
