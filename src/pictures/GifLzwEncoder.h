#pragma once

#include <array>
#include <QByteArray>

namespace pictures {

// The variable-length LZW code stream of a GIF image: codes from minimumCodeSize + 1 up to 12 bits,
// packed least significant bit first, starting with a clear code and ending with the end code. When the
// table of 4096 codes is full a clear code starts a fresh one.
class GifLzwEncoder
{
public:
    // minimumCodeSize: 2 to 8, the bits of the largest palette index (at least 2, as GIF asks).
    explicit GifLzwEncoder(int minimumCodeSize);

    QByteArray encode(const uchar* indices, qsizetype count);

private:
    static constexpr int maxCodeBits = 12;
    static constexpr int tableCapacity = 1 << maxCodeBits;
    static constexpr int hashSize = 8192;

    void resetTable();
    void writeCode(int code);
    void flushBits();
    int find(int prefix, uchar suffix) const;
    void insert(int prefix, uchar suffix, int code);

    int m_minimumCodeSize;
    int m_clearCode;
    int m_endCode;
    int m_nextCode = 0;
    int m_codeSize = 0;
    // Open addressing on (prefix << 8 | suffix); -1 marks a free slot.
    std::array<int, hashSize> m_keys{};
    std::array<short, hashSize> m_codes{};
    QByteArray m_out;
    quint32 m_bitBuffer = 0;
    int m_bitCount = 0;
};

} // namespace pictures
