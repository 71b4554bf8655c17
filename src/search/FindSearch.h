#pragma once

#include "dbase/Table.h"
#include "FindHooks.h"

#include <functional>
#include <QString>

namespace search {

class TFilterList;

// The search of the "Search" window over the browse table, without its widgets: one step at a time to
// the next matching field, or the whole table in one pass writing the filter marks (non-stop).
class FindSearch
{
public:
    static constexpr int AllFields = -1;

    enum class Outcome
    {
        Found,
        NotFound,
        Stopped, // the position stays where the search stopped
        Aborted  // a hook refused
    };

    // dateFormat gives the date-format setting a search text is read with as a date.
    FindSearch(
        dbase::Table& table, std::function<int()> dateFormat = [] { return 0; });

    FindHooks hooks;
    // Lets pending events run once in a while; Stop() called from there ends the run.
    std::function<void()> yield;

    // A table column, or AllFields (every column from the first form field on).
    void setField(int column) { m_field = column; }
    int field() const { return m_field; }
    void setSkipMemos(bool skip) { m_skipMemos = skip; }
    void setText(const QString& text);

    Outcome Find(bool forward);
    Outcome FindNext() { return step(true); }
    Outcome FindPrevious() { return step(false); }
    // Marks every record "2" (found) or "0" and counts the found ones; false when stopped, which leaves
    // the marks written so far and a count of 0. Turns automatic filter marking off.
    bool NonStop(TFilterList* filters);
    void Stop() { StopRequested = true; }

    bool Found = false;
    bool Forward = true;
    bool StopRequested = false;
    QString SearchText;
    int LastFoundCounter = -1;
    char CurrentLetter = 0;
    int RecordCounter = 0;
    int CurrentField;
    int MemoMatchOffset = 0;
    int MemoMatchLength = 0;
    int FoundCount = 0;

    // Whether the table's current record matches in the chosen field(s), from CurrentField on.
    bool MatchRecord();
    bool MatchField(int column);

private:
    Outcome step(bool forward);
    void StepRecord();
    void StepAfterMatch();
    void GoToStart();
    bool atBoundary() const { return m_table.eof() || m_table.bof(); }
    int firstField() const;
    int lastField() const;

    dbase::Table& m_table;
    std::function<int()> m_dateFormat;
    int m_field = AllFields;
    bool m_skipMemos = false;
    dbase::Table::Bookmark FoundBookmark = 0;
    bool m_textIsNumber = false;
    double m_number = 0;
    bool m_textIsDate = false;
    double m_day = 0;
};

} // namespace search
