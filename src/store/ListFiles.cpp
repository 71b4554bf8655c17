#include "ListFiles.h"

#include "dbase/Errors.h"
#include "dbase/Table.h"
#include "FileNames.h"

#include <QFile>

namespace store {

namespace {

QString listFile(int number, const char* ext)
{
    return QStringLiteral("list%1.%2").arg(number).arg(QLatin1String(ext));
}

constexpr const char* listExtensions[] = {"dbf", "mdx"};

// Runs action on whichever files of list n exist, for n = 1, 2 ..., and stops after the first list that
// lacks one of them.
template <typename Action>
void forEachList(const QString& folder, Action action)
{
    for (int number = 1;; ++number) {
        bool complete = true;
        for (const char* ext : listExtensions) {
            const QString path = findFileNoCase(folder, listFile(number, ext));
            if (path.isEmpty())
                complete = false;
            else
                action(path, listFile(number, ext));
        }
        if (!complete)
            return;
    }
}

} // namespace

void CopyListFiles(const QString& sourceFolder, const QString& targetFolder)
{
    forEachList(targetFolder, [](const QString& path, const QString&) { QFile::remove(path); });
    forEachList(sourceFolder, [&](const QString& path, const QString& name) {
        try {
            dbase::lzExpandCopy(localPath(path), localPath(targetFolder + "/" + name));
        } catch (const dbase::DatabaseError&) {
            // A list that cannot be copied leaves the others to be copied.
        }
    });
}

} // namespace store
