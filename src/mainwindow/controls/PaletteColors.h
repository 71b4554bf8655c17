#pragma once

#include "settings/ColorScheme.h"

#include <QColor>

namespace controls {

// The 16 colours the colour slots point into, in palette order: white, silver, aqua, yellow, lime, red,
// blue, fuchsia, maroon, olive, green, teal, navy, purple, grey, black. An index outside the palette
// gives black.
QColor PaletteColor(int index);

// The colour a slot of the scheme names; a slot outside the scheme gives black.
QColor SlotColor(const settings::ColorSlots& scheme, int slot);

} // namespace controls
