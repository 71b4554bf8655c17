#include "MdxFormat.h"

#include <ctime>

namespace dbase::mdx {

void putToday(std::uint8_t* p)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    p[0] = static_cast<std::uint8_t>(local.tm_year); // years since 1900, as dBASE counts them
    p[1] = static_cast<std::uint8_t>(local.tm_mon + 1);
    p[2] = static_cast<std::uint8_t>(local.tm_mday);
}

} // namespace dbase::mdx
