#pragma once

#include <string>
#include <string_view>

namespace dbase {

// Tables hold Windows-1252 text; the engine passes those bytes through unchanged. These convert at the
// boundary to the rest of the world.
std::string cp1252ToUtf8(std::string_view text);
// Characters that Windows-1252 cannot hold become '?'.
std::string utf8ToCp1252(std::string_view text);

} // namespace dbase
