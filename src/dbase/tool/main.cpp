#include "TableCommands.h"

#include <exception>
#include <iostream>
#include <string>

namespace {

constexpr const char* usage =
    "usage: tessary-db info|dump|check TABLE.dbf\n"
    "  info   header, columns and index tags\n"
    "  dump   the live records as CSV (UTF-8, RFC 4180)\n"
    "  check  the table, its memo file and every index tag; exit status 1 on any inconsistency\n";

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << usage;
        return 2;
    }
    const std::string command = argv[1];
    const std::string path = argv[2];
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
    const std::string fileName = slash == std::string::npos ? path : path.substr(slash + 1);
    try {
        if (command == "info")
            return dbase::tool::printInfo(folder, fileName, std::cout);
        if (command == "dump")
            return dbase::tool::dumpCsv(folder, fileName, std::cout, std::cerr);
        if (command == "check")
            return dbase::tool::checkFiles(folder, fileName, std::cout);
    } catch (const std::exception& error) {
        std::cerr << "tessary-db: " << error.what() << "\n";
        return 1;
    }
    std::cerr << "tessary-db: unknown command \"" << command << "\"\n" << usage;
    return 2;
}
