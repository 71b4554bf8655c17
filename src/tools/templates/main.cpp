// Writes the empty template tables and spare index files into the program folder at build time.
#include "dbase/Errors.h"
#include "store/TemplateTables.h"

#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: tessary-templates <program folder>\n";
        return 2;
    }
    try {
        store::writeTemplateTables(argv[1]);
    } catch (const std::exception& error) {
        std::cerr << "tessary-templates: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
