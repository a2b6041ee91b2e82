#include "imaging/ColourReduction.h"

#include <cstring>
#include <unordered_map>

#include "canvas/PixelConversion.h"

namespace marbleye {

namespace {

// Replaces the canvas with a reduced picture, keeping the old one on failure.
bool Replace(ImageCanvas& canvas, CurrentImage& image, const PixelBuffer& pixels, const Palette256& palette,
             int32_t fileBitDepth) {
    if (pixels.empty()) return false;
    if (!canvas.CreateFromBits(pixels.width(), pixels.height(), pixels.bitsPerPixel(), pixels.data(), palette)) {
        return false;
    }
    image.palette = palette;
    image.fileBitDepth = fileBitDepth;
    return true;
}

// The picture's own colours when it has at most 256 of them.
std::optional<IndexedPicture> ExactColours(const PixelBuffer& pixels) {
    IndexedPicture picture{PixelBuffer::Allocate(pixels.width(), pixels.height(), 8), {}};
    if (picture.indices.empty()) return std::nullopt;
    std::unordered_map<uint32_t, uint8_t> seen;
    for (int32_t y = 0; y < pixels.height(); ++y) {
        const uint8_t* row = pixels.Row(y);
        uint8_t* target = picture.indices.Row(y);
        for (int32_t x = 0; x < pixels.width(); ++x) {
            const uint32_t colour = row[x * 3] | (row[x * 3 + 1] << 8) | (row[x * 3 + 2] << 16);
            auto found = seen.find(colour);
            if (found == seen.end()) {
                if (seen.size() == 256) return std::nullopt;
                const uint8_t index = static_cast<uint8_t>(seen.size());
                found = seen.emplace(colour, index).first;
                picture.palette[index * 3] = row[x * 3 + 2];
                picture.palette[index * 3 + 1] = row[x * 3 + 1];
                picture.palette[index * 3 + 2] = row[x * 3];
            }
            target[x] = found->second;
        }
    }
    return picture;
}

}  // namespace

bool ConvertCanvasTo16Colours(ImageCanvas& canvas, CurrentImage& image) {
    Palette256 palette{};
    const int32_t depth = canvas.bitsPerPixel();
    PixelBuffer reduced;
    if (depth == 4 || depth == 8 || depth == 24) {
        reduced = ReduceTo16Colours(canvas.bits(), depth, canvas.palette(), canvas.width(), canvas.height(), palette);
    } else {
        const PixelBuffer copy = canvas.CopyBits(24);
        if (copy.empty()) return false;
        reduced = ReduceTo16Colours(copy.data(), 24, canvas.palette(), canvas.width(), canvas.height(), palette);
    }
    return Replace(canvas, image, reduced, palette, 4);
}

bool ConvertCanvasTo256Colours(ImageCanvas& canvas, CurrentImage& image, PaletteMethod method, DitherType dither,
                               Host* host) {
    const PixelBuffer copy = canvas.CopyBits(24);
    if (copy.empty()) return false;
    Palette256 palette{};
    const PixelBuffer indices = QuantizeToPalette(copy, method, dither, palette, host);
    return Replace(canvas, image, indices, palette, 8);
}

bool ConvertCanvasToHighColour(ImageCanvas& canvas, CurrentImage& image, HighColourDither dither) {
    PixelBuffer copy = canvas.CopyBits(24);
    if (copy.empty()) return false;
    DitherToHighColour(copy, dither);
    return Replace(canvas, image, copy, Palette256{}, 16);
}

void AdaptToDisplayDepth(ImageCanvas& canvas, CurrentImage& image, int32_t imageDepth, int32_t displayDepth,
                         const DisplayReduction& reduction, Host* host) {
    if (imageDepth < 9 || displayDepth >= imageDepth || !canvas.valid()) return;
    const int32_t storedDepth = image.fileBitDepth;
    switch (displayDepth) {
        case 4: ConvertCanvasTo16Colours(canvas, image); break;
        case 8: ConvertCanvasTo256Colours(canvas, image, reduction.method, reduction.dither, host); break;
        case 15:
        case 16: ConvertCanvasToHighColour(canvas, image, reduction.highColour); break;
        default: return;
    }
    image.fileBitDepth = storedDepth;  // the depth shown stays the file's
}

std::optional<IndexedPicture> IndexedForWriting(const ImageCanvas& canvas, PaletteMethod method, DitherType dither,
                                                Host* host) {
    if (!canvas.valid()) return std::nullopt;
    const int32_t depth = canvas.bitsPerPixel();
    if (depth <= 8) {
        IndexedPicture picture{PixelBuffer::Allocate(canvas.width(), canvas.height(), 8), ToRgb(canvas.palette())};
        if (picture.indices.empty()) return std::nullopt;
        for (int32_t y = 0; y < canvas.height(); ++y) {
            const uint8_t* row = canvas.Row(y);
            uint8_t* target = picture.indices.Row(y);
            for (int32_t x = 0; x < canvas.width(); ++x) {
                target[x] = depth == 8   ? row[x]
                            : depth == 4 ? ((x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4))
                                         : ((row[x >> 3] >> (7 - (x & 7))) & 1);
            }
        }
        return picture;
    }
    const PixelBuffer copy = canvas.CopyBits(24);
    if (copy.empty()) return std::nullopt;
    if (std::optional<IndexedPicture> exact = ExactColours(copy)) return exact;
    IndexedPicture picture;
    picture.indices = QuantizeToPalette(copy, method, dither, picture.palette, host);
    if (picture.indices.empty()) return std::nullopt;
    return picture;
}

}  // namespace marbleye
