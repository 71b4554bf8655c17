#pragma once

#include <QString>
#include <string>

namespace store {

// The path of the file in folder whose name equals name without case (an exact match wins); empty when
// there is none.
QString findFileNoCase(const QString& folder, const QString& name);

// A path as the engine's file functions take it.
std::string localPath(const QString& path);

} // namespace store
