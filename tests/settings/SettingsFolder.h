#pragma once

#include <gtest/gtest.h>
#include <initializer_list>
#include <ostream>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// Readable failure messages for Qt text and bytes.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QByteArray& bytes, std::ostream* out)
{
    *out << "bytes[" << bytes.toHex(' ').toStdString() << ']';
}

inline QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int value : values)
        bytes.append(static_cast<char>(value));
    return bytes;
}

// A fresh folder on disk for each test, with helpers to plant and inspect files in it.
class SettingsFolderTest : public ::testing::Test
{
protected:
    QString folder() const { return dir_.path(); }
    QString pathOf(const QString& name) const { return dir_.filePath(name); }

    QByteArray bytesOf(const QString& name) const
    {
        QFile file(pathOf(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        return file.readAll();
    }

    void writeBytes(const QString& name, const QByteArray& bytes) const
    {
        QFile file(pathOf(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    bool exists(const QString& name) const { return QFile::exists(pathOf(name)); }

    QStringList filesInFolder() const { return QDir(folder()).entryList(QDir::Files); }

    QString makeSubfolder(const QString& name) const
    {
        EXPECT_TRUE(QDir(folder()).mkpath(name));
        return pathOf(name);
    }

private:
    QTemporaryDir dir_;
};
