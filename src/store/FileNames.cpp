#include "FileNames.h"

#include "dbase/Table.h"

#include <QFile>

namespace store {

QString findFileNoCase(const QString& folder, const QString& name)
{
    return QFile::decodeName(dbase::findFileNoCase(localPath(folder), localPath(name)).c_str());
}

std::string localPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace store
