#pragma once

#include "Field.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dbase {

class File;

// The header of a .dbf file: the 32 fixed bytes and the field descriptors.
struct DbfHeader
{
    static constexpr std::size_t fixedSize = 32;
    static constexpr std::size_t descriptorSize = 32;
    static constexpr std::uint8_t versionPlain = 0x03;
    static constexpr std::uint8_t versionDBase3Memo = 0x83;
    static constexpr std::uint8_t versionDBase4Memo = 0x8B;
    static constexpr std::uint8_t languageDriverWindowsAnsi = 0x03;
    static constexpr char endOfFile = 0x1A;

    std::uint8_t version = versionPlain;
    int updateYear = 0; // full year
    int updateMonth = 0;
    int updateDay = 0;
    std::uint32_t recordCount = 0;
    std::uint16_t headerLength = 0;
    std::uint16_t recordLength = 0;
    bool productionIndex = false;
    std::uint8_t languageDriver = 0;
    std::vector<FieldDescriptor> fields;

    bool hasMemoFields() const;
    // dBASE III memo files: 512-byte blocks of text ended by 0x1A.
    bool usesDBase3Memo() const { return version == versionDBase3Memo; }
    std::uint64_t recordOffset(std::uint32_t recordNumber) const
    {
        return headerLength + std::uint64_t(recordNumber - 1) * recordLength;
    }
    std::uint64_t endOfRecords() const { return headerLength + std::uint64_t(recordCount) * recordLength; }

    // The header length recorded in the fixed part; DatabaseError when the image is shorter than 32 bytes.
    static std::uint16_t headerLengthOf(std::string_view fixedPart, const std::string& path);
    // Parses and checks a whole header image (headerLength bytes) of a file of fileSize bytes.
    // DatabaseError, naming the file and the fault, for anything this engine cannot read safely.
    static DbfHeader parse(std::string_view image, std::uint64_t fileSize, const std::string& path);
    // The header of a table file, read and parsed; DatabaseError as parse.
    static DbfHeader readFrom(const File& file);
    // The header of a new, empty dBASE IV table; DatabaseError for an unusable column list.
    static DbfHeader forNewTable(const std::vector<FieldSpec>& specs);

    std::string serialize() const;
    // Bytes 1..7: the update date (today) and the record count, as written after every append.
    std::string dateAndCount() const;
    void stampToday();
};

} // namespace dbase
