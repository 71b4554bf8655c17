#pragma once

#include <cstdint>

namespace dbase::lockbytes {

// Byte-range locks on the .dbf, far beyond any real file size so that they never block plain I/O.
constexpr std::uint64_t base = 0x4000000000000000ull;
// Shared by every shared open, exclusive for an exclusive open.
constexpr std::uint64_t open = base;
// Readers/writer lock held around every read and write of the table's files.
constexpr std::uint64_t table = base + 1;
// One byte per record, held exclusively while the record is being edited.
constexpr std::uint64_t record(std::uint32_t recordNumber)
{
    return base + 0x100 + recordNumber;
}

} // namespace dbase::lockbytes
