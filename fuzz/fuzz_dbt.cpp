// Arbitrary bytes as the .dbt of a sound table with memo and binary columns pointing at blocks 1 to 6.
#include "FuzzTableFiles.h"

namespace {

std::string tableWithMemoPointers()
{
    auto u16 = [](unsigned v) { return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; };
    std::string header(32, '\0');
    header[0] = static_cast<char>(0x8B);
    header[1] = 124;
    header[2] = 1;
    header[3] = 1;
    header[4] = 3; // three records
    header.replace(8, 2, u16(32 + 2 * 32 + 1));
    header.replace(10, 2, u16(1 + 10 + 10));
    std::string fields;
    for (const auto& [name, type] : {std::pair{"NOTES", 'M'}, std::pair{"PICTURE", 'B'}}) {
        std::string descriptor(32, '\0');
        descriptor.replace(0, std::char_traits<char>::length(name), name);
        descriptor[11] = type;
        descriptor[16] = 10;
        fields += descriptor;
    }
    return header + fields + "\r" + "          1         2" + "          3         4" +
           "*         5         6" + "\x1a";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string table = tableWithMemoPointers();
    exerciseTable(table, std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
