#include "ReplaceRun.h"

#include "FieldClass.h"
#include "PausedHook.h"
#include "store/ColumnValues.h"
#include "TFilterList.h"

#include <stdexcept>
#include <unordered_set>

namespace search {

namespace {

int markOf(const dbase::Table& table)
{
    const std::string mark = table.asString(FilterMarkColumn);
    return !mark.empty() && mark[0] >= '0' && mark[0] <= '9' ? mark[0] - '0' : 0;
}

bool inScope(int mark, int scope)
{
    if (scope == 1)
        return mark == 2 || mark == 3;
    if (scope == 2)
        return mark == 0 || mark == 1;
    return true;
}

int digitCount(std::int64_t value)
{
    return static_cast<int>(QString::number(value).size());
}

} // namespace

ReplaceRun::ReplaceRun(dbase::Table& browse, TFilterList* filters) : m_browse(browse), m_filters(filters) {}

QString ReplaceRun::counterText(int counter, int width)
{
    // A negative counter keeps its sign in front of the zero-filled digits.
    if (counter < 0)
        return QLatin1Char('-') +
               QString::number(-static_cast<qint64>(counter)).rightJustified(width - 1, '0');
    return QString::number(counter).rightJustified(width, QLatin1Char('0'));
}

bool ReplaceRun::ChangeRecord(dbase::Table& target, const ReplaceRequest& request, int& counter, int width)
{
    if (!inScope(markOf(target), request.filterScope))
        return false;
    const FieldClass kind = classOf(target.fieldDescriptor(static_cast<std::size_t>(request.column)));
    const int mode = request.mode;
    if (mode == ReplaceRequest::EntireField ||
        (mode == ReplaceRequest::Substring && request.substring.isEmpty())) {
        if (kind == FieldClass::Memo)
            store::setColumnMemoLines(target, request.column, request.lines);
        else if (kind == FieldClass::Date)
            store::setColumnDate(target, request.column, request.date);
        else
            store::setColumnText(target, request.column, request.text);
        return true;
    }
    if (mode == ReplaceRequest::Substring) {
        QString value = store::columnText(target, request.column);
        const qsizetype at = value.toUpper().indexOf(request.substring.toUpper());
        if (at < 0)
            return false;
        value.replace(at, request.substring.size(), request.text);
        store::setColumnText(target, request.column, value);
        return true;
    }
    if (kind == FieldClass::Number)
        target.setNumber(static_cast<std::size_t>(request.column), counter);
    else
        store::setColumnText(target, request.column, counterText(counter, width));
    counter += mode == ReplaceRequest::AutoIncrement ? 1 : -1;
    return true;
}

ReplaceRun::Outcome ReplaceRun::Run(const ReplaceRequest& request)
{
    dbase::Table target;
    try {
        target.open(m_browse.folder(), m_browse.fileName());
    } catch (const std::runtime_error&) {
        return Outcome::CannotOpen;
    }
    StopRequested = false;
    const PausedHook paused(m_browse);
    const dbase::Table::Bookmark shown = m_browse.bookmark();
    m_browse.cancelRange();
    if (request.fromFirstRecord)
        m_browse.first();
    else if (shown != 0)
        m_browse.gotoBookmark(shown);
    RecordsVisited = ReplacedCount = FailedCount = 0;
    if (m_filters)
        m_filters->AutoMarking = false;
    const int width = digitCount(target.recordCount());
    int counter = request.counterStart;
    // A change can move a record further on in the walk; it is changed once all the same.
    std::unordered_set<std::uint32_t> changed;
    while (m_browse.recordNumber() != 0 && !StopRequested) {
        target.goToCurrent(m_browse);
        // The browse table moves on before the change, so that the change cannot disturb the walk.
        m_browse.next();
        const bool atEnd = m_browse.eof();
        if (!changed.contains(target.recordNumber())) {
            try {
                target.edit();
                if (ChangeRecord(target, request, counter, width)) {
                    target.post();
                    changed.insert(target.recordNumber());
                    ++ReplacedCount;
                } else {
                    target.cancel();
                }
            } catch (const std::runtime_error&) {
                target.cancel();
                ++FailedCount;
            }
        }
        if (!atEnd)
            ++RecordsVisited;
        if (yield)
            yield();
        if (atEnd)
            break;
    }
    return StopRequested ? Outcome::Stopped : Outcome::Completed;
}

} // namespace search
