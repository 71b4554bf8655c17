#include "ScanImageBuilder.h"

#include <algorithm>
#include <cstring>

namespace pictures {

namespace {

int lineCount(const ScanImageBuilder::Frame& frame, qsizetype dataSize)
{
    return frame.lines >= 0 ? frame.lines : static_cast<int>(dataSize / frame.bytesPerLine);
}

// Sample n of a scan line, scaled to 8 bits; a 1-bit sample of a colour band is full or nothing.
int sample(const uchar* line, int n, int depth)
{
    switch (depth) {
    case 1:
        return ((line[n / 8] >> (7 - n % 8)) & 1) ? 255 : 0;
    case 16: {
        quint16 value;
        std::memcpy(&value, line + 2 * n, sizeof value);
        return (value * 255 + 32767) / 65535;
    }
    default:
        return line[n];
    }
}

int samplesPerPixel(ScanImageBuilder::Kind kind)
{
    return kind == ScanImageBuilder::Kind::Rgb ? 3 : 1;
}

// The line of a band, or null when the data ended before it.
const uchar* lineOf(const QByteArray& data, const ScanImageBuilder::Frame& frame, int y)
{
    const qsizetype start = qsizetype(y) * frame.bytesPerLine;
    if (start + frame.bytesPerLine > data.size())
        return nullptr;
    return reinterpret_cast<const uchar*>(data.constData()) + start;
}

} // namespace

bool ScanImageBuilder::beginFrame(const Frame& frame)
{
    if (frame.depth != 1 && frame.depth != 8 && frame.depth != 16)
        return false;
    if (frame.pixelsPerLine <= 0 || frame.bytesPerLine <= 0 || frame.lines == 0 || frame.lines < -1)
        return false;
    const qint64 bitsNeeded = qint64(frame.pixelsPerLine) * samplesPerPixel(frame.kind) * frame.depth;
    if (qint64(frame.bytesPerLine) * 8 < bitsNeeded)
        return false;
    const bool band = frame.kind == Kind::Red || frame.kind == Kind::Green || frame.kind == Kind::Blue;
    if (!m_bands.isEmpty()) {
        const Frame& first = m_bands.first().frame;
        const bool bandOfSameScan =
            band && (first.kind == Kind::Red || first.kind == Kind::Green || first.kind == Kind::Blue) &&
            first.pixelsPerLine == frame.pixelsPerLine && first.depth == frame.depth;
        if (!bandOfSameScan)
            return false;
    }
    m_bands.append({frame, {}});
    return true;
}

void ScanImageBuilder::append(const char* data, qsizetype length)
{
    if (!m_bands.isEmpty())
        m_bands.last().data.append(data, length);
}

QImage ScanImageBuilder::image() const
{
    if (m_bands.isEmpty())
        return {};
    const Frame& first = m_bands.first().frame;
    const int width = first.pixelsPerLine;
    int height = 0;
    for (const Band& band : m_bands)
        height = std::max(height, lineCount(band.frame, band.data.size()));
    if (height == 0)
        return {};

    if (first.kind == Kind::Gray) {
        const QByteArray& data = m_bands.first().data;
        if (first.depth == 1) {
            QImage image(width, height, QImage::Format_Mono);
            image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
            image.fill(0);
            for (int y = 0; y < height; ++y)
                if (const uchar* line = lineOf(data, first, y))
                    std::memcpy(image.scanLine(y), line, static_cast<std::size_t>((width + 7) / 8));
            return image;
        }
        QImage image(width, height, QImage::Format_Grayscale8);
        image.fill(255);
        for (int y = 0; y < height; ++y)
            if (const uchar* line = lineOf(data, first, y)) {
                uchar* out = image.scanLine(y);
                for (int x = 0; x < width; ++x)
                    out[x] = static_cast<uchar>(sample(line, x, first.depth));
            }
        return image;
    }

    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (const Band& band : m_bands) {
        // Each band writes its channels into the picture: all three for RGB, one for a colour band.
        const Kind kind = band.frame.kind;
        const int shift = kind == Kind::Red ? 16 : kind == Kind::Green ? 8 : 0;
        for (int y = 0; y < height; ++y) {
            const uchar* line = lineOf(band.data, band.frame, y);
            if (!line)
                continue;
            auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < width; ++x) {
                if (kind == Kind::Rgb) {
                    out[x] =
                        qRgb(sample(line, 3 * x, band.frame.depth), sample(line, 3 * x + 1, band.frame.depth),
                             sample(line, 3 * x + 2, band.frame.depth));
                } else {
                    const auto value = static_cast<QRgb>(sample(line, x, band.frame.depth));
                    out[x] = (out[x] & ~(0xFFu << shift)) | (value << shift);
                }
            }
        }
    }
    return image;
}

} // namespace pictures
