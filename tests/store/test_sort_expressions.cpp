#include "dbase/Expression.h"
#include "dbase/Table.h"
#include "ProgramFolder.h"
#include "store/SortExpression.h"

#include <gtest/gtest.h>
#include <QFile>

namespace {

// Columns of the record template: RECNO, FMARK, then the form fields in field order.
enum Column
{
    RecordNumber = 0,
    Description = 2,   // text, 100 wide
    Country = 3,       // text, 60
    CatalogNumber = 5, // text, 30
    Condition = 6,     // text, 40
    Issued = 7,        // date
    Cost = 9,          // number, 14 with 2 decimals
    SmallPicture = 11, // binary
    Notes = 22,        // memo
};

std::vector<dbase::FieldDescriptor> templateColumns()
{
    ProgramFolder program;
    dbase::Table table;
    table.open(QFile::encodeName(program.path()).toStdString(), "data.dbf");
    return table.fieldDescriptors();
}

const std::vector<dbase::FieldDescriptor>& columns()
{
    static const std::vector<dbase::FieldDescriptor> fields = templateColumns();
    return fields;
}

struct KeyCase
{
    const char* what;
    settings::SortSettings sort; // primary column, descending, secondary column, descending
    const char* expression;      // "" when there is no key
    bool descending;
};

void PrintTo(const KeyCase& c, std::ostream* out)
{
    *out << c.what;
}

class SortKeyCases : public ::testing::TestWithParam<KeyCase>
{
};

} // namespace

TEST_P(SortKeyCases, GiveTheExpressionAndDirectionAndAFilteredVariantTheEngineTakes)
{
    const KeyCase& c = GetParam();
    const store::SortKeys keys = store::BuildSortKeys(c.sort, columns());
    EXPECT_EQ(keys.plain.expression, c.expression);
    EXPECT_EQ(keys.plain.descending, c.descending);
    if (std::string(c.expression).empty()) {
        EXPECT_FALSE(keys.filtered.isValid());
        return;
    }
    EXPECT_EQ(keys.filtered.expression, "FMARK+" + std::string(c.expression));
    EXPECT_EQ(keys.filtered.descending, c.descending);
    // Every key, filter mark included, must be one the engine accepts as a tag key (at most 100 bytes).
    for (const store::SortKey& key : {keys.plain, keys.filtered})
        EXPECT_NO_THROW(dbase::Expression::indexKey(key.expression, columns())) << key.expression;
}

INSTANTIATE_TEST_SUITE_P(
    OneField, SortKeyCases,
    ::testing::Values(
        KeyCase{"entry order", {0, false, 0, false}, "STR(RECNO, 20, 4)", false},
        KeyCase{"entry order descending", {0, true, 0, false}, "STR(999999999999999999-RECNO, 20, 4)", false},
        KeyCase{
            "entry order ignores a secondary field", {1, false, Country, true}, "STR(RECNO, 20, 4)", false},
        KeyCase{"text", {Country, false, 0, false}, "UPPER(COUNTRY)", false},
        KeyCase{"text descending", {Country, true, 0, false}, "UPPER(COUNTRY)", true},
        KeyCase{"text of width 100", {Description, false, 0, false}, "UPPER(SUBSTR(DESCRIPT, 1, 99))", false},
        KeyCase{"text of width 100 descending",
                {Description, true, 0, false},
                "UPPER(SUBSTR(DESCRIPT, 1, 99))",
                true},
        KeyCase{"memo", {Notes, false, 0, false}, "UPPER(MLINE(NOTES, 1))", false},
        KeyCase{"memo descending", {Notes, true, 0, false}, "UPPER(MLINE(NOTES, 1))", true},
        KeyCase{"number", {Cost, false, 0, false}, "STR(COST+100000000000000, 20, 4)", false},
        KeyCase{"number descending", {Cost, true, 0, false}, "STR(100000000000000-COST, 20, 4)", false},
        KeyCase{"date", {Issued, false, 0, false}, "DTOS(ISSUED)", false},
        KeyCase{"date descending", {Issued, true, 0, false}, "STR({12/31/3099}-ISSUED, 10, 0)", false},
        KeyCase{"the same field twice", {Country, true, Country, false}, "UPPER(COUNTRY)", true},
        KeyCase{"a picture", {SmallPicture, false, 0, false}, "", false},
        KeyCase{"a column the table does not have", {200, false, 0, false}, "", false}));

INSTANTIATE_TEST_SUITE_P(
    TwoFields, SortKeyCases,
    ::testing::Values(
        // Text wider than its budget is cut and upper-cased; text that fits is compared as stored.
        KeyCase{"text, text",
                {Country, false, CatalogNumber, false},
                "UPPER(SUBSTR(COUNTRY, 1, 59))+CATALOGNO",
                false},
        KeyCase{"text descending, text: the secondary follows",
                {Country, true, CatalogNumber, false},
                "UPPER(SUBSTR(COUNTRY, 1, 59))+CATALOGNO",
                true},
        KeyCase{"text, text descending: the primary decides",
                {Condition, false, Country, true},
                "CONDITION+UPPER(SUBSTR(COUNTRY, 1, 59))",
                false},
        KeyCase{"text, number",
                {Condition, false, Cost, false},
                "CONDITION+STR(COST+100000000000000, 20, 4)",
                false},
        KeyCase{"text, number descending",
                {Condition, false, Cost, true},
                "CONDITION+STR(100000000000000-COST, 20, 4)",
                false},
        // The descending tag turns the number round, so its part is written the other way.
        KeyCase{"text descending, number",
                {Condition, true, Cost, false},
                "CONDITION+STR(100000000000000-COST, 20, 4)",
                true},
        KeyCase{"text descending, number descending",
                {Condition, true, Cost, true},
                "CONDITION+STR(COST+100000000000000, 20, 4)",
                true},
        KeyCase{"text descending, date",
                {Condition, true, Issued, false},
                "CONDITION+STR({12/31/3099}-ISSUED, 10, 0)",
                true},
        KeyCase{"number, text",
                {Cost, false, Condition, false},
                "STR(COST+100000000000000, 20, 4)+CONDITION",
                false},
        KeyCase{"number, text descending",
                {Cost, false, Condition, true},
                "STR(100000000000000-COST, 20, 4)+CONDITION",
                true},
        KeyCase{"number descending, text descending",
                {Cost, true, Condition, true},
                "STR(COST+100000000000000, 20, 4)+CONDITION",
                true},
        KeyCase{"number descending, date",
                {Cost, true, Issued, false},
                "STR(100000000000000-COST, 20, 4)+DTOS(ISSUED)",
                false},
        KeyCase{"date, number descending",
                {Issued, false, Cost, true},
                "DTOS(ISSUED)+STR(100000000000000-COST, 20, 4)",
                false},
        // A date part takes 8 bytes (10 descending), which the secondary budget leaves out.
        KeyCase{"date, long text",
                {Issued, false, Description, false},
                "DTOS(ISSUED)+UPPER(SUBSTR(DESCRIPT, 1, 91))",
                false},
        KeyCase{"date descending, long text",
                {Issued, true, Description, false},
                "STR({12/31/3099}-ISSUED, 10, 0)+UPPER(SUBSTR(DESCRIPT, 1, 89))",
                false},
        KeyCase{"number, long text",
                {Cost, false, Description, false},
                "STR(COST+100000000000000, 20, 4)+UPPER(SUBSTR(DESCRIPT, 1, 79))",
                false},
        KeyCase{"long text, long text",
                {Description, false, Country, false},
                "UPPER(SUBSTR(DESCRIPT, 1, 59))+UPPER(SUBSTR(COUNTRY, 1, 40))",
                false},
        KeyCase{"memo, text",
                {Notes, true, Country, false},
                "UPPER(SUBSTR(MLINE(NOTES, 1), 1, 59))+UPPER(SUBSTR(COUNTRY, 1, 40))",
                true},
        KeyCase{"text, memo",
                {Condition, false, Notes, false},
                "CONDITION+UPPER(SUBSTR(MLINE(NOTES, 1), 1, 59))",
                false},
        KeyCase{"memo, number descending",
                {Notes, false, Cost, true},
                "UPPER(SUBSTR(MLINE(NOTES, 1), 1, 59))+STR(100000000000000-COST, 20, 4)",
                false},
        KeyCase{"text, picture", {Country, false, SmallPicture, false}, "", false},
        KeyCase{"picture, text", {SmallPicture, false, Country, false}, "", false}));

TEST(SortKeys, AnExpressionTooLongForATagIsRefusedNotCut)
{
    // Field names longer than any dBASE table has make the texts grow past 100 characters; a cut text
    // would end inside a function call.
    auto memo = [](const std::string& name) {
        dbase::FieldDescriptor field;
        field.name = name;
        field.type = dbase::FieldType::Memo;
        field.length = 10;
        return field;
    };
    dbase::FieldDescriptor number;
    number.name = "RECNO";
    number.type = dbase::FieldType::Numeric;
    number.length = 10;
    dbase::FieldDescriptor mark;
    mark.name = "FMARK";
    mark.length = 1;
    const settings::SortSettings twoMemos{2, false, 3, false};

    // 2 × (32 + 17) + 1 = 99 characters: the key fits, its filtered variant (105) does not.
    const store::SortKeys fits = store::BuildSortKeys(
        twoMemos, {number, mark, memo(std::string(17, 'A')), memo(std::string(17, 'B'))});
    EXPECT_EQ(fits.plain.expression.size(), 99u);
    EXPECT_FALSE(fits.filtered.isValid());

    const store::SortKeys tooLong = store::BuildSortKeys(
        twoMemos, {number, mark, memo(std::string(18, 'A')), memo(std::string(18, 'B'))});
    EXPECT_FALSE(tooLong.plain.isValid());
    EXPECT_FALSE(tooLong.filtered.isValid());
}
