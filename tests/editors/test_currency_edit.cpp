#include "editors/MoneyText.h"
#include "editors/TCalcDlg.h"
#include "editors/TCurrencyEdit.h"
#include "editors/TEditButton.h"
#include "EditorTestSupport.h"

#include <QPushButton>

namespace {

const QColor positive(0, 0, 0xFF);
const QColor negative(0xFF, 0, 0);

struct ReadCase
{
    const char* text;
    double value;
    const char* shown;
    bool negativeColour;
};

class CurrencyReading : public ::testing::TestWithParam<ReadCase>
{
};

TEST_P(CurrencyReading, ReadsDigitsAndTheSignAndShowsTheDisplayFormat)
{
    const ReadCase& c = GetParam();
    TCurrencyEdit field;
    field.setText(QString::fromLatin1(c.text));
    field.reformat();
    EXPECT_DOUBLE_EQ(field.value(), c.value);
    EXPECT_EQ(field.text(), QString::fromLatin1(c.shown));
    EXPECT_EQ(field.textColour(), c.negativeColour ? negative : positive);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CurrencyReading,
    ::testing::Values(ReadCase{"(1,234.50)", -1234.5, "-1,234.50", true},
                      ReadCase{"1,234.50", 1234.5, "1,234.50", false}, ReadCase{"-12", -12, "-12.00", true},
                      ReadCase{"12-", -12, "-12.00", true}, ReadCase{"$ 1234.5", 1234.5, "1,234.50", false},
                      ReadCase{"0.5", 0.5, "0.50", false}, ReadCase{".5", 0.5, "0.50", false},
                      ReadCase{"1234567.891", 1234567.891, "1,234,567.89", false},
                      ReadCase{"", 0, "0.00", false}, ReadCase{"abc", 0, "0.00", false},
                      ReadCase{"-0", 0, "0.00", false}));

TEST(CurrencyReading, AnUnreadableNumberBeepsAndKeepsTheOldValue)
{
    TCurrencyEdit field;
    field.setValue(7.25);
    BeepCounter beeps;
    field.setText(QStringLiteral("1.2.3"));
    field.reformat();
    EXPECT_EQ(beeps.count(), 1);
    EXPECT_DOUBLE_EQ(field.value(), 7.25);
    EXPECT_EQ(field.text(), "7.25");
}

TEST(CurrencyReading, ParenthesesShowWithANegativeSection)
{
    TCurrencyEdit field;
    field.setDisplayFormat(QStringLiteral(",0.00;(,0.00)"));
    field.setText(QStringLiteral("(1,234.50)"));
    field.reformat();
    EXPECT_DOUBLE_EQ(field.value(), -1234.5);
    EXPECT_EQ(field.text(), "(1,234.50)");
    EXPECT_EQ(field.textColour(), negative);
}

TEST(CurrencyValue, SettingAValueShowsItAndColoursItBySign)
{
    TCurrencyEdit field;
    EXPECT_EQ(field.text(), "0.00");
    field.setValue(1234.5);
    EXPECT_EQ(field.text(), "1,234.50");
    EXPECT_EQ(field.textColour(), positive);
    field.setValue(-5);
    EXPECT_EQ(field.text(), "-5.00");
    EXPECT_EQ(field.textColour(), negative);
    field.setValue(5);
    EXPECT_EQ(field.textColour(), positive);
}

TEST(CurrencyValue, TheValueKeepsItsPrecisionBehindTheDisplay)
{
    TCurrencyEdit field;
    field.setValue(2.675);
    EXPECT_DOUBLE_EQ(field.value(), 2.675);
}

TEST(CurrencyValue, AnEditedTextCountsBeforeTheFieldIsLeft)
{
    TCurrencyEdit field;
    field.setValue(5);
    field.selectAll();
    QTest::keyClicks(&field, QStringLiteral("12"));
    EXPECT_EQ(field.text(), "12");
    EXPECT_DOUBLE_EQ(field.value(), 12);
    // A record loaded over the edited text replaces it, even with the same value.
    field.setValue(5);
    EXPECT_EQ(field.text(), "5.00");
}

TEST(CurrencyValue, ChangingTheFormatOrColoursShowsThemAtOnce)
{
    TCurrencyEdit field;
    field.setValue(-3);
    field.setDisplayFormat(QStringLiteral("0.000"));
    EXPECT_EQ(field.text(), "-3.000");
    field.setNegColor(Qt::darkMagenta);
    EXPECT_EQ(field.textColour(), QColor(Qt::darkMagenta));
    field.setPlusColor(Qt::darkGreen);
    EXPECT_EQ(field.textColour(), QColor(Qt::darkMagenta));
    field.setValue(3);
    EXPECT_EQ(field.textColour(), QColor(Qt::darkGreen));
}

TEST(CurrencyKeys, OnlyDigitsMinusBackspaceAndTheDecimalSeparatorAreTyped)
{
    TCurrencyEdit field;
    field.clear();
    BeepCounter beeps;
    QTest::keyClicks(&field, QStringLiteral("1a2,3.4-x("));
    QTest::keyClick(&field, Qt::Key_Return);
    EXPECT_EQ(field.text(), "123.4-");
    QTest::keyClick(&field, Qt::Key_Backspace);
    EXPECT_EQ(field.text(), "123.4");
    EXPECT_EQ(beeps.count(), 0);
}

TEST(CurrencyKeys, LeavingTheFieldReadsAndFormatsIt)
{
    FieldWindow<TCurrencyEdit> form;
    form.field->selectAll();
    QTest::keyClicks(form.field, QStringLiteral("-1234.5"));
    QTest::keyClick(form.field, Qt::Key_Tab);
    EXPECT_TRUE(form.next->hasFocus());
    EXPECT_EQ(form.field->text(), "-1,234.50");
    EXPECT_EQ(form.field->textColour(), negative);
}

TEST(CurrencyLocale, TheLocaleSeparatorsAreReadAndShown)
{
    const DefaultLocale german(QLocale(QLocale::German, QLocale::Germany));
    TCurrencyEdit field;
    field.setText(QStringLiteral("1.234,5"));
    field.reformat();
    EXPECT_DOUBLE_EQ(field.value(), 1234.5);
    EXPECT_EQ(field.text(), "1.234,50");
    field.clear();
    QTest::keyClicks(&field, QStringLiteral("3.5,2"));
    EXPECT_EQ(field.text(), "35,2");
}

struct MoneyReadCase
{
    const char* text;
    char decimal;
    char thousands;
    std::optional<double> value;
};

class MoneyTextReading : public ::testing::TestWithParam<MoneyReadCase>
{
};

TEST_P(MoneyTextReading, KeepsDigitsAndTheDecimalSeparator)
{
    const MoneyReadCase& c = GetParam();
    const std::optional<double> read = editors::readMoneyText(
        QString::fromLatin1(c.text), {QLatin1Char(c.decimal), QLatin1Char(c.thousands)});
    ASSERT_EQ(read.has_value(), c.value.has_value());
    if (read) {
        EXPECT_DOUBLE_EQ(*read, *c.value);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, MoneyTextReading,
                         ::testing::Values(MoneyReadCase{"(1,234.50)", '.', ',', -1234.5},
                                           MoneyReadCase{"1.234,50", ',', '.', 1234.5},
                                           MoneyReadCase{"1.234.50", '.', '.', 1234.5},
                                           MoneyReadCase{"1.2.3", '.', ',', std::nullopt},
                                           MoneyReadCase{".", '.', ',', std::nullopt},
                                           MoneyReadCase{"5.", '.', ',', 5.0},
                                           MoneyReadCase{"", '.', ',', 0.0},
                                           MoneyReadCase{"USD", '.', ',', 0.0},
                                           MoneyReadCase{"- 7", '.', ',', -7.0}));

struct PictureCase
{
    double value;
    const char* picture;
    const char* text;
};

class PictureFormat : public ::testing::TestWithParam<PictureCase>
{
};

TEST_P(PictureFormat, WritesTheValue)
{
    const PictureCase& c = GetParam();
    EXPECT_EQ(editors::formatPicture(c.value, QString::fromLatin1(c.picture), {}),
              QString::fromLatin1(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PictureFormat,
    ::testing::Values(PictureCase{1234.5, ",0.00", "1,234.50"}, PictureCase{-1234.5, ",0.00", "-1,234.50"},
                      PictureCase{-1234.5, ",0.00;(,0.00)", "(1,234.50)"},
                      PictureCase{1234.5, ",0.00;(,0.00)", "1,234.50"},
                      PictureCase{0, ",0.00;(,0.00);'none'", "none"},
                      PictureCase{1234567.891, "#,##0.00", "1,234,567.89"}, PictureCase{0.5, "#.##", ".5"},
                      PictureCase{1.5, "0.0#", "1.5"}, PictureCase{1.567, "0.0#", "1.57"},
                      PictureCase{7, "000", "007"}, PictureCase{5, "0.00 'EUR'", "5.00 EUR"},
                      PictureCase{5, "$0.00", "$5.00"}, PictureCase{-5, "$0.00", "-$5.00"},
                      PictureCase{-0.001, "0.00", "0.00"}, PictureCase{12.5, "", "12.5"}));

TEST(PictureFormat, UsesTheGivenSeparators)
{
    EXPECT_EQ(
        editors::formatPicture(1234567.5, QStringLiteral(",0.00"), {QLatin1Char(','), QLatin1Char('.')}),
        "1.234.567,50");
}

// Opens the calculator from the field's button, lets the test drive it, and tells what it saw.
void withCalculator(TCurrencyEdit& field, const std::function<void(TCalcDlg*)>& drive)
{
    OnNextModal<TCalcDlg> calculator(drive);
    QTest::mouseClick(field.button(), Qt::LeftButton);
    EXPECT_TRUE(calculator.acted());
}

struct CalculatorResultCase
{
    const char* keys;
    bool ok;
    const char* shown;
    double value;
};

class CurrencyCalculator : public ::testing::TestWithParam<CalculatorResultCase>
{
};

TEST_P(CurrencyCalculator, TheResultGoesIntoTheField)
{
    const CalculatorResultCase& c = GetParam();
    FieldWindow<TCurrencyEdit> form;
    form.field->setValue(1234.5);
    withCalculator(*form.field, [&](TCalcDlg* calculator) {
        QTest::keyClicks(calculator, QString::fromLatin1(c.keys));
        QTest::mouseClick(c.ok ? calculator->okButton() : calculator->cancelButton(), Qt::LeftButton);
    });
    EXPECT_EQ(form.field->text(), QString::fromLatin1(c.shown));
    EXPECT_DOUBLE_EQ(form.field->value(), c.value);
    EXPECT_EQ(form.field->textColour(), c.value < 0 ? negative : positive);
    EXPECT_EQ(form.focused(), form.field);
}

INSTANTIATE_TEST_SUITE_P(Cases, CurrencyCalculator,
                         ::testing::Values(CalculatorResultCase{"12_", true, "-12.00", -12},
                                           CalculatorResultCase{"0-12=", true, "-12.00", -12},
                                           CalculatorResultCase{"0.5", true, "0.50", 0.5},
                                           CalculatorResultCase{"+10%", true, "1,357.95", 1357.95},
                                           CalculatorResultCase{"", true, "1,234.50", 1234.5},
                                           CalculatorResultCase{"99", false, "1,234.50", 1234.5},
                                           CalculatorResultCase{"7/0=", true, "0.00", 0}));

TEST(CurrencyCalculator, TheFieldShowsTheCalculatorInBlackWhileItIsOpen)
{
    FieldWindow<TCurrencyEdit> form;
    form.field->setValue(-3);
    QColor during;
    QString live;
    withCalculator(*form.field, [&](TCalcDlg* calculator) {
        QTest::mouseClick(calculator->keyButton(QLatin1Char('7')), Qt::LeftButton);
        live = form.field->text();
        during = form.field->textColour();
        EXPECT_TRUE(calculator->okButton()->hasFocus());
        QTest::keyClick(calculator->okButton(), Qt::Key_Return);
    });
    EXPECT_EQ(live, "7");
    EXPECT_EQ(during, QColor(Qt::black));
    EXPECT_EQ(form.field->text(), "7.00");
}

TEST(CurrencyCalculator, OpensUnderTheField)
{
    FieldWindow<TCurrencyEdit> form;
    QPoint where;
    withCalculator(*form.field, [&](TCalcDlg* calculator) {
        where = calculator->pos();
        calculator->reject();
    });
    EXPECT_EQ(where, form.field->mapToGlobal(QPoint(0, form.field->height())) + QPoint(1, 1));
}

TEST(CurrencyCalculator, TheLocaleDecimalSeparatorComesBack)
{
    const DefaultLocale german(QLocale(QLocale::German, QLocale::Germany));
    FieldWindow<TCurrencyEdit> form;
    withCalculator(*form.field, [&](TCalcDlg* calculator) {
        QTest::keyClicks(calculator, QStringLiteral("2,5*2="));
        QTest::mouseClick(calculator->okButton(), Qt::LeftButton);
    });
    EXPECT_EQ(form.field->text(), "5,00");
}

} // namespace
