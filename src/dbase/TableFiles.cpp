#include "DbfHeader.h"
#include "Errors.h"
#include "File.h"
#include "LockBytes.h"
#include "MdxIndex.h"
#include "MemoFile.h"
#include "Table.h"
#include "TablePaths.h"

#include <algorithm>
#include <dirent.h>
#include <strings.h>
#include <unistd.h>

namespace dbase {

namespace {

constexpr std::string_view companionExtensions[] = {"dbt", "mdx"};

// LockError when another table object has the table open; the returned file keeps others out.
File requireUnused(const std::string& path)
{
    File file = File::openExisting(path);
    if (file.isWritable() && !file.tryLock(lockbytes::open, true))
        throw LockError("the table " + path + " is in use by another user");
    return file;
}

// No records: what the tags of a new table are built from.
class NoRecords : public LiveRecords
{
public:
    void forEach(const std::function<void(std::uint32_t, const RecordSource&)>&) override {}
};

void createIndex(const std::string& tablePath, const std::vector<FieldDescriptor>& fields,
                 const std::vector<TagInfo>& tags)
{
    const std::string indexPath = withExtension(tablePath, "mdx");
    MdxIndex::create(indexPath, baseName(tablePath));
    MdxIndex index(indexPath, fields, true);
    NoRecords none;
    for (const TagInfo& tag : tags)
        index.addTag(tag.name, tag.expression, tag.descending, none);
}

// The index file names the table it belongs to; a copied or renamed table's index learns its new name.
void renameIndexedTable(const std::string& tablePath, const std::string& newTableName)
{
    const std::string indexPath = locateCompanion(tablePath, "mdx");
    if (indexPath.empty())
        return;
    const DbfHeader header = DbfHeader::readFrom(File(tablePath, File::Mode::ReadOnly));
    MdxIndex(indexPath, header.fields, true).setTableName(newTableName);
}

void removeFile(const std::string& path)
{
    if (!path.empty() && ::unlink(path.c_str()) != 0 && errno != ENOENT)
        throw DatabaseError("cannot delete " + path);
}

void copyFile(const File& source, const std::string& targetPath)
{
    File target(targetPath, File::Mode::Create);
    constexpr std::size_t chunk = 1024 * 1024;
    for (std::uint64_t at = 0;; at += chunk) {
        const std::string bytes = source.readSome(at, chunk);
        target.write(at, bytes);
        if (bytes.size() < chunk)
            break;
    }
}

// The existing file of a table name, or the path a new one gets.
std::string tablePathFor(const std::string& folder, const std::string& fileName)
{
    const std::string existing = locateTable(folder, fileName);
    return existing.empty() ? joinPath(folder, tableFileName(fileName)) : existing;
}

std::string companionPathFor(const std::string& tablePath, std::string_view ext)
{
    const std::string existing = locateCompanion(tablePath, ext);
    return existing.empty() ? withExtension(tablePath, ext) : existing;
}

} // namespace

std::string findFileNoCase(const std::string& folder, const std::string& name)
{
    if (name.empty())
        return {};
    const std::string exact = joinPath(folder, name);
    if (fileExists(exact))
        return exact;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return {};
    std::string best;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string candidate = entry->d_name;
        if (::strcasecmp(candidate.c_str(), name.c_str()) == 0 && fileExists(joinPath(folder, candidate)) &&
            (best.empty() || candidate < best))
            best = candidate;
    }
    ::closedir(dir);
    return best.empty() ? std::string() : joinPath(folder, best);
}

bool tableExists(const std::string& folder, const std::string& fileName)
{
    return !locateTable(folder, fileName).empty();
}

void createTable(const std::string& folder, const std::string& fileName, const std::vector<FieldSpec>& fields,
                 const std::vector<TagInfo>& tags)
{
    DbfHeader header = DbfHeader::forNewTable(fields);
    header.productionIndex = !tags.empty();
    const std::string path = tablePathFor(folder, fileName);
    File previous;
    if (fileExists(path))
        previous = requireUnused(path);
    // A stale index or memo file of an earlier table of that name must not attach to the new one.
    for (std::string_view ext : companionExtensions)
        removeFile(locateCompanion(path, ext));
    {
        File file(path, File::Mode::Create);
        file.write(0, header.serialize() + DbfHeader::endOfFile);
    }
    if (header.hasMemoFields())
        MemoFile::create(withExtension(path, "dbt"), baseName(path), MemoFile::Format::DBase4);
    if (tags.empty())
        return;
    try {
        createIndex(path, header.fields, tags);
    } catch (...) {
        // A refused tag leaves no table behind.
        for (std::string_view ext : companionExtensions)
            ::unlink(withExtension(path, ext).c_str());
        ::unlink(path.c_str());
        throw;
    }
}

void copyTable(const std::string& sourceFolder, const std::string& sourceName,
               const std::string& targetFolder, const std::string& targetName, bool overwrite)
{
    const std::string sourcePath = locateTable(sourceFolder, sourceName);
    if (sourcePath.empty())
        throw DatabaseError("table not found: " + joinPath(sourceFolder, tableFileName(sourceName)));
    const std::string targetPath = tablePathFor(targetFolder, targetName);
    File source = File::openExisting(sourcePath);
    File previous;
    if (fileExists(targetPath)) {
        if (File(targetPath, File::Mode::ReadOnly).identity() == source.identity())
            throw DatabaseError("a table cannot be copied onto itself: " + sourcePath);
        if (!overwrite)
            throw DatabaseError("the table " + targetPath + " already exists");
        previous = requireUnused(targetPath);
    }
    // A consistent picture of the source: no exclusive user, and no writer while the files are copied.
    if (!source.tryLock(lockbytes::open, false))
        throw LockError("the table " + sourcePath + " is opened exclusively by another user");
    source.lockWaiting(lockbytes::table, false, std::chrono::milliseconds(10000), "the table is busy");
    copyFile(source, targetPath);
    for (std::string_view ext : companionExtensions) {
        const std::string sourceCompanion = locateCompanion(sourcePath, ext);
        const std::string targetCompanion = companionPathFor(targetPath, ext);
        if (sourceCompanion.empty())
            removeFile(locateCompanion(targetPath, ext));
        else
            copyFile(File(sourceCompanion, File::Mode::ReadOnly), targetCompanion);
    }
    renameIndexedTable(targetPath, baseName(targetPath));
}

void renameTable(const std::string& folder, const std::string& oldName, const std::string& newName)
{
    const std::string oldPath = locateTable(folder, oldName);
    if (oldPath.empty())
        throw DatabaseError("table not found: " + joinPath(folder, tableFileName(oldName)));
    const std::string newPath = joinPath(folder, tableFileName(newName));
    const std::string existing = locateTable(folder, newName);
    if (!existing.empty() &&
        File(existing, File::Mode::ReadOnly).identity() != File(oldPath, File::Mode::ReadOnly).identity())
        throw DatabaseError("the table " + existing + " already exists");
    const File guard = requireUnused(oldPath);
    renameIndexedTable(oldPath, baseName(newPath));
    for (std::string_view ext : companionExtensions) {
        const std::string companion = locateCompanion(oldPath, ext);
        if (!companion.empty() && ::rename(companion.c_str(), withExtension(newPath, ext).c_str()) != 0)
            throw DatabaseError("cannot rename " + companion);
    }
    if (::rename(oldPath.c_str(), newPath.c_str()) != 0)
        throw DatabaseError("cannot rename " + oldPath);
}

void deleteTable(const std::string& folder, const std::string& fileName)
{
    const std::string path = locateTable(folder, fileName);
    const std::string nominal = path.empty() ? joinPath(folder, tableFileName(fileName)) : path;
    File guard;
    if (!path.empty())
        guard = requireUnused(path);
    for (std::string_view ext : companionExtensions)
        removeFile(locateCompanion(nominal, ext));
    removeFile(path);
}

} // namespace dbase
