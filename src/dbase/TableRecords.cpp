#include "TableRecords.h"

#include "Errors.h"
#include "FieldCodec.h"
#include "RecordScan.h"

namespace dbase {

std::string_view RecordValues::fieldBytes(std::size_t index) const
{
    const FieldDescriptor& field = header_.fields.at(index);
    return record_.substr(field.offset, field.length);
}

std::string RecordValues::memoText(std::size_t index) const
{
    const auto block = fieldcodec::parseMemoBlock(fieldBytes(index));
    if (!block)
        throw EngineError("damaged memo pointer in column " + header_.fields.at(index).name);
    if (*block == 0 || !memo_)
        return {};
    return memo_->read(*block);
}

void TableRecords::forEach(const std::function<void(std::uint32_t record, const RecordSource& values)>& visit)
{
    scanRecords(dbf_, header_, [&](std::uint32_t recordNumber, std::string_view record) {
        if (record[0] != '*')
            visit(recordNumber, RecordValues(header_, record, memo_));
    });
}

} // namespace dbase
