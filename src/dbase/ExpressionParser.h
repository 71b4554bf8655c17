#pragma once

#include "ExpressionNode.h"

#include <string>
#include <string_view>
#include <vector>

namespace dbase {

// Turns the text of a key expression into a typed node tree. Faults are ExpressionFaults whose message
// says what is wrong and where (1-based character positions).
class ExpressionParser
{
public:
    ExpressionParser(std::string_view text, const std::vector<FieldDescriptor>& fields);
    ExpressionNodePtr parse();

private:
    enum class TokenKind
    {
        Identifier,
        Number,
        String,
        Date,
        Open,
        Close,
        Comma,
        Plus,
        Minus,
        End
    };
    struct Token
    {
        TokenKind kind = TokenKind::End;
        std::string text; // identifier (upper case), number digits, string or date contents
        std::size_t position = 0;
    };

    void tokenize();
    const Token& current() const { return tokens_[next_]; }
    Token take() { return tokens_[next_++]; }
    void expect(TokenKind kind, const char* what);

    ExpressionNodePtr parseSum();
    ExpressionNodePtr parseUnary();
    ExpressionNodePtr parsePrimary();
    ExpressionNodePtr parseName(const Token& name);
    ExpressionNodePtr parseFunction(const Token& name);
    ExpressionNodePtr combine(ExpressionNodePtr left, ExpressionNodePtr right, const Token& op) const;
    static ExpressionNodePtr dateLiteral(const Token& token);

    std::string_view text_;
    const std::vector<FieldDescriptor>& fields_;
    std::vector<Token> tokens_;
    std::size_t next_ = 0;
    int depth_ = 0;
};

} // namespace dbase
