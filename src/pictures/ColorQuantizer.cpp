#include "ColorQuantizer.h"

#include <algorithm>
#include <array>
#include <limits>
#include <QHash>
#include <vector>

namespace pictures {

namespace {

constexpr int channelBits = 6;
constexpr int channelLevels = 1 << channelBits;
constexpr int binCount = channelLevels * channelLevels * channelLevels;
constexpr int unmapped = -1;

int binOf(QRgb color)
{
    constexpr int drop = 8 - channelBits;
    return ((qRed(color) >> drop) << (2 * channelBits)) | ((qGreen(color) >> drop) << channelBits) |
           (qBlue(color) >> drop);
}

int channelOfBin(int bin, int channel)
{
    return (bin >> (channelBits * (2 - channel))) & (channelLevels - 1);
}

struct Bin
{
    quint64 count = 0;
    std::array<quint64, 3> sums{};
};

// A run of the sorted bin list and the extent of its colours.
struct Box
{
    int begin = 0;
    int end = 0;
    quint64 population = 0;
    std::array<int, 3> low{};
    std::array<int, 3> high{};

    int longestChannel() const
    {
        int best = 0;
        for (int channel = 1; channel < 3; ++channel)
            if (high[channel] - low[channel] > high[best] - low[best])
                best = channel;
        return best;
    }
    int longestSide() const { return high[longestChannel()] - low[longestChannel()]; }
    bool splittable() const { return end - begin > 1; }
};

Box makeBox(const std::vector<int>& bins, const std::vector<Bin>& histogram, int begin, int end)
{
    Box box{begin, end, 0, {channelLevels, channelLevels, channelLevels}, {-1, -1, -1}};
    for (int i = begin; i < end; ++i) {
        box.population += histogram[bins[i]].count;
        for (int channel = 0; channel < 3; ++channel) {
            const int level = channelOfBin(bins[i], channel);
            box.low[channel] = std::min(box.low[channel], level);
            box.high[channel] = std::max(box.high[channel], level);
        }
    }
    return box;
}

// Exact palette when the picture has few enough colours; empty otherwise.
QList<QRgb> exactPalette(const QImage& image, int maxColors)
{
    QHash<QRgb, int> seen;
    QList<QRgb> palette;
    QRgb last = 0;
    bool haveLast = false;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb color = line[x] | 0xFF000000;
            if (haveLast && color == last)
                continue;
            last = color;
            haveLast = true;
            if (seen.contains(color))
                continue;
            if (palette.size() == maxColors)
                return {};
            seen.insert(color, static_cast<int>(palette.size()));
            palette.append(color);
        }
    }
    return palette;
}

QImage mapExactly(const QImage& image, const QList<QRgb>& palette)
{
    QHash<QRgb, int> indexOf;
    for (int i = 0; i < palette.size(); ++i)
        indexOf.insert(palette[i], i);
    QImage indexed(image.size(), QImage::Format_Indexed8);
    indexed.setColorTable(palette);
    for (int y = 0; y < image.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* out = indexed.scanLine(y);
        for (int x = 0; x < image.width(); ++x)
            out[x] = static_cast<uchar>(indexOf.value(in[x] | 0xFF000000));
    }
    return indexed;
}

int nearestEntry(const QList<QRgb>& palette, int red, int green, int blue)
{
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < palette.size(); ++i) {
        const int dr = qRed(palette[i]) - red;
        const int dg = qGreen(palette[i]) - green;
        const int db = qBlue(palette[i]) - blue;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

} // namespace

ColorQuantizer::ColorQuantizer(int maxColors) : m_maxColors(std::clamp(maxColors, 2, 256)) {}

QImage ColorQuantizer::toIndexed(const QImage& source) const
{
    if (source.isNull())
        return {};
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const QList<QRgb> exact = exactPalette(image, m_maxColors);
    if (!exact.isEmpty())
        return mapExactly(image, exact);

    std::vector<Bin> histogram(binCount);
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            Bin& bin = histogram[static_cast<std::size_t>(binOf(line[x]))];
            ++bin.count;
            bin.sums[0] += static_cast<quint64>(qRed(line[x]));
            bin.sums[1] += static_cast<quint64>(qGreen(line[x]));
            bin.sums[2] += static_cast<quint64>(qBlue(line[x]));
        }
    }
    std::vector<int> bins;
    for (int bin = 0; bin < binCount; ++bin)
        if (histogram[static_cast<std::size_t>(bin)].count > 0)
            bins.push_back(bin);

    // Split, again and again, the box whose longest side weighs most by its population.
    std::vector<Box> boxes{makeBox(bins, histogram, 0, static_cast<int>(bins.size()))};
    while (static_cast<int>(boxes.size()) < m_maxColors) {
        auto chosen = boxes.end();
        quint64 chosenWeight = 0;
        for (auto box = boxes.begin(); box != boxes.end(); ++box) {
            const quint64 weight = box->population * static_cast<quint64>(box->longestSide());
            if (box->splittable() && (chosen == boxes.end() || weight > chosenWeight)) {
                chosen = box;
                chosenWeight = weight;
            }
        }
        if (chosen == boxes.end())
            break;
        const Box box = *chosen;
        const int channel = box.longestChannel();
        std::sort(bins.begin() + box.begin, bins.begin() + box.end,
                  [channel](int a, int b) { return channelOfBin(a, channel) < channelOfBin(b, channel); });
        quint64 running = 0;
        int split = box.begin + 1;
        for (int i = box.begin; i < box.end - 1; ++i) {
            running += histogram[static_cast<std::size_t>(bins[static_cast<std::size_t>(i)])].count;
            split = i + 1;
            if (running * 2 >= box.population)
                break;
        }
        *chosen = makeBox(bins, histogram, box.begin, split);
        boxes.push_back(makeBox(bins, histogram, split, box.end));
    }

    QList<QRgb> palette;
    for (const Box& box : boxes) {
        std::array<quint64, 3> sums{};
        for (int i = box.begin; i < box.end; ++i)
            for (int channel = 0; channel < 3; ++channel)
                sums[channel] +=
                    histogram[static_cast<std::size_t>(bins[static_cast<std::size_t>(i)])].sums[channel];
        const auto mean = [&](int channel) {
            return static_cast<int>((sums[channel] + box.population / 2) / box.population);
        };
        palette.append(qRgb(mean(0), mean(1), mean(2)));
    }

    // Each bin maps to the entry nearest to the mean of its own colours, found the first time it is met.
    std::vector<int> entryOfBin(binCount, unmapped);
    QImage indexed(image.size(), QImage::Format_Indexed8);
    indexed.setColorTable(palette);
    for (int y = 0; y < image.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* out = indexed.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            const auto bin = static_cast<std::size_t>(binOf(in[x]));
            int& entry = entryOfBin[bin];
            if (entry == unmapped) {
                const Bin& counts = histogram[bin];
                const auto mean = [&](int channel) {
                    return static_cast<int>(
                        (counts.sums[static_cast<std::size_t>(channel)] + counts.count / 2) / counts.count);
                };
                entry = nearestEntry(palette, mean(0), mean(1), mean(2));
            }
            out[x] = static_cast<uchar>(entry);
        }
    }
    return indexed;
}

} // namespace pictures
