#pragma once

#include "MdxFormat.h"
#include "MdxOutlines.h"

#include <array>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace dbase {

// One 1024-byte block of an index file as the cache holds it. Blocks are never changed in place: a write
// replaces the cached block, so the counts noted on a block always describe its bytes.
struct MdxBlock
{
    using Bytes = std::array<std::uint8_t, mdx::blockBytes>;
    Bytes bytes{};
    // Entries in the subtree under this page, and under each child of a branch; -1 while unknown.
    mutable std::int64_t entries = -1;
    mutable std::vector<std::int64_t> childEntries;
};
using MdxBlockPtr = std::shared_ptr<const MdxBlock>;

// The index file itself: its header, its blocks through a bounded cache, the free-block list, and the
// update bracket that keeps several processes coherent.
//
// Coherence: an update (beginUpdate ... endUpdate) marks the file as being updated before its first write
// and, at the end, writes the header with a change counter one higher and the mark cleared. refresh()
// compares the header on disk with the one last seen and drops every cached block when they differ.
// A mark left behind by a killed process makes interrupted() true until a full rebuild.
// The caller serialises processes with a lock around every call.
class MdxStorage
{
public:
    MdxStorage(const std::string& path, bool writable, std::size_t cacheBlocks);
    ~MdxStorage();
    MdxStorage(const MdxStorage&) = delete;
    MdxStorage& operator=(const MdxStorage&) = delete;

    // Writes a new index file without tags, replacing any file of that name.
    static void create(const std::string& path, std::string_view tableName);

    const std::string& path() const { return path_; }
    bool writable() const { return writable_; }

    // --- Header: the first four pages, file header and tag table -----------------------------------------
    const std::uint8_t* header() const { return header_.data(); }
    // For changing the header inside an update.
    std::uint8_t* changeHeader();
    bool hasSignature() const;

    // --- Coherence -------------------------------------------------------------------------------------
    // Re-reads the header; true (and an empty cache) when another process changed the file.
    bool refresh();
    bool interrupted() const { return interrupted_; }
    // A full rebuild repairs whatever an interrupted update left behind.
    void clearInterruption() { interrupted_ = false; }
    // The caller refreshes first, so that the update starts from the file as it is.
    void beginUpdate();
    // Writes the changed blocks, then the header with the next change counter.
    void endUpdate();
    // Puts the updating mark on disk now, before the caller changes the table the index describes: from
    // here on a kill or an abandoned update leaves the file marked as interrupted.
    void announce();
    // Forgets the changes not yet written. When some were written already the file stays marked as
    // interrupted, so that the next open knows.
    void abandonUpdate();
    bool updating() const { return updating_; }
    void sync();

    // --- Blocks ----------------------------------------------------------------------------------------
    // Throws DatabaseError for a page that is not a block inside the file.
    MdxBlockPtr read(std::uint32_t page);
    // The cached block, or null; never reads.
    MdxBlockPtr cached(std::uint32_t page) const;
    // The bytes of a block for a quick look, without bringing it into the cache (a scan reads many blocks
    // at once into a buffer of its own). Valid until the next call on this object.
    const std::uint8_t* glance(std::uint32_t page);
    // What counting needs of a block that is not cached, for tags of itemLength-byte entries (see
    // MdxOutlines): the first call reads the whole file once, and the outlines stay until the file
    // changes. Nothing for a small file, where a glance reads it all anyway, or for a block written since.
    std::optional<MdxOutlines::Outline> outline(std::uint32_t page, std::size_t itemLength,
                                                std::size_t capacity);
    void write(std::uint32_t page, const MdxBlock::Bytes& bytes);
    // For a bulk build: blocks of consecutive pages from firstPage, written to the file at once past the
    // cache, which forgets its copies of those pages. Saves a cached copy of every page of a new tag.
    void writeThrough(std::uint32_t firstPage, const std::uint8_t* bytes, std::size_t blocks);
    // A block from the free list, or a new one at the end of the file. Its contents are undefined.
    std::uint32_t allocate();
    void release(std::uint32_t page);
    // Forgets every block after the header: the file will end there and the free list is empty.
    void resetBlocks();
    // Writes what has changed so far, header included (still marked as updating).
    void flush();

    bool isBlockPage(std::uint32_t page) const;
    std::uint32_t endPage() const { return endPage_; }
    std::uint32_t freeListHead() const;

    [[noreturn]] void damaged(const std::string& what) const;

private:
    struct CacheEntry
    {
        MdxBlockPtr block;
        std::list<std::uint32_t>::iterator recent;
        bool dirty = false;
    };

    void readHeader(std::array<std::uint8_t, mdx::headerBytes>& into) const;
    void adoptHeader();
    void requireUpdate() const;
    void insert(std::uint32_t page, MdxBlockPtr block, bool dirty);
    void evictIfFull();
    void markUpdating();
    std::uint32_t countFreeBlocks();
    void flushBlocks();
    void writeAt(std::uint64_t offset, const std::uint8_t* data, std::size_t size);
    std::uint64_t fileBytes() const;

    std::string path_;
    bool writable_ = false;
    int fd_ = -1;
    std::size_t capacity_;

    std::array<std::uint8_t, mdx::headerBytes> header_{};
    std::array<std::uint8_t, mdx::headerBytes> headerOnDisk_{};
    std::uint32_t endPage_ = mdx::headerPages;
    std::uint64_t physicalBytes_ = 0;

    std::unordered_map<std::uint32_t, CacheEntry> cache_;
    std::list<std::uint32_t> recent_;  // most recently used first
    std::vector<std::uint32_t> dirty_; // pages of the dirty blocks
    std::uint32_t lastMiss_ = 0;
    std::vector<std::uint8_t> glanced_;
    std::uint32_t glancedFirst_ = 0;
    std::uint32_t glancedBlocks_ = 0;
    MdxOutlines outlines_;

    bool interrupted_ = false;
    bool updating_ = false;
    bool marked_ = false;      // the updating mark is on disk
    bool wroteBlocks_ = false; // blocks of this update are on disk
    bool headerChanged_ = false;
    bool truncate_ = false;
};

} // namespace dbase
