#pragma once

// The dBASE IV multiple-index layout: byte offsets of the file header, the tag table, a tag header and
// the B-tree pages, and the little-endian accessors for them.
//
// The file is counted in 512-byte pages; everything is allocated in blocks of two pages (1024 bytes),
// and pointers in the file are page numbers. Pages 0-3 hold the file header and the tag table.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace dbase::mdx {

constexpr std::uint32_t pageBytes = 512;
constexpr std::uint32_t pagesPerBlock = 2;
constexpr std::uint32_t blockBytes = pageBytes * pagesPerBlock;
constexpr std::uint32_t headerPages = 4;
constexpr std::uint32_t headerBytes = headerPages * pageBytes;

// --- File header ---------------------------------------------------------------------------------------
constexpr std::size_t versionOffset = 0; // 2 for dBASE IV
constexpr std::size_t createdOffset = 1; // YY MM DD, years since 1900
constexpr std::size_t tableNameOffset = 4;
constexpr std::size_t tableNameBytes = 16;
constexpr std::size_t blockPagesOffset = 20; // pages per block
constexpr std::size_t blockSizeOffset = 22;  // bytes per block
constexpr std::size_t productionOffset = 24;
constexpr std::size_t tagCapacityOffset = 25;
constexpr std::size_t tagEntryLengthOffset = 26;
constexpr std::size_t tagsInUseOffset = 28;
constexpr std::size_t pageCountOffset = 32;
constexpr std::size_t firstFreeOffset = 36;
constexpr std::size_t freeBlocksOffset = 40;
constexpr std::size_t updatedOffset = 44; // YY MM DD

// Our coherence block in the unused part of the header (bytes 48-543), recognised by its signature.
constexpr std::size_t signatureOffset = 48;
constexpr std::string_view signature = "TSMDXCC1";
constexpr std::size_t changeCounterOffset = 56;
constexpr std::size_t updatingOffset = 64;

// --- Tag table -----------------------------------------------------------------------------------------
constexpr std::size_t tagTableOffset = 544;
constexpr std::size_t tagEntryBytes = 32;
constexpr std::uint8_t declaredTagCapacity = 48;                                // what dBASE writes
constexpr std::size_t maxTags = (headerBytes - tagTableOffset) / tagEntryBytes; // 47 fit before page 4
constexpr std::size_t entryHeaderPageOffset = 0;
constexpr std::size_t entryNameOffset = 4;
constexpr std::size_t tagNameBytes = 11; // ten characters and a NUL
constexpr std::size_t entryKeyFormatOffset = 15;
constexpr std::size_t entryLeftThreadOffset = 16; // a binary tree over the tag names: 1-based entries
constexpr std::size_t entryRightThreadOffset = 17;
constexpr std::size_t entryParentThreadOffset = 18;
constexpr std::size_t entryKeyTypeOffset = 20;

// --- Tag header (one block) ----------------------------------------------------------------------------
constexpr std::size_t rootPageOffset = 0;
constexpr std::size_t tagPagesOffset = 4; // pages the tag occupies, its header included
constexpr std::size_t keyFormatOffset = 8;
constexpr std::size_t keyTypeOffset = 9;
constexpr std::size_t tagMarkerOffset = 11; // dBASE writes 0x1B
constexpr std::size_t keyLengthOffset = 12;
constexpr std::size_t maxKeysOffset = 14;
constexpr std::size_t secondaryTypeOffset = 16;
constexpr std::size_t itemLengthOffset = 18;
constexpr std::size_t uniqueOffset = 23;
constexpr std::size_t expressionOffset = 24;
constexpr std::size_t expressionBytes = 221; // NUL-terminated
constexpr std::size_t hasFilterOffset = 245;
constexpr std::size_t hasKeysOffset = 246;
constexpr std::size_t firstLeafOffset = 248;
constexpr std::size_t lastLeafOffset = 252;
constexpr std::size_t tagDateOffset = 257;        // YY MM DD
constexpr std::size_t singleFieldKeyOffset = 480; // 1 when the key is a bare field

constexpr std::uint8_t keyFormatBase = 0x10;
constexpr std::uint8_t keyFormatDescending = 0x08;
constexpr std::uint8_t keyFormatUnique = 0x40;

// --- B-tree pages --------------------------------------------------------------------------------------
// A page holds its entry count, a second word (the next free page while the page is free), then entries
// of a 4-byte pointer and the key. A leaf's pointers are record numbers and a zero follows its last entry;
// a branch with n keys has n + 1 child pointers, the last one after the last entry, and the key of entry
// i is the highest key in child i.
constexpr std::size_t entryCountOffset = 0;
constexpr std::size_t nextFreeOffset = 4;
constexpr std::size_t entriesOffset = 8;

// Entry length for a key: the pointer plus the key, rounded up to four bytes.
constexpr std::size_t itemLengthFor(std::size_t keyLength)
{
    return (4 + keyLength + 3) / 4 * 4;
}

// Entries that fit in a page together with the trailing pointer.
constexpr std::size_t capacityFor(std::size_t itemLength)
{
    return (blockBytes - entriesOffset - 4) / itemLength;
}

inline std::uint16_t get16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t get32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::uint64_t get64(const std::uint8_t* p)
{
    return static_cast<std::uint64_t>(get32(p)) | (static_cast<std::uint64_t>(get32(p + 4)) << 32);
}

inline void put16(std::uint8_t* p, std::uint16_t value)
{
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void put32(std::uint8_t* p, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline void put64(std::uint8_t* p, std::uint64_t value)
{
    put32(p, static_cast<std::uint32_t>(value));
    put32(p + 4, static_cast<std::uint32_t>(value >> 32));
}

// Text in a fixed NUL-padded field, up to its first NUL.
inline std::string getText(const std::uint8_t* p, std::size_t size)
{
    std::size_t length = 0;
    while (length < size && p[length] != 0)
        ++length;
    return std::string(reinterpret_cast<const char*>(p), length);
}

inline void putText(std::uint8_t* p, std::size_t size, std::string_view text)
{
    for (std::size_t i = 0; i < size; ++i)
        p[i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0;
}

// Today as YY MM DD with the years counted from 1900.
void putToday(std::uint8_t* p);

} // namespace dbase::mdx
