#pragma once

#include <QString>
#include <QStringList>

namespace pictures {

// The applications the attachment dialog offers: the text file "opt.mmf" in the database folder, one full
// program path a line, the most recently used first. Paths are compared without regard to case.
class AttachmentApplications
{
public:
    static inline const QString fileName = QStringLiteral("opt.mmf");

    // The list of the folder; a missing or unreadable file gives an empty one, which then offers the
    // Windows folder's media player and sound recorder, where they exist.
    static AttachmentApplications load(const QString& databaseFolder, const QString& windowsFolder);

    const QStringList& items() const { return m_items; }
    bool contains(const QString& path) const;
    // Appended when not listed yet.
    void add(const QString& path);
    void remove(const QString& path);
    // Removed where it was and put first; an empty path changes nothing.
    void moveToTop(const QString& path);
    // False when the file could not be written; the old one then stays.
    bool save(const QString& databaseFolder) const;

private:
    qsizetype indexOf(const QString& path) const;

    QStringList m_items;
};

// The Windows folder on Windows; empty elsewhere, where neither program exists.
QString windowsFolder();

// The arguments the application gets: the file, after "/PLAY" for the media player and the sound recorder.
QStringList attachmentArguments(const QString& application, const QString& file);
// Starts the application on the file as a program of its own, with the file as one argument and no shell
// in between, so that nothing in the file name is ever run as a command. False when it could not start.
bool startAttachment(const QString& application, const QString& file);

} // namespace pictures
