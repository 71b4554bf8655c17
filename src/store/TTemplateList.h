#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace store {

// Something that named templates keep copies of: it writes itself into a file and reads itself back.
// The header of the record list and the filter list implement it for their template lists.
class TemplateContent
{
public:
    virtual ~TemplateContent() = default;
    // False when the file cannot be written.
    virtual bool SaveContent(const QString& path) = 0;
    // False when the file cannot be read.
    virtual bool LoadContent(const QString& path) = 0;
};

// One named template: its name (compared exactly, letter case counts) and its content file in the
// settings folder.
struct TTemplate
{
    QString Name;
    QString FileName; // without folder, at most 12 characters

    bool operator==(const TTemplate&) const = default;
};

// A list of named templates: a list file ("labels.tml", "headers.tml", "filters.tml" in the settings
// folder) that maps names to content files "tml" + n + the kind's extension. The list knows nothing of
// the content; each kind says how it is written and read.
//
// The list file is written only by SaveList, at the end of the run; content files are written by Add and
// deleted by Delete at once.
class TTemplateList
{
public:
    static constexpr int MaxFileNameLength = 12;
    static constexpr int MaxContentFiles = 32000;

    explicit TTemplateList(const QString& settingsFolder = {});
    virtual ~TTemplateList();
    TTemplateList(const TTemplateList&) = delete;
    TTemplateList& operator=(const TTemplateList&) = delete;

    const QString& settingsFolder() const { return m_settingsFolder; }
    void setSettingsFolder(const QString& folder) { m_settingsFolder = folder; }

    // Replaces the entries by those of the list file: none when it is missing, those read whole before
    // the damage when it is damaged.
    void LoadList(const QString& path);
    // False when the file cannot be written (the old one then stays).
    bool SaveList(const QString& path) const;

    // Saves the current content as a new template under the smallest free content file name. False,
    // with nothing added, when the name is taken, all 32000 file names are, or the content cannot be
    // written.
    bool Add(const QString& name);
    int IndexOfName(const QString& name) const; // -1 when there is none
    // Loads the named template's content; false when there is none or it cannot be read.
    bool LoadByName(const QString& name);
    // Removes the entry and deletes its content file (a file that cannot be deleted stays); an index
    // out of range is ignored.
    void Delete(int index);

    const TTemplate& Items(int index) const { return m_items.at(index); }
    int Count() const { return static_cast<int>(m_items.size()); }
    QStringList Names() const;

    // Where a content file of this list lives: the settings folder and the name. Empty for a name that
    // is not a plain file name (a damaged list file must not point outside the folder).
    QString ContentPath(const QString& fileName) const;

    virtual QString ContentExtension() const = 0;
    virtual bool SaveContent(const QString& path) = 0;
    virtual bool LoadContent(const QString& path) = 0;

private:
    QString freeFileName() const;

    QString m_settingsFolder;
    QList<TTemplate> m_items;
};

} // namespace store
