#include "TablePaths.h"

#include "Table.h"

#include <algorithm>
#include <cctype>

namespace dbase {

namespace {

bool hasLowerCase(std::string_view text)
{
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return std::islower(static_cast<unsigned char>(c)); });
}

std::size_t extensionDot(std::string_view fileName)
{
    const std::size_t dot = fileName.rfind('.');
    const std::size_t slash = fileName.rfind('/');
    if (dot == std::string_view::npos || dot == 0 || (slash != std::string_view::npos && dot < slash))
        return std::string_view::npos;
    return dot;
}

} // namespace

std::string joinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string baseName(std::string_view fileName)
{
    const std::size_t slash = fileName.rfind('/');
    if (slash != std::string_view::npos)
        fileName.remove_prefix(slash + 1);
    return std::string(fileName.substr(0, extensionDot(fileName)));
}

std::string withExtension(std::string_view fileName, std::string_view ext)
{
    const std::size_t dot = extensionDot(fileName);
    const std::string_view own = dot == std::string_view::npos ? fileName : fileName.substr(dot + 1);
    std::string suffix(ext);
    if (!hasLowerCase(own))
        for (char& c : suffix)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return std::string(fileName.substr(0, dot)) + "." + suffix;
}

std::string tableFileName(std::string_view fileName)
{
    return extensionDot(fileName) == std::string_view::npos ? withExtension(fileName, "dbf")
                                                            : std::string(fileName);
}

std::string locateTable(const std::string& folder, const std::string& fileName)
{
    return findFileNoCase(folder, tableFileName(fileName));
}

std::string locateCompanion(const std::string& tablePath, std::string_view ext)
{
    const std::size_t slash = tablePath.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : tablePath.substr(0, slash);
    const std::string name = slash == std::string::npos ? tablePath : tablePath.substr(slash + 1);
    return findFileNoCase(folder, withExtension(name, ext));
}

} // namespace dbase
