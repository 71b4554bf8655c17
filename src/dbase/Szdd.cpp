#include "Binary.h"
#include "Errors.h"
#include "File.h"
#include "Table.h"

#include <array>
#include <unistd.h>

namespace dbase {

namespace {

constexpr std::string_view szddMagic("SZDD\x88\xF0\x27\x33", 8);
constexpr std::size_t szddHeaderSize = 14;

// The LZSS of the classic expander: a 4096-byte window that starts as blanks, written from 4080 on; each
// control byte tells, bit by bit from the lowest, a literal (1) or a (position, length) reference (0).
std::string expandSzdd(std::string_view data, std::uint32_t expectedSize, const std::string& path)
{
    std::array<char, 4096> window;
    window.fill(' ');
    std::size_t position = 4096 - 16;
    std::string out;
    out.reserve(expectedSize);
    std::size_t at = szddHeaderSize;
    while (at < data.size() && out.size() < expectedSize) {
        const auto control = static_cast<unsigned char>(data[at++]);
        for (int bit = 0; bit < 8 && at < data.size() && out.size() < expectedSize; ++bit) {
            if (control & (1u << bit)) {
                out += window[position] = data[at++];
                position = (position + 1) & 4095;
                continue;
            }
            if (at + 2 > data.size())
                throw DatabaseError("compressed file cut short: " + path);
            const auto low = static_cast<unsigned char>(data[at]);
            const auto high = static_cast<unsigned char>(data[at + 1]);
            at += 2;
            std::size_t from = low | (std::size_t(high & 0xF0) << 4);
            for (int n = (high & 0x0F) + 3; n > 0 && out.size() < expectedSize; --n) {
                out += window[position] = window[from];
                position = (position + 1) & 4095;
                from = (from + 1) & 4095;
            }
        }
    }
    if (out.size() != expectedSize)
        throw DatabaseError("compressed file cut short: " + path);
    return out;
}

} // namespace

void lzExpandCopy(const std::string& sourcePath, const std::string& targetPath)
{
    const File source(sourcePath, File::Mode::ReadOnly);
    const std::uint64_t size = source.size();
    std::string data = source.read(0, static_cast<std::size_t>(size));
    if (data.size() >= szddHeaderSize && std::string_view(data).substr(0, 8) == szddMagic) {
        if (data[8] != 'A')
            throw DatabaseError("unknown compression mode in " + sourcePath);
        const std::uint32_t expected = readU32(data, 10);
        // A literal-free stream expands at most about nine times: a larger size is a damaged header.
        if (expected / 9 > data.size())
            throw DatabaseError("compressed file cut short: " + sourcePath);
        data = expandSzdd(data, expected, sourcePath);
    }
    try {
        File target(targetPath, File::Mode::Create);
        target.write(0, data);
    } catch (const DatabaseError&) {
        ::unlink(targetPath.c_str());
        throw;
    }
}

} // namespace dbase
