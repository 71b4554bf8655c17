#include "PcxCodec.h"

#include <algorithm>
#include <array>
#include <QtEndian>

namespace pictures {

namespace {

constexpr uchar manufacturer = 0x0A;
constexpr uchar runFlag = 0xC0;
constexpr int longestRun = 0x3F;
constexpr uchar vgaPaletteMarker = 0x0C;
constexpr int vgaPaletteSize = 1 + 256 * 3;
constexpr int headerPaletteOffset = 16;
constexpr int largestSide = 65535;

// The 16-colour palette of the EGA, for files whose header palette is left blank.
constexpr std::array<QRgb, 16> egaPalette = {
    0xFF000000, 0xFF0000AA, 0xFF00AA00, 0xFF00AAAA, 0xFFAA0000, 0xFFAA00AA, 0xFFAA5500, 0xFFAAAAAA,
    0xFF555555, 0xFF5555FF, 0xFF55FF55, 0xFF55FFFF, 0xFFFF5555, 0xFFFF55FF, 0xFFFFFF55, 0xFFFFFFFF};

struct Header
{
    uchar version = 0;
    uchar encoding = 0;
    uchar bitsPerPixel = 0;
    int width = 0;
    int height = 0;
    int dpiX = 0;
    int dpiY = 0;
    uchar planes = 0;
    int bytesPerLine = 0;
    int paletteInfo = 0;
    const uchar* palette = nullptr; // the 16 entries of the header
};

quint16 word(const uchar* bytes, int offset)
{
    return qFromLittleEndian<quint16>(bytes + offset);
}

Header parseHeader(const uchar* bytes)
{
    Header header;
    header.version = bytes[1];
    header.encoding = bytes[2];
    header.bitsPerPixel = bytes[3];
    header.width = word(bytes, 8) - word(bytes, 4) + 1;
    header.height = word(bytes, 10) - word(bytes, 6) + 1;
    header.dpiX = word(bytes, 12);
    header.dpiY = word(bytes, 14);
    header.palette = bytes + headerPaletteOffset;
    header.planes = bytes[65];
    header.bytesPerLine = word(bytes, 66);
    header.paletteInfo = word(bytes, 68);
    return header;
}

bool isSupported(const Header& header)
{
    if (header.width <= 0 || header.height <= 0 || header.bytesPerLine <= 0)
        return false;
    if (static_cast<qint64>(header.bytesPerLine) * 8 <
        static_cast<qint64>(header.width) * header.bitsPerPixel)
        return false;
    switch (header.bitsPerPixel) {
    case 1:
        return header.planes >= 1 && header.planes <= 4;
    case 2:
    case 4:
        return header.planes == 1;
    case 8:
        return header.planes == 1 || header.planes == 3 || header.planes == 4;
    default:
        return false;
    }
}

// Undoes the run-length encoding one scan line at a time. Runs may cross line ends, as some writers let
// them; whatever the data lacks stays zero.
class RunLengthReader
{
public:
    RunLengthReader(const uchar* data, qsizetype size, bool encoded)
        : m_data(data), m_size(size), m_encoded(encoded)
    {}

    void readLine(uchar* line, int length)
    {
        int filled = 0;
        while (filled < length) {
            if (m_runLeft == 0 && !refill())
                break;
            const int take = std::min(m_runLeft, length - filled);
            std::fill_n(line + filled, take, m_runValue);
            filled += take;
            m_runLeft -= take;
        }
        std::fill(line + filled, line + length, uchar(0));
    }

private:
    bool refill()
    {
        if (m_position >= m_size)
            return false;
        const uchar byte = m_data[m_position++];
        if (!m_encoded || (byte & runFlag) != runFlag) {
            m_runValue = byte;
            m_runLeft = 1;
            return true;
        }
        if (m_position >= m_size)
            return false;
        m_runValue = m_data[m_position++];
        m_runLeft = byte & longestRun;
        return true;
    }

    const uchar* m_data;
    qsizetype m_size;
    bool m_encoded;
    qsizetype m_position = 0;
    uchar m_runValue = 0;
    int m_runLeft = 0;
};

QList<QRgb> headerPalette(const Header& header, int colors)
{
    QList<QRgb> table(colors);
    bool blank = true;
    for (int i = 0; i < colors; ++i) {
        const uchar* entry = header.palette + 3 * i;
        table[i] = qRgb(entry[0], entry[1], entry[2]);
        blank = blank && table[i] == qRgb(0, 0, 0);
    }
    if (colors == 2 && (blank || table[0] == table[1]))
        return {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    if (blank)
        return QList<QRgb>(egaPalette.begin(), egaPalette.begin() + colors);
    return table;
}

// The palette after the picture data; files before version 5, and gray-scale files, carry none and their
// values are gray levels.
QList<QRgb> vgaPalette(const uchar* paletteEntries)
{
    QList<QRgb> table(256);
    for (int i = 0; i < 256; ++i)
        table[i] = paletteEntries
                       ? qRgb(paletteEntries[3 * i], paletteEntries[3 * i + 1], paletteEntries[3 * i + 2])
                       : qRgb(i, i, i);
    return table;
}

void setResolution(QImage& image, const Header& header)
{
    constexpr double metersPerInch = 0.0254;
    if (header.dpiX > 0 && header.dpiY > 0) {
        image.setDotsPerMeterX(qRound(header.dpiX / metersPerInch));
        image.setDotsPerMeterY(qRound(header.dpiY / metersPerInch));
    }
}

QImage readIndexed(RunLengthReader& reader, const Header& header, const QList<QRgb>& palette)
{
    QImage image(header.width, header.height, QImage::Format_Indexed8);
    if (image.isNull())
        return {};
    image.setColorTable(palette);
    QByteArray line(header.bytesPerLine * header.planes, '\0');
    auto* raw = reinterpret_cast<uchar*>(line.data());
    for (int y = 0; y < header.height; ++y) {
        reader.readLine(raw, static_cast<int>(line.size()));
        uchar* out = image.scanLine(y);
        for (int x = 0; x < header.width; ++x) {
            int index = 0;
            if (header.planes == 1) {
                const int bitOffset = x * header.bitsPerPixel;
                const int shift = 8 - header.bitsPerPixel - bitOffset % 8;
                index = (raw[bitOffset / 8] >> shift) & ((1 << header.bitsPerPixel) - 1);
            } else {
                for (int plane = 0; plane < header.planes; ++plane) {
                    const uchar byte = raw[plane * header.bytesPerLine + x / 8];
                    index |= ((byte >> (7 - x % 8)) & 1) << plane;
                }
            }
            out[x] = static_cast<uchar>(index);
        }
    }
    return image;
}

QImage readTrueColor(RunLengthReader& reader, const Header& header)
{
    const bool alpha = header.planes == 4;
    QImage image(header.width, header.height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        return {};
    QByteArray line(header.bytesPerLine * header.planes, '\0');
    auto* raw = reinterpret_cast<uchar*>(line.data());
    const uchar* red = raw;
    const uchar* green = raw + header.bytesPerLine;
    const uchar* blue = raw + 2 * header.bytesPerLine;
    const uchar* opacity = raw + 3 * header.bytesPerLine;
    for (int y = 0; y < header.height; ++y) {
        reader.readLine(raw, static_cast<int>(line.size()));
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < header.width; ++x)
            out[x] = qRgba(red[x], green[x], blue[x], alpha ? opacity[x] : 255);
    }
    return image;
}

// Appends one scan line of one plane, run-length encoded; runs never cross the line.
void encodeLine(QByteArray& out, const uchar* line, int length)
{
    int x = 0;
    while (x < length) {
        const uchar value = line[x];
        int run = 1;
        while (run < longestRun && x + run < length && line[x + run] == value)
            ++run;
        if (run > 1 || (value & runFlag) == runFlag)
            out.append(static_cast<char>(runFlag | run));
        out.append(static_cast<char>(value));
        x += run;
    }
}

QByteArray writeHeader(const QImage& image, int planes, int bytesPerLine, const QList<QRgb>& palette)
{
    constexpr double metersPerInch = 0.0254;
    QByteArray header(PcxCodec::headerSize, '\0');
    auto* bytes = reinterpret_cast<uchar*>(header.data());
    bytes[0] = manufacturer;
    bytes[1] = 5;
    bytes[2] = 1;
    bytes[3] = 8;
    qToLittleEndian<quint16>(static_cast<quint16>(image.width() - 1), bytes + 8);
    qToLittleEndian<quint16>(static_cast<quint16>(image.height() - 1), bytes + 10);
    qToLittleEndian<quint16>(static_cast<quint16>(qRound(image.dotsPerMeterX() * metersPerInch)), bytes + 12);
    qToLittleEndian<quint16>(static_cast<quint16>(qRound(image.dotsPerMeterY() * metersPerInch)), bytes + 14);
    for (int i = 0; i < std::min<int>(16, static_cast<int>(palette.size())); ++i) {
        bytes[headerPaletteOffset + 3 * i] = static_cast<uchar>(qRed(palette[i]));
        bytes[headerPaletteOffset + 3 * i + 1] = static_cast<uchar>(qGreen(palette[i]));
        bytes[headerPaletteOffset + 3 * i + 2] = static_cast<uchar>(qBlue(palette[i]));
    }
    bytes[65] = static_cast<uchar>(planes);
    qToLittleEndian<quint16>(static_cast<quint16>(bytesPerLine), bytes + 66);
    qToLittleEndian<quint16>(1, bytes + 68);
    return header;
}

QByteArray writeIndexed(const QImage& image)
{
    const int bytesPerLine = (image.width() + 1) & ~1;
    QList<QRgb> palette = image.colorTable();
    QByteArray out = writeHeader(image, 1, bytesPerLine, palette);
    QByteArray line(bytesPerLine, '\0');
    for (int y = 0; y < image.height(); ++y) {
        std::copy_n(image.constScanLine(y), image.width(), line.data());
        encodeLine(out, reinterpret_cast<const uchar*>(line.constData()), bytesPerLine);
    }
    palette.resize(256, qRgb(0, 0, 0));
    out.append(static_cast<char>(vgaPaletteMarker));
    for (QRgb color : palette) {
        out.append(static_cast<char>(qRed(color)));
        out.append(static_cast<char>(qGreen(color)));
        out.append(static_cast<char>(qBlue(color)));
    }
    return out;
}

QByteArray writeTrueColor(const QImage& image)
{
    const int bytesPerLine = (image.width() + 1) & ~1;
    QByteArray out = writeHeader(image, 3, bytesPerLine, {});
    QByteArray planes(3 * bytesPerLine, '\0');
    auto* red = reinterpret_cast<uchar*>(planes.data());
    uchar* green = red + bytesPerLine;
    uchar* blue = green + bytesPerLine;
    for (int y = 0; y < image.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            red[x] = static_cast<uchar>(qRed(in[x]));
            green[x] = static_cast<uchar>(qGreen(in[x]));
            blue[x] = static_cast<uchar>(qBlue(in[x]));
        }
        encodeLine(out, red, bytesPerLine);
        encodeLine(out, green, bytesPerLine);
        encodeLine(out, blue, bytesPerLine);
    }
    return out;
}

} // namespace

bool PcxCodec::looksLikePcx(const QByteArray& bytes)
{
    if (bytes.size() < headerSize)
        return false;
    const auto* header = reinterpret_cast<const uchar*>(bytes.constData());
    const uchar version = header[1];
    const uchar bits = header[3];
    return header[0] == manufacturer && (version == 0 || (version >= 2 && version <= 5)) && header[2] <= 1 &&
           (bits == 1 || bits == 2 || bits == 4 || bits == 8);
}

QImage PcxCodec::read(const QByteArray& bytes)
{
    if (!looksLikePcx(bytes))
        return {};
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const Header header = parseHeader(data);
    if (!isSupported(header))
        return {};
    qsizetype dataSize = bytes.size() - headerSize;
    const bool vgaPaletteFollows = header.bitsPerPixel == 8 && header.planes == 1 &&
                                   dataSize >= vgaPaletteSize &&
                                   data[bytes.size() - vgaPaletteSize] == vgaPaletteMarker;
    if (vgaPaletteFollows)
        dataSize -= vgaPaletteSize;
    RunLengthReader reader(data + headerSize, dataSize, header.encoding == 1);
    QImage image;
    if (header.bitsPerPixel == 8 && header.planes >= 3)
        image = readTrueColor(reader, header);
    else if (header.bitsPerPixel == 8)
        image = readIndexed(reader, header,
                            vgaPalette(vgaPaletteFollows ? data + headerSize + dataSize + 1 : nullptr));
    else
        image =
            readIndexed(reader, header, headerPalette(header, 1 << (header.bitsPerPixel * header.planes)));
    if (!image.isNull())
        setResolution(image, header);
    return image;
}

QByteArray PcxCodec::write(const QImage& image)
{
    if (image.isNull() || image.width() > largestSide || image.height() > largestSide)
        return {};
    switch (image.format()) {
    case QImage::Format_Indexed8:
        return writeIndexed(image);
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return writeIndexed(image.convertToFormat(QImage::Format_Indexed8));
    case QImage::Format_Grayscale8:
        return writeIndexed(image.convertToFormat(QImage::Format_Indexed8, vgaPalette(nullptr)));
    default:
        return writeTrueColor(image.convertToFormat(QImage::Format_RGB32));
    }
}

} // namespace pictures
