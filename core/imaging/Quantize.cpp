#include "imaging/Quantize.h"

#include <algorithm>
#include <vector>

#include "common/Host.h"
#include "imaging/DitherTables.h"
#include "imaging/Histogram.h"
#include "imaging/NeuralQuantizer.h"

namespace marbleye {

namespace {

using quantize::Histogram;

Palette256 MakeDefaultPalette() {
    Palette256 palette{};
    size_t k = 0;
    const auto add = [&](int r, int g, int b) {
        palette[k * 3] = static_cast<uint8_t>(r), palette[k * 3 + 1] = static_cast<uint8_t>(g);
        palette[k * 3 + 2] = static_cast<uint8_t>(b);
        ++k;
    };
    const int first[16][3] = {{0, 0, 0},       {191, 0, 0},     {0, 191, 0},   {191, 191, 0},
                              {0, 0, 191},     {191, 0, 191},   {0, 191, 191}, {192, 192, 192},
                              {192, 220, 192}, {166, 202, 240}, {128, 0, 0},   {0, 128, 0},
                              {128, 128, 0},   {0, 0, 128},     {128, 0, 128}, {0, 128, 128}};
    for (const auto& c : first) add(c[0], c[1], c[2]);
    const int levels[6] = {0, 81, 133, 177, 217, 255};
    for (int b : levels) {
        for (int g : levels) {
            for (int r : levels) {
                if ((g == 0 && b == 0) || (r == 255 && g == 255 && b == 255)) continue;
                add(r, g, b);
            }
        }
    }
    for (int grey = 196; grey <= 253; grey += 3) add(grey, grey, grey);
    const int last[11][3] = {{155, 207, 207}, {255, 251, 240}, {160, 160, 164}, {128, 128, 128},
                             {255, 0, 0},     {0, 255, 0},     {255, 255, 0},   {0, 0, 255},
                             {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
    for (const auto& c : last) add(c[0], c[1], c[2]);
    return palette;
}

int ClampToByte(float v) { return static_cast<int>(std::clamp(v, 0.0f, 255.0f)); }

// One channel through the jitter dither; k is 0 for red, 1 green, 2 blue.
int JitterChannel(int v, int k, int c, int y) {
    if (v >= 248) return v;
    const quantize::JitterTables& t = quantize::Jitter();
    if (t.threshold[(c + t.index[(c + k) % 1024] + 4 * y) % 1024] >= v % 8) v += 8;
    const int w = v + t.offset[(y + t.index[(y + k) % 1024] + 4 * c) % 1024];
    if (w >= 0 && w <= 255) v = w;
    return v & ~7;
}

// Maps every pixel through pick(r, g, b) with the chosen dither. The ordered
// matrix is indexed by the column counted from the right, or from the left
// on the neural path.
template <typename Pick>
void MapRows(const PixelBuffer& in, PixelBuffer& out, const Palette256& palette, DitherType dither,
             bool orderedFromLeft, Pick pick, Host* host) {
    const int32_t width = in.width();
    std::vector<float> errorA, errorB;
    if (dither == DitherType::kSerpentine) {
        errorA.assign(static_cast<size_t>(width + 2) * 3, 0.0f);
        errorB.assign(static_cast<size_t>(width + 2) * 3, 0.0f);
    }
    std::vector<float>* current = &errorA;
    std::vector<float>* next = &errorB;
    for (int32_t y = 0; y < in.height(); ++y) {
        const uint8_t* row = in.Row(y);
        uint8_t* target = out.Row(y);
        if (dither == DitherType::kSerpentine) {
            const bool leftToRight = (y % 2) == 0;
            const int step = leftToRight ? 1 : -1;
            const int32_t firstX = leftToRight ? 0 : width - 1;
            float* here = current->data();
            float* below = next->data();
            for (int c = 0; c < 3; ++c) below[(firstX + 1) * 3 + c] = 0.0f;
            for (int32_t i = 0, x = firstX; i < width; ++i, x += step) {
                const size_t slot = static_cast<size_t>(x + 1) * 3;
                float value[3];
                int channel[3];
                for (int c = 0; c < 3; ++c) {  // red, green, blue
                    value[c] = std::clamp(row[x * 3 + 2 - c] + here[slot + c], 0.0f, 255.0f);
                    channel[c] = static_cast<int>(value[c]);
                }
                const uint8_t index = pick(channel[0], channel[1], channel[2]);
                target[x] = index;
                for (int c = 0; c < 3; ++c) {
                    const float error = (value[c] - palette[index * 3 + c]) / 16.0f;
                    here[slot + step * 3 + c] += 7 * error;
                    below[slot - step * 3 + c] += 3 * error;
                    below[slot + c] += 5 * error;
                    below[slot + step * 3 + c] = error;
                }
            }
            std::swap(current, next);
        } else {
            for (int32_t x = 0; x < width; ++x) {
                int r = row[x * 3 + 2], g = row[x * 3 + 1], b = row[x * 3];
                const int32_t c = width - 1 - x;
                if (dither == DitherType::kOrdered) {
                    const int t = 2 * (orderedFromLeft ? quantize::kOrderedMatrix[x % 4][y % 4]
                                                       : quantize::kOrderedMatrix[c % 4][y % 4]);
                    r = ClampToByte(static_cast<float>(r + t));
                    g = ClampToByte(static_cast<float>(g + t));
                    b = ClampToByte(static_cast<float>(b + t));
                } else if (dither == DitherType::kJitter) {
                    r = JitterChannel(r, 0, c, y);
                    g = JitterChannel(g, 1, c, y);
                    b = JitterChannel(b, 2, c, y);
                }
                target[x] = pick(r, g, b);
            }
        }
        if (host) host->PumpOneMessage();
    }
}

// The full search of the neural path's error diffusion: weighted distance,
// abandoning an entry once its partial sum is no better.
uint8_t WeightedSearch(const Palette256& palette, int r, int g, int b) {
    int best = 0, bestDistance = INT32_MAX;
    for (int i = 0; i < 256; ++i) {
        const int dr = palette[i * 3] - r, dg = palette[i * 3 + 1] - g, db = palette[i * 3 + 2] - b;
        int distance = 297 * dr * dr;
        if (distance >= bestDistance) continue;
        distance += 590 * dg * dg;
        if (distance >= bestDistance) continue;
        distance += 113 * db * db;
        if (distance >= bestDistance) continue;
        best = i, bestDistance = distance;
        if (distance == 0) break;
    }
    return static_cast<uint8_t>(best);
}

int SamplingFactor(PaletteMethod method) {
    switch (method) {
        case PaletteMethod::kNeuralBest: return 1;
        case PaletteMethod::kNeuralMedium: return 10;
        default: return 30;
    }
}

}  // namespace

const Palette256& DefaultPalette256() {
    static const Palette256 palette = MakeDefaultPalette();
    return palette;
}

PixelBuffer QuantizeToPalette(const PixelBuffer& pixels, PaletteMethod method, DitherType dither, Palette256& palette,
                              Host* host) {
    if (pixels.empty() || pixels.bitsPerPixel() != 24) return PixelBuffer();
    PixelBuffer indices = PixelBuffer::Allocate(pixels.width(), pixels.height(), 8);
    if (indices.empty()) return indices;

    if (method >= PaletteMethod::kNeuralBest) {
        quantize::NeuralQuantizer network(pixels.data(), pixels.byteCount(), SamplingFactor(method));
        network.Learn();
        network.Finish(palette);
        if (dither == DitherType::kSerpentine) {
            MapRows(pixels, indices, palette, dither, true,
                    [&](int r, int g, int b) { return WeightedSearch(palette, r, g, b); }, host);
        } else {
            const DitherType plain = dither == DitherType::kOrdered ? dither : DitherType::kNone;
            MapRows(pixels, indices, palette, plain, true,
                    [&](int r, int g, int b) { return network.Search(b, g, r); }, host);
        }
        return indices;
    }

    Histogram histogram;
    switch (method) {
        case PaletteMethod::kMedianCut:
            histogram.Count(pixels);
            quantize::MedianCut(histogram, palette);
            break;
        case PaletteMethod::kPopularitySort:
            histogram.Count(pixels);
            quantize::PopularitySort(histogram, palette);
            break;
        default: palette = DefaultPalette256(); break;
    }
    MapRows(pixels, indices, palette, dither, false,
            [&](int r, int g, int b) { return histogram.Lookup(r, g, b, palette); }, host);
    return indices;
}

PixelBuffer ReduceTo16Colours(const uint8_t* source, int32_t sourceBits, const PaletteBgr& sourcePalette, int32_t width,
                              int32_t height, Palette256& palette) {
    static constexpr uint8_t kColours[8][3] = {{0, 0, 0},     {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                               {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    for (int i = 0; i < 8; ++i) {
        for (int c = 0; c < 3; ++c) palette[i * 3 + c] = kColours[i][c];
    }
    PixelBuffer out = PixelBuffer::Allocate(width, height, 4);
    if (out.empty() || !source) return out;
    const size_t sourceStride = static_cast<size_t>(RowStride(width, sourceBits));
    for (int32_t stored = height - 1, y = 0; stored >= 0; --stored, ++y) {
        const uint8_t* row = source + static_cast<size_t>(stored) * sourceStride;
        uint8_t* target = out.Row(stored);
        for (int32_t x = 0; x < width; ++x) {
            int r, g, b;
            if (sourceBits == 24) {
                b = row[x * 3], g = row[x * 3 + 1], r = row[x * 3 + 2];
            } else {
                const int index = sourceBits == 8 ? row[x] : ((x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4));
                b = sourcePalette[index * 3], g = sourcePalette[index * 3 + 1], r = sourcePalette[index * 3 + 2];
            }
            const int threshold = 4 * quantize::kBayer8[y % 8][x % 8];
            const uint8_t index = static_cast<uint8_t>((r > threshold) | ((g > threshold) << 1) | ((b > threshold) << 2));
            target[x >> 1] |= (x & 1) ? index : static_cast<uint8_t>(index << 4);
        }
    }
    return out;
}

namespace {

constexpr int kHighColourMatrix[16] = {1, 15, 2, 12, 9, 5, 10, 7, 3, 13, 0, 14, 11, 7, 8, 4};

// The channel's step on a 5-6-5 display: 8 for blue and red, 4 for green.
int StepOf(int channel) { return channel == 1 ? 4 : 8; }

void OrderedHighColour(PixelBuffer& pixels) {
    for (int32_t y = 0; y < pixels.height(); ++y) {
        uint8_t* row = pixels.Row(y);
        for (int32_t x = 0; x < pixels.width(); ++x) {
            const int k = kHighColourMatrix[(y % 4) * 4 + ((3 * x) / 4) % 4];
            for (int c = 0; c < 3; ++c) {  // blue, green, red
                const int step = StepOf(c);
                const int threshold = step == 8 ? k >> 1 : k >> 2;
                const int v = row[x * 3 + c];
                if (v - (v & ~(step - 1)) > threshold) row[x * 3 + c] = static_cast<uint8_t>(std::min(v + step, 255));
            }
        }
    }
}

// Errors go 7/16 to the right and 3/16, 5/16, 1/16 to the row below, which
// starts cleared for every row.
void FloydSteinbergHighColour(PixelBuffer& pixels) {
    const int32_t width = pixels.width();
    std::vector<int> below(static_cast<size_t>(width + 2) * 3, 0), carried(below.size(), 0);
    for (int32_t y = 0; y < pixels.height(); ++y) {
        uint8_t* row = pixels.Row(y);
        std::fill(below.begin(), below.end(), 0);
        int right[3] = {0, 0, 0};
        for (int32_t x = 0; x < width; ++x) {
            const size_t slot = static_cast<size_t>(x + 1) * 3;
            for (int c = 0; c < 3; ++c) {
                const int step = StepOf(c);
                const int v = std::clamp(row[x * 3 + c] + right[c] + carried[slot + c], 0, 255);
                const int error = v - std::min((v + step / 2) & ~(step - 1), 256);
                right[c] = (7 * error + 8) >> 4;
                below[slot - 3 + c] += (3 * error + 8) >> 4;
                below[slot + c] += (5 * error + 8) >> 4;
                below[slot + 3 + c] += (error + 8) >> 4;
                row[x * 3 + c] = static_cast<uint8_t>(v < 256 - step / 2 ? v + step / 2 : v);
            }
        }
        std::swap(below, carried);
    }
}

}  // namespace

void DitherToHighColour(PixelBuffer& pixels, HighColourDither dither) {
    if (pixels.empty() || pixels.bitsPerPixel() != 24) return;
    if (dither == HighColourDither::kOrdered) OrderedHighColour(pixels);
    if (dither == HighColourDither::kFloydSteinberg) FloydSteinbergHighColour(pixels);
}

}  // namespace marbleye
