#pragma once

#include "Prompts.h"
#include "Session.h"
#include "settings/SortSettings.h"
#include "SortExpression.h"

#include <functional>
#include <string>

namespace dbase {
class Table;
}

namespace store {

class DatabaseFolder;

// Which records the record list shows: all of them, or those whose filter mark says they passed ("2",
// "3") or failed ("0", "1") the filter.
enum class FilterScope
{
    AllRecords = 0,
    NormalFilter = 1,
    ReversedFilter = 2
};

// The sort order of the record table: the sort settings (primary and secondary field with their
// directions, or entry order), their sort settings file, and the index tag that realises them on the
// browse table, with the letter ranges of the letter tabs on it.
//
// The record window owns one, beside its DatabaseFolder:
// - when a record table has been opened: LoadSortSettings(), then ApplySortOrder(folder, firstOpening);
// - the Sort command: BackupSortSettings(), the dialog, setSortSettings() with its choice, ApplySortChange();
// - a filter change: ApplyFilterAndSort();
// - at exit and before another database is loaded: SaveSortSettings().
class TIndex
{
public:
    static constexpr char UnableToCreateIndexMessage[] =
        "Unable to create Index!\nDatabase may be used by someone else - this function requires Exclusive "
        "Database Use.";

    TIndex(Session& session, Prompts& prompts);

    // --- Settings ------------------------------------------------------------------------------------
    const settings::SortSettings& sortSettings() const { return m_settings; }
    void setSortSettings(const settings::SortSettings& sort) { m_settings = sort; }
    // The sort settings file of the session's table in the database folder; missing means entry order.
    void LoadSortSettings();
    void SaveSortSettings() const;
    void BackupSortSettings() { m_backup = m_settings; }
    void RestoreSortSettings() { m_settings = m_backup; }
    bool SortSettingsUnchanged() const { return m_settings == m_backup; }
    void ResetSortSettings() { m_settings = {}; }

    // --- Keys ----------------------------------------------------------------------------------------
    // The keys of the settings over the table's columns (see BuildSortKeys).
    void BuildSortExpression(const std::vector<dbase::FieldDescriptor>& fields);
    const SortKeys& sortKeys() const { return m_keys; }
    // The key the filter state asks for: the filtered variant while a filter is active.
    const SortKey& keyInUse() const;

    // The scope the next ApplySortOrder puts in force; a filter is active unless it is AllRecords.
    FilterScope filterScope() const { return m_scope; }
    void setFilterScope(FilterScope scope) { m_scope = scope; }
    bool filterActive() const { return m_scope != FilterScope::AllRecords; }

    // --- Tags ----------------------------------------------------------------------------------------
    // The tag of the session's record table whose expression and direction equal the key in use, added
    // (as "IDX" or "IDXF" and a number no tag has) when there is none. Adding needs exclusive use, so the
    // browse table must be closed; empty when the key cannot be made or the table cannot be had.
    std::string FindOrCreateTag(DatabaseFolder& folder);

    // Puts the browse table on the tag for the settings and the filter state, runs afterSort and reads
    // the numeric decimals again. When that cannot be done the browse table goes back to its tag, the
    // settings to those of that tag, and UnableToCreateIndexMessage is shown (not on the first opening
    // of a database in a run). The browse table is closed and reopened, and the edit table closed (adding a
    // tag needs the table to itself); the caller reloads its view afterwards.
    bool ApplySortOrder(DatabaseFolder& folder, bool firstOpening = false);

    enum class SortChange
    {
        Unchanged, // the settings equal the backup: nothing was done
        Applied,
        Failed // the previous order is back in force
    };
    // After the Sort dialog, the sort bar's choices and the letter-tab options, with the new settings in
    // force and the old ones in the backup: closes the edit table, turns the filter off and applies the
    // order. The caller then shows the filter state "All Records" and, for Applied and Failed, resets the
    // letter state, selects "A" and reloads its view (for Unchanged it only selects "A").
    SortChange ApplySortChange(DatabaseFolder& folder);
    // After a filter change: closes the edit table and applies the order with the scope; on failure the
    // previous scope is back. The caller then reloads its view.
    bool ApplyFilterAndSort(DatabaseFolder& folder, FilterScope scope);

    // --- Letter tabs ---------------------------------------------------------------------------------
    // The option says "Use Letter Tabs" and the primary sort field is a text column of the table.
    bool LetterTabsActive(const dbase::Table& table) const;
    // Limits the table to the records whose key starts with letter ('A' … 'Z'; keys below "A" count as
    // "A", keys above "Z" as "Z"), within the filter scope, and moves to the first of them. When the
    // letter tabs are not active, or the table has no tag, the range is the filter scope alone (or none)
    // and the answer is false.
    bool SetLetterRange(dbase::Table& table, char letter);
    // The letter tab of the table's current row: the first character of the primary sort field,
    // upper-cased when a lower-case letter, "A" for empty text, clamped to 'A' … 'Z'. 0 when the table
    // is closed or has no current row, or the primary sort field is no text column.
    char FirstLetterOfRecord(const dbase::Table& table) const;

    // Run after every successful ApplySortOrder, with the browse table on its new tag: the record window
    // counts the letters, recolours the tabs, selects "A" and refreshes the sort bar.
    std::function<void()> afterSort;
    // Run before the failure message, so that it is not shown under the hourglass.
    std::function<void()> restoreCursor;

private:
    // What the browse table's tag was built from; the letter ranges follow it.
    struct AppliedOrder
    {
        settings::SortSettings sort;
        bool descending = false;
        bool filtered = false;
        FilterScope scope = FilterScope::AllRecords;
    };

    bool putBrowseTableOnTag(DatabaseFolder& folder, const std::string& tag);
    void fallBack(DatabaseFolder& folder, const std::string& rememberedTag, bool firstOpening);
    bool primaryIsTextColumn(const dbase::Table& table, int column) const;

    Session& m_session;
    Prompts& m_prompts;
    settings::SortSettings m_settings;
    settings::SortSettings m_backup;
    SortKeys m_keys;
    FilterScope m_scope = FilterScope::AllRecords;
    AppliedOrder m_applied;
};

} // namespace store
