#include "PaletteFit.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <unordered_map>

namespace marbleye::artwork {

namespace {

struct Counted {
    Rgb colour;
    int count;
};

uint32_t Key(Rgb colour) { return uint32_t(colour.r) << 16 | uint32_t(colour.g) << 8 | colour.b; }

uint8_t Component(Rgb colour, int channel) { return channel == 0 ? colour.r : channel == 1 ? colour.g : colour.b; }

// A box of the median cut: a run of the colour list, its squared error (the
// count-weighted squared distances from its mean) and the channel along which
// that error is largest.
struct Box {
    size_t begin, end;
    double error = 0;
    int channel = 0;
};

Box Measured(const std::vector<Counted>& colours, size_t begin, size_t end) {
    Box box{begin, end};
    double widest = -1;
    for (int channel = 0; channel < 3; ++channel) {
        double count = 0, sum = 0, squares = 0;
        for (size_t i = begin; i < end; ++i) {
            const double v = Component(colours[i].colour, channel);
            count += colours[i].count, sum += v * colours[i].count, squares += v * v * colours[i].count;
        }
        const double error = squares - sum * sum / count;
        box.error += error;
        if (error > widest) widest = error, box.channel = channel;
    }
    return box;
}

// Sorts the box along its channel and cuts it where half its pixels lie on
// either side, leaving at least one colour in each half.
std::pair<Box, Box> Split(std::vector<Counted>& colours, const Box& box) {
    std::sort(colours.begin() + box.begin, colours.begin() + box.end, [&](const Counted& a, const Counted& b) {
        return Component(a.colour, box.channel) < Component(b.colour, box.channel);
    });
    long total = 0;
    for (size_t i = box.begin; i < box.end; ++i) total += colours[i].count;
    size_t cut = box.begin + 1;
    for (long below = colours[box.begin].count; cut < box.end - 1 && below * 2 < total; ++cut) below += colours[cut].count;
    return {Measured(colours, box.begin, cut), Measured(colours, cut, box.end)};
}

Rgb MeanOf(const std::vector<Counted>& colours, const Box& box, const std::vector<Rgb>& exact) {
    double count = 0, r = 0, g = 0, b = 0;
    for (size_t i = box.begin; i < box.end; ++i) {
        const Counted& c = colours[i];
        count += c.count, r += c.colour.r * c.count, g += c.colour.g * c.count, b += c.colour.b * c.count;
    }
    Rgb mean{uint8_t(std::lround(r / count)), uint8_t(std::lround(g / count)), uint8_t(std::lround(b / count))};
    if (std::find(exact.begin(), exact.end(), mean) != exact.end()) mean.b = mean.b == 255 ? 254 : mean.b + 1;
    assert(std::find(exact.begin(), exact.end(), mean) == exact.end());
    return mean;
}

}  // namespace

std::vector<Rgb> AtMost256Colours(const std::vector<Rgb>& pixels, const std::vector<Rgb>& exact) {
    std::unordered_map<uint32_t, int> counts;
    for (const Rgb& p : pixels) ++counts[Key(p)];
    if (counts.size() <= 256) return pixels;

    std::vector<Counted> colours;
    size_t exactPresent = 0;
    for (const auto& [key, count] : counts) {
        const Rgb colour{uint8_t(key >> 16), uint8_t(key >> 8), uint8_t(key)};
        if (std::find(exact.begin(), exact.end(), colour) != exact.end()) {
            ++exactPresent;
        } else {
            colours.push_back(Counted{colour, count});
        }
    }
    std::vector<Box> boxes{Measured(colours, 0, colours.size())};
    while (boxes.size() < 256 - exactPresent) {
        const auto widest = std::max_element(boxes.begin(), boxes.end(),
                                             [](const Box& a, const Box& b) { return a.error < b.error; });
        if (widest->error <= 0) break;
        const auto [low, high] = Split(colours, *widest);
        *widest = low;
        boxes.push_back(high);
    }

    std::unordered_map<uint32_t, Rgb> replacement;
    for (const Box& box : boxes) {
        const Rgb mean = MeanOf(colours, box, exact);
        for (size_t i = box.begin; i < box.end; ++i) replacement[Key(colours[i].colour)] = mean;
    }
    std::vector<Rgb> reduced = pixels;
    for (Rgb& p : reduced) {
        const auto found = replacement.find(Key(p));
        if (found != replacement.end()) p = found->second;
    }
    return reduced;
}

}  // namespace marbleye::artwork
