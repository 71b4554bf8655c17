// A second process for the engine's sharing and crash tests. It reports on standard output, one line per
// event, and waits for a line on standard input where a test must decide when it lets go.
#include "dbase/Errors.h"
#include "dbase/Table.h"

#include <iostream>
#include <string>

namespace {

int holdRecordLock(const std::string& folder, const std::string& file, std::uint32_t record)
{
    dbase::Table table;
    table.open(folder, file);
    if (!table.gotoBookmark(record)) {
        std::cout << "failed: no record " << record << std::endl;
        return 1;
    }
    table.edit();
    std::cout << "locked" << std::endl;
    std::string line;
    std::getline(std::cin, line);
    table.cancel();
    return 0;
}

int holdOpen(const std::string& folder, const std::string& file, bool exclusive)
{
    dbase::Table table;
    table.open(folder, file, exclusive);
    std::cout << "opened" << std::endl;
    std::string line;
    std::getline(std::cin, line);
    return 0;
}

// Appends records numbered from `from` on; with count 0 it goes on until killed. Every completed post is
// reported with its number, after post returned.
int appendRecords(const std::string& folder, const std::string& file, long from, long count)
{
    dbase::Table table;
    table.open(folder, file);
    const int number = table.fieldIndex("NUMBER");
    const int title = table.fieldIndex("TITLE");
    const int notes = table.fieldIndex("NOTES");
    const int picture = table.fieldIndex("PICTURE");
    for (long i = from; count == 0 || i < from + count; ++i) {
        table.append();
        table.setNumber(static_cast<std::size_t>(number), static_cast<double>(i));
        table.setString(static_cast<std::size_t>(title), "record " + std::to_string(i));
        table.setMemoLines(static_cast<std::size_t>(notes), {"note of", std::to_string(i)});
        if (i % 4 == 0)
            table.setBlob(static_cast<std::size_t>(picture),
                          std::string(700 + static_cast<std::size_t>(i % 900), static_cast<char>(i)));
        table.post();
        if (i % 5 == 0 && table.gotoBookmark(table.recordNumber() > 3 ? table.recordNumber() - 3 : 1)) {
            // Rewriting a memo frees its old blocks, so the free list is busy too.
            table.edit();
            const std::string again =
                std::to_string(static_cast<long>(table.asNumber(static_cast<std::size_t>(number))));
            table.setMemoLines(static_cast<std::size_t>(notes), {"note of", again, "edited"});
            table.post();
        }
        std::cout << i << std::endl;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    try {
        if (command == "lock" && argc == 5)
            return holdRecordLock(argv[2], argv[3], static_cast<std::uint32_t>(std::stoul(argv[4])));
        if (command == "open" && argc == 5)
            return holdOpen(argv[2], argv[3], std::string(argv[4]) == "exclusive");
        if (command == "append" && argc == 6)
            return appendRecords(argv[2], argv[3], std::stol(argv[4]), std::stol(argv[5]));
    } catch (const dbase::DatabaseError& error) {
        std::cout << "failed: " << error.what() << std::endl;
        return 1;
    }
    std::cerr << "usage: dbase_test_peer lock FOLDER FILE RECORD | open FOLDER FILE exclusive|shared |"
                 " append FOLDER FILE FROM COUNT\n";
    return 2;
}
