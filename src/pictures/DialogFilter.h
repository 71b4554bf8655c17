#pragma once

#include <QString>
#include <QStringList>

namespace pictures {

// File dialog filters written the classic way, "Name|*.a;*.b|Other|*.c", as Qt's name filters:
// "Name (*.a *.b)", "Other (*.c)". Empty patterns are dropped and "*.*" becomes "*", which also matches
// names without an extension.
QStringList nameFilters(const QString& pipeSeparated);

// The extension of the first pattern of a name filter ("JPG Images (*.jpg)" gives "jpg"); empty when the
// filter names several or none.
QString singleExtension(const QString& nameFilter);

} // namespace pictures
