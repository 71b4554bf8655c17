#pragma once

#include <cstddef>
#include <cstdint>

namespace dbase::mdx {

// Positioned transfers of the whole buffer, retried after interruptions and short transfers. False (with
// errno set) when the system refuses, and for a read also when the file ends first.
bool writeFully(int fd, const void* data, std::size_t size, std::uint64_t offset);
bool readFully(int fd, void* data, std::size_t size, std::uint64_t offset);

} // namespace dbase::mdx
