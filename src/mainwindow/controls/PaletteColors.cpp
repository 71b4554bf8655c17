#include "PaletteColors.h"

#include <array>

namespace controls {

namespace {

constexpr std::array<QRgb, settings::PaletteSize> palette = {
    qRgb(255, 255, 255), qRgb(192, 192, 192), qRgb(0, 255, 255),   qRgb(255, 255, 0),
    qRgb(0, 255, 0),     qRgb(255, 0, 0),     qRgb(0, 0, 255),     qRgb(255, 0, 255),
    qRgb(128, 0, 0),     qRgb(128, 128, 0),   qRgb(0, 128, 0),     qRgb(0, 128, 128),
    qRgb(0, 0, 128),     qRgb(128, 0, 128),   qRgb(128, 128, 128), qRgb(0, 0, 0)};

} // namespace

QColor PaletteColor(int index)
{
    if (index < 0 || index >= settings::PaletteSize)
        return Qt::black;
    return QColor(palette[static_cast<size_t>(index)]);
}

QColor SlotColor(const settings::ColorSlots& scheme, int slot)
{
    if (slot < 0 || slot >= settings::ColorSlotCount)
        return Qt::black;
    return PaletteColor(scheme[static_cast<size_t>(slot)]);
}

} // namespace controls
