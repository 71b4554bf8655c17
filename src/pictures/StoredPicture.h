#pragma once

#include <QByteArray>
#include <QImage>

namespace pictures {

// A picture as a record keeps it: a BMP file image, behind an 8-byte header (16-bit 1, 16-bit 256, 32-bit
// length of what follows, little-endian) in columns of the graphic type.
class StoredPicture
{
public:
    static constexpr int headerSize = 8;

    // True when the value begins with the header and its length matches the rest exactly.
    static bool hasHeader(const QByteArray& stored);
    // The BMP bytes: the header is skipped only when it matches, otherwise the whole value is the BMP.
    static QByteArray bitmapBytes(const QByteArray& stored);
    static QByteArray withHeader(const QByteArray& bitmap);

    // The form the picture fields hold: palette and monochrome pictures keep their palette, everything
    // else becomes 32-bit RGB; transparency is flattened onto white, as the picture would print.
    static QImage asBitmap(const QImage& image);

    // The stored value of a picture; empty for a null image.
    static QByteArray encode(const QImage& image, bool header);
    // A null image when the value is empty or not a readable BMP.
    static QImage decode(const QByteArray& stored);
};

} // namespace pictures
