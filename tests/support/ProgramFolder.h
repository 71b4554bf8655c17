#pragma once

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// A fresh program folder with the template tables the build wrote, for one test.
class ProgramFolder
{
public:
    ProgramFolder()
    {
        const QDir built(QStringLiteral(TESSARY_PROGRAM_DIR));
        for (const QString& name : built.entryList({"*.dbf", "*.dbt", "*.mdx", "*.MDX"}, QDir::Files))
            QFile::copy(built.filePath(name), m_dir.filePath(name));
    }

    QString path() const { return m_dir.path(); }
    QString file(const QString& relative) const { return m_dir.filePath(relative); }

    QByteArray read(const QString& relative) const
    {
        QFile file(m_dir.filePath(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void write(const QString& relative, const QByteArray& bytes) const
    {
        QFile file(m_dir.filePath(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

private:
    QTemporaryDir m_dir;
};
