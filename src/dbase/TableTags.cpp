// Index tags, ranges and keys of a table object.
#include "Errors.h"
#include "TableImpl.h"
#include "TablePaths.h"

#include <unistd.h>

namespace dbase {

namespace {

TagInfo tagInfo(const MdxTag& tag)
{
    return {tag.name, tag.expression, tag.descending};
}

// Byte 28 of the table header: whether the table has a production index.
void writeProductionFlag(File& dbf, DbfHeader& header, bool flag)
{
    header.productionIndex = flag;
    dbf.write(28, std::string(1, flag ? '\1' : '\0'));
}

} // namespace

std::vector<TagInfo> Table::tags()
{
    d->requireOpen();
    std::vector<TagInfo> result;
    if (!d->index)
        return result;
    Impl::TableLock lock(*d, false);
    d->refreshIndexLocked();
    for (const MdxTag& tag : d->index->tags())
        result.push_back(tagInfo(tag));
    return result;
}

void Table::addTag(const TagInfo& tag)
{
    d->requireExclusive("adding an index tag");
    d->requireWritable();
    d->leaveEditing(*this);
    Impl& t = *d;
    const bool creating = !t.index;
    const std::string indexPath = withExtension(t.dbf.path(), "mdx");
    try {
        if (creating) {
            MdxIndex::create(indexPath, baseName(t.dbf.path()));
            t.openIndexLocked(indexPath);
        }
        TableRecords records = t.liveRecords();
        t.index->addTag(tag.name, tag.expression, tag.descending, records);
        if (creating)
            writeProductionFlag(t.dbf, t.header, true);
    } catch (...) {
        if (creating) {
            // A refused first tag leaves no index file behind.
            t.index.reset();
            ::unlink(indexPath.c_str());
        }
        throw;
    }
}

void Table::deleteTag(const std::string& name)
{
    d->requireExclusive("deleting an index tag");
    d->requireWritable();
    d->leaveEditing(*this);
    const std::string stored = d->usableTagName(name);
    d->index->deleteTag(stored);
    if (d->activeTag == stored)
        setActiveTag({});
}

void Table::setActiveTag(const std::string& name)
{
    d->requireOpen();
    d->leaveEditing(*this);
    {
        Impl::TableLock lock(*d, false);
        d->refreshIndexLocked();
        d->activeTag = name.empty() ? std::string() : d->usableTagName(name);
    }
    d->ranged = false;
    d->range = {};
    first();
}

const std::string& Table::activeTag() const
{
    return d->activeTag;
}

// --- Ranges and keys -----------------------------------------------------------------------------------

void Table::setRange(std::string_view startKey, std::string_view endKey)
{
    d->requireOpen();
    if (d->activeTag.empty())
        throw DatabaseError("a range needs an active index tag");
    d->leaveEditing(*this);
    d->range = {std::string(startKey), std::string(endKey)};
    d->ranged = true;
    first();
}

void Table::cancelRange()
{
    d->requireOpen();
    if (!d->ranged)
        return;
    d->leaveEditing(*this);
    d->ranged = false;
    d->range = {};
    first();
}

bool Table::hasRange() const
{
    return d->ranged;
}

bool Table::findKey(std::string_view key)
{
    d->requireOpen();
    if (d->activeTag.empty())
        throw DatabaseError("finding a key needs an active index tag");
    d->leaveEditing(*this);
    Impl::TableLock lock(*d, false);
    const std::optional<IndexEntry> found = d->index->find(d->activeTag, key, d->range);
    if (!found)
        return false;
    d->showEntryLocked(found);
    d->atBof = d->atEof = false;
    return true;
}

} // namespace dbase
