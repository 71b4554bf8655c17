#pragma once

#include <cstdint>
#include <string>

namespace dbase {

enum class FieldType : char {
    Character = 'C',
    Numeric = 'N',
    Float = 'F',
    Date = 'D',
    Logical = 'L',
    Memo = 'M',
    Binary = 'B',
    General = 'G', // read and written like Binary
};

// What a caller asks for when creating a table.
struct FieldSpec
{
    std::string name; // at most 10 characters
    FieldType type = FieldType::Character;
    std::uint8_t length = 0; // ignored for D (8), L (1), M, B and G (10)
    std::uint8_t decimals = 0;
};

// A column as the table's header describes it.
struct FieldDescriptor
{
    std::string name; // as stored, without the trailing NULs
    FieldType type = FieldType::Character;
    std::uint8_t length = 0;
    std::uint8_t decimals = 0;
    std::uint32_t offset = 0; // of the field's bytes in the record, counting the deletion flag

    bool isText() const { return type == FieldType::Character; }
    bool isNumeric() const { return type == FieldType::Numeric || type == FieldType::Float; }
    bool isDate() const { return type == FieldType::Date; }
    bool isLogical() const { return type == FieldType::Logical; }
    bool isMemo() const { return type == FieldType::Memo; }
    bool isBinary() const { return type == FieldType::Binary || type == FieldType::General; }
    // Memo and binary values live in the memo file; the record holds a block number.
    bool usesMemoFile() const { return isMemo() || isBinary(); }
};

} // namespace dbase
