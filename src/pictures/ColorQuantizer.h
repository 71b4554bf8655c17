#pragma once

#include <QImage>

namespace pictures {

// Reduces a picture to a palette picture of at most maxColors colours. A picture that already uses no more
// colours keeps them exactly; otherwise a median cut over a histogram of 6 bits per channel chooses the
// palette (each entry the mean of the colours it stands for) and every pixel takes the nearest entry.
class ColorQuantizer
{
public:
    explicit ColorQuantizer(int maxColors = 256);

    // A Format_Indexed8 image; transparency is ignored.
    QImage toIndexed(const QImage& image) const;

private:
    int m_maxColors;
};

} // namespace pictures
