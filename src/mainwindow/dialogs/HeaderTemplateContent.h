#pragma once

#include "store/TTemplateList.h"

class TKestoHeader;

// The record list's header as the content of header templates: its layout in the format of "header.dat".
// Named to the header template list (setContent) before each of its operations.
class HeaderTemplateContent : public store::TemplateContent
{
public:
    explicit HeaderTemplateContent(TKestoHeader& header) : m_header(header) {}

    bool SaveContent(const QString& path) override;
    // False when the file could not be read through; the header then shows what it could read.
    bool LoadContent(const QString& path) override;

private:
    TKestoHeader& m_header;
};
