#include "ActivityLog.h"

#include "settings/ListFile.h"

#include <algorithm>
#include <QLocale>

namespace security {

ActivityLog::ActivityLog(QString path, std::function<QDateTime()> clock)
    : m_path(std::move(path)), m_clock(std::move(clock))
{
    try {
        settings::ValueReader reader(m_path);
        QList<LogEntry> read;
        settings::ReadListItems(reader, read, [](settings::ValueReader& in) {
            LogEntry entry;
            entry.Date = in.ReadString();
            entry.Time = in.ReadString();
            entry.DatabaseFile = in.ReadString();
            entry.Description = in.ReadString();
            return entry;
        });
        m_entries = read;
    } catch (const settings::StreamError&) {
        // a damaged log opens empty and is overwritten by the next entry
    }
}

QString ActivityLog::dateText(const QDateTime& when)
{
    return QLocale::system().toString(when.date(), QLocale::ShortFormat);
}

QString ActivityLog::timeText(const QDateTime& when)
{
    // Seconds are part of the text, so two operations a second apart stay two entries.
    return QLocale::system().toString(when.time(), QStringLiteral("HH:mm:ss"));
}

bool ActivityLog::AddEntry(const QString& databaseName, const QString& description)
{
    const QDateTime now = m_clock();
    const LogEntry entry{dateText(now), timeText(now), databaseName, description};
    if (!m_entries.contains(entry))
        m_entries.append(entry);
    return Save();
}

void ActivityLog::RemoveEntries(QList<int> rows)
{
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (const int row : rows)
        if (row >= 0 && row < m_entries.size())
            m_entries.removeAt(row);
}

bool ActivityLog::Save() const
{
    try {
        settings::SaveListFile(m_path, m_entries, [](settings::ValueWriter& out, const LogEntry& entry) {
            out.WriteString(entry.Date);
            out.WriteString(entry.Time);
            out.WriteString(entry.DatabaseFile);
            out.WriteString(entry.Description);
        });
    } catch (const settings::StreamError&) {
        return false;
    }
    return true;
}

} // namespace security
