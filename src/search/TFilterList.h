#pragma once

#include "store/TTemplateList.h"
#include "TFilter.h"

#include <functional>
#include <memory>
#include <vector>

namespace dbase {
class Table;
}

namespace search {

// The record table column that holds each record's filter outcome: "2" passed (or found), "0" failed.
inline constexpr int FilterMarkColumn = 1;
inline constexpr char PassedMark[] = "2";
inline constexpr char FailedMark[] = "0";

// The current filter: conditions, one per field, that must all hold, kept in "filter.dat" and in the
// ".flt" templates. It does not hide records; it writes each record's outcome into its filter mark, on
// every post while automatic marking is on and for the whole table in ApplyFilter.
class TFilterList : public store::TemplateContent
{
public:
    static inline const QString FileName = QStringLiteral("filter.dat");
    static constexpr char SaveErrorMessage[] = "Error Saving Filter to a file.";
    static constexpr char ApplyingCaption[] = "Applying Filter - Please Wait...";

    // dateFormat gives the date-format setting in force when a value is read as a date.
    explicit TFilterList(std::function<int()> dateFormat = [] { return 0; });

    // False, list unchanged, when the file cannot be opened; false with the list emptied when it is
    // damaged.
    bool LoadFromFile(const QString& path);
    bool SaveToFile(const QString& path) const;
    bool SaveContent(const QString& path) override { return SaveToFile(path); }
    bool LoadContent(const QString& path) override;

    // A new undefined condition for the column; its index.
    int AddCondition(int fieldPos);
    void DeleteCondition(int index);
    void Clear() { m_conditions.clear(); }
    int IndexOfField(int fieldPos) const; // -1 when absent
    TFilter* Condition(int index);        // nullptr out of range
    const TFilter* Condition(int index) const;
    int Count() const { return static_cast<int>(m_conditions.size()); }
    bool HasDefinedCondition() const;
    void SetCondition(TFilter& condition, const QString& value1, const QString& value2, int kind, int op);

    // Remembers the browse table and installs MarkBeforePost as its before-post hook.
    void AttachTable(dbase::Table& table);
    dbase::Table* table() const { return m_table; }

    // Switched on by ApplyFilter, off by a non-stop search or a Replace run.
    bool AutoMarking = false;

    // Whether the table's current record passes every defined condition.
    bool Passes(const dbase::Table& table) const;
    // Writes the outcome into the filter mark of the record being edited, while automatic marking is on.
    void MarkRecord(dbase::Table& table) const;
    // The before-post hook of the browse and edit tables: with no conditions every record passes.
    void MarkBeforePost(dbase::Table& table) const;

    // Marks every record of the attached table, which is left without range or tag on its first row;
    // progress(done, total) runs between records. A record another user holds keeps its mark.
    void ApplyFilter(const std::function<void(int done, int total)>& progress = {});

private:
    std::vector<std::unique_ptr<TFilter>> m_conditions;
    std::function<int()> m_dateFormat;
    dbase::Table* m_table = nullptr;
};

} // namespace search
