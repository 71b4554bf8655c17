#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace dbase {

// One open file description: positioned reads and writes, and the byte-range locks that belong to it.
// Locks are open-file-description locks, so two File objects on one file conflict even inside one
// process, and closing another descriptor of the file never drops them. Failures throw DatabaseError.
class File
{
public:
    enum class Mode
    {
        ReadOnly,
        ReadWrite,
        Create
    };

    File() = default;
    File(const std::string& path, Mode mode);
    // Read-write where allowed, otherwise read-only (a table on a read-only medium still opens).
    static File openExisting(const std::string& path);
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    bool isWritable() const { return writable_; }
    const std::string& path() const { return path_; }
    void close();

    std::uint64_t size() const;
    // Exactly size bytes, or DatabaseError when the file ends before.
    std::string read(std::uint64_t offset, std::size_t size) const;
    // Up to size bytes; fewer only where the file ends.
    std::string readSome(std::uint64_t offset, std::size_t size) const;
    // Like read and readSome, into a buffer the caller keeps: a long scan then reuses the same memory
    // instead of having fresh pages mapped for every chunk.
    void readInto(std::uint64_t offset, std::size_t size, std::string& bytes) const;
    void readSomeInto(std::uint64_t offset, std::size_t size, std::string& bytes) const;
    void write(std::uint64_t offset, std::string_view bytes);
    void truncate(std::uint64_t size);
    void sync();
    // Renames the file and keeps the descriptor, which still names the same file.
    void rename(const std::string& newPath);
    // Identity of the underlying file, to tell whether two paths name the same table.
    std::pair<std::uint64_t, std::uint64_t> identity() const;

    // Byte-range locks on single bytes. tryLock never waits; lockWaiting waits up to the timeout and then
    // throws DatabaseError with the given message.
    bool tryLock(std::uint64_t offset, bool exclusive);
    void lockWaiting(std::uint64_t offset, bool exclusive, std::chrono::milliseconds timeout,
                     const char* busyMessage);
    void unlock(std::uint64_t offset);

private:
    [[noreturn]] void fail(const char* what) const;

    int fd_ = -1;
    bool writable_ = false;
    std::string path_;
};

bool fileExists(const std::string& path);
// Makes renames and creations in the folder of path durable.
void syncFolderOf(const std::string& path);

} // namespace dbase
