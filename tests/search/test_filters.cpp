#include "search/FilterValues.h"
#include "SearchCatalog.h"
#include "store/ContentTemplateLists.h"

#include <gtest/gtest.h>

namespace {

using search::TFilter;

struct ComparisonCase
{
    const char* name;
    Stamp stamp;
    int fieldPos;
    int kind;
    int op;
    QString value1;
    QString value2 = {};
    QStringList values = {};
    bool passes;
    int dateFormat = 0;
};

class FilterComparisons : public testing::Test
{
protected:
    SearchCatalog catalog;
};

TEST_F(FilterComparisons, EachConditionOnARealRecord)
{
    const QDate may1985(1985, 5, 5), march1990(1990, 3, 15);
    const ComparisonCase cases[] = {
        {"between excludes the lower end",
         {.cost = 10},
         column::cost,
         TFilter::FloatKind,
         TFilter::Between,
         "10",
         "20",
         {},
         false},
        {"between excludes the upper end",
         {.cost = 20},
         column::cost,
         TFilter::FloatKind,
         TFilter::Between,
         "10",
         "20",
         {},
         false},
        {"between takes the middle",
         {.cost = 15},
         column::cost,
         TFilter::FloatKind,
         TFilter::Between,
         "10",
         "20",
         {},
         true},
        {"text that reads as a number compares as one",
         {.description = "0012"},
         column::description,
         TFilter::TextKind,
         TFilter::Equal,
         "12",
         {},
         {},
         true},
        {"numbers in text are not compared by letters",
         {.description = "100"},
         column::description,
         TFilter::TextKind,
         TFilter::Less,
         "20",
         {},
         {},
         false},
        {"text compares without letter case",
         {.description = "Mint"},
         column::description,
         TFilter::TextKind,
         TFilter::Equal,
         "mint",
         {},
         {},
         true},
        {"text compares by character codes",
         {.description = "Abbey"},
         column::description,
         TFilter::TextKind,
         TFilter::Less,
         "b",
         {},
         {},
         true},
        {"text that reads as a date compares as one",
         {.description = "12/01/1989"},
         column::description,
         TFilter::TextKind,
         TFilter::Greater,
         "01/01/1990",
         {},
         {},
         false},
        {"one of on a number: a value that is no number is 0",
         {.cost = 0},
         column::cost,
         TFilter::FloatKind,
         TFilter::OneOf,
         {},
         {},
         {"5", "x"},
         true},
        {"one of on a number takes the listed values",
         {.cost = 5},
         column::cost,
         TFilter::FloatKind,
         TFilter::OneOf,
         {},
         {},
         {"5", "x"},
         true},
        {"one of on a number misses the others",
         {.cost = 3},
         column::cost,
         TFilter::FloatKind,
         TFilter::OneOf,
         {},
         {},
         {"5", "x"},
         false},
        {"one of on text ignores letter case",
         {.country = "FRANCE"},
         column::country,
         TFilter::TextKind,
         TFilter::OneOf,
         {},
         {},
         {"Italy", "france"},
         true},
        {"one of on text misses the others",
         {.country = "Spain"},
         column::country,
         TFilter::TextKind,
         TFilter::OneOf,
         {},
         {},
         {"Italy", "france"},
         false},
        {"a date before",
         {.issued = may1985},
         column::issued,
         TFilter::DateKind,
         TFilter::Less,
         "01/01/1990",
         {},
         {},
         true},
        {"a date after",
         {.issued = march1990},
         column::issued,
         TFilter::DateKind,
         TFilter::Less,
         "01/01/1990",
         {},
         {},
         false},
        {"a date equal with a two-digit year",
         {.issued = march1990},
         column::issued,
         TFilter::DateKind,
         TFilter::Equal,
         "03/15/90",
         {},
         {},
         true},
        {"dates read day first when the setting says so",
         {.issued = march1990},
         column::issued,
         TFilter::DateKind,
         TFilter::Equal,
         "15/03/1990",
         {},
         {},
         true,
         1},
        {"dates read year first when the setting says so",
         {.issued = march1990},
         column::issued,
         TFilter::DateKind,
         TFilter::GreaterOrEqual,
         "1990/03/15",
         {},
         {},
         true,
         2},
        {"dates between",
         {.issued = march1990},
         column::issued,
         TFilter::DateKind,
         TFilter::Between,
         "01/01/1990",
         "12/31/1990",
         {},
         true},
        {"one of on dates",
         {.issued = march1990},
         column::issued,
         TFilter::DateKind,
         TFilter::OneOf,
         {},
         {},
         {"01/01/1990", "03/15/1990"},
         true},
        {"an unknown kind is met", {.cost = 1}, column::cost, 2, TFilter::Equal, "7", {}, {}, true},
        {"a text value that is no number falls back to letters",
         {.description = "Block"},
         column::description,
         TFilter::TextKind,
         TFilter::GreaterOrEqual,
         "b",
         {},
         {},
         true},
    };
    for (const ComparisonCase& test : cases) {
        SCOPED_TRACE(test.name);
        catalog.dateFormat = test.dateFormat;
        catalog.add(test.stamp);
        catalog.browse().last();
        search::TFilterList& filters = catalog.filters;
        filters.Clear();
        TFilter& condition = *filters.Condition(filters.AddCondition(test.fieldPos));
        condition.Values = test.values;
        filters.SetCondition(condition, test.value1, test.value2, test.kind, test.op);
        EXPECT_EQ(filters.Passes(catalog.browse()), test.passes);
    }
}

TEST(FilterValues, NumbersAndDatesAreReadOrRefused)
{
    struct Case
    {
        QString text;
        bool number;
        double value;
    } numbers[] = {{"12", true, 12},   {"1,234.5", true, 1234.5},
                   {"0012", true, 12}, {"12.50x", false, 0},
                   {"", false, 0},     {"x", false, 0}};
    for (const Case& test : numbers) {
        bool ok = false;
        EXPECT_EQ(search::readFilterNumber(test.text, &ok), test.value) << test.text.toStdString();
        EXPECT_EQ(ok, test.number) << test.text.toStdString();
    }
    bool ok = true;
    const double fallback = search::readFilterDate("no date", 0, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(fallback, search::dayCount(QDate(2001, 1, 1)));
    EXPECT_FALSE((search::readFilterDate("13/13/2000", 0, &ok), ok));
}

TEST_F(FilterComparisons, PrepareUpperCasesAndReadsAheadByOperator)
{
    TFilter condition;
    condition.Value1 = "abc";
    condition.Operator = TFilter::Equal;
    condition.Prepare(0);
    EXPECT_EQ(condition.Value1, "ABC");
    EXPECT_FALSE(condition.HasNumbers || condition.HasDates);

    condition.Value1 = "10";
    condition.Value2 = "x";
    condition.Operator = TFilter::Between;
    condition.Prepare(0);
    EXPECT_FALSE(condition.HasNumbers) << "Between needs both values as numbers";

    condition.Value1 = "01/02/2000";
    condition.Operator = TFilter::GreaterOrEqual;
    condition.Prepare(0);
    EXPECT_TRUE(condition.HasDates);
    EXPECT_EQ(condition.Date1, search::dayCount(QDate(2000, 1, 2)));

    condition.Operator = TFilter::OneOf;
    condition.Prepare(0);
    EXPECT_FALSE(condition.HasNumbers || condition.HasDates);
}

TEST_F(FilterComparisons, PostedRecordsAreMarkedByTheHook)
{
    search::TFilterList& filters = catalog.filters;
    filters.AttachTable(catalog.browse());
    catalog.add({.description = "no conditions", .mark = "0"});
    filters.AddCondition(column::country);
    catalog.add({.description = "only an undefined condition, marking off", .mark = "0"});
    filters.AutoMarking = true;
    catalog.add({.description = "only an undefined condition", .mark = "0"});
    filters.SetCondition(*filters.Condition(0), "France", {}, TFilter::TextKind, TFilter::Equal);
    catalog.add({.description = "passes", .country = "France", .mark = "0"});
    catalog.add({.description = "fails", .country = "Spain", .mark = "2"});
    EXPECT_EQ(catalog.marksOf(column::description),
              QStringList({"no conditions=2", "only an undefined condition, marking off=0",
                           "only an undefined condition=2", "passes=2", "fails=0"}));
}

TEST_F(FilterComparisons, FilesKeepEveryConditionAndDamageEmptiesTheList)
{
    search::TFilterList& filters = catalog.filters;
    filters.AddCondition(column::country);
    TFilter& cost = *filters.Condition(filters.AddCondition(column::cost));
    cost.Values = {"5", "7"};
    filters.SetCondition(cost, "", "", TFilter::FloatKind, TFilter::OneOf);
    filters.SetCondition(*filters.Condition(filters.AddCondition(column::issued)), "01/01/1990", "12/31/1999",
                         TFilter::DateKind, TFilter::Between);
    const QString path = catalog.file("tml1.flt");
    ASSERT_TRUE(filters.SaveToFile(path));

    search::TFilterList read;
    ASSERT_TRUE(read.LoadFromFile(path));
    ASSERT_EQ(read.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        const TFilter& a = *filters.Condition(i);
        const TFilter& b = *read.Condition(i);
        EXPECT_EQ(std::tie(a.FieldPos, a.FieldKind, a.Undefined, a.Operator, a.Value1, a.Value2, a.Values),
                  std::tie(b.FieldPos, b.FieldKind, b.Undefined, b.Operator, b.Value1, b.Value2, b.Values));
    }
    EXPECT_TRUE(read.Condition(2)->HasDates) << "derived values are read ahead again";
    // List begin, then the four raw bytes of the first condition.
    EXPECT_EQ(catalog.read(path).mid(1, 4), QByteArray("\x03\x01\x01\x02", 4));

    EXPECT_FALSE(read.LoadFromFile(catalog.file("missing.flt")));
    EXPECT_EQ(read.Count(), 3) << "an unopenable file leaves the list";
    const QByteArray whole = catalog.read(path);
    QFile cut(catalog.file("cut.flt"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(whole.left(whole.size() - 3));
    cut.close();
    EXPECT_FALSE(read.LoadFromFile(cut.fileName()));
    EXPECT_EQ(read.Count(), 0);
}

TEST_F(FilterComparisons, ApplyFilterMarksEveryRecordAndReportsProgress)
{
    catalog.addNumbered(100);
    search::TFilterList& filters = catalog.filters;
    filters.AttachTable(catalog.browse());
    filters.SetCondition(*filters.Condition(filters.AddCondition(column::cost)), "90", {}, TFilter::FloatKind,
                         TFilter::Greater);
    QList<int> steps;
    int total = 0;
    filters.ApplyFilter([&](int done, int all) {
        steps.append(done);
        total = all;
    });
    EXPECT_EQ(total, 100);
    EXPECT_EQ(steps.size(), 100);
    EXPECT_TRUE(filters.AutoMarking);
    EXPECT_TRUE(catalog.browse().activeTag().empty());
    int passed = 0;
    for (const QString& value : catalog.marksOf(column::cost))
        passed += value.endsWith("=2");
    EXPECT_EQ(passed, 10);

    EXPECT_EQ(catalog.showScope(store::FilterScope::NormalFilter), 10);
    EXPECT_EQ(catalog.showScope(store::FilterScope::ReversedFilter), 90);
}

TEST_F(FilterComparisons, TemplatesSaveAndLoadTheFilter)
{
    store::TFilterTemplateList templates(catalog.session.folders.settings);
    templates.setContent(&catalog.filters);
    catalog.filters.SetCondition(*catalog.filters.Condition(catalog.filters.AddCondition(column::country)),
                                 "Italy", {}, TFilter::TextKind, TFilter::Equal);
    ASSERT_TRUE(templates.Add("Italian"));
    catalog.filters.Clear();
    catalog.filters.AddCondition(column::cost);
    ASSERT_TRUE(templates.LoadByName("Italian"));
    ASSERT_EQ(catalog.filters.Count(), 1);
    EXPECT_EQ(catalog.filters.Condition(0)->Value1, "ITALY");
    EXPECT_TRUE(templates.Items(0).FileName.endsWith(".flt"));
}

} // namespace
