#pragma once

#include <QRect>
#include <QSize>

namespace pictures {

// The picture fitted into a box with its proportion kept: as wide as the box, unless that makes it taller
// than the box, then as tall as the box. Lengths are truncated. An empty picture or box gives an empty
// size.
QSize fittedSize(const QSize& natural, const QSize& box);

// Where a printout places a picture on a page whose printable area is page: at the upper left corner, a
// picture narrower than a quarter of the page width or lower than a fifth of its height enlarged to that,
// one that does not fit shrunk until it fits both ways, proportions kept. Values are rounded to the nearest
// integer.
QRect printRectangle(const QSize& picture, const QSize& page);

} // namespace pictures
