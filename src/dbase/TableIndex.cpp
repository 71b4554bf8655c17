// The production index inside the table cursor: keeping every tag current and moving in tag order.
#include "Errors.h"
#include "TableImpl.h"

#include <strings.h>
#include <unistd.h>

namespace dbase {

Table::Impl::IndexUpdate::IndexUpdate(MdxIndex* index) : index_(index)
{
    if (index_)
        index_->beginUpdate();
}

Table::Impl::IndexUpdate::~IndexUpdate()
{
    if (!index_)
        return;
    try {
        index_->abandonUpdate();
    } catch (...) {
        // the mark stays on disk, and the next writer rebuilds the tags
    }
}

void Table::Impl::IndexUpdate::commit()
{
    MdxIndex* index = index_;
    index_ = nullptr;
    if (index)
        index->endUpdate();
}

void Table::Impl::openIndexLocked(const std::string& indexPath)
{
    // An index file we may not write keeps the whole table read-only, like a tag we cannot evaluate.
    const bool writable = dbf.isWritable() && ::access(indexPath.c_str(), W_OK) == 0;
    index = std::make_unique<MdxIndex>(indexPath, header.fields, writable);
    noteIndexTags();
}

void Table::Impl::noteIndexTags()
{
    indexProblem.clear();
    for (const MdxTag& tag : index->tags())
        if (!tag.problem.empty() && indexProblem.empty())
            indexProblem = tag.problem;
}

void Table::Impl::refreshLocked()
{
    if (!activeTag.empty())
        refreshIndexLocked();
}

void Table::Impl::refreshIndexLocked()
{
    if (index && !exclusive && index->refresh())
        noteIndexTags();
}

void Table::Impl::prepareWriteLocked()
{
    refreshCountLocked();
    refreshIndexLocked();
    if (index && index->interruptedUpdate() && indexProblem.empty())
        rebuildIndexLocked();
}

void Table::Impl::rebuildIndexLocked()
{
    TableRecords records = liveRecords();
    index->rebuild(records);
}

void Table::Impl::indexRecordLocked(std::uint32_t recordNumber, const std::string* before,
                                    const std::string& after)
{
    if (!index)
        return;
    const bool wasLive = before && (*before)[0] != '*';
    const bool isLive = after[0] != '*';
    bool changed = false;
    if (wasLive && isLive)
        changed = index->updateRecord(recordNumber, valuesOf(*before), valuesOf(after));
    else if (wasLive)
        changed = index->removeRecord(recordNumber, valuesOf(*before));
    else if (isLive)
        changed = index->insertRecord(recordNumber, valuesOf(after));
    // The mark goes on disk before the table changes: a kill in between is then seen on the next open.
    if (changed)
        index->announceUpdate();
}

std::string Table::Impl::keyOfLocked(std::string_view record) const
{
    return index->keyOf(activeTag, valuesOf(record));
}

std::string Table::Impl::usableTagName(const std::string& name) const
{
    if (index) {
        for (const MdxTag& tag : index->tags()) {
            if (::strcasecmp(tag.name.c_str(), name.c_str()) != 0)
                continue;
            if (!tag.problem.empty())
                throw DatabaseError("index tag " + tag.name + " of " + dbf.path() +
                                    " cannot be used: " + tag.problem);
            return tag.name;
        }
    }
    throw DatabaseError("index tag " + name + " not found for " + dbf.path());
}

void Table::Impl::showEntryLocked(const std::optional<IndexEntry>& entry)
{
    if (!entry) {
        showRow(0);
        return;
    }
    if (entry->record > header.recordCount)
        refreshCountLocked(); // appended by someone else since
    showRow(entry->record);
    row = readRecordLocked(entry->record);
    currentKey = entry->key;
}

void Table::Impl::showRecordLocked(std::uint32_t recordNumber, std::string bytes)
{
    showRow(recordNumber);
    row = std::move(bytes);
    if (!activeTag.empty())
        currentKey = keyOfLocked(row);
}

void Table::Impl::showEndLocked(int step)
{
    if (activeTag.empty()) {
        if (step < 0)
            refreshCountLocked(); // a forward walk looks again at the end by itself
        const Walk walk = walkLocked(step > 0 ? 1 : header.recordCount, step, 1);
        showRow(walk.recordNumber);
    } else {
        showEntryLocked(step > 0 ? index->first(activeTag, range) : index->last(activeTag, range));
    }
    atBof = atEof = current == 0;
}

std::int64_t Table::Impl::moveLocked(std::int64_t n)
{
    const int step = n > 0 ? 1 : -1;
    if (current == 0) {
        // No current row (an empty range): look again from the matching end.
        showEndLocked(step);
        return current == 0 ? 0 : step;
    }
    const std::int64_t wanted = n > 0 ? n : -n;
    std::int64_t moved = 0;
    if (activeTag.empty()) {
        const std::int64_t start = static_cast<std::int64_t>(current) + step;
        Walk walk;
        if (start >= 1)
            walk = walkLocked(static_cast<std::uint32_t>(start), step, wanted);
        if (walk.passed > 0)
            showRow(walk.recordNumber);
        moved = walk.passed;
    } else {
        const IndexEntry here{currentKey, current};
        if (wanted == 1) {
            // One step is a walk to the neighbour; counting positions only pays for longer moves.
            const std::optional<IndexEntry> neighbour =
                step > 0 ? index->next(activeTag, here, range) : index->prior(activeTag, here, range);
            if (neighbour)
                showEntryLocked(neighbour);
            moved = neighbour ? 1 : 0;
        } else {
            const IndexMove move = index->advance(activeTag, here, n, range);
            if (move.entry && move.moved != 0)
                showEntryLocked(move.entry);
            moved = move.moved > 0 ? move.moved : -move.moved;
        }
    }
    atEof = step > 0 && moved < wanted;
    atBof = step < 0 && moved < wanted;
    return step * moved;
}

void Table::Impl::showNeighbourLocked(std::uint32_t deleted, const std::string& deletedRecord)
{
    std::optional<IndexEntry> neighbour;
    bool noneAfter = true;
    if (activeTag.empty()) {
        Walk walk = walkLocked(deleted + 1, +1, 1);
        noneAfter = walk.recordNumber == 0;
        if (noneAfter && deleted > 1)
            walk = walkLocked(deleted - 1, -1, 1);
        showRow(walk.recordNumber);
    } else {
        const IndexEntry was{keyOfLocked(deletedRecord), deleted};
        neighbour = index->next(activeTag, was, range);
        noneAfter = !neighbour;
        if (noneAfter)
            neighbour = index->prior(activeTag, was, range);
        showEntryLocked(neighbour);
    }
    atBof = current == 0;
    atEof = noneAfter || current == 0;
}

bool Table::Impl::inRangeLocked(const IndexEntry& entry)
{
    if (!ranged)
        return true;
    const std::optional<IndexEntry> found = index->seek(activeTag, entry, range);
    return found && *found == entry;
}

std::int64_t Table::Impl::countRangeLocked()
{
    if (activeTag.empty())
        return countLiveLocked();
    return index->count(activeTag, range);
}

} // namespace dbase
