#pragma once

#include "BenchResults.h"

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// What both workloads do, on the record table's columns, in this order. Each figure is named once here.
namespace figure {
inline const std::string append = "append";              // ms: every record posted on its own, two tags kept
inline const std::string appendBulk = "append bulk";     // ms: SQLite only, one transaction for reference
inline const std::string files = "files";                // MB on disk after the appends
inline const std::string appendMemory = "append memory"; // MB resident at the most until the appends end
inline const std::string buildTag = "build tag";         // ms: a third tag over the whole table
inline const std::string letterCounts = "26 counts";     // ms: the letter tabs' ranges counted
inline const std::string counted = "counted";            // records in the 26 ranges together
inline const std::string seek = "seek";                  // microseconds per key found and its record read
inline const std::string scan = "scan";                  // ms: every record's description searched
inline const std::string scanHits = "scan hits";         // descriptions that contain the word
inline const std::string openFirst = "open first";       // ms: opening the table and reading its first record
inline const std::string deletes = "delete";             // ms: every tenth record deleted on its own
inline const std::string pack = "pack";                  // ms: the deleted records removed for good
inline const std::string packed = "records";             // records left after the pack
inline const std::string memory = "peak memory";         // MB resident at the most
} // namespace figure

constexpr const char* searchedWord = "arbour";
constexpr int seekCount = 2000;
constexpr int openRepeats = 9;

// The record numbers the seeks look for: the same in both workloads.
std::vector<std::int64_t> seekTargets(std::int64_t records);

BenchResults runEngineWorkload(std::int64_t records, const std::string& folder);
BenchResults runSqliteWorkload(std::int64_t records, const std::string& folder);

} // namespace bench
