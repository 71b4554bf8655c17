#include "FileAccess.h"

#include "dbase/Codepage.h"
#include "dbase/Table.h"

#include <QFile>
#include <QFileInfo>

namespace settings {

QString LocateFile(const QString& path)
{
    const QFileInfo info(path);
    const std::string found = dbase::findFileNoCase(info.path().toStdString(), info.fileName().toStdString());
    return found.empty() ? path : QString::fromStdString(found);
}

std::optional<QByteArray> ReadWholeFile(const QString& path)
{
    QFile file(LocateFile(path));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return content;
}

QByteArray ToCp1252(const QString& text)
{
    const std::string bytes = dbase::utf8ToCp1252(text.toStdString());
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString FromCp1252(QByteArrayView bytes)
{
    return QString::fromStdString(
        dbase::cp1252ToUtf8(std::string_view(bytes.data(), static_cast<std::size_t>(bytes.size()))));
}

} // namespace settings
