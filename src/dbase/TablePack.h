#pragma once

#include "File.h"

#include <string>

namespace dbase {

// Pack builds the new table and memo file under these names beside the originals, then commits by
// creating the marker and renaming both over the originals.
std::string packingName(const std::string& path);
std::string packCommitMarker(const std::string& tablePath);

// Called on open while holding the open lock: finishes a pack that was killed after its commit (the
// renames are repeated) and removes the leftovers of one killed before it. Returns true when files were
// renamed, so the caller must open the table again. DatabaseError when a committed pack must be finished
// but another user holds the table open.
bool completeInterruptedPack(File& table, bool exclusive);

} // namespace dbase
