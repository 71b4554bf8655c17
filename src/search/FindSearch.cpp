#include "FindSearch.h"

#include "FieldClass.h"
#include "FilterValues.h"
#include "PausedHook.h"
#include "store/ColumnValues.h"
#include "store/DatabaseFolder.h"
#include "TFilterList.h"

#include <QRegularExpression>
#include <stdexcept>

namespace search {

namespace {

bool call(const std::function<bool(bool)>& hook, bool forward, bool otherwise)
{
    return hook ? hook(forward) : otherwise;
}

bool call(const std::function<bool()>& hook)
{
    return !hook || hook();
}

void call(const std::function<void()>& hook)
{
    if (hook)
        hook();
}

} // namespace

FindSearch::FindSearch(dbase::Table& table, std::function<int()> dateFormat)
    : CurrentField(store::FirstFieldOffset), m_table(table), m_dateFormat(std::move(dateFormat))
{}

int FindSearch::firstField() const
{
    return store::FirstFieldOffset;
}

int FindSearch::lastField() const
{
    return static_cast<int>(m_table.fieldCount()) - 1;
}

void FindSearch::setText(const QString& text)
{
    SearchText = text.toUpper();
    static const QRegularExpression plainDecimal(QStringLiteral("^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)$"));
    m_textIsNumber = plainDecimal.match(text).hasMatch();
    m_number = m_textIsNumber ? text.toDouble() : 0.0;
    m_day = readFilterDate(text, m_dateFormat(), &m_textIsDate);
}

bool FindSearch::MatchField(int column)
{
    if (column < firstField() || column > lastField() || m_table.recordNumber() == 0)
        return false;
    switch (classOf(m_table.fieldDescriptor(static_cast<std::size_t>(column)))) {
    case FieldClass::Text:
        return store::columnText(m_table, column).toUpper().contains(SearchText);
    case FieldClass::Number:
        return m_textIsNumber && !m_table.isNull(static_cast<std::size_t>(column)) &&
               m_table.asNumber(static_cast<std::size_t>(column)) == m_number;
    case FieldClass::Date: {
        const QDate date = store::columnDate(m_table, column);
        return m_textIsDate && date.isValid() && dayCount(date) == m_day;
    }
    case FieldClass::Memo: {
        if (m_skipMemos)
            return false;
        QString memo;
        try {
            memo = store::columnMemoLines(m_table, column).join(QLatin1Char('\n'));
        } catch (const std::runtime_error&) {
            return false; // a damaged memo holds nothing to find
        }
        const qsizetype at = memo.isEmpty() ? -1 : memo.toUpper().indexOf(SearchText);
        if (at < 0)
            return false;
        MemoMatchOffset = static_cast<int>(at);
        MemoMatchLength = static_cast<int>(SearchText.size());
        return true;
    }
    case FieldClass::Other:
        break;
    }
    return false;
}

bool FindSearch::MatchRecord()
{
    if (m_field != AllFields) {
        if (!MatchField(m_field))
            return false;
        CurrentField = m_field;
        return true;
    }
    if (Forward) {
        for (int column = CurrentField; column <= lastField(); ++column)
            if (MatchField(column)) {
                CurrentField = column;
                return true;
            }
        CurrentField = firstField();
        return false;
    }
    for (int column = std::min(CurrentField, lastField()); column >= firstField(); --column)
        if (MatchField(column)) {
            CurrentField = column;
            return true;
        }
    CurrentField = lastField();
    return false;
}

void FindSearch::StepRecord()
{
    if (Forward) {
        m_table.next();
        if (!m_table.eof())
            ++RecordCounter;
    } else {
        m_table.prior();
        if (!m_table.bof())
            --RecordCounter;
    }
}

void FindSearch::StepAfterMatch()
{
    if (m_field != AllFields) {
        StepRecord();
        return;
    }
    CurrentField += Forward ? 1 : -1;
    if (CurrentField < firstField()) {
        CurrentField = lastField();
        StepRecord();
    } else if (CurrentField > lastField()) {
        CurrentField = firstField();
        StepRecord();
    }
}

void FindSearch::GoToStart()
{
    if (Forward) {
        m_table.first();
        CurrentField = firstField();
        RecordCounter = 0;
    } else {
        m_table.last();
        CurrentField = lastField();
        RecordCounter = static_cast<int>(m_table.recordCount()) - 1;
    }
    FoundBookmark = m_table.bookmark();
}

FindSearch::Outcome FindSearch::Find(bool forward)
{
    Forward = forward;
    if (!call(hooks.FindStart, Forward, true))
        return Outcome::Aborted;
    GoToStart();
    Found = false;
    LastFoundCounter = -1;
    return step(forward);
}

FindSearch::Outcome FindSearch::step(bool forward)
{
    Forward = forward;
    StopRequested = false;
    bool continuing = Found;
    Found = false;
    bool endReached = false;
    if (LastFoundCounter >= 0) {
        if (!call(hooks.ResumeSearch))
            return Outcome::Aborted;
        RecordCounter = LastFoundCounter;
    }
    // The bookmarked record may have gone (deleted, or out of the range): its position stands in for it.
    // Going forward, that position now holds the record after it, which has not been searched yet.
    if (FoundBookmark == 0 || !m_table.gotoBookmark(FoundBookmark)) {
        m_table.first();
        m_table.moveBy(RecordCounter);
        if (continuing && Forward) {
            continuing = false;
            CurrentField = firstField();
        }
    }
    if (continuing)
        StepAfterMatch();
    do {
        if (!(continuing && atBoundary())) {
            Found = MatchRecord();
            if (!Found)
                StepRecord();
        }
        continuing = false;
        if (!Found && atBoundary()) {
            endReached = true;
            if (!call(hooks.NextLetter, Forward, true)) {
                GoToStart();
                endReached = false;
            }
        }
        if (yield)
            yield();
    } while (!Found && !StopRequested && !endReached);
    if (Found) {
        FoundBookmark = m_table.bookmark();
        LastFoundCounter = RecordCounter;
        call(hooks.ShowFound);
        return Outcome::Found;
    }
    call(hooks.NotFound);
    return StopRequested ? Outcome::Stopped : Outcome::NotFound;
}

bool FindSearch::NonStop(TFilterList* filters)
{
    StopRequested = false;
    {
        const PausedHook paused(m_table);
        m_table.cancelRange();
        m_table.setActiveTag({});
        m_table.first();
        RecordCounter = 0;
        Forward = true;
        CurrentLetter = 0;
        FoundCount = 0;
        if (filters)
            filters->AutoMarking = false;
        while (m_table.recordNumber() != 0 && !m_table.eof() && !StopRequested) {
            CurrentField = firstField();
            const bool match = MatchRecord();
            const char* mark = match ? PassedMark : FailedMark;
            if (m_table.asString(FilterMarkColumn) != mark) {
                try {
                    m_table.edit();
                    m_table.setString(FilterMarkColumn, mark);
                    m_table.post();
                } catch (const std::runtime_error&) {
                    m_table.cancel(); // a record another user holds keeps its mark
                }
            }
            if (match)
                ++FoundCount;
            m_table.next();
            if (!m_table.eof())
                ++RecordCounter;
            if (yield)
                yield();
        }
    }
    if (StopRequested) {
        FoundCount = 0;
        RecordCounter = 0;
        return false;
    }
    return true;
}

} // namespace search
