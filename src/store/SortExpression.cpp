#include "SortExpression.h"

#include "DatabaseFolder.h"

#include <algorithm>
#include <optional>

namespace store {

namespace {

constexpr int primaryBudget = 59;
constexpr int keyBudget = 99;
// A single text field of this width or more is keyed on its first 99 characters.
constexpr std::uint8_t wholeTextLimit = 100;
// 10^14: every value of 14 whole digits or fewer, of either sign, becomes positive and keeps its four
// decimals within STR's 20 characters.
const std::string numberShift = "100000000000000";

enum class Kind
{
    Text,
    Memo,
    Number,
    Date,
    Unsortable
};

Kind kindOf(const dbase::FieldDescriptor& field)
{
    if (field.isText())
        return Kind::Text;
    if (field.isMemo())
        return Kind::Memo;
    if (field.isNumeric())
        return Kind::Number;
    if (field.isDate())
        return Kind::Date;
    return Kind::Unsortable;
}

bool sortsByLetters(Kind kind)
{
    return kind == Kind::Text || kind == Kind::Memo;
}

std::string numberKey(const std::string& name, int column, bool descending)
{
    if (column == 0) // record numbers are positive and whole, which the plain forms hold exactly
        return descending ? "STR(999999999999999999-" + name + ", 20, 4)" : "STR(" + name + ", 20, 4)";
    return descending ? "STR(" + numberShift + "-" + name + ", 20, 4)"
                      : "STR(" + name + "+" + numberShift + ", 20, 4)";
}
constexpr int numberKeyWidth = 20;

std::string dateKey(const std::string& name, bool descending)
{
    return descending ? "STR({12/31/3099}-" + name + ", 10, 0)" : "DTOS(" + name + ")";
}

int dateKeyWidth(bool descending)
{
    return descending ? 10 : 8;
}

std::optional<SortKey> oneFieldKey(const dbase::FieldDescriptor& field, int column, bool descending)
{
    const std::string& name = field.name;
    switch (kindOf(field)) {
    case Kind::Text:
        if (field.length < wholeTextLimit)
            return SortKey{"UPPER(" + name + ")", descending};
        return SortKey{"UPPER(SUBSTR(" + name + ", 1, 99))", descending};
    case Kind::Memo:
        return SortKey{"UPPER(MLINE(" + name + ", 1))", descending};
    case Kind::Number:
        return SortKey{numberKey(name, column, descending), false};
    case Kind::Date:
        return SortKey{dateKey(name, descending), false};
    case Kind::Unsortable:
        break;
    }
    return std::nullopt;
}

// One half of a two-field key and the key bytes it takes.
struct KeyPart
{
    std::string expression;
    int width = 0;
};

std::optional<KeyPart> keyPart(const dbase::FieldDescriptor& field, int column, bool descending, int budget)
{
    const std::string& name = field.name;
    const std::string budgetText = std::to_string(budget);
    switch (kindOf(field)) {
    case Kind::Text:
        if (field.length > budget)
            return KeyPart{"UPPER(SUBSTR(" + name + ", 1, " + budgetText + "))", budget};
        return KeyPart{name, field.length};
    case Kind::Memo:
        return KeyPart{"UPPER(SUBSTR(MLINE(" + name + ", 1), 1, " + budgetText + "))", budget};
    case Kind::Number:
        // The secondary budget never falls below 40, so a number always has its 20 characters.
        return KeyPart{numberKey(name, column, descending), numberKeyWidth};
    case Kind::Date:
        return KeyPart{dateKey(name, descending), dateKeyWidth(descending)};
    case Kind::Unsortable:
        break;
    }
    return std::nullopt;
}

std::optional<SortKey> twoFieldKey(const std::vector<dbase::FieldDescriptor>& fields,
                                   const settings::SortSettings& sort)
{
    const dbase::FieldDescriptor& primary = fields[sort.primaryColumn];
    const dbase::FieldDescriptor& secondary = fields[sort.secondaryColumn];
    const bool primaryLetters = sortsByLetters(kindOf(primary));
    const bool secondaryLetters = sortsByLetters(kindOf(secondary));
    bool primaryDescending = sort.primaryDescending;
    bool secondaryDescending = sort.secondaryDescending;
    bool tagDescending = false;
    if (primaryLetters && secondaryLetters) {
        tagDescending = primaryDescending;
        secondaryDescending = primaryDescending;
    } else if (primaryLetters) {
        if (primaryDescending) {
            tagDescending = true;
            secondaryDescending = !secondaryDescending;
        }
    } else if (secondaryLetters) {
        if (secondaryDescending) {
            tagDescending = true;
            primaryDescending = !primaryDescending;
        }
    }
    const auto first = keyPart(primary, sort.primaryColumn, primaryDescending, primaryBudget);
    if (!first)
        return std::nullopt;
    const auto second =
        keyPart(secondary, sort.secondaryColumn, secondaryDescending, keyBudget - first->width);
    if (!second)
        return std::nullopt;
    return SortKey{first->expression + "+" + second->expression, tagDescending};
}

std::optional<SortKey> plainKey(const settings::SortSettings& sort,
                                const std::vector<dbase::FieldDescriptor>& fields)
{
    const int columns = static_cast<int>(fields.size());
    if (sort.primaryColumn < FirstFieldOffset) {
        if (columns == 0)
            return std::nullopt;
        return oneFieldKey(fields[0], 0, sort.primaryDescending);
    }
    if (sort.primaryColumn >= columns)
        return std::nullopt;
    if (sort.secondaryColumn < FirstFieldOffset || sort.secondaryColumn == sort.primaryColumn)
        return oneFieldKey(fields[sort.primaryColumn], sort.primaryColumn, sort.primaryDescending);
    if (sort.secondaryColumn >= columns)
        return std::nullopt;
    return twoFieldKey(fields, sort);
}

} // namespace

SortKeys BuildSortKeys(const settings::SortSettings& sort, const std::vector<dbase::FieldDescriptor>& fields)
{
    SortKeys keys;
    const std::optional<SortKey> plain = plainKey(sort, fields);
    if (!plain || plain->expression.size() > MaxSortExpressionLength)
        return keys;
    keys.plain = *plain;
    if (fields.size() > 1) {
        const std::string filtered = fields[1].name + "+" + plain->expression;
        if (filtered.size() <= MaxSortExpressionLength)
            keys.filtered = {filtered, plain->descending};
    }
    return keys;
}

} // namespace store
