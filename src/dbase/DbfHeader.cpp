#include "DbfHeader.h"

#include "Binary.h"
#include "Errors.h"
#include "File.h"

#include <algorithm>
#include <cctype>
#include <ctime>

namespace dbase {

namespace {

constexpr std::size_t maxFields = 255;

[[noreturn]] void damaged(const std::string& path, const std::string& fault)
{
    throw DatabaseError("damaged table " + path + ": " + fault);
}

bool knownType(char type)
{
    return std::string_view("CNFDLMBG").find(type) != std::string_view::npos;
}

// The width a column kind must have, or 0 where the kind allows a range.
std::uint8_t fixedWidthOf(FieldType type)
{
    switch (type) {
    case FieldType::Date:
        return 8;
    case FieldType::Logical:
        return 1;
    case FieldType::Memo:
    case FieldType::Binary:
    case FieldType::General:
        return 10;
    default:
        return 0;
    }
}

std::string fieldFault(const FieldDescriptor& field)
{
    const std::uint8_t fixed = fixedWidthOf(field.type);
    if (fixed != 0 && field.length != fixed)
        return "column " + field.name + " has width " + std::to_string(field.length);
    if (field.length == 0)
        return "column " + field.name + " has width 0";
    if (field.isNumeric() && (field.length > 32 || field.decimals >= field.length))
        return "column " + field.name + " has an impossible numeric width";
    return {};
}

} // namespace

bool DbfHeader::hasMemoFields() const
{
    return std::any_of(fields.begin(), fields.end(),
                       [](const FieldDescriptor& f) { return f.usesMemoFile(); });
}

std::uint16_t DbfHeader::headerLengthOf(std::string_view fixedPart, const std::string& path)
{
    if (fixedPart.size() < fixedSize)
        damaged(path, "file shorter than a header");
    return readU16(fixedPart, 8);
}

DbfHeader DbfHeader::readFrom(const File& file)
{
    const std::uint64_t size = file.size();
    const std::uint16_t headerLength = headerLengthOf(file.readSome(0, fixedSize), file.path());
    return parse(file.readSome(0, headerLength), size, file.path());
}

DbfHeader DbfHeader::parse(std::string_view image, std::uint64_t fileSize, const std::string& path)
{
    if (image.size() < fixedSize)
        damaged(path, "file shorter than a header");
    DbfHeader header;
    header.version = static_cast<std::uint8_t>(image[0]);
    // dBASE III and IV tables, with or without memo; the low bits say "dBASE III compatible layout".
    if ((header.version & 0x07) != 0x03)
        damaged(path, "unsupported table version " + std::to_string(header.version));
    const int yearByte = static_cast<unsigned char>(image[1]);
    // Years since 1900, or by some writers the year modulo 100.
    header.updateYear = yearByte < 80 ? 2000 + yearByte : 1900 + yearByte;
    header.updateMonth = static_cast<unsigned char>(image[2]);
    header.updateDay = static_cast<unsigned char>(image[3]);
    header.recordCount = readU32(image, 4);
    header.headerLength = readU16(image, 8);
    header.recordLength = readU16(image, 10);
    header.productionIndex = image[28] == 1;
    header.languageDriver = static_cast<std::uint8_t>(image[29]);

    if (header.headerLength < fixedSize + descriptorSize + 1)
        damaged(path, "header length " + std::to_string(header.headerLength) + " too small");
    if (image.size() < header.headerLength)
        damaged(path, "header cut short");

    std::uint32_t offset = 1;
    std::size_t at = fixedSize;
    for (;;) {
        if (at >= header.headerLength)
            damaged(path, "no end of the column list");
        if (image[at] == 0x0D)
            break;
        if (at + descriptorSize + 1 > header.headerLength)
            damaged(path, "column list longer than the header");
        if (header.fields.size() == maxFields)
            damaged(path, "more than 255 columns");
        const std::string_view raw = image.substr(at, descriptorSize);
        FieldDescriptor field;
        const std::string_view nameBytes = raw.substr(0, 11);
        field.name = std::string(nameBytes.substr(0, std::min(nameBytes.find('\0'), std::size_t(11))));
        if (field.name.empty() || field.name.size() > 10)
            damaged(path, "column " + std::to_string(header.fields.size() + 1) + " has no proper name");
        if (!knownType(raw[11]))
            damaged(path, "column " + field.name + " has the unknown kind " + std::to_string(raw[11]));
        field.type = static_cast<FieldType>(raw[11]);
        field.length = static_cast<std::uint8_t>(raw[16]);
        field.decimals = static_cast<std::uint8_t>(raw[17]);
        if (!field.isNumeric())
            field.decimals = 0;
        const std::string fault = fieldFault(field);
        if (!fault.empty())
            damaged(path, fault);
        field.offset = offset;
        offset += field.length;
        header.fields.push_back(std::move(field));
        at += descriptorSize;
    }
    if (header.fields.empty())
        damaged(path, "no columns");
    if (offset != header.recordLength)
        damaged(path, "record length " + std::to_string(header.recordLength) +
                          " does not match its columns (" + std::to_string(offset) + ")");
    if (header.endOfRecords() > fileSize)
        damaged(path, "the file holds fewer than its " + std::to_string(header.recordCount) + " records");
    return header;
}

DbfHeader DbfHeader::forNewTable(const std::vector<FieldSpec>& specs)
{
    if (specs.empty() || specs.size() > maxFields)
        throw DatabaseError("a table needs 1 to 255 columns");
    DbfHeader header;
    std::uint32_t offset = 1;
    for (const FieldSpec& spec : specs) {
        FieldDescriptor field;
        for (char c : spec.name)
            field.name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        const bool nameOk = !field.name.empty() && field.name.size() <= 10 &&
                            std::isalpha(static_cast<unsigned char>(field.name[0])) &&
                            std::all_of(field.name.begin(), field.name.end(), [](char c) {
                                return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
                            });
        if (!nameOk)
            throw DatabaseError("invalid column name \"" + spec.name + "\"");
        for (const FieldDescriptor& other : header.fields)
            if (other.name == field.name)
                throw DatabaseError("duplicate column name \"" + spec.name + "\"");
        field.type = spec.type == FieldType::General ? FieldType::Binary : spec.type;
        const std::uint8_t fixed = fixedWidthOf(field.type);
        field.length = fixed != 0 ? fixed : spec.length;
        field.decimals = field.isNumeric() ? spec.decimals : 0;
        const bool widthOk = field.isText() ? field.length >= 1 && field.length <= 254
                             : field.isNumeric()
                                 ? field.length >= 1 && field.length <= 20 &&
                                       (field.decimals == 0 || field.decimals + 2 <= field.length)
                                 : true;
        if (!widthOk)
            throw DatabaseError("invalid width for column \"" + spec.name + "\"");
        field.offset = offset;
        offset += field.length;
        header.fields.push_back(std::move(field));
    }
    if (offset > 0xFFFF)
        throw DatabaseError("records longer than 65535 bytes");
    header.version = header.hasMemoFields() ? versionDBase4Memo : versionPlain;
    header.languageDriver = languageDriverWindowsAnsi;
    header.headerLength = static_cast<std::uint16_t>(fixedSize + descriptorSize * header.fields.size() + 1);
    header.recordLength = static_cast<std::uint16_t>(offset);
    header.stampToday();
    return header;
}

void DbfHeader::stampToday()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    updateYear = local.tm_year + 1900;
    updateMonth = local.tm_mon + 1;
    updateDay = local.tm_mday;
}

std::string DbfHeader::dateAndCount() const
{
    std::string bytes(7, '\0');
    bytes[0] = static_cast<char>(std::clamp(updateYear - 1900, 0, 255));
    bytes[1] = static_cast<char>(updateMonth);
    bytes[2] = static_cast<char>(updateDay);
    writeU32(bytes, 3, recordCount);
    return bytes;
}

std::string DbfHeader::serialize() const
{
    std::string image(headerLength, '\0');
    image[0] = static_cast<char>(version);
    image.replace(1, 7, dateAndCount());
    writeU16(image, 8, headerLength);
    writeU16(image, 10, recordLength);
    image[28] = productionIndex ? 1 : 0;
    image[29] = static_cast<char>(languageDriver);
    std::size_t at = fixedSize;
    for (const FieldDescriptor& field : fields) {
        image.replace(at, field.name.size(), field.name);
        image[at + 11] = static_cast<char>(field.type);
        image[at + 16] = static_cast<char>(field.length);
        image[at + 17] = static_cast<char>(field.decimals);
        at += descriptorSize;
    }
    image[at] = 0x0D;
    return image;
}

} // namespace dbase
