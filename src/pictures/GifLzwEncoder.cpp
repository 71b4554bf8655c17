#include "GifLzwEncoder.h"

#include <algorithm>

namespace pictures {

GifLzwEncoder::GifLzwEncoder(int minimumCodeSize)
    : m_minimumCodeSize(std::clamp(minimumCodeSize, 2, 8)), m_clearCode(1 << m_minimumCodeSize),
      m_endCode(m_clearCode + 1)
{}

void GifLzwEncoder::resetTable()
{
    m_keys.fill(-1);
    m_nextCode = m_endCode + 1;
    m_codeSize = m_minimumCodeSize + 1;
}

int GifLzwEncoder::find(int prefix, uchar suffix) const
{
    const int key = (prefix << 8) | suffix;
    for (auto slot = static_cast<std::size_t>((key * 2654435761u) >> 19) % hashSize;;
         slot = (slot + 1) % hashSize) {
        if (m_keys[slot] == key)
            return m_codes[slot];
        if (m_keys[slot] == -1)
            return -1;
    }
}

void GifLzwEncoder::insert(int prefix, uchar suffix, int code)
{
    const int key = (prefix << 8) | suffix;
    auto slot = static_cast<std::size_t>((key * 2654435761u) >> 19) % hashSize;
    while (m_keys[slot] != -1)
        slot = (slot + 1) % hashSize;
    m_keys[slot] = key;
    m_codes[slot] = static_cast<short>(code);
}

void GifLzwEncoder::writeCode(int code)
{
    m_bitBuffer |= static_cast<quint32>(code) << m_bitCount;
    m_bitCount += m_codeSize;
    while (m_bitCount >= 8) {
        m_out.append(static_cast<char>(m_bitBuffer & 0xFF));
        m_bitBuffer >>= 8;
        m_bitCount -= 8;
    }
}

void GifLzwEncoder::flushBits()
{
    if (m_bitCount > 0)
        m_out.append(static_cast<char>(m_bitBuffer & 0xFF));
    m_bitBuffer = 0;
    m_bitCount = 0;
}

QByteArray GifLzwEncoder::encode(const uchar* indices, qsizetype count)
{
    m_out.clear();
    m_bitBuffer = 0;
    m_bitCount = 0;
    resetTable();
    writeCode(m_clearCode);
    if (count > 0) {
        int prefix = indices[0];
        for (qsizetype i = 1; i < count; ++i) {
            const uchar suffix = indices[i];
            const int known = find(prefix, suffix);
            if (known >= 0) {
                prefix = known;
                continue;
            }
            writeCode(prefix);
            if (m_nextCode < tableCapacity) {
                insert(prefix, suffix, m_nextCode++);
                // The decoder adds each code one step later than this side, so the wider codes start once
                // the code just added no longer fits the present width.
                if (m_nextCode > (1 << m_codeSize) && m_codeSize < maxCodeBits)
                    ++m_codeSize;
            } else {
                writeCode(m_clearCode);
                resetTable();
            }
            prefix = suffix;
        }
        writeCode(prefix);
    }
    writeCode(m_endCode);
    flushBits();
    return m_out;
}

} // namespace pictures
