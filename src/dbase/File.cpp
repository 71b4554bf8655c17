#include "File.h"

#include "Errors.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace dbase {

File::File(const std::string& path, Mode mode) : path_(path)
{
    int flags = O_CLOEXEC;
    switch (mode) {
    case Mode::ReadOnly:
        flags |= O_RDONLY;
        break;
    case Mode::ReadWrite:
        flags |= O_RDWR;
        break;
    case Mode::Create:
        flags |= O_RDWR | O_CREAT | O_TRUNC;
        break;
    }
    fd_ = ::open(path.c_str(), flags, 0666);
    if (fd_ < 0)
        fail("cannot open");
    writable_ = mode != Mode::ReadOnly;
}

File File::openExisting(const std::string& path)
{
    File file;
    file.path_ = path;
    file.fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    file.writable_ = file.fd_ >= 0;
    if (file.fd_ < 0 && (errno == EACCES || errno == EROFS || errno == EPERM))
        file.fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file.fd_ < 0)
        file.fail("cannot open");
    return file;
}

File::~File()
{
    close();
}

File::File(File&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), writable_(other.writable_), path_(std::move(other.path_))
{}

File& File::operator=(File&& other) noexcept
{
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        writable_ = other.writable_;
        path_ = std::move(other.path_);
    }
    return *this;
}

void File::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

void File::fail(const char* what) const
{
    throw DatabaseError(std::string(what) + " " + path_ + ": " + std::strerror(errno));
}

std::uint64_t File::size() const
{
    struct stat st
    {
    };
    if (::fstat(fd_, &st) != 0)
        fail("cannot examine");
    return static_cast<std::uint64_t>(st.st_size);
}

std::pair<std::uint64_t, std::uint64_t> File::identity() const
{
    struct stat st
    {
    };
    if (::fstat(fd_, &st) != 0)
        fail("cannot examine");
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

std::string File::readSome(std::uint64_t offset, std::size_t size) const
{
    std::string bytes;
    readSomeInto(offset, size, bytes);
    return bytes;
}

void File::readSomeInto(std::uint64_t offset, std::size_t size, std::string& bytes) const
{
    bytes.resize(size);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd_, bytes.data() + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail("cannot read");
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
}

std::string File::read(std::uint64_t offset, std::size_t size) const
{
    std::string bytes;
    readInto(offset, size, bytes);
    return bytes;
}

void File::readInto(std::uint64_t offset, std::size_t size, std::string& bytes) const
{
    readSomeInto(offset, size, bytes);
    if (bytes.size() != size)
        throw DatabaseError("unexpected end of file in " + path_);
}

void File::write(std::uint64_t offset, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail("cannot write");
        }
        done += static_cast<std::size_t>(n);
    }
}

void File::truncate(std::uint64_t size)
{
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
        fail("cannot truncate");
}

void File::sync()
{
    if (::fdatasync(fd_) != 0)
        fail("cannot flush");
}

void File::rename(const std::string& newPath)
{
    if (::rename(path_.c_str(), newPath.c_str()) != 0)
        fail(("cannot rename to " + newPath + ":").c_str());
    path_ = newPath;
}

bool fileExists(const std::string& path)
{
    struct stat st
    {
    };
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void syncFolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

namespace {

bool setLock(int fd, short type, std::uint64_t offset)
{
    struct flock lock
    {
    };
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = static_cast<off_t>(offset);
    lock.l_len = 1;
    while (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
        if (errno == EINTR)
            continue;
        return false;
    }
    return true;
}

} // namespace

bool File::tryLock(std::uint64_t offset, bool exclusive)
{
    if (setLock(fd_, exclusive ? F_WRLCK : F_RDLCK, offset))
        return true;
    if (errno == EAGAIN || errno == EACCES)
        return false;
    fail("cannot lock");
}

void File::lockWaiting(std::uint64_t offset, bool exclusive, std::chrono::milliseconds timeout,
                       const char* busyMessage)
{
    // fcntl has no timed wait; short sleeps that grow keep a brief conflict cheap and a long one bounded.
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    auto pause = std::chrono::microseconds(50);
    while (!tryLock(offset, exclusive)) {
        if (std::chrono::steady_clock::now() >= deadline)
            throw LockError(std::string(busyMessage) + ": " + path_);
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::microseconds(5000));
    }
}

void File::unlock(std::uint64_t offset)
{
    setLock(fd_, F_UNLCK, offset);
}

} // namespace dbase
