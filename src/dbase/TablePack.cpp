#include "TablePack.h"

#include "Errors.h"
#include "FieldCodec.h"
#include "LockBytes.h"
#include "MdxFormat.h"
#include "RecordScan.h"
#include "TableImpl.h"
#include "TablePaths.h"

#include <unistd.h>

namespace dbase {

std::string packingName(const std::string& path)
{
    return path + ".packing";
}

std::string packCommitMarker(const std::string& tablePath)
{
    return tablePath + ".pack-done";
}

bool completeInterruptedPack(File& table, bool exclusive)
{
    const std::string& path = table.path();
    const std::string marker = packCommitMarker(path);
    const std::string memoPath = locateCompanion(path, "dbt");
    const std::string newTable = packingName(path);
    const std::string newMemo = memoPath.empty() ? std::string() : packingName(memoPath);
    if (!fileExists(marker)) {
        // A pack killed before its commit: the originals are intact, the new files are worthless.
        ::unlink(newTable.c_str());
        if (!newMemo.empty())
            ::unlink(newMemo.c_str());
        return false;
    }
    if (!exclusive && !table.tryLock(lockbytes::open, true))
        throw LockError("the table " + path + " needs a pack to be completed; open it for exclusive use");
    bool renamed = false;
    if (!newMemo.empty() && fileExists(newMemo)) {
        if (::rename(newMemo.c_str(), memoPath.c_str()) != 0)
            throw DatabaseError("cannot complete the pack of " + path);
        renamed = true;
    }
    if (fileExists(newTable)) {
        if (::rename(newTable.c_str(), path.c_str()) != 0)
            throw DatabaseError("cannot complete the pack of " + path);
        renamed = true;
    }
    syncFolderOf(path);
    ::unlink(marker.c_str());
    if (!exclusive)
        table.tryLock(lockbytes::open, false);
    return renamed;
}

std::uint32_t Table::Impl::copyLiveRecords(File& target, MemoFile* targetMemo)
{
    Impl& t = *this;
    namespace fc = fieldcodec;
    std::string out;
    std::uint64_t written = t.header.headerLength;
    std::uint32_t live = 0;
    scanRecords(t.dbf, t.header, [&](std::uint32_t recordNumber, std::string_view stored) {
        if (stored[0] == '*')
            return;
        std::string record(stored);
        for (const FieldDescriptor& f : t.header.fields) {
            if (!f.usesMemoFile())
                continue;
            const auto block = fc::parseMemoBlock(std::string_view(record).substr(f.offset, f.length));
            if (!block)
                throw DatabaseError("pack stopped: record " + std::to_string(recordNumber) +
                                    " has a damaged memo pointer in column " + f.name);
            std::uint32_t moved = 0;
            if (*block != 0) {
                try {
                    moved = targetMemo->write(t.memo.read(*block));
                } catch (const EngineError& error) {
                    throw DatabaseError("pack stopped: record " + std::to_string(recordNumber) + ": " +
                                        error.what());
                }
            }
            record.replace(f.offset, f.length, fc::formatMemoBlock(moved, f.length));
        }
        out += record;
        ++live;
        if (out.size() >= 1024 * 1024) {
            target.write(written, out);
            written += out.size();
            out.clear();
        }
    });
    out += DbfHeader::endOfFile;
    target.write(written, out);
    return live;
}

void Table::pack(bool regenerate)
{
    (void)regenerate; // record numbers change, so every tag is rebuilt either way
    d->requireExclusive("pack");
    d->requireWritable();
    d->leaveEditing(*this);
    Impl& t = *d;
    const std::string tablePath = t.dbf.path();
    const std::string newTablePath = packingName(tablePath);
    const std::string newMemoPath = t.memo.isOpen() ? packingName(t.memo.path()) : std::string();

    File newTable(newTablePath, File::Mode::Create);
    // The new file is locked before it gets the table's name, so nobody slips in between.
    newTable.tryLock(lockbytes::open, true);
    std::optional<MemoFile> newMemo;
    if (t.memo.isOpen()) {
        MemoFile::create(newMemoPath, baseName(tablePath), t.memo.format());
        newMemo.emplace(File(newMemoPath, File::Mode::ReadWrite),
                        t.memo.format() == MemoFile::Format::DBase3);
    }
    DbfHeader packed = t.header;
    packed.recordCount = 0;
    newTable.write(0, packed.serialize());
    packed.recordCount = t.copyLiveRecords(newTable, newMemo ? &*newMemo : nullptr);
    packed.stampToday();
    newTable.write(1, packed.dateAndCount());
    newTable.sync();
    if (newMemo)
        newMemo->file().sync();

    // From the commit on the index describes the old record numbers until it is rebuilt: it is marked as
    // being updated first, so that a kill in between leaves it to be rebuilt on the next open.
    Impl::IndexUpdate update(t.index.get());
    if (t.index)
        t.index->announceUpdate();
    File(packCommitMarker(tablePath), File::Mode::Create).sync();
    syncFolderOf(tablePath);
    if (newMemo)
        newMemo->file().rename(t.memo.path());
    newTable.rename(tablePath);
    syncFolderOf(tablePath);
    ::unlink(packCommitMarker(tablePath).c_str());

    t.dbf = std::move(newTable);
    if (newMemo)
        t.memo = std::move(*newMemo);
    t.header = packed;
    if (t.index) {
        t.rebuildIndexLocked();
        update.commit();
        t.index->sync();
    }
    first();
}

void Table::emptyTable()
{
    d->requireExclusive("emptying a table");
    d->requireWritable();
    if (d->state != State::Browse)
        cancel();
    Impl& t = *d;
    Impl::IndexUpdate update(t.index.get());
    if (t.index)
        t.index->announceUpdate();
    // The count goes first: whatever a kill leaves behind is then an empty table.
    t.header.recordCount = 0;
    t.header.stampToday();
    t.dbf.write(1, t.header.dateAndCount());
    t.dbf.truncate(t.header.headerLength);
    t.dbf.write(t.header.headerLength, std::string(1, DbfHeader::endOfFile));
    if (t.memo.isOpen())
        t.memo.clear();
    if (t.index)
        t.rebuildIndexLocked();
    update.commit();
    t.showRow(0);
    t.atBof = t.atEof = true;
}

void Table::regenerateIndexes()
{
    d->requireExclusive("regenerating the indexes");
    d->requireWritable();
    d->leaveEditing(*this);
    if (!d->index)
        return;
    // A spare index copied in from elsewhere names another table.
    const std::string tableName = baseName(d->dbf.path());
    if (d->index->tableName() != tableName.substr(0, mdx::tableNameBytes))
        d->index->setTableName(tableName);
    d->rebuildIndexLocked();
    first();
}

} // namespace dbase
