#include "AttachmentApplications.h"

#include "settings/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace pictures {

namespace {

const QStringList defaultPrograms = {QStringLiteral("mplayer.exe"), QStringLiteral("sndrec32.exe")};

} // namespace

AttachmentApplications AttachmentApplications::load(const QString& databaseFolder,
                                                    const QString& windowsFolder)
{
    AttachmentApplications list;
    for (const QString& line :
         settings::ReadTextLines(QDir(databaseFolder).filePath(fileName)).value_or(QStringList()))
        if (!line.trimmed().isEmpty())
            list.m_items.append(line);
    if (list.m_items.isEmpty() && !windowsFolder.isEmpty()) {
        for (const QString& program : defaultPrograms) {
            const QString path = QDir(windowsFolder).filePath(program);
            if (QFileInfo(path).isFile())
                list.add(path);
        }
    }
    return list;
}

qsizetype AttachmentApplications::indexOf(const QString& path) const
{
    for (qsizetype i = 0; i < m_items.size(); ++i)
        if (m_items[i].compare(path, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool AttachmentApplications::contains(const QString& path) const
{
    return indexOf(path) >= 0;
}

void AttachmentApplications::add(const QString& path)
{
    if (!path.isEmpty() && !contains(path))
        m_items.append(path);
}

void AttachmentApplications::remove(const QString& path)
{
    const qsizetype index = indexOf(path);
    if (index >= 0)
        m_items.removeAt(index);
}

void AttachmentApplications::moveToTop(const QString& path)
{
    if (path.isEmpty())
        return;
    remove(path);
    m_items.prepend(path);
}

bool AttachmentApplications::save(const QString& databaseFolder) const
{
    return settings::WriteTextLines(QDir(databaseFolder).filePath(fileName), m_items);
}

QString windowsFolder()
{
#ifdef Q_OS_WIN
    return QDir::fromNativeSeparators(qEnvironmentVariable("SystemRoot"));
#else
    return {};
#endif
}

QStringList attachmentArguments(const QString& application, const QString& file)
{
    const bool player = application.contains(QLatin1String("sndrec32.exe")) ||
                        application.contains(QLatin1String("mplayer.exe"));
    return player ? QStringList{QStringLiteral("/PLAY"), file} : QStringList{file};
}

bool startAttachment(const QString& application, const QString& file)
{
    if (application.isEmpty() || file.isEmpty())
        return false;
    QProcess process;
    process.setProgram(application);
    process.setArguments(attachmentArguments(application, file));
    return process.startDetached();
}

} // namespace pictures
