#pragma once

#include "DbfHeader.h"
#include "Expression.h"
#include "File.h"
#include "MdxIndex.h"
#include "MemoFile.h"

#include <string_view>

namespace dbase {

// One stored record as key expressions read it: field bytes from the record, memo texts from the memo
// file. The caller holds the table-wide lock while it is used.
class RecordValues : public RecordSource
{
public:
    RecordValues(const DbfHeader& header, std::string_view record, const MemoFile* memo)
        : header_(header), record_(record), memo_(memo)
    {}

    std::string_view fieldBytes(std::size_t index) const override;
    std::string memoText(std::size_t index) const override;

private:
    const DbfHeader& header_;
    std::string_view record_;
    const MemoFile* memo_;
};

// The live records of a table file, in record order, read a megabyte at a time: what tags are built from.
class TableRecords : public LiveRecords
{
public:
    TableRecords(const File& dbf, const DbfHeader& header, const MemoFile* memo)
        : dbf_(dbf), header_(header), memo_(memo)
    {}

    void forEach(const std::function<void(std::uint32_t record, const RecordSource& values)>& visit) override;
    std::uint64_t expectedCount() const override { return header_.recordCount; }

private:
    const File& dbf_;
    const DbfHeader& header_;
    const MemoFile* memo_;
};

} // namespace dbase
