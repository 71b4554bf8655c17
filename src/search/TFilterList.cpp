#include "TFilterList.h"

#include "dbase/Table.h"
#include "FilterValues.h"
#include "PausedHook.h"
#include "settings/ListFile.h"
#include "store/ColumnValues.h"

#include <stdexcept>

namespace search {

namespace {

bool conditionHolds(const TFilter& condition, const dbase::Table& table, int dateFormat)
{
    const auto column = static_cast<std::size_t>(condition.FieldPos);
    if (column >= table.fieldCount())
        return true;
    switch (condition.FieldKind) {
    case TFilter::TextKind: {
        const QString text = store::columnText(table, condition.FieldPos);
        bool read = false;
        if (condition.HasNumbers) {
            const double number = readFilterNumber(text, &read);
            if (read)
                return condition.MatchesNumber(number);
        }
        if (condition.HasDates) {
            const double date = readFilterDate(text, dateFormat, &read);
            if (read)
                return condition.MatchesDate(date, dateFormat);
        }
        return condition.MatchesText(text);
    }
    case TFilter::IntegerKind:
    case TFilter::FloatKind:
    case TFilter::CurrencyKind:
    case TFilter::DecimalKind:
        return condition.MatchesNumber(table.asNumber(column));
    case TFilter::DateKind:
        return condition.MatchesDate(dayCount(store::columnDate(table, condition.FieldPos)), dateFormat);
    default:
        return true;
    }
}

void setMark(dbase::Table& table, const char* mark)
{
    table.setString(FilterMarkColumn, mark);
}

} // namespace

TFilterList::TFilterList(std::function<int()> dateFormat) : m_dateFormat(std::move(dateFormat)) {}

bool TFilterList::LoadFromFile(const QString& path)
{
    std::unique_ptr<settings::ValueReader> reader;
    try {
        reader = std::make_unique<settings::ValueReader>(path);
    } catch (const settings::StreamError&) {
        return false;
    }
    Clear();
    try {
        reader->ReadListBegin();
        while (!reader->EndOfList()) {
            auto condition = std::make_unique<TFilter>();
            const QByteArray head = reader->ReadRaw(4);
            condition->FieldPos = static_cast<quint8>(head[0]);
            condition->FieldKind = static_cast<quint8>(head[1]);
            condition->Undefined = head[2] != 0;
            condition->Operator = static_cast<quint8>(head[3]);
            condition->Value1 = reader->ReadString();
            condition->Value2 = reader->ReadString();
            reader->ReadListBegin();
            while (!reader->EndOfList())
                condition->Values.append(reader->ReadString());
            reader->ReadListEnd();
            condition->Prepare(m_dateFormat());
            m_conditions.push_back(std::move(condition));
        }
        reader->ReadListEnd();
    } catch (const settings::StreamError&) {
        Clear();
        return false;
    }
    return true;
}

bool TFilterList::SaveToFile(const QString& path) const
{
    try {
        settings::ValueWriter writer(path);
        writer.WriteListBegin();
        for (const auto& condition : m_conditions) {
            const char head[4] = {
                static_cast<char>(condition->FieldPos), static_cast<char>(condition->FieldKind),
                static_cast<char>(condition->Undefined ? 1 : 0), static_cast<char>(condition->Operator)};
            writer.WriteRaw(QByteArrayView(head, 4));
            writer.WriteString(condition->Value1);
            writer.WriteString(condition->Value2);
            writer.WriteListBegin();
            for (const QString& value : condition->Values)
                writer.WriteString(value);
            writer.WriteListEnd();
        }
        writer.WriteListEnd();
        writer.Commit();
    } catch (const settings::StreamError&) {
        return false;
    }
    return true;
}

bool TFilterList::LoadContent(const QString& path)
{
    Clear();
    return LoadFromFile(path);
}

int TFilterList::AddCondition(int fieldPos)
{
    auto condition = std::make_unique<TFilter>();
    condition->FieldPos = static_cast<quint8>(fieldPos);
    m_conditions.push_back(std::move(condition));
    return Count() - 1;
}

void TFilterList::DeleteCondition(int index)
{
    if (index >= 0 && index < Count())
        m_conditions.erase(m_conditions.begin() + index);
}

int TFilterList::IndexOfField(int fieldPos) const
{
    for (int i = 0; i < Count(); ++i)
        if (m_conditions[static_cast<std::size_t>(i)]->FieldPos == fieldPos)
            return i;
    return -1;
}

TFilter* TFilterList::Condition(int index)
{
    return index >= 0 && index < Count() ? m_conditions[static_cast<std::size_t>(index)].get() : nullptr;
}

const TFilter* TFilterList::Condition(int index) const
{
    return index >= 0 && index < Count() ? m_conditions[static_cast<std::size_t>(index)].get() : nullptr;
}

bool TFilterList::HasDefinedCondition() const
{
    for (const auto& condition : m_conditions)
        if (!condition->Undefined)
            return true;
    return false;
}

void TFilterList::SetCondition(TFilter& condition, const QString& value1, const QString& value2, int kind,
                               int op)
{
    condition.Value1 = value1;
    condition.Value2 = value2;
    condition.FieldKind = static_cast<quint8>(kind);
    condition.Operator = static_cast<quint8>(op);
    condition.Undefined = false;
    condition.Prepare(m_dateFormat());
}

void TFilterList::AttachTable(dbase::Table& table)
{
    m_table = &table;
    table.beforePost = [this](dbase::Table& posted) { MarkBeforePost(posted); };
}

bool TFilterList::Passes(const dbase::Table& table) const
{
    const int dateFormat = m_dateFormat();
    for (const auto& condition : m_conditions)
        if (!condition->Undefined && !conditionHolds(*condition, table, dateFormat))
            return false;
    return true;
}

void TFilterList::MarkRecord(dbase::Table& table) const
{
    if (AutoMarking)
        setMark(table, Passes(table) ? PassedMark : FailedMark);
}

void TFilterList::MarkBeforePost(dbase::Table& table) const
{
    if (m_conditions.empty())
        setMark(table, PassedMark);
    else
        MarkRecord(table);
}

void TFilterList::ApplyFilter(const std::function<void(int done, int total)>& progress)
{
    if (m_conditions.empty() || !m_table)
        return;
    dbase::Table& table = *m_table;
    table.cancelRange();
    table.setActiveTag({});
    table.first();
    const int total = static_cast<int>(table.recordCount());
    AutoMarking = true;
    // The marks are written here; the hook would only evaluate each record a second time.
    const PausedHook paused(table);
    int done = 0;
    for (; !table.eof() && table.recordNumber() != 0; table.next()) {
        // Only a changed outcome is written: most records keep their mark from one filter to the next.
        const std::string wanted = Passes(table) ? PassedMark : FailedMark;
        if (table.asString(FilterMarkColumn) != wanted) {
            try {
                table.edit();
                MarkRecord(table);
                table.post();
            } catch (const std::runtime_error&) {
                table.cancel();
            }
        }
        if (progress)
            progress(++done, total);
    }
    table.first();
}

} // namespace search
