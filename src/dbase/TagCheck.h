#pragma once

#include "MdxIndex.h"

#include <functional>
#include <string>

namespace dbase {

// Compares one tag with the keys of the live records: every live record's entry must be there and no entry
// may name anything else; entries out of order stop the walk as damage. Each fault found goes to problem.
void compareTagWithRecords(MdxIndex& index, const MdxTag& tag, LiveRecords& records,
                           const std::function<void(std::string)>& problem);

} // namespace dbase
