#pragma once

#include <ostream>
#include <string>

namespace dbase::tool {

// Each prints its findings and returns the process exit code: 0 when all is well, 1 otherwise.
int printInfo(const std::string& folder, const std::string& fileName, std::ostream& out);
// The live records as RFC 4180 CSV in UTF-8, with a header row of column names.
int dumpCsv(const std::string& folder, const std::string& fileName, std::ostream& out, std::ostream& err);
int checkFiles(const std::string& folder, const std::string& fileName, std::ostream& out);

} // namespace dbase::tool
