#include "ColorScheme.h"

#include "FixedLayout.h"
#include "ValueReader.h"
#include "ValueWriter.h"

namespace settings {

namespace {

QString schemeFile(const QString& folder)
{
    return folder + QStringLiteral("/color.lst");
}

} // namespace

ColorSlots LoadColorScheme(const QString& databaseFolder)
{
    ColorSlots colors = DefaultColorSlots;
    LoadFixedLayoutFile(schemeFile(databaseFolder), [&](ValueReader& reader) {
        const QByteArray stored = reader.ReadRaw(ColorSlotCount);
        for (int slot = 0; slot < ColorSlotCount; ++slot) {
            const auto index = static_cast<quint8>(stored[slot]);
            if (index < PaletteSize)
                colors[static_cast<std::size_t>(slot)] = index;
        }
    });
    return colors;
}

void SaveColorScheme(const QString& databaseFolder, const ColorSlots& colors)
{
    SaveFixedLayoutFile(schemeFile(databaseFolder), [&](ValueWriter& writer) {
        writer.WriteRaw(QByteArrayView(reinterpret_cast<const char*>(colors.data()), ColorSlotCount));
    });
}

} // namespace settings
