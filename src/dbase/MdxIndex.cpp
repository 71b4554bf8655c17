#include "MdxIndex.h"

#include "Errors.h"
#include "MdxKeySorter.h"
#include "MdxStorage.h"
#include "MdxTree.h"
#include "MdxTreeBuilder.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

namespace dbase {

namespace {

constexpr std::size_t maxTagNameLength = 10;
constexpr std::uint8_t dbaseTagMarker = 0x1B;

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

void validateTagName(std::string_view name)
{
    const bool valid = !name.empty() && name.size() <= maxTagNameLength &&
                       std::isalpha(static_cast<unsigned char>(name[0])) &&
                       std::all_of(name.begin(), name.end(), [](char c) {
                           return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
                       });
    if (!valid)
        throw DatabaseError(
            "Tag name \"" + std::string(name) +
            "\" is not valid: up to 10 letters, digits or underscores, starting with a letter");
}

} // namespace

struct MdxIndex::TagState
{
    std::string name;
    std::string expressionText;
    std::optional<Expression> expression;
    std::string problem;
    std::uint32_t headerPage = 0;
    std::array<std::uint8_t, mdx::tagEntryBytes> entry{}; // the tag table entry as read
    MdxTreeShape shape;
    bool touched = false;         // changed in the current update
    std::int64_t blockChange = 0; // blocks gained in the current update
};

void MdxIndex::create(const std::string& path, std::string_view tableName)
{
    MdxStorage::create(path, tableName);
}

MdxIndex::MdxIndex(const std::string& path, std::vector<FieldDescriptor> fields, bool writable,
                   MdxOptions options)
    : storage_(std::make_unique<MdxStorage>(path, writable, options.cacheBlocks)), fields_(std::move(fields)),
      options_(std::move(options))
{
    loadTags();
}

MdxIndex::~MdxIndex() = default;

const std::string& MdxIndex::path() const
{
    return storage_->path();
}

bool MdxIndex::writable() const
{
    return storage_->writable();
}

std::string MdxIndex::tableName() const
{
    return mdx::getText(storage_->header() + mdx::tableNameOffset, mdx::tableNameBytes);
}

void MdxIndex::setTableName(std::string_view name)
{
    changing([&] {
        mdx::putText(storage_->changeHeader() + mdx::tableNameOffset, mdx::tableNameBytes,
                     name.substr(0, mdx::tableNameBytes));
    });
}

// --- Reading the tag table -------------------------------------------------------------------------------

void MdxIndex::loadTags()
{
    std::vector<TagState> loaded;
    const std::uint8_t* header = storage_->header();
    const std::uint16_t count = mdx::get16(header + mdx::tagsInUseOffset);
    for (std::uint16_t i = 0; i < count; ++i) {
        TagState tag;
        std::memcpy(tag.entry.data(), header + mdx::tagTableOffset + i * mdx::tagEntryBytes,
                    mdx::tagEntryBytes);
        tag.name = mdx::getText(&tag.entry[mdx::entryNameOffset], mdx::tagNameBytes);
        while (!tag.name.empty() && tag.name.back() == ' ')
            tag.name.pop_back();
        const std::string which = "tag " + std::to_string(i + 1) + " (" + tag.name + ")";
        if (tag.name.empty())
            storage_->damaged("tag " + std::to_string(i + 1) + " has no name");
        tag.headerPage = mdx::get32(&tag.entry[mdx::entryHeaderPageOffset]);
        if (!storage_->isBlockPage(tag.headerPage))
            storage_->damaged(which + " has its header at page " + std::to_string(tag.headerPage) +
                              ", outside the file");
        const MdxBlockPtr block = storage_->read(tag.headerPage);
        const std::uint8_t* bytes = block->bytes.data();

        MdxTreeShape& shape = tag.shape;
        shape.rootPage = mdx::get32(bytes + mdx::rootPageOffset);
        shape.keyLength = mdx::get16(bytes + mdx::keyLengthOffset);
        shape.itemLength = mdx::get16(bytes + mdx::itemLengthOffset);
        shape.descending = (bytes[mdx::keyFormatOffset] & mdx::keyFormatDescending) != 0;
        shape.unique =
            bytes[mdx::uniqueOffset] != 0 || (bytes[mdx::keyFormatOffset] & mdx::keyFormatUnique) != 0;
        const char keyType = static_cast<char>(bytes[mdx::keyTypeOffset]);
        if (shape.keyLength == 0 || shape.itemLength < shape.keyLength + 4u ||
            shape.itemLength > mdx::blockBytes - mdx::entriesOffset - 4)
            storage_->damaged(which + " has keys of " + std::to_string(shape.keyLength) +
                              " bytes in entries of " + std::to_string(shape.itemLength));
        const auto fitting = static_cast<std::uint16_t>(mdx::capacityFor(shape.itemLength));
        const std::uint16_t declared = mdx::get16(bytes + mdx::maxKeysOffset);
        shape.capacity = declared > 0 && declared < fitting ? declared : fitting;
        if (!storage_->isBlockPage(shape.rootPage)) {
            // A writer killed inside an update may have written the tag's header but not yet its new root
            // page. The tags of such a file are rebuilt from the records at open; one that may not be
            // written cannot be used meanwhile.
            if (!storage_->interrupted())
                storage_->damaged(which + " has its root at page " + std::to_string(shape.rootPage) +
                                  ", outside the file");
            shape.rootPage = 0;
            if (!storage_->writable())
                tag.problem = which + " was left half-updated by a writer that was killed";
        }
        const std::uint8_t* text = bytes + mdx::expressionOffset;
        if (std::find(text, text + mdx::expressionBytes, 0) == text + mdx::expressionBytes)
            storage_->damaged(which + " has an unterminated key expression");
        tag.expressionText = mdx::getText(text, mdx::expressionBytes);
        while (!tag.expressionText.empty() && tag.expressionText.back() == ' ')
            tag.expressionText.pop_back();

        if (keyType != 'C') {
            tag.problem = "tag " + tag.name + " has " +
                          (keyType == 'N'   ? "numeric"
                           : keyType == 'D' ? "date"
                                            : "unknown") +
                          " keys; only text keys are supported";
        } else if (shape.keyLength > Expression::maxKeyLength) {
            storage_->damaged(which + " has keys of " + std::to_string(shape.keyLength) + " bytes");
        } else if (bytes[mdx::hasFilterOffset] != 0) {
            tag.problem = "tag " + tag.name + " has a FOR condition, which is not supported";
        } else {
            try {
                tag.expression = Expression::indexKey(tag.expressionText, fields_);
                if (tag.expression->width() != shape.keyLength)
                    tag.problem = "tag " + tag.name + " has keys of " + std::to_string(shape.keyLength) +
                                  " bytes, but its expression gives " +
                                  std::to_string(tag.expression->width());
            } catch (const DatabaseError& error) {
                tag.problem = "tag " + tag.name + ": " + error.what();
            }
        }
        loaded.push_back(std::move(tag));
    }
    tags_ = std::move(loaded);
}

std::vector<MdxTag> MdxIndex::tags() const
{
    std::vector<MdxTag> result;
    for (const TagState& tag : tags_)
        result.push_back({tag.name, tag.expressionText, tag.shape.descending, tag.shape.unique,
                          tag.shape.keyLength, tag.problem});
    return result;
}

bool MdxIndex::hasTag(std::string_view name) const
{
    return std::any_of(tags_.begin(), tags_.end(),
                       [&](const TagState& tag) { return sameName(tag.name, name); });
}

MdxIndex::TagState& MdxIndex::tag(std::string_view name)
{
    for (TagState& tag : tags_)
        if (sameName(tag.name, name))
            return tag;
    throw DatabaseError("Index file \"" + path() + "\" has no tag \"" + std::string(name) + "\"");
}

const MdxIndex::TagState& MdxIndex::tag(std::string_view name) const
{
    return const_cast<MdxIndex*>(this)->tag(name);
}

MdxIndex::TagState& MdxIndex::usableTag(std::string_view name)
{
    TagState& found = tag(name);
    if (!found.problem.empty())
        throw DatabaseError("Index file \"" + path() + "\": " + found.problem);
    return found;
}

void MdxIndex::requireAllUsable() const
{
    for (const TagState& tag : tags_)
        if (!tag.problem.empty())
            throw DatabaseError("Index file \"" + path() + "\": " + tag.problem);
}

MdxTree MdxIndex::treeOf(TagState& tag)
{
    return MdxTree(*storage_, tag.shape, tag.name);
}

// --- Updates ---------------------------------------------------------------------------------------------

bool MdxIndex::refresh()
{
    if (updateDepth_ > 0 || !storage_->refresh())
        return false;
    loadTags();
    return true;
}

void MdxIndex::beginUpdate()
{
    if (updateDepth_ == 0) {
        refresh();
        storage_->beginUpdate();
        for (TagState& tag : tags_) {
            tag.touched = false;
            tag.blockChange = 0;
        }
    }
    ++updateDepth_;
}

void MdxIndex::endUpdate()
{
    if (updateDepth_ == 0 || --updateDepth_ > 0)
        return;
    try {
        patchTagHeaders();
        storage_->endUpdate();
    } catch (...) {
        storage_->abandonUpdate();
        loadTags();
        throw;
    }
}

void MdxIndex::abandonUpdate()
{
    if (updateDepth_ == 0)
        return;
    updateDepth_ = 0;
    storage_->abandonUpdate();
    loadTags();
}

void MdxIndex::announceUpdate()
{
    if (updateDepth_ == 0)
        throw std::logic_error("index update announced outside an update");
    storage_->announce();
}

bool MdxIndex::interruptedUpdate() const
{
    return storage_->interrupted();
}

void MdxIndex::sync()
{
    storage_->sync();
}

template <class Change>
void MdxIndex::changing(Change&& change)
{
    beginUpdate();
    try {
        change();
    } catch (...) {
        abandonUpdate();
        throw;
    }
    endUpdate();
}

void MdxIndex::noteChange(TagState& tag, const MdxTree& tree)
{
    tag.touched = true;
    tag.blockChange += tree.blockChange();
}

// Brings the changed tags' headers up to date: root, size, whether there are keys, first and last leaf.
void MdxIndex::patchTagHeaders()
{
    for (TagState& tag : tags_) {
        if (!tag.touched)
            continue;
        MdxTree tree = treeOf(tag);
        const MdxBlockPtr current = storage_->read(tag.headerPage);
        MdxBlock::Bytes bytes = current->bytes;
        mdx::put32(&bytes[mdx::rootPageOffset], tag.shape.rootPage);
        const std::int64_t pages = static_cast<std::int64_t>(mdx::get32(&bytes[mdx::tagPagesOffset])) +
                                   tag.blockChange * mdx::pagesPerBlock;
        mdx::put32(&bytes[mdx::tagPagesOffset], static_cast<std::uint32_t>(std::max<std::int64_t>(pages, 0)));
        bytes[mdx::hasKeysOffset] = tree.empty() ? 0 : 1;
        mdx::put32(&bytes[mdx::firstLeafOffset], tree.firstLeaf());
        mdx::put32(&bytes[mdx::lastLeafOffset], tree.lastLeaf());
        if (bytes != current->bytes)
            storage_->write(tag.headerPage, bytes);
        tag.touched = false;
        tag.blockChange = 0;
    }
}

void MdxIndex::writeNewTagHeader(const TagState& tag, std::uint32_t tagPages)
{
    MdxBlock::Bytes bytes{};
    const MdxTreeShape& shape = tag.shape;
    mdx::put32(&bytes[mdx::rootPageOffset], shape.rootPage);
    mdx::put32(&bytes[mdx::tagPagesOffset], tagPages);
    bytes[mdx::keyFormatOffset] =
        static_cast<std::uint8_t>(mdx::keyFormatBase | (shape.descending ? mdx::keyFormatDescending : 0) |
                                  (shape.unique ? mdx::keyFormatUnique : 0));
    bytes[mdx::keyTypeOffset] = 'C';
    bytes[mdx::tagMarkerOffset] = dbaseTagMarker;
    mdx::put16(&bytes[mdx::keyLengthOffset], shape.keyLength);
    mdx::put16(&bytes[mdx::maxKeysOffset], shape.capacity);
    mdx::put16(&bytes[mdx::itemLengthOffset], shape.itemLength);
    bytes[mdx::uniqueOffset] = shape.unique ? 1 : 0;
    mdx::putText(&bytes[mdx::expressionOffset], mdx::expressionBytes, tag.expressionText);
    mdx::putToday(&bytes[mdx::tagDateOffset]);
    bytes[mdx::singleFieldKeyOffset] = tag.expression && tag.expression->isFieldReference() ? 1 : 0;
    storage_->write(tag.headerPage, bytes);
}

// Writes the tag table from tags_, with dBASE's binary tree over the tag names.
void MdxIndex::writeTagTable()
{
    std::uint8_t* header = storage_->changeHeader();
    std::memset(header + mdx::tagTableOffset, 0, mdx::headerBytes - mdx::tagTableOffset);
    std::vector<std::array<std::uint8_t, 3>> threads(tags_.size(), {0, 0, 0}); // left, right, parent
    for (std::size_t i = 1; i < tags_.size(); ++i) {
        std::size_t at = 0;
        for (;;) {
            const bool left = tags_[i].name < tags_[at].name;
            std::uint8_t& child = threads[at][left ? 0 : 1];
            if (child == 0) {
                child = static_cast<std::uint8_t>(i + 1);
                threads[i][2] = static_cast<std::uint8_t>(at + 1);
                break;
            }
            at = child - 1u;
        }
    }
    for (std::size_t i = 0; i < tags_.size(); ++i) {
        TagState& tag = tags_[i];
        mdx::put32(&tag.entry[mdx::entryHeaderPageOffset], tag.headerPage);
        tag.entry[mdx::entryLeftThreadOffset] = threads[i][0];
        tag.entry[mdx::entryRightThreadOffset] = threads[i][1];
        tag.entry[mdx::entryParentThreadOffset] = threads[i][2];
        std::memcpy(header + mdx::tagTableOffset + i * mdx::tagEntryBytes, tag.entry.data(),
                    mdx::tagEntryBytes);
    }
    mdx::put16(header + mdx::tagsInUseOffset, static_cast<std::uint16_t>(tags_.size()));
}

// --- Tags ------------------------------------------------------------------------------------------------

std::string MdxIndex::evaluate(const TagState& tag, std::uint32_t record, const RecordSource& values) const
{
    try {
        return tag.expression->evaluate(values);
    } catch (const std::exception& error) {
        throw DatabaseError("Tag " + tag.name + ", record " + std::to_string(record) + ": " + error.what());
    }
}

void MdxIndex::addTag(std::string_view name, std::string_view expression, bool descending,
                      LiveRecords& records)
{
    if (!writable())
        throw DatabaseError("Index file \"" + path() + "\" is open read-only");
    refresh();
    validateTagName(name);
    if (hasTag(name))
        throw DatabaseError("Index file \"" + path() + "\" has a tag \"" + std::string(name) + "\" already");
    if (tags_.size() >= mdx::maxTags)
        throw DatabaseError("Index file \"" + path() + "\" holds " + std::to_string(mdx::maxTags) +
                            " tags already");
    if (expression.size() >= mdx::expressionBytes)
        throw DatabaseError("Expression \"" + std::string(expression) + "\": longer than " +
                            std::to_string(mdx::expressionBytes - 1) + " characters");

    TagState tag;
    tag.name = std::string(name);
    tag.expressionText = std::string(expression);
    tag.expression = Expression::indexKey(expression, fields_);
    tag.shape.keyLength = static_cast<std::uint16_t>(tag.expression->width());
    tag.shape.itemLength = static_cast<std::uint16_t>(mdx::itemLengthFor(tag.shape.keyLength));
    tag.shape.capacity = static_cast<std::uint16_t>(mdx::capacityFor(tag.shape.itemLength));
    tag.shape.descending = descending;
    tag.entry[mdx::entryKeyFormatOffset] = mdx::keyFormatBase;
    tag.entry[mdx::entryKeyTypeOffset] = 'C';
    mdx::putText(&tag.entry[mdx::entryNameOffset], mdx::tagNameBytes, tag.name);

    // Every key first, so that a record that cannot be evaluated leaves the file untouched.
    MdxKeySorter sorter(tag.shape.keyLength, descending, options_.sortMemoryBytes, options_.temporaryFolder);
    sorter.reserve(records.expectedCount());
    records.forEach([&](std::uint32_t record, const RecordSource& values) {
        if (record == 0)
            throw DatabaseError("Tag " + tag.name + ": record numbers start at 1");
        sorter.add(evaluate(tag, record, values), record);
    });

    changing([&] {
        tag.headerPage = storage_->allocate();
        MdxTreeBuilder builder(*storage_, tag.shape, sorter.size());
        sorter.merge([&](std::string_view key, std::uint32_t record) { builder.add(key, record); });
        tag.shape.rootPage = builder.finish();
        writeNewTagHeader(tag,
                          static_cast<std::uint32_t>((builder.blocksAllocated() + 1) * mdx::pagesPerBlock));
        tags_.push_back(std::move(tag));
        tags_.back().touched = true; // first and last leaf and the keys flag
        writeTagTable();
    });
}

void MdxIndex::deleteTag(std::string_view name)
{
    changing([&] {
        TagState& doomed = tag(name);
        std::vector<std::uint32_t> pages;
        try {
            pages = treeOf(doomed).pages();
        } catch (const DatabaseError&) {
            pages.clear(); // a damaged tree leaves its pages unused until the next rebuild
        }
        for (const std::uint32_t page : pages)
            storage_->release(page);
        storage_->release(doomed.headerPage);
        tags_.erase(tags_.begin() + (&doomed - tags_.data()));
        writeTagTable();
    });
}

void MdxIndex::rebuild(LiveRecords& records)
{
    if (!writable())
        throw DatabaseError("Index file \"" + path() + "\" is open read-only");
    refresh();
    requireAllUsable();
    std::vector<std::unique_ptr<MdxKeySorter>> sorters;
    const std::size_t budget = options_.sortMemoryBytes / std::max<std::size_t>(tags_.size(), 1);
    for (const TagState& tag : tags_) {
        sorters.push_back(std::make_unique<MdxKeySorter>(tag.shape.keyLength, tag.shape.descending, budget,
                                                         options_.temporaryFolder));
        sorters.back()->reserve(records.expectedCount());
    }
    records.forEach([&](std::uint32_t record, const RecordSource& values) {
        if (record == 0)
            throw DatabaseError("Index file \"" + path() + "\": record numbers start at 1");
        for (std::size_t i = 0; i < tags_.size(); ++i)
            sorters[i]->add(evaluate(tags_[i], record, values), record);
    });

    changing([&] {
        storage_->resetBlocks();
        // First a sound file of empty tags, so that a rebuild killed halfway leaves a file that opens.
        for (TagState& tag : tags_) {
            tag.headerPage = storage_->allocate();
            tag.shape.rootPage = storage_->allocate();
            storage_->write(tag.shape.rootPage, MdxNode().encode(tag.shape));
            writeNewTagHeader(tag, 2 * mdx::pagesPerBlock);
        }
        writeTagTable();
        storage_->flush();
        for (std::size_t i = 0; i < tags_.size(); ++i) {
            TagState& tag = tags_[i];
            MdxKeySorter& sorter = *sorters[i];
            storage_->release(tag.shape.rootPage);
            const std::uint64_t entries = tag.shape.unique ? sorter.distinctKeys() : sorter.size();
            MdxTreeBuilder builder(*storage_, tag.shape, entries);
            sorter.merge([&](std::string_view key, std::uint32_t record) { builder.add(key, record); },
                         tag.shape.unique);
            tag.shape.rootPage = builder.finish();
            writeNewTagHeader(
                tag, static_cast<std::uint32_t>((builder.blocksAllocated() + 1) * mdx::pagesPerBlock));
            tag.touched = true;
            tag.blockChange = 0;
        }
        storage_->clearInterruption();
    });
}

// --- Keys ------------------------------------------------------------------------------------------------

std::string MdxIndex::keyOf(std::string_view name, const RecordSource& values) const
{
    const TagState& found = tag(name);
    if (!found.problem.empty())
        throw DatabaseError("Index file \"" + path() + "\": " + found.problem);
    return evaluate(found, 0, values);
}

std::vector<std::string> MdxIndex::keysOf(std::uint32_t record, const RecordSource& values) const
{
    requireAllUsable();
    std::vector<std::string> keys;
    for (const TagState& tag : tags_)
        keys.push_back(evaluate(tag, record, values));
    return keys;
}

bool MdxIndex::insertRecord(std::uint32_t record, const RecordSource& values)
{
    return changeEveryTag(record, values, true);
}

bool MdxIndex::removeRecord(std::uint32_t record, const RecordSource& values)
{
    return changeEveryTag(record, values, false);
}

bool MdxIndex::changeEveryTag(std::uint32_t record, const RecordSource& values, bool insert)
{
    changing([&] {
        // Every key before the first change: a record that cannot be evaluated changes nothing.
        const std::vector<std::string> keys = keysOf(record, values);
        for (std::size_t i = 0; i < tags_.size(); ++i) {
            MdxTree tree = treeOf(tags_[i]);
            if (insert)
                tree.insert({keys[i], record});
            else
                tree.remove({keys[i], record});
            noteChange(tags_[i], tree);
        }
    });
    return !tags_.empty();
}

bool MdxIndex::updateRecord(std::uint32_t record, const RecordSource& before, const RecordSource& after)
{
    bool changed = false;
    changing([&] {
        const std::vector<std::string> oldKeys = keysOf(record, before);
        const std::vector<std::string> newKeys = keysOf(record, after);
        for (std::size_t i = 0; i < tags_.size(); ++i) {
            if (oldKeys[i] == newKeys[i])
                continue;
            MdxTree tree = treeOf(tags_[i]);
            tree.remove({oldKeys[i], record});
            tree.insert({newKeys[i], record});
            noteChange(tags_[i], tree);
            changed = true;
        }
    });
    return changed;
}

bool MdxIndex::insert(std::string_view name, const IndexEntry& entry)
{
    return changeEntry(name, [&](MdxTree& tree) { return tree.insert(entry); });
}

bool MdxIndex::remove(std::string_view name, const IndexEntry& entry)
{
    return changeEntry(name, [&](MdxTree& tree) { return tree.remove(entry); });
}

bool MdxIndex::changeEntry(std::string_view name, const std::function<bool(MdxTree&)>& change)
{
    bool changed = false;
    changing([&] {
        TagState& found = usableTag(name);
        MdxTree tree = treeOf(found);
        changed = change(tree);
        noteChange(found, tree);
    });
    return changed;
}

// --- Navigation ------------------------------------------------------------------------------------------

std::optional<IndexEntry> MdxIndex::first(std::string_view name, const KeyRange& range)
{
    return treeOf(usableTag(name)).first(range);
}

std::optional<IndexEntry> MdxIndex::last(std::string_view name, const KeyRange& range)
{
    return treeOf(usableTag(name)).last(range);
}

std::optional<IndexEntry> MdxIndex::next(std::string_view name, const IndexEntry& after,
                                         const KeyRange& range)
{
    return treeOf(usableTag(name)).next(after, range);
}

std::optional<IndexEntry> MdxIndex::prior(std::string_view name, const IndexEntry& before,
                                          const KeyRange& range)
{
    return treeOf(usableTag(name)).prior(before, range);
}

std::optional<IndexEntry> MdxIndex::seek(std::string_view name, const IndexEntry& at, const KeyRange& range)
{
    return treeOf(usableTag(name)).seek(at, range);
}

std::optional<IndexEntry> MdxIndex::find(std::string_view name, std::string_view key, const KeyRange& range)
{
    return treeOf(usableTag(name)).find(key, range);
}

std::int64_t MdxIndex::count(std::string_view name, const KeyRange& range)
{
    return treeOf(usableTag(name)).count(range);
}

IndexMove MdxIndex::advance(std::string_view name, const IndexEntry& from, std::int64_t steps,
                            const KeyRange& range)
{
    const MdxTree::Move move = treeOf(usableTag(name)).advance(from, steps, range);
    return {move.entry, move.moved};
}

void MdxIndex::forEachEntry(std::string_view name, const std::function<void(const IndexEntry&)>& visit)
{
    treeOf(usableTag(name)).forEach(visit);
}

// --- Check -----------------------------------------------------------------------------------------------

std::vector<std::string> MdxIndex::check()
{
    refresh();
    std::vector<std::string> problems;
    if (storage_->interrupted())
        problems.push_back("an update of the index was interrupted; the tags must be regenerated");
    const bool ours = storage_->hasSignature();
    std::unordered_map<std::uint32_t, std::string> owners;
    for (TagState& tag : tags_) {
        const auto [owner, fresh] = owners.emplace(tag.headerPage, tag.name + " (header)");
        if (!fresh)
            problems.push_back("tag " + tag.name + ": its header page " + std::to_string(tag.headerPage) +
                               " is used twice (also by " + owner->second + ")");
    }
    for (TagState& tag : tags_) {
        if (!tag.problem.empty())
            problems.push_back(tag.problem);
        try {
            treeOf(tag).check(problems, owners, ours);
        } catch (const DatabaseError& error) {
            problems.push_back(error.what());
        }
    }

    std::unordered_set<std::uint32_t> free;
    const std::uint32_t blocks = (storage_->endPage() - mdx::headerPages) / mdx::pagesPerBlock;
    for (std::uint32_t page = storage_->freeListHead(); page != 0;) {
        if (!storage_->isBlockPage(page)) {
            problems.push_back("the free list reaches page " + std::to_string(page) + ", outside the file");
            break;
        }
        if (owners.count(page) != 0) {
            problems.push_back("free page " + std::to_string(page) + " is in use by " + owners.at(page));
            break;
        }
        if (!free.insert(page).second || free.size() > blocks) {
            problems.push_back("the free list runs in a circle at page " + std::to_string(page));
            break;
        }
        try {
            page = mdx::get32(&storage_->read(page)->bytes[mdx::nextFreeOffset]);
        } catch (const DatabaseError& error) {
            problems.push_back(error.what());
            break;
        }
    }
    if (ours) {
        const std::uint32_t declaredFree = mdx::get32(storage_->header() + mdx::freeBlocksOffset);
        if (declaredFree != free.size())
            problems.push_back("the header counts " + std::to_string(declaredFree) +
                               " free blocks, the free list " + std::to_string(free.size()));
        const std::size_t accounted = owners.size() + free.size();
        if (accounted < blocks)
            problems.push_back(std::to_string(blocks - accounted) + " blocks are neither in use nor free");
    }
    return problems;
}

} // namespace dbase
