#include "TLabelTemplateList.h"

#include "settings/FieldTexts.h"
#include "settings/TextFile.h"

#include <algorithm>
#include <QSet>

namespace store {

namespace {

// A caption of nothing but blanks and control characters counts as empty.
bool isBlank(const QString& caption)
{
    return std::all_of(caption.begin(), caption.end(), [](QChar c) { return c.unicode() <= ' '; });
}

} // namespace

TLabelTemplateList::TLabelTemplateList(QStringList& captions, const QString& settingsFolder)
    : TTemplateList(settingsFolder), m_captions(captions)
{}

bool TLabelTemplateList::SaveContent(const QString& path)
{
    return settings::WriteTextLines(path, m_captions);
}

bool TLabelTemplateList::usable(const QStringList& captions) const
{
    if (captions.isEmpty() || (!m_captions.isEmpty() && captions.size() != m_captions.size()))
        return false;
    if (std::any_of(captions.begin(), captions.end(), isBlank))
        return false;
    return QSet<QString>(captions.begin(), captions.end()).size() == captions.size();
}

bool TLabelTemplateList::LoadContent(const QString& path)
{
    const std::optional<QStringList> captions = settings::ReadTextLines(path);
    if (captions && usable(*captions)) {
        m_captions = *captions;
        return true;
    }
    const QStringList stored = settings::LoadCaptions(settingsFolder());
    if (usable(stored))
        m_captions = stored;
    return false;
}

} // namespace store
