#pragma once

#include <functional>

namespace search {

// What the record window does for the "Search" window; it registers them when it opens the window, and
// the window clears them when it closes. A hook left empty does nothing and lets the search go on.
struct FindHooks
{
    // Before a new search: save the current record (false aborts), remember the letter, switch to "A"
    // (forward) or "Z" and record 0 when letter tabs are used, disable the main window.
    std::function<bool(bool forward)> FindStart;
    // The end of a letter range was reached: move to the next (or previous) letter with records. True
    // when there is none, or letters are not used; false when it moved.
    std::function<bool(bool forward)> NextLetter;
    // Before Find Next/Find Previous continue: restore the letter of the last match (false aborts).
    std::function<bool()> ResumeSearch;
    // After a match: enable the main window, go to RecordCounter in CurrentLetter, highlight CurrentField
    // (in a memo the text at MemoMatchOffset, MemoMatchLength long).
    std::function<void()> ShowFound;
    // After a step without match: enable the main window; outside non-stop mode, with letter tabs,
    // restore the letter current before the search.
    std::function<void()> NotFound;
    // Before a non-stop search: save the current record (false aborts), disable the main window, close
    // the edit table.
    std::function<bool()> BeforeNonStop;
    // After a non-stop search, always: the scope "Normal Filter" when FoundCount > 0, otherwise "All
    // Records"; apply it, enable the main window, refresh.
    std::function<void()> AfterNonStop;
};

// What the record window does for the "Replace" window.
struct ReplaceHooks
{
    // After the confirmation: save the current record (false aborts), hand over its filter scope, disable
    // itself, put the browse table on the record shown, close the edit table.
    std::function<bool(int& filterScope)> BeforeReplace;
    // After every run, also an aborted one: apply the filter scope again, enable itself, refresh.
    std::function<void()> AfterReplace;
};

} // namespace search
