#pragma once

#include "TTemplateList.h"

namespace store {

// Named sets of field captions ("labels.tml", content files "tmlN.lab" in the format of "labels.dat").
// It works on the program's caption list, which the caller keeps alive.
class TLabelTemplateList : public TTemplateList
{
public:
    static inline const QString ListFileName = QStringLiteral("labels.tml");

    TLabelTemplateList(QStringList& captions, const QString& settingsFolder = {});

    QString ContentExtension() const override { return QStringLiteral(".lab"); }
    // One caption per line.
    bool SaveContent(const QString& path) override;
    // Replaces the captions by those of the file. A file that cannot be read, or whose captions could not
    // name the fields (another count, an empty caption, two equal ones), answers false and leaves the
    // captions of "labels.dat" in force (or those held before, when that file gives none).
    bool LoadContent(const QString& path) override;

private:
    bool usable(const QStringList& captions) const;

    QStringList& m_captions;
};

} // namespace store
