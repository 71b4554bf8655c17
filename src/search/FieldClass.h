#pragma once

#include "dbase/Field.h"

namespace search {

// How find, filter and replace treat a record table column.
enum class FieldClass
{
    Text,
    Number,
    Date,
    Memo,
    Other // pictures and the rest: never searched, filtered or replaced
};

inline FieldClass classOf(const dbase::FieldDescriptor& field)
{
    if (field.isText())
        return FieldClass::Text;
    if (field.isNumeric())
        return FieldClass::Number;
    if (field.isDate())
        return FieldClass::Date;
    if (field.isMemo())
        return FieldClass::Memo;
    return FieldClass::Other;
}

} // namespace search
