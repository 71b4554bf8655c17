#pragma once

#include <string>
#include <vector>

namespace dbase {

// The outcome of a structural check of a table, its memo file and its index.
struct CheckReport
{
    std::vector<std::string> problems; // inconsistencies: the table is not sound
    std::vector<std::string> notes;    // harmless findings, such as memo blocks no record uses
    bool sound() const { return problems.empty(); }
};

// Reads the table without changing it: header sanity, record length, deletion flags, the syntax of
// numeric, date and logical values, memo pointers in range and their blocks well formed, no two values
// sharing a block, the memo file's free list, and the production index: its structure, and each tag's
// entries against the keys of the live records (missing, extra or misordered). Never throws for a damaged
// table; that is what it reports.
CheckReport checkTable(const std::string& folder, const std::string& fileName);

} // namespace dbase
