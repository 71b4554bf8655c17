#include "dbase/Errors.h"
#include "dbase/Expression.h"
#include "MdxTestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using dbase::DatabaseError;
using dbase::Expression;
using dbase::ExpressionType;
using mdxtest::expectDatabaseError;
using mdxtest::fields;
using mdxtest::padded;
using mdxtest::Refusal;
using mdxtest::rightAligned;
using mdxtest::TestRecord;

namespace {

TestRecord pennyBlack()
{
    TestRecord record(fields());
    record.set("NUMBER", "17")
        .set("MARK", "2")
        .set("TITLE", "Penny Black")
        .set("DESCR", std::string(60, 'd') + "tail of a long description")
        .set("PRICE", "12.50")
        .set("ISSUED", "19870605")
        .set("OK", "T")
        .set("RATE", "-3.2500")
        .setMemo("NOTES", "First line\r\nSecond\nThird\rFourth");
    return record;
}

std::string evaluate(const std::string& text, const TestRecord& record)
{
    return Expression(text, fields()).evaluate(record);
}

struct KeyCase
{
    const char* expression;
    std::string key;
};

void expectKeys(const std::vector<KeyCase>& cases, const TestRecord& record)
{
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.expression);
        try {
            const Expression expression(c.expression, fields());
            EXPECT_EQ(expression.type(), ExpressionType::Character);
            EXPECT_EQ(expression.width(), c.key.size());
            EXPECT_EQ(expression.evaluate(record), c.key);
        } catch (const DatabaseError& error) {
            ADD_FAILURE() << error.what();
        }
    }
}

} // namespace

// The expressions the sort orders build, for a text, numeric, memo and date column, each direction.
TEST(Expression, SortOrderExpressionsOnEveryColumnKind)
{
    const std::string upperDescription = std::string(60, 'D') + "TAIL OF A LONG DESCRIPTION";
    expectKeys(
        {
            {"UPPER(TITLE)", padded("PENNY BLACK", 30)},
            {"UPPER(SUBSTR(DESCR, 1, 99))", padded(upperDescription, 99)},
            {"UPPER(MLINE(NOTES, 1))", padded("FIRST LINE", 99)},
            {"STR(PRICE, 20, 4)", rightAligned("12.5000", 20)},
            {"STR(999999999999999999-PRICE, 20, 4)", "999999999999999986.5"},
            {"DTOS(ISSUED)", "19870605"},
            {"STR({12/31/3099}-ISSUED, 10, 0)", rightAligned("406359", 10)},
            {"STR(NUMBER, 20, 4)", rightAligned("17.0000", 20)},
            {"STR(999999999999999999-NUMBER, 20, 4)", "999999999999999982.0"},
            {"TITLE+STR(PRICE, 20, 4)", padded("Penny Black", 30) + rightAligned("12.5000", 20)},
            {"UPPER(SUBSTR(DESCR, 1, 59))+UPPER(SUBSTR(TITLE, 1, 40))",
             std::string(59, 'D') + padded("PENNY BLACK", 30)},
            {"DTOS(ISSUED)+TITLE", "19870605" + padded("Penny Black", 30)},
            {"STR(PRICE, 20, 4)+DTOS(ISSUED)", rightAligned("12.5000", 20) + "19870605"},
            {"UPPER(SUBSTR(MLINE(NOTES, 1), 1, 59))+TITLE",
             padded("FIRST LINE", 59) + padded("Penny Black", 30)},
            {"STR(PRICE, 20, 4)+STR(999999999999999999-NUMBER, 20, 4)",
             rightAligned("12.5000", 20) + "999999999999999982.0"},
            {"MARK+UPPER(TITLE)", "2" + padded("PENNY BLACK", 30)},
            {"MARK+UPPER(MLINE(NOTES, 1))", "2" + padded("FIRST LINE", 99)},
        },
        pennyBlack());
}

TEST(Expression, BlankColumnsGiveBlankOrBaseKeys)
{
    TestRecord blank(fields());
    expectKeys(
        {
            {"UPPER(TITLE)", std::string(30, ' ')},
            {"UPPER(MLINE(NOTES, 1))", std::string(99, ' ')},
            {"STR(PRICE, 20, 4)", rightAligned("0.0000", 20)},
            {"STR(999999999999999999-PRICE, 20, 4)", "999999999999999999.0"},
            {"DTOS(ISSUED)", std::string(8, ' ')},
            {"STR({12/31/3099}-ISSUED, 10, 0)", rightAligned("2853311", 10)},
            {"STR({01/01/2000} - ISSUED, 10)", rightAligned("2451545", 10)},
        },
        blank);
}

// A descending numeric part is an ascending text part over the inverted value. Exact arithmetic keeps
// every digit; the 20 characters leave room for one decimal beside the 18-digit constant, so prices
// that differ by a tenth or more keep their reverse order.
TEST(Expression, InvertedNumbersSortInReverseAsText)
{
    const char* prices[] = {"0.00", "0.10", "0.20", "12.40", "12.50", "999.90", "1000.00", "123456789.90"};
    const Expression inverted("STR(999999999999999999-PRICE, 20, 4)", fields());
    std::vector<std::string> keys;
    for (const char* price : prices)
        keys.push_back(inverted.evaluate(TestRecord(fields()).set("PRICE", price)));
    for (std::size_t i = 1; i < keys.size(); ++i)
        EXPECT_GT(keys[i - 1], keys[i]) << prices[i - 1] << " and " << prices[i];
}

TEST(Expression, StrRoundsAndOverflowsLikeDbase)
{
    const TestRecord record = pennyBlack();
    expectKeys(
        {
            {"STR(5)", rightAligned("5", 10)},
            {"STR(2.5)", rightAligned("3", 10)},
            {"STR(-2.5)", rightAligned("-3", 10)},
            {"STR(12.345, 6, 2)", " 12.35"},
            {"STR(-12.345, 7, 2)", " -12.35"},
            {"STR(1.005, 4, 2)", "1.01"}, // exact: a double would give 1.00
            {"STR(10.765, 5, 1)", " 10.8"},
            {"STR(10.765, 5, 2)", "10.77"},
            {"STR(123.456, 5, 2)", "123.5"}, // decimals shrink to fit
            {"STR(99.96, 4, 2)", " 100"},    // and the carry still fits without them
            {"STR(12345, 4)", "****"},
            {"STR(-123, 3)", "***"},
            {"STR(0.4, 1)", "0"},
            {"STR(-0.4, 3)", "  0"},
            {"STR(0.5, 3, 1)", "0.5"},
            {"STR(1234567890123456789, 20)", " 1234567890123456789"},
            {"STR(RATE, 8, 2)", "   -3.25"},
            {"STR(-RATE + 1, 6, 1)", "   4.3"},
            {"STR(PRICE - 0.005, 8, 2)", "   12.50"},
            {"STR(PRICE + PRICE - NUMBER, 6, 1)", "   8.0"},
        },
        record);
}

TEST(Expression, UnreadableNumbersCountAsZero)
{
    EXPECT_EQ(evaluate("STR(PRICE, 5)", TestRecord(fields()).set("PRICE", "1,50")), "    0");
    EXPECT_EQ(evaluate("STR(PRICE, 5)", TestRecord(fields()).set("PRICE", "*****")), "    0");
}

TEST(Expression, SubstrCutsAtTheEndOfItsText)
{
    const TestRecord record = pennyBlack();
    expectKeys(
        {
            {"SUBSTR(TITLE, 1, 5)", "Penny"},
            {"SUBSTR(TITLE, 7)", padded("Black", 24)},
            {"SUBSTR(TITLE, 25, 10)", std::string(6, ' ')},
            {"SUBSTR(TITLE, 2, 0)+'|'", "|"},
            {"'X'+SUBSTR(TITLE, 31)", "X"},
            {"SUBSTR('abcdef', 3, 2)", "cd"},
            {"SUBSTR(TITLE, 1 + 1, 10 - 6)", "enny"},
            {"substr(title, 1, 3)", "Pen"},
        },
        record);
}

TEST(Expression, MlineTakesLinesOfTheMemo)
{
    TestRecord record = pennyBlack();
    expectKeys(
        {
            {"MLINE(NOTES, 2)", padded("Second", 99)},
            {"MLINE(NOTES, 3)", padded("Third", 99)},
            {"MLINE(NOTES, 4)", padded("Fourth", 99)},
            {"MLINE(NOTES, 5)", std::string(99, ' ')},
        },
        record);
    record.setMemo("NOTES", std::string(150, 'x') + "\r\n");
    EXPECT_EQ(evaluate("MLINE(NOTES, 1)", record), std::string(99, 'x'));
    EXPECT_EQ(evaluate("MLINE(NOTES, 2)", record), std::string(99, ' '));
}

TEST(Expression, DateLiteralsAndDateArithmetic)
{
    const TestRecord record = pennyBlack();
    expectKeys(
        {
            {"DTOS({12/31/3099})", "30991231"},
            {"DTOS({1/2/99})", "19990102"},
            {"DTOS({})", std::string(8, ' ')},
            {"DTOS({  /  /    })", std::string(8, ' ')},
            {"DTOS({12/31/3099} - 1)", "30991230"},
            {"DTOS(1 + {12/31/1999})", "20000101"},
            {"DTOS(ISSUED + 30)", "19870705"},
            {"DTOS(ISSUED - 1.9)", "19870604"},
            {"STR(ISSUED - ISSUED, 3)", "  0"},
            {"STR({03/01/2024} - {02/28/2024}, 2)", " 2"},
        },
        record);
}

TEST(Expression, TextOperatorsAndTheMinusRule)
{
    const TestRecord record = pennyBlack();
    expectKeys(
        {
            {"'AB '+'CD'", "AB CD"},
            {"'AB  '-'CD'", "ABCD  "},
            {"'    '-'X'", "X    "},
            {"\"A\"+[B]+'C'", "ABC"},
            {"TITLE-MARK", padded("Penny Black2", 31)},
            {"(TITLE)", padded("Penny Black", 30)},
            {"title + mark", padded("Penny Black", 30) + "2"},
        },
        record);
}

TEST(Expression, UpperFoldsWindows1252Letters)
{
    const TestRecord record = pennyBlack();
    // ä ö ü é ñ ç š œ ž ÿ fold; ÷ ß µ have no capital and stay.
    expectKeys({{"UPPER('\xe4\xf6\xfc\xe9\xf1\xe7\x9a\x9c\x9e\xff\xf7\xdf\xb5 az')",
                 "\xc4\xd6\xdc\xc9\xd1\xc7\x8a\x8c\x8e\x9f\xf7\xdf\xb5 AZ"}},
               record);
}

TEST(Expression, TypesAndWidthsAreStatic)
{
    struct TypeCase
    {
        const char* expression;
        ExpressionType type;
        std::size_t width;
    };
    const TypeCase cases[] = {
        {"PRICE", ExpressionType::Numeric, 0},
        {"PRICE + 1", ExpressionType::Numeric, 0},
        {"ISSUED", ExpressionType::Date, 0},
        {"ISSUED - 1", ExpressionType::Date, 0},
        {"ISSUED - ISSUED", ExpressionType::Numeric, 0},
        {"OK", ExpressionType::Logical, 0},
        {"TITLE", ExpressionType::Character, 30},
        {"MARK+TITLE-DESCR", ExpressionType::Character, 151},
    };
    for (const TypeCase& c : cases) {
        const Expression expression(c.expression, fields());
        EXPECT_EQ(expression.type(), c.type) << c.expression;
        EXPECT_EQ(expression.width(), c.width) << c.expression;
    }
    EXPECT_TRUE(Expression("title", fields()).isFieldReference());
    EXPECT_FALSE(Expression("UPPER(TITLE)", fields()).isFieldReference());
}

// Every refusal names the expression and the fault.
TEST(Expression, RefusalsNameTheExpressionAndTheFault)
{
    const std::string deep = std::string(70, '(') + "TITLE" + std::string(70, ')');
    const Refusal refusals[] = {
        {"UPPER(NAM)", "unknown field NAM at position 7"},
        {"FOO(TITLE)", "unknown function FOO at position 1"},
        {"UPPER(TITLE", "missing \")\" at position 12"},
        {"UPPER(TITLE))", "unexpected \")\" at position 13"},
        {"UPPER(PRICE)", "UPPER needs text, not a number"},
        {"UPPER(TITLE, 2)", "UPPER needs 1 argument, not 2"},
        {"SUBSTR(TITLE)", "SUBSTR needs 2 to 3 arguments, not 1"},
        {"SUBSTR(TITLE, 0)", "the start of SUBSTR must be at least 1"},
        {"SUBSTR(TITLE, 2, -1)", "the count of SUBSTR must not be negative"},
        {"SUBSTR(TITLE, PRICE)", "the start of SUBSTR must be a constant number"},
        {"SUBSTR(TITLE, 1.5)", "the start of SUBSTR must be a whole number"},
        {"TITLE+PRICE", "cannot add a number to text at position 6"},
        {"PRICE-ISSUED", "cannot subtract a date from a number at position 6"},
        {"ISSUED+ISSUED", "cannot add a date to a date"},
        {"TITLE+OK", "cannot add a logical value to text"},
        {"NOTES", "a memo field can only be read through MLINE()"},
        {"TITLE+NOTES", "a memo field can only be read through MLINE()"},
        {"UPPER(NOTES)", "UPPER needs text, not a memo"},
        {"MLINE(TITLE, 1)", "MLINE needs a memo field, not text"},
        {"MLINE(NOTES, 0)", "the line of MLINE must be at least 1"},
        {"PIC", "the binary field PIC cannot be used in an expression"},
        {"STR(PRICE, 21)", "the length of STR must be from 1 to 20"},
        {"STR(PRICE, 10, 19)", "the decimals of STR must be from 0 to 18"},
        {"STR(TITLE)", "STR needs a number, not text"},
        {"DTOS(TITLE)", "DTOS needs a date, not text"},
        {"'abc", "unterminated string at position 1"},
        {"DTOS({12/31/3099)", "unterminated date at position 6"},
        {"", "the expression is empty"},
        {"TITLE +", "the expression ends too early"},
        {"DTOS({13/01/2000})", "invalid date {13/01/2000} at position 6"},
        {"DTOS({02/30/2020})", "invalid date {02/30/2020}"},
        {"DTOS({12/31})", "invalid date {12/31}"},
        {"-TITLE", "a sign cannot stand before text at position 1"},
        {"TITLE # 2", "unexpected \"#\" at position 7"},
        {"STR(1234567890123456789012345678901234567, 20)", "has too many digits"},
        {deep, "the expression is nested too deeply"},
    };
    for (const Refusal& refusal : refusals)
        expectDatabaseError([&] { Expression(refusal.input, fields()); }, refusal.fault,
                            "Expression \"" + refusal.input + "\": ");
}

TEST(Expression, IndexKeysMustBeTextOfAtMostOneHundredBytes)
{
    const Refusal refusals[] = {
        {"PRICE", "the key is a number; index keys must be text (use STR())"},
        {"ISSUED", "the key is a date; index keys must be text (use DTOS())"},
        {"OK", "the key is a logical value"},
        {"DESCR", "the key is 120 bytes long; at most 100 are allowed"},
        {"MARK+MARK+UPPER(MLINE(NOTES, 1))", "the key is 101 bytes long"},
        {"SUBSTR(TITLE, 40)", "the key is empty"},
    };
    for (const Refusal& refusal : refusals)
        expectDatabaseError([&] { Expression::indexKey(refusal.input, fields()); }, refusal.fault);
    EXPECT_EQ(Expression::indexKey("MARK+UPPER(MLINE(NOTES, 1))", fields()).width(), 100u);
    EXPECT_EQ(Expression::indexKey("UPPER(SUBSTR(DESCR, 1, 99))", fields()).width(), 99u);
}

TEST(Expression, EvaluationFaultsNameTheExpression)
{
    const TestRecord record = pennyBlack();
    const Refusal faults[] = {
        {"DTOS(ISSUED - 3000000)", "cannot be evaluated: the date lies outside the years 1 to 9999"},
        {"DTOS(ISSUED + 99999999999)", "cannot be evaluated: the date lies outside the years 1 to 9999"},
        {"DTOS({01/01/0001} - 1)", "cannot be evaluated: the date lies outside the years 1 to 9999"},
        {"STR(999999999999999999999999999999999999 + 1, 20)",
         "cannot be evaluated: the number has more than 36 digits"},
    };
    for (const Refusal& fault : faults)
        expectDatabaseError([&] { evaluate(fault.input, record); }, fault.fault,
                            "Expression \"" + fault.input + "\": ");
    EXPECT_THROW(Expression("PRICE", fields()).evaluate(record), DatabaseError);
}
