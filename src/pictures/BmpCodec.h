#pragma once

#include <QByteArray>
#include <QImage>

namespace pictures {

// Windows bitmaps of the kinds the picture fields store, read and written in one pass over the lines
// rather than Qt's pixel by pixel: uncompressed 8-, 24- and 32-bit pictures behind a BITMAPINFOHEADER (or a
// later header of the same start), bottom-up or top-down. Everything else is left to Qt's reader.
class BmpCodec
{
public:
    // A null image when the bytes are no BMP of those kinds, or are too short for their lines; Qt's
    // reader then decides.
    static QImage read(const QByteArray& bytes);
    // Reads what read() takes, and everything else through Qt's reader.
    static QImage readAny(const QByteArray& bytes);

    // Bottom-up, BITMAPINFOHEADER, uncompressed: 1-bit and 8-bit with their palette, 24-bit for the rest
    // (transparency is dropped). Empty for a null image.
    static QByteArray write(const QImage& image);
};

} // namespace pictures
