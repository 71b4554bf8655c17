#pragma once

#include <cstddef>
#include <cstdint>

namespace dbase::mdx {

// Positioned transfers of the whole buffer, retried after interruptions and short transfers. False (with
// errno set) when the system refuses, and for a read also when the file ends first.
bool writeFully(int fd, const void* data, std::size_t size, std::uint64_t offset);
bool readFully(int fd, void* data, std::size_t size, std::uint64_t offset);

// Asks for large pages behind a large buffer that is about to be filled: on some systems every small page
// first touched costs more than filling it. Only a hint; nothing happens where it is not supported.
void adviseLargePages(void* data, std::size_t size);

} // namespace dbase::mdx
