#pragma once

#include "dbase/Table.h"

#include <functional>
#include <QDate>
#include <QString>
#include <QStringList>

namespace search {

class TFilterList;

// What a Replace run changes, and in which records.
struct ReplaceRequest
{
    enum Mode
    {
        EntireField = 0,
        Substring = 1,
        AutoIncrement = 2,
        AutoDecrement = 3
    };

    int column = 0; // the table column
    int mode = EntireField;
    QString substring = {}; // the text to replace (Substring), found regardless of letter case
    QString text = {};      // the one-line replacement
    QStringList lines = {}; // the replacement of a memo
    QDate date = {};        // the replacement of a date
    bool fromFirstRecord = false;
    int counterStart = 0;
    int filterScope = 0; // 0 all records, 1 marks "2"/"3", 2 marks "0"/"1"
};

// One Replace run over the browse table, in its index order, without the window: each qualifying record
// is changed once through a second table object. The records changed are remembered by number, so a
// record that the change moves further on in the order is not changed again, and the filter marks are
// never touched: a run that is stopped, or a program that dies half way, leaves every mark as it was.
class ReplaceRun
{
public:
    enum class Outcome
    {
        Completed,
        Stopped,
        CannotOpen // the second table object could not be opened
    };

    ReplaceRun(dbase::Table& browse, TFilterList* filters);

    // Lets pending events run once in a while; Stop() called from there ends the run.
    std::function<void()> yield;

    Outcome Run(const ReplaceRequest& request);
    void Stop() { StopRequested = true; }

    int RecordsVisited = 0;
    bool StopRequested = false;
    int ReplacedCount = 0;
    int FailedCount = 0;

    // The rule for one record being edited in target; true when it changed the record. Advances the
    // counter of the numbering modes for a changed record.
    static bool ChangeRecord(dbase::Table& target, const ReplaceRequest& request, int& counter, int width);
    // The counter as a numbering mode writes it into a text column: zero-filled to width.
    static QString counterText(int counter, int width);

private:
    dbase::Table& m_browse;
    TFilterList* m_filters;
};

} // namespace search
