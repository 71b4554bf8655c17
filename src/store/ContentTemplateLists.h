#pragma once

#include "TTemplateList.h"

namespace store {

// A template list over content that another part of the program owns and names to it: the header of the
// record list (named before each operation) or the filter list. Without content, saving and loading fail.
class TContentTemplateList : public TTemplateList
{
public:
    using TTemplateList::TTemplateList;

    void setContent(TemplateContent* content) { m_content = content; }
    TemplateContent* content() const { return m_content; }

    bool SaveContent(const QString& path) override;
    bool LoadContent(const QString& path) override;

private:
    TemplateContent* m_content = nullptr;
};

// Header layouts of the record list: "headers.tml", content files "tmlN.hdr" in the format of "header.dat".
class THeaderTemplateList : public TContentTemplateList
{
public:
    static inline const QString ListFileName = QStringLiteral("headers.tml");

    using TContentTemplateList::TContentTemplateList;
    QString ContentExtension() const override { return QStringLiteral(".hdr"); }
};

// Filters: "filters.tml", content files "tmlN.flt" in the format of the filter files.
class TFilterTemplateList : public TContentTemplateList
{
public:
    static inline const QString ListFileName = QStringLiteral("filters.tml");

    using TContentTemplateList::TContentTemplateList;
    QString ContentExtension() const override { return QStringLiteral(".flt"); }
};

} // namespace store
