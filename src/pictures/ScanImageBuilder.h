#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

namespace pictures {

// Puts together the picture a scanner sends as frames of raw scan lines: one gray or pixel-interleaved
// RGB frame, or separate red, green and blue frames. Samples are 1, 8 or 16 bits (16-bit samples in the
// machine's byte order); 1-bit gray means 1 is black. A frame of unknown height (a hand scanner) is as high
// as its data; lines the scanner did not send stay white.
class ScanImageBuilder
{
public:
    enum class Kind
    {
        Gray,
        Rgb,
        Red,
        Green,
        Blue
    };
    struct Frame
    {
        Kind kind = Kind::Gray;
        int bytesPerLine = 0;
        int pixelsPerLine = 0;
        int lines = -1; // -1 when not known in advance
        int depth = 8;
    };

    // False, and nothing kept, for a frame this builder cannot take: a depth other than 1, 8 or 16, lines
    // too short for their pixels, or a colour band that does not match the earlier bands.
    bool beginFrame(const Frame& frame);
    void append(const char* data, qsizetype length);

    // Format_Mono for 1-bit gray, Format_Grayscale8 for gray, Format_RGB32 for colour; null when no frame
    // was begun or no line arrived.
    QImage image() const;

private:
    struct Band
    {
        Frame frame;
        QByteArray data;
    };

    QList<Band> m_bands;
};

} // namespace pictures
