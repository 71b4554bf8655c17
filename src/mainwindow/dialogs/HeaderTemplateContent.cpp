#include "HeaderTemplateContent.h"

#include "mainwindow/controls/TKestoHeader.h"
#include "settings/StreamError.h"

bool HeaderTemplateContent::SaveContent(const QString& path)
{
    try {
        m_header.SaveToFile(path);
        return true;
    } catch (const settings::StreamError&) {
        return false;
    }
}

bool HeaderTemplateContent::LoadContent(const QString& path)
{
    return m_header.LoadFromFile(path);
}
