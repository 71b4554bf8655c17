#pragma once

#include <QIcon>
#include <QString>

namespace pictures {

// The glyphs of the picture field's speed bar, drawn rather than shipped, by resource name ("XBITMAP_1"
// to "XBITMAP_10"); the disabled look comes from the icon itself.
QIcon speedBarGlyph(const QString& resourceName, int size);

} // namespace pictures
