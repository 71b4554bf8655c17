#pragma once

#include "dbase/Field.h"
#include "dbase/Table.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace bench {

// One column's value of a synthetic record. Text, memo and binary values are bytes (Windows-1252 text),
// a date is "YYYYMMDD"; empty text or a blank number is an empty field.
struct Cell
{
    std::string text;
    double number = 0;
    bool blank = true;
};

// Synthetic stamps with the sizes a real catalog has: short descriptions and countries, most of the
// detail fields filled with a few words, notes on some records and a small picture of a few KB on a
// tenth of them. The same seed gives the same records.
class StampGenerator
{
public:
    StampGenerator(std::vector<dbase::FieldSpec> columns, std::uint64_t seed);

    const std::vector<dbase::FieldSpec>& columns() const { return columns_; }
    // The record with record number (column RECNO) number.
    std::vector<Cell> next(std::int64_t number);

private:
    Cell valueOf(const dbase::FieldSpec& column, std::int64_t number);
    int pick(int low, int high);
    bool chance(int percent) { return pick(1, 100) <= percent; }
    const char* word(const std::vector<const char*>& words);
    std::string description();
    std::string notes();
    std::string picture();
    std::string date(int fromYear, int toYear);

    std::vector<dbase::FieldSpec> columns_;
    std::mt19937_64 random_;
};

// Writes one generated record into the table's new row (blank cells stay blank).
void storeStamp(dbase::Table& target, const std::vector<dbase::FieldSpec>& columns,
                const std::vector<Cell>& cells);
// Appends records generated from the seed, numbered 1 … count, one post each.
void appendStamps(dbase::Table& target, const std::vector<dbase::FieldSpec>& columns, std::int64_t count,
                  std::uint64_t seed);

} // namespace bench
