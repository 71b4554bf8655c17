#pragma once

#include "DbfHeader.h"
#include "File.h"

#include <algorithm>
#include <string_view>

namespace dbase {

// Calls visit(recordNumber, recordBytes) for records 1 to header.recordCount, read a quarter of a megabyte
// at a time into one buffer: fresh memory is costly to map, a buffer reused is not.
template <class Visit>
void scanRecords(const File& file, const DbfHeader& header, Visit&& visit)
{
    const std::size_t length = header.recordLength;
    const std::size_t perChunk = std::max<std::size_t>(1, (256 * 1024) / length);
    std::string chunk;
    for (std::uint64_t first = 1; first <= header.recordCount; first += perChunk) {
        const auto n =
            static_cast<std::size_t>(std::min<std::uint64_t>(perChunk, header.recordCount - first + 1));
        file.readInto(header.recordOffset(static_cast<std::uint32_t>(first)), n * length, chunk);
        for (std::size_t i = 0; i < n; ++i)
            visit(static_cast<std::uint32_t>(first + i), std::string_view(chunk).substr(i * length, length));
    }
}

} // namespace dbase
