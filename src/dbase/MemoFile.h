#pragma once

#include "File.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace dbase {

// A .dbt memo file. dBASE IV layout: a header block, then values that each start on a block with
// FF FF 08 00 and a 32-bit length that counts those 8 bytes. dBASE III layout: 512-byte blocks of text
// ended by 0x1A, read and appended but never reused.
//
// Header word 0 always holds the next block at the end of the file, as every other writer expects; freed
// runs of blocks are chained in a list of our own whose head sits in reserved header bytes beside a check
// word, and whose runs carry (next run, length, marker). Other programs ignore it; a list that does not
// check out is dropped (its blocks stay unused until pack), never trusted.
//
// The caller holds the table-wide lock: shared for reads, exclusive for write and release.
class MemoFile
{
public:
    enum class Format
    {
        DBase3,
        DBase4
    };
    static constexpr std::uint32_t defaultBlockSize = 512;

    struct Run
    {
        std::uint32_t start = 0;
        std::uint32_t length = 0;
    };

    MemoFile() = default;
    // DatabaseError when the header is unusable. The format follows the table's version byte.
    MemoFile(File file, bool dbase3Table);
    static void create(const std::string& path, const std::string& tableName, Format format);

    bool isOpen() const { return file_.isOpen(); }
    Format format() const { return format_; }
    std::uint32_t blockSize() const { return blockSize_; }
    const std::string& path() const { return file_.path(); }
    File& file() { return file_; }
    const File& file() const { return file_; }

    // The value that starts at block; EngineError when it is damaged.
    std::string read(std::uint32_t block) const;
    // The size of the value at block, without reading all of it; EngineError when it is damaged.
    std::uint64_t valueSize(std::uint32_t block) const;
    // The run of blocks the value at block occupies; EngineError when it is damaged.
    Run extent(std::uint32_t block) const;
    // Stores value in free blocks (reused or appended) and returns its first block.
    std::uint32_t write(std::string_view value);
    // Returns the blocks of the value at block to the free list. A damaged value is left alone.
    void release(std::uint32_t block);
    // Back to an empty memo file.
    void clear();

    // For checking: the block after the last one in use according to the header and the file size, and
    // the free runs, with a description of the first fault of the list (empty when it is sound).
    std::uint32_t endBlock() const;
    std::uint32_t headerNextBlock() const;
    std::vector<Run> freeRuns(std::string& fault) const;

private:
    struct FreeListEntry
    {
        Run run;
        std::uint32_t next = 0;
        std::uint32_t previous = 0; // the run before it in the list; 0 for the header
        std::uint32_t previousLength = 0;
    };
    enum class WalkEnd
    {
        Stopped,
        Exhausted,
        Broken
    };
    // Visits up to limit runs of the list until visit returns true.
    WalkEnd walkFreeList(std::uint32_t end, std::uint64_t limit,
                         const std::function<bool(const FreeListEntry&)>& visit,
                         std::uint32_t* brokenAt = nullptr) const;
    // Points the link that leads to entry (the header or the run before it) at another block.
    void relink(const FreeListEntry& entry, std::uint32_t to);
    std::string readHeader() const;
    std::uint32_t freeListHead(std::string_view header) const;
    void setFreeListHead(std::uint32_t head);
    bool readRun(std::uint32_t block, std::uint32_t end, Run& run, std::uint32_t& next) const;
    void writeRunHeader(std::uint32_t block, std::uint32_t next, std::uint32_t length);
    std::uint32_t takeFromFreeList(std::string_view image, std::uint32_t blocks, std::uint32_t end);
    std::uint32_t valueLength(std::uint32_t block) const;
    bool mergeWithNeighbour(const Run& freed, std::uint32_t end);
    std::uint32_t append(std::string_view image, std::uint32_t end);
    std::string readDBase3(std::uint32_t block) const;

    File file_;
    Format format_ = Format::DBase4;
    std::uint32_t blockSize_ = defaultBlockSize;
};

} // namespace dbase
