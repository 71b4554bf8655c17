#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dbase {

// Little-endian integers inside file images, as every dBASE structure stores them.
inline std::uint16_t readU16(std::string_view bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
}

inline std::uint32_t readU32(std::string_view bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(readU16(bytes, at)) | static_cast<std::uint32_t>(readU16(bytes, at + 2))
                                                                << 16;
}

inline void writeU16(std::string& bytes, std::size_t at, std::uint16_t value)
{
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

inline void writeU32(std::string& bytes, std::size_t at, std::uint32_t value)
{
    writeU16(bytes, at, static_cast<std::uint16_t>(value & 0xFFFF));
    writeU16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}

} // namespace dbase
