#pragma once

#include <QString>
#include <QStringList>

namespace store {

// The names of the record templates, in creation order, kept in "records.tml" of the settings folder (one
// name per line). Template i is row i + 1 of the copy buffer "copy.dbf" (RecordTemplateRows.h); every
// change of the names is written at once, so that names and rows stay in step.
class TRecordTemplateList
{
public:
    static inline const QString FileName = QStringLiteral("records.tml");
    // The choice of no template; never a template's name.
    static inline const QString BlankName = QStringLiteral("Blank");

    // Reads "records.tml"; a missing or unreadable file gives no names.
    explicit TRecordTemplateList(const QString& settingsFolder);
    // Writes "records.tml".
    ~TRecordTemplateList();
    TRecordTemplateList(const TRecordTemplateList&) = delete;
    TRecordTemplateList& operator=(const TRecordTemplateList&) = delete;

    const QStringList& Names() const { return m_names; }
    int Count() const { return static_cast<int>(m_names.size()); }
    // Exact comparison; -1 when there is none.
    int FindTemplate(const QString& name) const;
    // Appends the name (duplicates are the caller's affair) and writes the file. False, with nothing
    // added, for an empty name, one with a line break (it would become two names), or when the file
    // cannot be written.
    bool AddTemplate(const QString& name);
    // Removes the name and writes the file; an index out of range is ignored.
    void DeleteTemplate(int index);
    bool SaveNames() const;

private:
    QString path() const;

    QString m_settingsFolder;
    QStringList m_names;
};

} // namespace store
