#pragma once

#include <QByteArray>
#include <QImage>

namespace pictures {

// ZSoft Paintbrush files. Reads 1-, 2-, 4- and 8-bit single-plane pictures, 1-bit pictures of up to four
// planes (the 16-colour kind), and 8-bit pictures of three or four planes (true colour, with or without
// alpha), run-length encoded or not. Writes version 5, run-length encoded: 8-bit with a 256-colour
// palette for palette and monochrome pictures, three 8-bit planes for everything else.
class PcxCodec
{
public:
    static constexpr int headerSize = 128;

    // Whether the bytes begin with a plausible header (manufacturer, version, encoding, bit depth).
    static bool looksLikePcx(const QByteArray& bytes);

    // A null image when the header is not one of the kinds above. Data that ends early leaves the rest of
    // the picture blank, so a damaged file still shows what it holds.
    static QImage read(const QByteArray& bytes);

    // Empty for a null image or one wider or taller than 65535 pixels.
    static QByteArray write(const QImage& image);
};

} // namespace pictures
