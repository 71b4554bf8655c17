// A second user of a record table: holds the lock of one record until its standard input ends.
//   mainwindow_record_locker FOLDER TABLE POSITION
// Prints "locked" once the record at POSITION (0-based, record-number order) is held.
#include "dbase/Errors.h"
#include "dbase/Table.h"

#include <cstdlib>
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "usage: mainwindow_record_locker FOLDER TABLE POSITION\n";
        return 2;
    }
    try {
        dbase::Table table;
        table.open(argv[1], argv[2]);
        table.first();
        table.moveBy(std::atoi(argv[3]));
        table.edit();
        std::cout << "locked" << std::endl;
        std::string line;
        while (std::getline(std::cin, line)) {
        }
        table.cancel();
    } catch (const dbase::DatabaseError& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    return 0;
}
