#pragma once

#include <functional>
#include <QDateTime>
#include <QList>
#include <QString>

namespace security {

// One logged bulk operation.
struct LogEntry
{
    QString Date; // the system short date format
    QString Time;
    QString DatabaseFile;
    QString Description;

    bool operator==(const LogEntry&) const = default;
};

// The activity log of bulk operations (maintenance, Replace): "log.dat" in the settings folder.
class ActivityLog
{
public:
    static inline const QString FileName = QStringLiteral("log.dat");
    static constexpr char SaveErrorMessage[] = "Error Saving Log to a file!";

    // The log of the file at path; empty when it is missing or damaged.
    explicit ActivityLog(QString path, std::function<QDateTime()> clock = &QDateTime::currentDateTime);

    const QList<LogEntry>& entries() const { return m_entries; }
    const QString& path() const { return m_path; }

    // Appends an entry stamped now, unless the same one is there already (the same operation logged
    // twice within a second), and writes the file. False when the file could not be written.
    bool AddEntry(const QString& databaseName, const QString& description);
    // Rows by index; indexes out of range are ignored.
    void RemoveEntries(QList<int> rows);
    void Clear() { m_entries.clear(); }
    // Writes every entry in display order. False on a stream error.
    bool Save() const;

    static QString dateText(const QDateTime& when);
    static QString timeText(const QDateTime& when);

private:
    QString m_path;
    std::function<QDateTime()> m_clock;
    QList<LogEntry> m_entries;
};

} // namespace security
