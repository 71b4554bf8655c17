#include "ExpressionParser.h"

#include "Date.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string>
#include <utility>

namespace dbase {

namespace {

constexpr int maxDepth = 64;
constexpr std::size_t maxTextWidth = 65535;
constexpr std::int64_t maxStrLength = 20;

std::string at(std::size_t position)
{
    return " at position " + std::to_string(position + 1);
}

const char* kindName(ValueKind kind)
{
    switch (kind) {
    case ValueKind::Text:
        return "text";
    case ValueKind::Number:
        return "a number";
    case ValueKind::Date:
        return "a date";
    case ValueKind::Logical:
        return "a logical value";
    case ValueKind::Memo:
        return "a memo";
    }
    return "a value";
}

bool isNameStart(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool isNameChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

std::string upperAscii(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

// The whole-number value of a constant argument such as SUBSTR's start.
std::int64_t constantWhole(const ExpressionNodePtr& node, const std::string& what)
{
    if (node->kind() != ValueKind::Number || !node->isConstant())
        throw ExpressionFault(what + " must be a constant number");
    const std::optional<std::int64_t> value = node->number(noRecord()).toInteger();
    if (!value)
        throw ExpressionFault(what + " must be a whole number");
    return *value;
}

void requireKind(const ExpressionNodePtr& node, ValueKind kind, const std::string& function)
{
    if (node->kind() != kind)
        throw ExpressionFault(function + " needs " + kindName(kind) + ", not " + kindName(node->kind()));
}

} // namespace

ExpressionParser::ExpressionParser(std::string_view text, const std::vector<FieldDescriptor>& fields)
    : text_(text), fields_(fields)
{}

ExpressionNodePtr ExpressionParser::parse()
{
    tokenize();
    if (current().kind == TokenKind::End)
        throw ExpressionFault("the expression is empty");
    ExpressionNodePtr root = parseSum();
    if (current().kind != TokenKind::End)
        throw ExpressionFault("unexpected \"" + std::string(1, text_[current().position]) + "\"" +
                              at(current().position));
    if (root->kind() == ValueKind::Memo)
        throw ExpressionFault("a memo field can only be read through MLINE()");
    return root;
}

void ExpressionParser::tokenize()
{
    std::size_t pos = 0;
    while (pos < text_.size()) {
        const char c = text_[pos];
        if (c == ' ' || c == '\t') {
            ++pos;
            continue;
        }
        Token token;
        token.position = pos;
        if (isNameStart(c)) {
            const std::size_t start = pos;
            while (pos < text_.size() && isNameChar(text_[pos]))
                ++pos;
            token.kind = TokenKind::Identifier;
            token.text = upperAscii(text_.substr(start, pos - start));
        } else if (std::isdigit(static_cast<unsigned char>(c)) ||
                   (c == '.' && pos + 1 < text_.size() &&
                    std::isdigit(static_cast<unsigned char>(text_[pos + 1])))) {
            const std::size_t start = pos;
            bool point = false;
            while (pos < text_.size() &&
                   (std::isdigit(static_cast<unsigned char>(text_[pos])) || (text_[pos] == '.' && !point))) {
                point = point || text_[pos] == '.';
                ++pos;
            }
            token.kind = TokenKind::Number;
            token.text = std::string(text_.substr(start, pos - start));
        } else if (c == '"' || c == '\'' || c == '[' || c == '{') {
            const char close = c == '[' ? ']' : c == '{' ? '}' : c;
            const std::size_t end = text_.find(close, pos + 1);
            if (end == std::string_view::npos)
                throw ExpressionFault(std::string(c == '{' ? "unterminated date" : "unterminated string") +
                                      at(pos));
            token.kind = c == '{' ? TokenKind::Date : TokenKind::String;
            token.text = std::string(text_.substr(pos + 1, end - pos - 1));
            pos = end + 1;
        } else {
            static constexpr std::pair<char, TokenKind> punctuation[] = {{'(', TokenKind::Open},
                                                                         {')', TokenKind::Close},
                                                                         {',', TokenKind::Comma},
                                                                         {'+', TokenKind::Plus},
                                                                         {'-', TokenKind::Minus}};
            const auto* found = std::find_if(std::begin(punctuation), std::end(punctuation),
                                             [c](const auto& entry) { return entry.first == c; });
            if (found == std::end(punctuation))
                throw ExpressionFault("unexpected \"" + std::string(1, c) + "\"" + at(pos));
            token.kind = found->second;
            ++pos;
        }
        tokens_.push_back(std::move(token));
    }
    Token end;
    end.position = text_.size();
    tokens_.push_back(end);
}

void ExpressionParser::expect(TokenKind kind, const char* what)
{
    if (current().kind != kind)
        throw ExpressionFault(std::string("missing \"") + what + "\"" + at(current().position));
    ++next_;
}

ExpressionNodePtr ExpressionParser::parseSum()
{
    ExpressionNodePtr left = parseUnary();
    while (current().kind == TokenKind::Plus || current().kind == TokenKind::Minus) {
        const Token op = take();
        ExpressionNodePtr right = parseUnary();
        left = combine(std::move(left), std::move(right), op);
    }
    return left;
}

ExpressionNodePtr ExpressionParser::parseUnary()
{
    if (++depth_ > maxDepth)
        throw ExpressionFault("the expression is nested too deeply" + at(current().position));
    ExpressionNodePtr result;
    if (current().kind == TokenKind::Minus || current().kind == TokenKind::Plus) {
        const Token sign = take();
        ExpressionNodePtr operand = parseUnary();
        if (operand->kind() != ValueKind::Number)
            throw ExpressionFault(std::string("a sign cannot stand before ") + kindName(operand->kind()) +
                                  at(sign.position));
        result = sign.kind == TokenKind::Minus ? makeNegation(std::move(operand)) : std::move(operand);
    } else {
        result = parsePrimary();
    }
    --depth_;
    return result;
}

ExpressionNodePtr ExpressionParser::parsePrimary()
{
    const Token token = take();
    switch (token.kind) {
    case TokenKind::Number: {
        const std::optional<ExpressionDecimal> value = ExpressionDecimal::parse(token.text);
        if (!value)
            throw ExpressionFault("the number " + token.text + " has too many digits" + at(token.position));
        return makeNumberConstant(*value);
    }
    case TokenKind::String:
        return makeTextConstant(token.text);
    case TokenKind::Date:
        return dateLiteral(token);
    case TokenKind::Open: {
        ExpressionNodePtr inner = parseSum();
        expect(TokenKind::Close, ")");
        return inner;
    }
    case TokenKind::Identifier:
        if (current().kind == TokenKind::Open)
            return parseFunction(token);
        return parseName(token);
    case TokenKind::End:
        throw ExpressionFault("the expression ends too early");
    default:
        throw ExpressionFault("unexpected \"" + std::string(1, text_[token.position]) + "\"" +
                              at(token.position));
    }
}

ExpressionNodePtr ExpressionParser::parseName(const Token& name)
{
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (upperAscii(fields_[i].name) != name.text)
            continue;
        if (fields_[i].isBinary())
            throw ExpressionFault("the binary field " + name.text + " cannot be used in an expression");
        return makeFieldNode(fields_[i], i);
    }
    throw ExpressionFault("unknown field " + name.text + at(name.position));
}

ExpressionNodePtr ExpressionParser::parseFunction(const Token& name)
{
    expect(TokenKind::Open, "(");
    std::vector<ExpressionNodePtr> arguments;
    if (current().kind != TokenKind::Close) {
        arguments.push_back(parseSum());
        while (current().kind == TokenKind::Comma) {
            ++next_;
            arguments.push_back(parseSum());
        }
    }
    expect(TokenKind::Close, ")");

    const std::string& function = name.text;
    const auto requireCount = [&](std::size_t least, std::size_t most) {
        if (arguments.size() < least || arguments.size() > most) {
            const std::string wanted =
                least == most ? std::to_string(least) : std::to_string(least) + " to " + std::to_string(most);
            throw ExpressionFault(function + " needs " + wanted + " argument" + (most == 1 ? "" : "s") +
                                  ", not " + std::to_string(arguments.size()) + at(name.position));
        }
    };

    if (function == "UPPER") {
        requireCount(1, 1);
        requireKind(arguments[0], ValueKind::Text, function);
        return makeUpper(arguments[0]);
    }
    if (function == "SUBSTR") {
        requireCount(2, 3);
        requireKind(arguments[0], ValueKind::Text, function);
        const std::int64_t start = constantWhole(arguments[1], "the start of SUBSTR");
        if (start < 1)
            throw ExpressionFault("the start of SUBSTR must be at least 1");
        const auto width = static_cast<std::int64_t>(arguments[0]->width());
        const std::int64_t available = start > width ? 0 : width - start + 1;
        std::int64_t count = available;
        if (arguments.size() == 3) {
            count = constantWhole(arguments[2], "the count of SUBSTR");
            if (count < 0)
                throw ExpressionFault("the count of SUBSTR must not be negative");
        }
        return makeSubstring(arguments[0], static_cast<std::size_t>(start - 1),
                             static_cast<std::size_t>(std::min(count, available)));
    }
    if (function == "MLINE") {
        requireCount(2, 2);
        if (arguments[0]->kind() != ValueKind::Memo || !arguments[0]->isFieldReference())
            throw ExpressionFault("MLINE needs a memo field, not " +
                                  std::string(kindName(arguments[0]->kind())));
        const std::int64_t line = constantWhole(arguments[1], "the line of MLINE");
        if (line < 1)
            throw ExpressionFault("the line of MLINE must be at least 1");
        return makeMemoLine(arguments[0], static_cast<std::size_t>(line), Expression::memoLineWidth);
    }
    if (function == "STR") {
        requireCount(1, 3);
        requireKind(arguments[0], ValueKind::Number, function);
        std::int64_t length = 10;
        std::int64_t decimals = 0;
        if (arguments.size() >= 2)
            length = constantWhole(arguments[1], "the length of STR");
        if (arguments.size() == 3)
            decimals = constantWhole(arguments[2], "the decimals of STR");
        if (length < 1 || length > maxStrLength)
            throw ExpressionFault("the length of STR must be from 1 to " + std::to_string(maxStrLength));
        if (decimals < 0 || decimals > ExpressionDecimal::maxDecimals)
            throw ExpressionFault("the decimals of STR must be from 0 to " +
                                  std::to_string(ExpressionDecimal::maxDecimals));
        return makeNumberText(arguments[0], static_cast<int>(length), static_cast<int>(decimals));
    }
    if (function == "DTOS") {
        requireCount(1, 1);
        requireKind(arguments[0], ValueKind::Date, function);
        return makeDateText(arguments[0]);
    }
    throw ExpressionFault("unknown function " + function + at(name.position));
}

ExpressionNodePtr ExpressionParser::combine(ExpressionNodePtr left, ExpressionNodePtr right,
                                            const Token& op) const
{
    const bool minus = op.kind == TokenKind::Minus;
    const ValueKind a = left->kind();
    const ValueKind b = right->kind();
    if (a == ValueKind::Text && b == ValueKind::Text) {
        if (left->width() + right->width() > maxTextWidth)
            throw ExpressionFault("the text grows longer than " + std::to_string(maxTextWidth) +
                                  at(op.position));
        return makeConcatenation(std::move(left), std::move(right), minus);
    }
    if (a == ValueKind::Number && b == ValueKind::Number)
        return makeNumberSum(std::move(left), std::move(right), minus);
    if (a == ValueKind::Date && b == ValueKind::Number)
        return makeDateShift(std::move(left), std::move(right), minus);
    if (!minus && a == ValueKind::Number && b == ValueKind::Date)
        return makeDateShift(std::move(right), std::move(left), false);
    if (minus && a == ValueKind::Date && b == ValueKind::Date)
        return makeDateDifference(std::move(left), std::move(right));
    if (a == ValueKind::Memo || b == ValueKind::Memo)
        throw ExpressionFault("a memo field can only be read through MLINE()" + at(op.position));
    throw ExpressionFault(std::string(minus ? "cannot subtract " : "cannot add ") + kindName(b) +
                          (minus ? " from " : " to ") + kindName(a) + at(op.position));
}

// {mm/dd/yyyy}; a two-digit year is one of the 1900s; {} and {  /  /    } are the blank date.
ExpressionNodePtr ExpressionParser::dateLiteral(const Token& token)
{
    const std::string& text = token.text;
    if (text.find_first_not_of(" /") == std::string::npos)
        return makeDateConstant(0);
    int parts[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int part = 0;
    bool valid = true;
    for (const char c : text) {
        if (c == ' ')
            continue;
        if (c == '/') {
            valid = valid && part < 2;
            ++part;
        } else if (std::isdigit(static_cast<unsigned char>(c)) && part < 3 && digits[part] < 4) {
            parts[part] = parts[part] * 10 + (c - '0');
            ++digits[part];
        } else {
            valid = false;
        }
    }
    valid = valid && part == 2 && digits[0] > 0 && digits[1] > 0 && digits[2] > 0;
    Date date{parts[2], parts[0], parts[1]};
    if (valid && digits[2] <= 2)
        date.year += 1900;
    if (!valid || !date.isValid())
        throw ExpressionFault("invalid date {" + text + "}" + at(token.position));
    return makeDateConstant(date.julianDay());
}

} // namespace dbase
