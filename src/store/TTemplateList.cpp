#include "TTemplateList.h"

#include "settings/FileAccess.h"
#include "settings/ListFile.h"

#include <QFile>
#include <QSet>

namespace store {

TTemplateList::TTemplateList(const QString& settingsFolder) : m_settingsFolder(settingsFolder) {}

TTemplateList::~TTemplateList() = default;

void TTemplateList::LoadList(const QString& path)
{
    m_items = settings::LoadListFile(path, [](settings::ValueReader& reader) {
        TTemplate entry;
        entry.Name = reader.ReadString();
        entry.FileName = reader.ReadString().left(MaxFileNameLength);
        return entry;
    });
}

bool TTemplateList::SaveList(const QString& path) const
{
    try {
        settings::SaveListFile(path, m_items, [](settings::ValueWriter& writer, const TTemplate& entry) {
            writer.WriteString(entry.Name);
            writer.WriteString(entry.FileName);
        });
        return true;
    } catch (const settings::StreamError&) {
        return false;
    }
}

QString TTemplateList::freeFileName() const
{
    // Without case: the names may come from a system that ignores it, and must not alias a file there.
    QSet<QString> taken;
    for (const TTemplate& entry : m_items)
        taken.insert(entry.FileName.toLower());
    for (int n = 1; n <= MaxContentFiles; ++n) {
        const QString name =
            (QStringLiteral("tml") + QString::number(n) + ContentExtension()).left(MaxFileNameLength);
        if (!taken.contains(name.toLower()))
            return name;
    }
    return {};
}

bool TTemplateList::Add(const QString& name)
{
    if (IndexOfName(name) >= 0)
        return false;
    const QString fileName = freeFileName();
    if (fileName.isEmpty() || !SaveContent(ContentPath(fileName)))
        return false;
    m_items.append({name, fileName});
    return true;
}

int TTemplateList::IndexOfName(const QString& name) const
{
    for (int i = 0; i < Count(); ++i) {
        if (m_items[i].Name == name)
            return i;
    }
    return -1;
}

bool TTemplateList::LoadByName(const QString& name)
{
    const int index = IndexOfName(name);
    if (index < 0)
        return false;
    const QString path = ContentPath(m_items[index].FileName);
    return !path.isEmpty() && LoadContent(path);
}

void TTemplateList::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    const QString path = ContentPath(m_items.takeAt(index).FileName);
    if (!path.isEmpty())
        QFile::remove(settings::LocateFile(path));
}

QStringList TTemplateList::Names() const
{
    QStringList names;
    for (const TTemplate& entry : m_items)
        names.append(entry.Name);
    return names;
}

QString TTemplateList::ContentPath(const QString& fileName) const
{
    if (fileName.isEmpty() || fileName == QLatin1String(".") || fileName == QLatin1String("..") ||
        fileName.contains(QLatin1Char('/')) || fileName.contains(QLatin1Char('\\')))
        return {};
    return m_settingsFolder + QLatin1Char('/') + fileName;
}

} // namespace store
