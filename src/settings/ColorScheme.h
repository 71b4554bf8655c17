#pragma once

#include <array>
#include <QString>

namespace settings {

// "color.lst" of the database folder: the palette index (0 … 15) of each of the 27 colour slots.
inline constexpr int ColorSlotCount = 27;
inline constexpr int PaletteSize = 16;
using ColorSlots = std::array<quint8, ColorSlotCount>;

inline constexpr ColorSlots DefaultColorSlots = {6, 1,  0, 14, 6, 1,  14, 1, 0, 14, 6, 1, 1, 1,
                                                 1, 15, 0, 15, 0, 12, 1,  6, 5, 0,  1, 1, 1};

// The defaults when the file is missing or shorter than 27 bytes; a slot whose stored index lies outside
// the palette keeps its default.
ColorSlots LoadColorScheme(const QString& databaseFolder);
// Failures are ignored.
void SaveColorScheme(const QString& databaseFolder, const ColorSlots& colors);

} // namespace settings
