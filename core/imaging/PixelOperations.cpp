#include "imaging/PixelOperations.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <utility>

#include "canvas/PixelConversion.h"
#include "canvas/TrueColourRows.h"
#include "imaging/Quantize.h"

namespace marbleye {

namespace {

const char kNoMemory[] = "Getting Memory returned NULL! Aborting...";

// Bits of one row that hold pixels, as whole bytes and the bits of the byte
// after them (1- and 4-bit rows can end inside a byte).
struct PixelBits {
    int64_t wholeBytes;
    int32_t lastBits;
};

PixelBits PixelBitsOf(const ImageCanvas& canvas) {
    const int64_t bits = static_cast<int64_t>(canvas.width()) * canvas.bitsPerPixel();
    return {bits / 8, static_cast<int32_t>(bits % 8)};
}

// The high bits of a byte: where its first pixels lie.
uint8_t HighBits(int32_t count) { return static_cast<uint8_t>(0xFF00 >> count); }

void MirrorRows24(uint8_t* bits, int32_t stride, int32_t width, int32_t height) {
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = bits + static_cast<size_t>(y) * stride;
        for (int32_t left = 0, right = width - 1; left < right; ++left, --right) {
            std::swap_ranges(row + left * 3, row + left * 3 + 3, row + right * 3);
        }
    }
}

// Where a pixel at column x of stored row y lands in the turned picture.
struct TurnedPosition {
    int32_t column;
    int32_t row;
};

template <typename Turn>
Status Rotate(ImageCanvas& canvas, Turn turn) {
    const Palette256 palette = ToRgb(canvas.palette());
    PixelBuffer turned;
    {
        const TrueColourRows source(canvas);
        if (source.empty()) return Status::Fail(kNoMemory);
        const int32_t width = source.width(), height = source.height();
        turned = PixelBuffer::Allocate(height, width, 24);
        if (turned.empty()) return Status::Fail(kNoMemory);
        for (int32_t y = 0; y < height; ++y) {
            const uint8_t* from = source.Row(y);
            for (int32_t x = 0; x < width; ++x, from += 3) {
                const TurnedPosition to = turn(x, y, width, height);
                std::copy_n(from, 3, turned.Row(to.row) + to.column * 3);
            }
        }
    }
    if (!canvas.CreateFromBits(turned.width(), turned.height(), 24, turned.data(), palette)) {
        return Status::Fail(kNoMemory);
    }
    return Status::Ok();
}

// The weights are single-precision constants and the sum is taken in
// extended precision, so that gray values match to the last truncation.
uint8_t GrayOf(uint8_t blue, uint8_t green, uint8_t red) {
    constexpr float kBlue = 0.114f, kRed = 0.299f, kGreen = 0.587f;
    const long double gray = static_cast<long double>(kBlue) * blue + static_cast<long double>(kRed) * red +
                             static_cast<long double>(kGreen) * green;
    return static_cast<uint8_t>(gray);
}

// A paletted pixel's new colour depends on its index alone, so each palette
// entry goes through the operation and the nearest-entry search once, and
// the indices are remapped through a table of whole bytes.
template <typename PixelOp>
void ApplyToPalette(ImageCanvas& canvas, PixelOp op) {
    const int32_t depth = canvas.bitsPerPixel();
    const int32_t entries = 1 << depth;
    NearestPaletteIndex nearest(canvas.palette(), entries);
    std::array<uint8_t, 256> newIndex{};
    for (int32_t i = 0; i < entries; ++i) {
        const uint8_t* entry = canvas.palette().data() + i * 3;
        uint8_t pixel[4] = {entry[0], entry[1], entry[2], 0};
        op(pixel);
        newIndex[i] = nearest(pixel[0], pixel[1], pixel[2]);
    }
    std::array<uint8_t, 256> newByte{};
    const uint8_t mask = static_cast<uint8_t>(entries - 1);
    for (int32_t value = 0; value < 256; ++value) {
        for (int32_t shift = 8 - depth; shift >= 0; shift -= depth) {
            newByte[value] |= static_cast<uint8_t>(newIndex[(value >> shift) & mask] << shift);
        }
    }
    const PixelBits pixelBits = PixelBitsOf(canvas);
    const uint8_t lastMask = HighBits(pixelBits.lastBits);
    for (int32_t y = 0; y < canvas.height(); ++y) {
        uint8_t* row = canvas.Row(y);
        for (int64_t i = 0; i < pixelBits.wholeBytes; ++i) row[i] = newByte[row[i]];
        if (pixelBits.lastBits) {
            uint8_t& last = row[pixelBits.wholeBytes];
            last = static_cast<uint8_t>((newByte[last] & lastMask) | (last & ~lastMask));
        }
    }
}

// Runs op on every pixel as a 32-bit pixel (blue, green, red, fourth byte).
// 24- and 32-bit canvases are changed in their own rows; a 24-bit pixel reads
// with a fourth byte of 0, which is then dropped.
template <typename PixelOp>
bool ApplyToPixels(ImageCanvas& canvas, PixelOp op) {
    if (!canvas.valid()) return false;
    const int32_t width = canvas.width();
    switch (canvas.bitsPerPixel()) {
        case 32:
            for (int32_t y = 0; y < canvas.height(); ++y) {
                uint8_t* pixel = canvas.Row(y);
                for (int32_t x = 0; x < width; ++x, pixel += 4) op(pixel);
            }
            break;
        case 24:
            for (int32_t y = 0; y < canvas.height(); ++y) {
                uint8_t* pixel = canvas.Row(y);
                for (int32_t x = 0; x < width; ++x, pixel += 3) {
                    uint8_t wide[4] = {pixel[0], pixel[1], pixel[2], 0};
                    op(wide);
                    pixel[0] = wide[0], pixel[1] = wide[1], pixel[2] = wide[2];
                }
            }
            break;
        default: ApplyToPalette(canvas, op);
    }
    return true;
}

// Byte of each colour in a pixel.
constexpr int kBlueByte = 0, kGreenByte = 1, kRedByte = 2, kFourthByte = 3;

int ByteOf(ColourChannel channel) {
    switch (channel) {
        case ColourChannel::kRed: return kRedByte;
        case ColourChannel::kGreen: return kGreenByte;
        case ColourChannel::kBlue: return kBlueByte;
    }
    assert(false);
    return kRedByte;
}

std::pair<int, int> BytesOf(ChannelSwap which) {
    switch (which) {
        case ChannelSwap::kRedBlue: return {kRedByte, kBlueByte};
        case ChannelSwap::kRedGreen: return {kRedByte, kGreenByte};
        case ChannelSwap::kGreenBlue: return {kGreenByte, kBlueByte};
    }
    assert(false);
    return {kRedByte, kBlueByte};
}

}  // namespace

bool FlipImage(ImageCanvas& canvas) { return canvas.FlipRows(); }

Status MirrorImage(ImageCanvas& canvas) {
    // A 24-bit canvas comes back from the copy unchanged, so it is mirrored
    // where it lies.
    if (canvas.bitsPerPixel() == 24) {
        MirrorRows24(canvas.bits(), canvas.stride(), canvas.width(), canvas.height());
        return Status::Ok();
    }
    PixelBuffer copy = canvas.CopyBits(24);
    if (copy.empty()) return Status::Fail(kNoMemory);
    MirrorRows24(copy.data(), copy.stride(), copy.width(), copy.height());
    canvas.PutBits(24, copy.data());
    return Status::Ok();
}

Status RotateLeft(ImageCanvas& canvas) {
    return Rotate(canvas, [](int32_t x, int32_t y, int32_t, int32_t height) {
        return TurnedPosition{height - 1 - y, x};
    });
}

Status RotateRight(ImageCanvas& canvas) {
    return Rotate(canvas, [](int32_t x, int32_t y, int32_t width, int32_t) {
        return TurnedPosition{y, width - 1 - x};
    });
}

void GrayPixels(PixelBuffer& pixels) {
    assert(pixels.bitsPerPixel() == 24);
    for (int32_t y = 0; y < pixels.height(); ++y) {
        uint8_t* pixel = pixels.Row(y);
        for (int32_t x = 0; x < pixels.width(); ++x, pixel += 3) {
            pixel[0] = pixel[1] = pixel[2] = GrayOf(pixel[0], pixel[1], pixel[2]);
        }
    }
}

Status GrayscaleImage(ImageCanvas& canvas, CurrentImage& image, Host* host) {
    PixelBuffer copy = canvas.CopyBits(24);
    if (copy.empty()) return Status::Fail(kNoMemory);
    GrayPixels(copy);
    Palette256 palette{};
    const PixelBuffer indices =
        QuantizeToPalette(copy, PaletteMethod::kMedianCut, DitherType::kSerpentine, palette, host);
    if (indices.empty()) return Status::Fail(kNoMemory);
    if (!canvas.CreateFromBits(indices.width(), indices.height(), 8, indices.data(), palette)) {
        return Status::Fail(kNoMemory);
    }
    image.palette = palette;
    image.fileBitDepth = 8;
    return Status::Ok();
}

bool InvertImage(ImageCanvas& canvas) {
    if (!canvas.valid()) return false;
    const PixelBits pixelBits = PixelBitsOf(canvas);
    for (int32_t y = 0; y < canvas.height(); ++y) {
        uint8_t* row = canvas.Row(y);
        for (int64_t i = 0; i < pixelBits.wholeBytes; ++i) row[i] = static_cast<uint8_t>(~row[i]);
        if (pixelBits.lastBits) row[pixelBits.wholeBytes] ^= HighBits(pixelBits.lastBits);
    }
    return true;
}

bool KeepChannel(ImageCanvas& canvas, ColourChannel channel) {
    const int kept = ByteOf(channel);
    return ApplyToPixels(canvas, [kept](uint8_t* pixel) {
        for (int i : {kBlueByte, kGreenByte, kRedByte}) {
            if (i != kept) pixel[i] = 0;
        }
    });
}

bool ShowAlpha(ImageCanvas& canvas, bool onlyWhereAlpha) {
    return ApplyToPixels(canvas, [onlyWhereAlpha](uint8_t* pixel) {
        if (onlyWhereAlpha && pixel[kFourthByte] == 0) return;
        pixel[kBlueByte] = pixel[kGreenByte] = pixel[kRedByte] = pixel[kFourthByte];
    });
}

bool SwapChannels(ImageCanvas& canvas, ChannelSwap which) {
    const std::pair<int, int> bytes = BytesOf(which);
    return ApplyToPixels(canvas, [bytes](uint8_t* pixel) { std::swap(pixel[bytes.first], pixel[bytes.second]); });
}

}  // namespace marbleye
