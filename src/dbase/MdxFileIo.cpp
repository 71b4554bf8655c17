#include "MdxFileIo.h"

#include <cerrno>
#include <sys/mman.h>
#include <unistd.h>

namespace dbase::mdx {

namespace {

template <class Transfer>
bool transferFully(std::size_t size, std::uint64_t offset, Transfer&& transfer)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t moved = transfer(done, static_cast<off_t>(offset + done));
        if (moved < 0 && errno == EINTR)
            continue;
        if (moved <= 0) {
            if (moved == 0)
                errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(moved);
    }
    return true;
}

} // namespace

bool writeFully(int fd, const void* data, std::size_t size, std::uint64_t offset)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    return transferFully(size, offset, [&](std::size_t done, off_t at) {
        return ::pwrite(fd, bytes + done, size - done, at);
    });
}

bool readFully(int fd, void* data, std::size_t size, std::uint64_t offset)
{
    auto* bytes = static_cast<unsigned char*>(data);
    return transferFully(
        size, offset, [&](std::size_t done, off_t at) { return ::pread(fd, bytes + done, size - done, at); });
}

void adviseLargePages(void* data, std::size_t size)
{
#ifdef MADV_HUGEPAGE
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto start = (reinterpret_cast<std::uintptr_t>(data) + page - 1) / page * page;
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + size) / page * page;
    if (end > start)
        ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#else
    (void)data;
    (void)size;
#endif
}

} // namespace dbase::mdx
