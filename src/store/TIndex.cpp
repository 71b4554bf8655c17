#include "TIndex.h"

#include "DatabaseFolder.h"
#include "dbase/Errors.h"
#include "dbase/Table.h"

#include <algorithm>
#include <cctype>

namespace store {

namespace {

bool sameTagName(const std::string& a, const std::string& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
    });
}

// "IDX" or "IDXF" and the number of tags, or the next number up when a deleted tag's successor holds it.
std::string freeTagName(const std::vector<dbase::TagInfo>& tags, bool filtered)
{
    const std::string prefix = filtered ? "IDXF" : "IDX";
    for (std::size_t n = tags.size();; ++n) {
        const std::string name = prefix + std::to_string(n);
        if (std::none_of(tags.begin(), tags.end(),
                         [&](const dbase::TagInfo& tag) { return sameTagName(tag.name, name); }))
            return name;
    }
}

// The filter-mark values a scope shows, lowest first.
std::pair<char, char> markRange(FilterScope scope)
{
    return scope == FilterScope::ReversedFilter ? std::pair{'0', '1'} : std::pair{'2', '3'};
}

} // namespace

TIndex::TIndex(Session& session, Prompts& prompts) : m_session(session), m_prompts(prompts) {}

void TIndex::LoadSortSettings()
{
    m_settings = settings::LoadSortSettings(m_session.folders.database, m_session.tableFileName);
}

void TIndex::SaveSortSettings() const
{
    settings::SaveSortSettings(m_session.folders.database, m_session.tableFileName, m_settings);
}

void TIndex::BuildSortExpression(const std::vector<dbase::FieldDescriptor>& fields)
{
    m_keys = BuildSortKeys(m_settings, fields);
}

const SortKey& TIndex::keyInUse() const
{
    return filterActive() ? m_keys.filtered : m_keys.plain;
}

std::string TIndex::FindOrCreateTag(DatabaseFolder& folder)
{
    const QString& fileName = m_session.tableFileName;
    try {
        dbase::Table table;
        if (!folder.OpenTableWithRepair(table, fileName, false))
            return {};
        BuildSortExpression(table.fieldDescriptors());
        const std::vector<dbase::TagInfo> tags = table.tags();
        table.close();
        const SortKey& key = keyInUse();
        if (!key.isValid())
            return {};
        for (const dbase::TagInfo& tag : tags) {
            if (tag.expression == key.expression && tag.descending == key.descending)
                return tag.name;
        }
        const std::string name = freeTagName(tags, filterActive());
        if (!folder.OpenTableWithRepair(table, fileName, true))
            return {};
        table.addTag({name, key.expression, key.descending});
        return name;
    } catch (const dbase::DatabaseError&) {
        return {};
    } catch (const dbase::EngineError&) {
        return {};
    }
}

bool TIndex::putBrowseTableOnTag(DatabaseFolder& folder, const std::string& tag)
{
    dbase::Table& browse = folder.browseTable();
    browse.close();
    try {
        if (!folder.OpenTableWithRepair(browse, m_session.tableFileName, false))
            return false;
        if (!tag.empty())
            browse.setActiveTag(tag);
        return true;
    } catch (const dbase::DatabaseError&) {
        return false;
    }
}

bool TIndex::ApplySortOrder(DatabaseFolder& folder, bool firstOpening)
{
    folder.CloseEditTable();
    dbase::Table& browse = folder.browseTable();
    const std::string rememberedTag = browse.activeTag();
    browse.close();
    const std::string tag = FindOrCreateTag(folder);
    if (tag.empty() || !putBrowseTableOnTag(folder, tag)) {
        fallBack(folder, rememberedTag, firstOpening);
        return false;
    }
    m_applied = {m_settings, keyInUse().descending, filterActive(), m_scope};
    if (afterSort)
        afterSort();
    folder.refreshColumns();
    return true;
}

void TIndex::fallBack(DatabaseFolder& folder, const std::string& rememberedTag, bool firstOpening)
{
    // Back to the tag the table had, and to the settings that tag was built from; without a tag the table
    // is in record-number order, which is entry order.
    if (rememberedTag.empty() || !putBrowseTableOnTag(folder, rememberedTag)) {
        putBrowseTableOnTag(folder, {});
        m_applied = {};
    }
    m_settings = m_applied.sort;
    m_backup = m_applied.sort;
    m_scope = m_applied.scope;
    dbase::Table& browse = folder.browseTable();
    if (browse.isOpen()) {
        BuildSortExpression(browse.fieldDescriptors());
        folder.refreshColumns();
    }
    if (restoreCursor)
        restoreCursor();
    if (!firstOpening)
        m_prompts.error(QString::fromLatin1(UnableToCreateIndexMessage));
}

TIndex::SortChange TIndex::ApplySortChange(DatabaseFolder& folder)
{
    if (SortSettingsUnchanged())
        return SortChange::Unchanged;
    m_scope = FilterScope::AllRecords;
    return ApplySortOrder(folder) ? SortChange::Applied : SortChange::Failed;
}

bool TIndex::ApplyFilterAndSort(DatabaseFolder& folder, FilterScope scope)
{
    m_scope = scope;
    return ApplySortOrder(folder);
}

bool TIndex::primaryIsTextColumn(const dbase::Table& table, int column) const
{
    return table.isOpen() && column >= FirstFieldOffset &&
           static_cast<std::size_t>(column) < table.fieldCount() &&
           table.fieldDescriptor(static_cast<std::size_t>(column)).isText();
}

bool TIndex::LetterTabsActive(const dbase::Table& table) const
{
    return m_session.database.letterTabs == 0 && primaryIsTextColumn(table, m_applied.sort.primaryColumn);
}

bool TIndex::SetLetterRange(dbase::Table& table, char letter)
{
    if (!table.isOpen())
        return false;
    const bool hasTag = !table.activeTag().empty();
    const auto [lowMark, highMark] = markRange(m_applied.scope);
    if (hasTag && letter >= 'A' && letter <= 'Z' && LetterTabsActive(table)) {
        std::string lower = letter == 'A' ? std::string(1, '\x01') : std::string(1, letter);
        std::string upper = letter == 'Z' ? std::string(1, '\xff') : std::string{letter, '\xff'};
        if (m_applied.filtered) {
            lower.insert(lower.begin(), lowMark);
            upper.insert(upper.begin(), lowMark);
        }
        if (m_applied.descending)
            table.setRange(upper, lower);
        else
            table.setRange(lower, upper);
        table.first();
        return true;
    }
    if (hasTag && m_applied.filtered) {
        // The range runs in the tag's own order: high to low on a descending tag.
        const std::string low(1, lowMark);
        const std::string high(1, highMark);
        if (m_applied.descending)
            table.setRange(high, low);
        else
            table.setRange(low, high);
    } else {
        table.cancelRange();
    }
    table.first();
    return false;
}

char TIndex::FirstLetterOfRecord(const dbase::Table& table) const
{
    const int column = m_applied.sort.primaryColumn;
    if (!primaryIsTextColumn(table, column))
        return 0;
    if (table.state() == dbase::Table::State::Browse && (table.eof() || table.bof()))
        return 0; // no current row
    const std::string text = table.asString(static_cast<std::size_t>(column));
    if (text.empty())
        return 'A';
    char first = text.front();
    if (first >= 'a' && first <= 'z')
        first = static_cast<char>(first - 'a' + 'A');
    const auto code = static_cast<unsigned char>(first);
    if (code < 'A')
        return 'A';
    if (code > 'Z')
        return 'Z';
    return first;
}

} // namespace store
