#include "Binary.h"
#include "Errors.h"
#include "FieldCodec.h"
#include "LockBytes.h"
#include "RecordScan.h"
#include "TableImpl.h"
#include "TablePack.h"
#include "TablePaths.h"

#include <algorithm>
#include <cctype>
#include <ctime>

namespace dbase {

// --- Impl helpers --------------------------------------------------------------------------------------

Table::Impl::TableLock::TableLock(Impl& impl, bool write, bool refresh) : impl_(impl), held_(!impl.exclusive)
{
    if (held_)
        impl_.dbf.lockWaiting(lockbytes::table, write, lockTimeout, "the table is busy");
    if (!refresh)
        return;
    // Others' changes are seen from here on; a write also repairs what a killed writer left behind.
    try {
        if (write)
            impl_.prepareWriteLocked();
        else
            impl_.refreshLocked();
    } catch (...) {
        if (held_)
            impl_.dbf.unlock(lockbytes::table);
        throw;
    }
}

Table::Impl::TableLock::~TableLock()
{
    if (held_)
        impl_.dbf.unlock(lockbytes::table);
}

void Table::Impl::requireOpen() const
{
    if (state == State::Inactive)
        throw DatabaseError("the table is not open");
}

void Table::Impl::requireExclusive(const char* operation) const
{
    requireOpen();
    if (!exclusive)
        throw DatabaseError(std::string(operation) + " needs exclusive use of the table " + dbf.path());
}

void Table::Impl::requireWritable() const
{
    requireOpen();
    if (!dbf.isWritable() || (memo.isOpen() && !memo.file().isWritable()))
        throw DatabaseError("the table " + dbf.path() + " is read-only");
    if (index && !index->writable())
        throw DatabaseError("the index of the table " + dbf.path() + " is read-only");
    if (!indexProblem.empty())
        throw DatabaseError("the table " + dbf.path() + " is read-only: " + indexProblem);
}

void Table::Impl::requireEditing() const
{
    if (state != State::Edit && state != State::Insert)
        throw DatabaseError("the table is not in edit or insert mode");
}

const FieldDescriptor& Table::Impl::field(std::size_t index) const
{
    requireOpen();
    if (index >= header.fields.size())
        throw DatabaseError("the table has no column " + std::to_string(index));
    return header.fields[index];
}

std::string_view Table::Impl::fieldBytes(std::size_t index) const
{
    const FieldDescriptor& f = field(index);
    if (row.size() < header.recordLength)
        throw DatabaseError("there is no current record");
    return std::string_view(row).substr(f.offset, f.length);
}

void Table::Impl::putFieldBytes(std::size_t index, std::string_view bytes)
{
    const FieldDescriptor& f = field(index);
    row.replace(f.offset, f.length, bytes);
    modified = true;
}

void Table::Impl::refreshCountLocked()
{
    const std::string bytes = dbf.read(4, 4);
    DbfHeader fresh = header;
    fresh.recordCount = readU32(bytes, 0);
    if (fresh.recordCount != header.recordCount && fresh.endOfRecords() > dbf.size())
        throw DatabaseError("damaged table " + dbf.path() +
                            ": the file holds fewer records than its header says");
    header.recordCount = fresh.recordCount;
}

std::string Table::Impl::readRecordLocked(std::uint32_t recordNumber) const
{
    return dbf.read(header.recordOffset(recordNumber), header.recordLength);
}

void Table::Impl::storeRecordLocked(std::uint32_t recordNumber, const std::string* before,
                                    const std::string& after)
{
    // The tags change first: a key that cannot be evaluated stops the post before the table is touched.
    IndexUpdate update(index.get());
    indexRecordLocked(recordNumber, before, after);
    if (recordNumber > header.recordCount) {
        // An append: the record (with the end-of-file mark) before the count that makes it visible.
        dbf.write(header.recordOffset(recordNumber), after + DbfHeader::endOfFile);
        header.recordCount = recordNumber;
        header.stampToday();
        dbf.write(1, header.dateAndCount());
    } else {
        if (before && (*before)[0] != after[0] && before->compare(1, std::string::npos, after, 1) == 0)
            dbf.write(header.recordOffset(recordNumber), after.substr(0, 1)); // only the deletion flag
        else
            dbf.write(header.recordOffset(recordNumber), after);
        stampDateLocked();
    }
    update.commit();
}

void Table::Impl::stampDateLocked()
{
    DbfHeader today = header;
    today.stampToday();
    if (today.updateYear == header.updateYear && today.updateMonth == header.updateMonth &&
        today.updateDay == header.updateDay)
        return;
    header.updateYear = today.updateYear;
    header.updateMonth = today.updateMonth;
    header.updateDay = today.updateDay;
    dbf.write(1, header.dateAndCount().substr(0, 3));
}

Table::Impl::Walk Table::Impl::walkLocked(std::uint32_t from, int step, std::int64_t wanted)
{
    Walk walk;
    if (wanted <= 0)
        return walk;
    const std::size_t length = header.recordLength;
    // One record first: it is usually live. Skipping goes on in large chunks.
    std::size_t batch = wanted == 1 ? 1 : std::max<std::size_t>(1, (256 * 1024) / length);
    std::int64_t at = from;
    for (;;) {
        while (at >= 1 && at <= header.recordCount && walk.passed < wanted) {
            const std::int64_t available = step > 0 ? header.recordCount - at + 1 : at;
            const auto n =
                static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(batch), available));
            const std::int64_t lowest = step > 0 ? at : at - static_cast<std::int64_t>(n) + 1;
            const std::string chunk =
                dbf.read(header.recordOffset(static_cast<std::uint32_t>(lowest)), n * length);
            for (std::size_t i = 0; i < n && walk.passed < wanted; ++i) {
                const std::size_t index = step > 0 ? i : n - 1 - i;
                if (chunk[index * length] == '*')
                    continue;
                ++walk.passed;
                walk.recordNumber = static_cast<std::uint32_t>(lowest + static_cast<std::int64_t>(index));
                if (walk.passed == wanted)
                    row.assign(chunk, index * length, length);
            }
            at += step * static_cast<std::int64_t>(n);
            batch = std::max<std::size_t>(1, (256 * 1024) / length);
        }
        // Others may have appended while this walk went forward: look at the count again before giving up.
        const std::uint32_t seen = header.recordCount;
        if (step < 0 || walk.passed == wanted || at <= seen)
            break;
        refreshCountLocked();
        if (header.recordCount == seen)
            break;
    }
    if (walk.passed > 0 && walk.passed < wanted)
        row = readRecordLocked(walk.recordNumber);
    return walk;
}

std::int64_t Table::Impl::countLiveLocked()
{
    refreshCountLocked();
    std::int64_t live = 0;
    scanRecords(dbf, header, [&](std::uint32_t, std::string_view record) { live += record[0] != '*'; });
    return live;
}

void Table::Impl::leaveEditing(Table& owner)
{
    if (state == State::Edit || state == State::Insert) {
        if (modified)
            owner.post();
        else
            owner.cancel();
    }
}

void Table::Impl::showRow(std::uint32_t recordNumber)
{
    current = recordNumber;
    resetMemos();
    if (recordNumber == 0)
        row.clear();
}

void Table::Impl::resetMemos()
{
    memos.assign(header.fields.size(), MemoSlot{});
}

// --- Table ---------------------------------------------------------------------------------------------

Table::Table() : d(std::make_unique<Impl>()) {}

Table::~Table()
{
    try {
        close();
    } catch (...) {
        // closing never writes, and a destructor must not throw
    }
}

void Table::open(const std::string& folder, const std::string& fileName, bool exclusive,
                 const std::string& tagName)
{
    close();
    auto impl = std::make_unique<Impl>();
    impl->folder = folder;
    impl->fileName = fileName;
    impl->exclusive = exclusive;
    const std::string path = locateTable(folder, fileName);
    if (path.empty())
        throw DatabaseError("table not found: " + joinPath(folder, tableFileName(fileName)));
    impl->dbf = File::openExisting(path);
    if (exclusive && !impl->dbf.isWritable())
        throw DatabaseError("the table " + path + " is read-only and cannot be opened for exclusive use");
    if (!impl->dbf.tryLock(lockbytes::open, exclusive))
        throw LockError(exclusive ? "the table " + path + " is in use; this needs exclusive use of it"
                                  : "the table " + path + " is opened exclusively by another user");
    if (completeInterruptedPack(impl->dbf, exclusive)) {
        open(folder, fileName, exclusive, tagName);
        return;
    }
    {
        Impl::TableLock lock(*impl, false, false);
        impl->header = DbfHeader::readFrom(impl->dbf);
        if (impl->header.hasMemoFields()) {
            const std::string memoPath = locateCompanion(path, "dbt");
            if (memoPath.empty())
                throw DatabaseError("the memo file of " + path + " is missing");
            File memoFile =
                impl->dbf.isWritable() ? File::openExisting(memoPath) : File(memoPath, File::Mode::ReadOnly);
            impl->memo = MemoFile(std::move(memoFile), impl->header.usesDBase3Memo());
        }
        if (impl->header.productionIndex) {
            const std::string indexPath = locateCompanion(path, "mdx");
            if (indexPath.empty())
                throw DatabaseError("the index file of " + path + " is missing");
            impl->openIndexLocked(indexPath);
        }
        if (!tagName.empty())
            impl->activeTag = impl->usableTagName(tagName);
    }
    if (impl->index && impl->index->interruptedUpdate() && impl->index->writable() &&
        impl->indexProblem.empty()) {
        // A writer was killed inside an update: its tags are rebuilt from the records before anyone reads.
        Impl::TableLock lock(*impl, true, false);
        impl->prepareWriteLocked();
    }
    impl->state = State::Browse;
    impl->resetMemos();
    d = std::move(impl);
    first();
}

void Table::close()
{
    if (d->state == State::Inactive)
        return;
    if (d->state == State::Edit || d->state == State::Insert)
        cancel();
    d = std::make_unique<Impl>(); // closing the files drops every lock they hold
}

bool Table::isOpen() const
{
    return d->state != State::Inactive;
}

bool Table::isExclusive() const
{
    return isOpen() && d->exclusive;
}

const std::string& Table::folder() const
{
    return d->folder;
}

const std::string& Table::fileName() const
{
    return d->fileName;
}

std::string Table::path() const
{
    return d->dbf.path();
}

std::size_t Table::fieldCount() const
{
    return d->header.fields.size();
}

const FieldDescriptor& Table::fieldDescriptor(std::size_t index) const
{
    return d->field(index);
}

const std::vector<FieldDescriptor>& Table::fieldDescriptors() const
{
    return d->header.fields;
}

int Table::fieldIndex(std::string_view name) const
{
    const auto& fields = d->header.fields;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string& candidate = fields[i].name;
        if (candidate.size() == name.size() &&
            std::equal(candidate.begin(), candidate.end(), name.begin(), [](char a, char b) {
                return std::toupper(static_cast<unsigned char>(a)) ==
                       std::toupper(static_cast<unsigned char>(b));
            }))
            return static_cast<int>(i);
    }
    return -1;
}

// --- Navigation ----------------------------------------------------------------------------------------

void Table::first()
{
    d->requireOpen();
    d->leaveEditing(*this);
    Impl::TableLock lock(*d, false);
    d->showEndLocked(+1);
}

void Table::last()
{
    d->requireOpen();
    d->leaveEditing(*this);
    Impl::TableLock lock(*d, false);
    d->showEndLocked(-1);
}

void Table::next()
{
    moveBy(1);
}

void Table::prior()
{
    moveBy(-1);
}

std::int64_t Table::moveBy(std::int64_t n)
{
    d->requireOpen();
    d->leaveEditing(*this);
    if (n == 0)
        return 0;
    Impl::TableLock lock(*d, false);
    return d->moveLocked(n);
}

bool Table::eof() const
{
    return d->atEof;
}

bool Table::bof() const
{
    return d->atBof;
}

std::int64_t Table::recordCount()
{
    d->requireOpen();
    Impl::TableLock lock(*d, false);
    return d->countRangeLocked();
}

std::uint32_t Table::recordNumber() const
{
    return d->state == State::Insert ? 0 : d->current;
}

// --- Bookmarks -----------------------------------------------------------------------------------------

Table::Bookmark Table::bookmark() const
{
    return recordNumber();
}

bool Table::gotoBookmark(Bookmark bookmark)
{
    d->requireOpen();
    d->leaveEditing(*this);
    if (bookmark == 0)
        return false;
    Impl::TableLock lock(*d, false);
    if (bookmark > d->header.recordCount)
        d->refreshCountLocked();
    if (bookmark > d->header.recordCount)
        return false;
    std::string record = d->readRecordLocked(bookmark);
    if (record[0] == '*')
        return false;
    if (!d->activeTag.empty() && !d->inRangeLocked({d->keyOfLocked(record), bookmark}))
        return false;
    d->showRecordLocked(bookmark, std::move(record));
    d->atBof = d->atEof = false;
    return true;
}

void Table::goToCurrent(const Table& other)
{
    d->requireOpen();
    other.d->requireOpen();
    if (d->dbf.identity() != other.d->dbf.identity())
        throw DatabaseError("the table objects are not on the same table");
    const std::uint32_t target = other.recordNumber();
    if (target == 0)
        throw DatabaseError("the other table object has no current record");
    if (!gotoBookmark(target))
        throw DatabaseError("record " + std::to_string(target) + " is no longer available");
}

// --- Editing -------------------------------------------------------------------------------------------

Table::State Table::state() const
{
    return d->state;
}

void Table::edit()
{
    d->requireOpen();
    if (d->state != State::Browse)
        return;
    if (d->current == 0)
        throw DatabaseError("there is no current record to edit");
    d->requireWritable();
    const std::uint32_t target = d->current;
    if (!d->dbf.tryLock(lockbytes::record(target), true))
        throw LockError("Record locked by another user");
    try {
        // What the last holder of the lock posted, memo values included, is what gets edited.
        Impl::TableLock lock(*d, false);
        std::string fresh = d->readRecordLocked(target);
        if (fresh[0] == '*')
            throw DatabaseError("the record has been deleted by another user");
        d->showRecordLocked(target, std::move(fresh));
    } catch (...) {
        d->dbf.unlock(lockbytes::record(target));
        throw;
    }
    d->lockedRecord = target;
    d->modified = false;
    d->state = State::Edit;
}

void Table::append()
{
    d->requireOpen();
    d->leaveEditing(*this);
    d->requireWritable();
    d->positionBeforeInsert = d->current;
    d->row.assign(d->header.recordLength, ' ');
    d->resetMemos();
    for (Impl::MemoSlot& slot : d->memos)
        slot.loaded = true;
    d->modified = false;
    d->state = State::Insert;
    if (afterInsert) {
        afterInsert(*this);
        d->modified = false; // defaults the handler filled in are no change by the user
    }
}

void Table::post()
{
    d->requireOpen();
    d->requireEditing();
    if (beforePost)
        beforePost(*this);
    d->requireEditing(); // the handler may have cancelled
    {
        Impl::TableLock lock(*d, true);
        std::string image = d->row;
        if (d->state == State::Insert) {
            d->writeChangedMemosLocked(image, nullptr);
            d->storeRecordLocked(d->header.recordCount + 1, nullptr, image);
            d->current = d->header.recordCount;
        } else {
            const std::string before = d->readRecordLocked(d->current);
            const std::vector<std::uint32_t> replaced = d->writeChangedMemosLocked(image, &before);
            d->storeRecordLocked(d->current, &before, image);
            for (std::uint32_t block : replaced)
                d->memo.release(block);
        }
        if (!d->activeTag.empty())
            d->currentKey = d->keyOfLocked(image);
        d->row = std::move(image);
    }
    for (Impl::MemoSlot& slot : d->memos)
        slot.changed = false;
    if (d->lockedRecord != 0)
        d->dbf.unlock(lockbytes::record(d->lockedRecord));
    d->lockedRecord = 0;
    d->modified = false;
    d->state = State::Browse;
    d->atBof = d->atEof = false;
    if (afterPost)
        afterPost(*this);
}

void Table::cancel()
{
    d->requireOpen();
    if (d->state == State::Browse)
        return;
    const bool inserting = d->state == State::Insert;
    if (d->lockedRecord != 0)
        d->dbf.unlock(lockbytes::record(d->lockedRecord));
    d->lockedRecord = 0;
    d->modified = false;
    d->state = State::Browse;
    const std::uint32_t back = inserting ? d->positionBeforeInsert : d->current;
    d->showRow(0);
    if (back != 0) {
        Impl::TableLock lock(*d, false);
        d->showRecordLocked(back, d->readRecordLocked(back));
    }
}

void Table::deleteRecord()
{
    d->requireOpen();
    if (d->state == State::Insert) {
        cancel();
        return;
    }
    if (d->current == 0)
        throw DatabaseError("there is no current record to delete");
    d->requireWritable();
    const std::uint32_t target = d->current;
    if (d->lockedRecord != target && !d->dbf.tryLock(lockbytes::record(target), true))
        throw LockError("Record locked by another user");
    d->lockedRecord = target;
    d->state = State::Browse;
    d->modified = false;
    try {
        Impl::TableLock lock(*d, true);
        const std::string before = d->readRecordLocked(target);
        if (before[0] != '*') {
            std::string after = before;
            after[0] = '*';
            d->storeRecordLocked(target, &before, after);
        }
        d->dbf.unlock(lockbytes::record(target));
        d->lockedRecord = 0;
        d->showNeighbourLocked(target, before);
    } catch (...) {
        d->dbf.unlock(lockbytes::record(target));
        d->lockedRecord = 0;
        throw;
    }
}

void Table::saveChanges()
{
    d->requireOpen();
    if (d->dbf.isWritable())
        d->dbf.sync();
    if (d->memo.isOpen() && d->memo.file().isWritable())
        d->memo.file().sync();
    if (d->index && d->index->writable())
        d->index->sync();
}

} // namespace dbase
