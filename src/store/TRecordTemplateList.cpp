#include "TRecordTemplateList.h"

#include "settings/TextFile.h"

namespace store {

TRecordTemplateList::TRecordTemplateList(const QString& settingsFolder)
    : m_settingsFolder(settingsFolder), m_names(settings::ReadTextLines(path()).value_or(QStringList{}))
{}

TRecordTemplateList::~TRecordTemplateList()
{
    SaveNames();
}

QString TRecordTemplateList::path() const
{
    return m_settingsFolder + QLatin1Char('/') + FileName;
}

int TRecordTemplateList::FindTemplate(const QString& name) const
{
    return static_cast<int>(m_names.indexOf(name));
}

bool TRecordTemplateList::AddTemplate(const QString& name)
{
    if (name.isEmpty() || name.contains(QLatin1Char('\n')) || name.contains(QLatin1Char('\r')))
        return false;
    m_names.append(name);
    if (SaveNames())
        return true;
    m_names.removeLast();
    return false;
}

void TRecordTemplateList::DeleteTemplate(int index)
{
    if (index < 0 || index >= Count())
        return;
    m_names.removeAt(index);
    SaveNames();
}

bool TRecordTemplateList::SaveNames() const
{
    return settings::WriteTextLines(path(), m_names);
}

} // namespace store
