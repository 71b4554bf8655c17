#pragma once

#include <string>
#include <string_view>

namespace dbase {

std::string joinPath(const std::string& folder, const std::string& name);
// The file name without its extension.
std::string baseName(std::string_view fileName);
// fileName with its extension replaced by ext (given without the dot, in lower case); upper case when the
// name's own extension, or else the whole name, is written in capitals.
std::string withExtension(std::string_view fileName, std::string_view ext);
// The .dbf a table name refers to: ".dbf" is added when the name has no extension.
std::string tableFileName(std::string_view fileName);
// The existing file of a table, looked up without case; empty when there is none.
std::string locateTable(const std::string& folder, const std::string& fileName);
// The existing companion (.dbt, .mdx) of the table file at tablePath, without case; empty when none.
std::string locateCompanion(const std::string& tablePath, std::string_view ext);

} // namespace dbase
