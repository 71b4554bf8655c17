#pragma once

#include <QByteArray>
#include <QImage>

namespace pictures {

// Writes a picture as a single-image GIF (87a, no interlace): palette pictures with their own palette,
// others through ColorQuantizer.
class GifWriter
{
public:
    // Empty for a null image or one wider or taller than 65535 pixels.
    static QByteArray write(const QImage& image);
};

} // namespace pictures
