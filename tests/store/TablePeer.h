#pragma once

#include <gtest/gtest.h>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

// Another user, played by the engine's test peer in a process of its own: it opens a table (shared or
// exclusively) or holds one record's lock until it is destroyed. The peer is built beside the programs.
class TablePeer
{
public:
    static TablePeer holdingOpen(const QString& folder, const QString& file, bool exclusive)
    {
        return TablePeer({"open", folder, file, exclusive ? "exclusive" : "shared"}, "opened");
    }
    static TablePeer holdingRecordLock(const QString& folder, const QString& file, int record)
    {
        return TablePeer({"lock", folder, file, QString::number(record)}, "locked");
    }

    TablePeer(TablePeer&& other) noexcept : m_process(other.m_process), m_ready(other.m_ready)
    {
        other.m_process = nullptr;
    }
    TablePeer(const TablePeer&) = delete;
    TablePeer& operator=(const TablePeer&) = delete;
    TablePeer& operator=(TablePeer&&) = delete;
    ~TablePeer() { release(); }

    // True once the peer holds what it was asked to hold.
    bool ready() const { return m_ready; }

    void release()
    {
        if (!m_process)
            return;
        m_process->write("\n");
        m_process->closeWriteChannel();
        if (!m_process->waitForFinished(10000))
            m_process->kill();
        delete m_process;
        m_process = nullptr;
    }

private:
    TablePeer(const QStringList& arguments, const QByteArray& readyLine) : m_process(new QProcess)
    {
        const QString program = QStringLiteral(TESSARY_PROGRAM_DIR "/dbase_test_peer");
        if (!QFileInfo::exists(program)) {
            ADD_FAILURE() << "the engine's test peer is missing; build the target dbase_test_peer";
            return;
        }
        m_process->start(program, arguments);
        if (m_process->waitForStarted(10000) && m_process->waitForReadyRead(10000))
            m_ready = m_process->readLine().trimmed() == readyLine;
        EXPECT_TRUE(m_ready) << "the peer did not get hold of " << arguments.join(' ').toStdString();
    }

    QProcess* m_process;
    bool m_ready = false;
};
