#include "editors/CalculatorEngine.h"
#include "editors/TCalcDlg.h"
#include "editors/TClickEdit.h"
#include "EditorTestSupport.h"

#include <QPushButton>

namespace {

using editors::CalculatorEngine;

// Keys as the calculator's buttons send them; "<" stands for backspace and "|" for carriage return.
void pressAll(CalculatorEngine& engine, const QString& keys)
{
    for (QChar key : keys) {
        if (key == QLatin1Char('<'))
            engine.press(CalculatorEngine::backspaceKey);
        else if (key == QLatin1Char('|'))
            engine.press(CalculatorEngine::carriageReturnKey);
        else
            engine.press(key);
    }
}

struct ArithmeticCase
{
    const char* keys;
    const char* text;
    CalculatorEngine::Status status;
};

class CalculatorArithmetic : public ::testing::TestWithParam<ArithmeticCase>
{
};

TEST_P(CalculatorArithmetic, ShowsTheResult)
{
    const ArithmeticCase& c = GetParam();
    CalculatorEngine engine;
    pressAll(engine, QString::fromLatin1(c.keys));
    EXPECT_EQ(engine.text(), QString::fromLatin1(c.text)) << c.keys;
    EXPECT_EQ(engine.status(), c.status) << c.keys;
}

constexpr auto result = CalculatorEngine::Status::ShowingResult;
constexpr auto entering = CalculatorEngine::Status::Entering;
constexpr auto error = CalculatorEngine::Status::Error;

INSTANTIATE_TEST_SUITE_P(
    Cases, CalculatorArithmetic,
    ::testing::Values(ArithmeticCase{"", "0", result}, ArithmeticCase{"5+3=", "8", result},
                      ArithmeticCase{"5+3|", "8", result}, ArithmeticCase{"5+3", "3", entering},
                      ArithmeticCase{"2*3+4=", "10", result}, ArithmeticCase{"9-12=", "-3", result},
                      ArithmeticCase{"7/2=", "3.5", result}, ArithmeticCase{"5++3=", "8", result},
                      ArithmeticCase{"200+10%", "220", result}, ArithmeticCase{"200-10%", "180", result},
                      ArithmeticCase{"50*10%", "5", result}, ArithmeticCase{"50/10%", "500", result},
                      ArithmeticCase{"10%", "10", result}, ArithmeticCase{"7/0=", "Error", error},
                      ArithmeticCase{"7/0=5+1=", "Error", error}, ArithmeticCase{"7/0=C", "0", result},
                      ArithmeticCase{"7/0=c4", "4", entering}, ArithmeticCase{"12_", "-12", entering},
                      ArithmeticCase{"12__", "12", entering}, ArithmeticCase{"3_*4=", "-12", result},
                      ArithmeticCase{"5=_", "-5", result}, ArithmeticCase{"1.5.2", "1.52", entering},
                      ArithmeticCase{".5", "0.5", entering}, ArithmeticCase{"0005", "5", entering},
                      ArithmeticCase{"123<", "12", entering}, ArithmeticCase{"1<", "0", entering},
                      ArithmeticCase{"5+3=<", "0", entering}, ArithmeticCase{"5+3=7", "7", entering},
                      ArithmeticCase{"1/3=", "0.3333333333", result},
                      ArithmeticCase{"2/3=", "0.6666666667", result},
                      ArithmeticCase{"0.1+0.2=", "0.3", result},
                      ArithmeticCase{"1234567890123456789", "123456789012345", entering},
                      ArithmeticCase{"1.23456789012345678", "1.2345678901234", entering},
                      ArithmeticCase{"999999999999999+0=", "999999999999999", result},
                      ArithmeticCase{"999999999999999+1=", "Error", error},
                      ArithmeticCase{"999999999999999*999999999999999=", "Error", error},
                      ArithmeticCase{"12345678901/7=", "1763668414.4286", result},
                      ArithmeticCase{"0.000000000001*1=", "0", result},
                      ArithmeticCase{"0-0.000000000001=", "0", result}));

TEST(CalculatorArithmetic, StartsFromTheFieldsValue)
{
    CalculatorEngine engine(1234.5L);
    EXPECT_EQ(engine.text(), "1234.5");
    EXPECT_EQ(engine.status(), result);
    pressAll(engine, QStringLiteral("+10="));
    EXPECT_EQ(engine.text(), "1244.5");

    CalculatorEngine negative(-3);
    EXPECT_EQ(negative.text(), "-3");
    EXPECT_TRUE(negative.isNegative());
    pressAll(negative, QStringLiteral("*2="));
    EXPECT_EQ(negative.text(), "-6");

    CalculatorEngine typed(1234.5L);
    pressAll(typed, QStringLiteral("7"));
    EXPECT_EQ(typed.text(), "7");
}

// A calculator opened on a click edit, which plays the field that shows it.
class CalculatorWindow : public ::testing::Test
{
protected:
    CalculatorWindow() : calculator(&field, 0)
    {
        field.show();
        calculator.show();
        calculator.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&calculator));
    }

    TClickEdit field;
    TCalcDlg calculator;
};

TEST_F(CalculatorWindow, ButtonsSendTheirKeysAndTheFieldFollows)
{
    struct Step
    {
        const char* clicks;
        const char* field;
    };
    for (const Step& step :
         {Step{"12+3=", "15"}, Step{"_", "-15"}, Step{"C", "0"}, Step{"42<", "4"}, Step{".5*2%", "0.09"}}) {
        for (const char* key = step.clicks; *key; ++key) {
            const QChar sent = *key == '<' ? CalculatorEngine::backspaceKey : QLatin1Char(*key);
            QTest::mouseClick(calculator.keyButton(sent), Qt::LeftButton);
        }
        EXPECT_EQ(field.text(), QString::fromLatin1(step.field)) << step.clicks;
    }
    EXPECT_TRUE(calculator.okButton()->hasFocus());
}

TEST_F(CalculatorWindow, TypedKeysCountLikeButtonsAndAreUpperCased)
{
    QTest::keyClicks(&calculator, QStringLiteral("8/4"));
    QTest::keyClick(&calculator, Qt::Key_Backspace);
    QTest::keyClicks(&calculator, QStringLiteral("2="));
    EXPECT_EQ(field.text(), "4");
    QTest::keyClicks(&calculator, QStringLiteral("c"));
    EXPECT_EQ(field.text(), "0");
    QTest::keyClicks(&calculator, QStringLiteral("6*7"));
    calculator.setFocus();
    QTest::keyClick(&calculator, Qt::Key_Return);
    EXPECT_EQ(field.text(), "42");
    EXPECT_TRUE(calculator.isVisible());
}

TEST_F(CalculatorWindow, EnterOnTheOkButtonClosesWithOk)
{
    QTest::keyClicks(&calculator, QStringLiteral("5"));
    QTest::keyClick(calculator.okButton(), Qt::Key_Return);
    EXPECT_EQ(calculator.result(), QDialog::Accepted);
    EXPECT_FALSE(calculator.isVisible());
}

TEST_F(CalculatorWindow, EscapeCancels)
{
    QTest::keyClick(&calculator, Qt::Key_Escape);
    EXPECT_EQ(calculator.result(), QDialog::Rejected);
    EXPECT_FALSE(calculator.isVisible());
}

TEST_F(CalculatorWindow, ButtonsCarryTheirHints)
{
    struct Hint
    {
        QChar key;
        const char* hint;
    };
    for (const Hint& h : {Hint{QLatin1Char('C'), "Clear"}, Hint{CalculatorEngine::backspaceKey, "Backspace"},
                          Hint{CalculatorEngine::signKey, "Switch Sign"}, Hint{QLatin1Char('/'), "Divide"},
                          Hint{QLatin1Char('*'), "Multiply"}, Hint{QLatin1Char('-'), "Subtract"},
                          Hint{QLatin1Char('+'), "Add"}, Hint{QLatin1Char('.'), "Decimal Point"},
                          Hint{QLatin1Char('%'), "Percent"}, Hint{QLatin1Char('='), "Equals"}}) {
        ASSERT_NE(calculator.keyButton(h.key), nullptr) << h.hint;
        EXPECT_EQ(calculator.keyButton(h.key)->toolTip(), QString::fromLatin1(h.hint));
    }
    for (char digit = '0'; digit <= '9'; ++digit)
        EXPECT_NE(calculator.keyButton(QLatin1Char(digit)), nullptr);
    EXPECT_EQ(calculator.okButton()->toolTip(), "Close and Update the edit field");
    EXPECT_EQ(calculator.cancelButton()->toolTip(), "Close and don't Update the edit field");
    EXPECT_TRUE(calculator.okButton()->isDefault());
    EXPECT_EQ(calculator.windowTitle(), "Calculator");
    EXPECT_TRUE(calculator.windowFlags().testFlag(Qt::FramelessWindowHint));
}

} // namespace
