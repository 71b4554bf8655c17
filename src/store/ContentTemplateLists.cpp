#include "ContentTemplateLists.h"

namespace store {

bool TContentTemplateList::SaveContent(const QString& path)
{
    return m_content && m_content->SaveContent(path);
}

bool TContentTemplateList::LoadContent(const QString& path)
{
    return m_content && m_content->LoadContent(path);
}

} // namespace store
