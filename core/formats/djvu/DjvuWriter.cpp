#include <algorithm>
#include <cmath>

#include "canvas/PixelLimits.h"
#include "canvas/TrueColourRows.h"
#include "formats/djvu/Djvu.h"
#include "formats/djvu/Iw44Encoder.h"
#include "io/OutputFile.h"

namespace marbleye {

namespace {

using djvu::Iw44Picture;

constexpr const char* kSaveMessage = "Unable to open file for Saving! Aborting...";
constexpr const char* kMemoryMessage = "Out of Memory!";
constexpr int32_t kLargestSide = 0xFFFF;
constexpr uint8_t kDjvuVersion = 24;
constexpr uint16_t kResolution = 100;
constexpr uint8_t kGammaTimesTen = 22;
constexpr uint8_t kUpright = 1;

int8_t Sample(double value) { return static_cast<int8_t>(std::clamp(std::lround(value), -128L, 127L)); }

bool AllGrey(const TrueColourRows& pixels) {
    for (int32_t y = 0; y < pixels.height(); ++y) {
        const uint8_t* pixel = pixels.Row(y);
        for (int32_t x = 0; x < pixels.width(); ++x, pixel += 3) {
            if (pixel[0] != pixel[1] || pixel[1] != pixel[2]) return false;
        }
    }
    return true;
}

// The decoder turns luminance Y and chroma Cb, Cr back into colour as
// R = Y + 3/2 Cr, G = Y - 1/4 Cb - 3/4 Cr, B = Y + 7/4 Cb; these are its
// inverse. A grey picture's one component counts down from white, as the
// format's grey pictures do. Rows go from the bottom, like the canvas's.
Iw44Picture Planes(const TrueColourRows& pixels) {
    Iw44Picture picture;
    picture.width = pixels.width();
    picture.height = pixels.height();
    const size_t count = static_cast<size_t>(picture.width) * picture.height;
    const bool grey = AllGrey(pixels);
    picture.luma.resize(count);
    if (!grey) {
        picture.blueChroma.resize(count);
        picture.redChroma.resize(count);
    }
    size_t at = 0;
    for (int32_t y = 0; y < picture.height; ++y) {
        const uint8_t* pixel = pixels.Row(y);
        for (int32_t x = 0; x < picture.width; ++x, pixel += 3, ++at) {
            const double blue = pixel[0], green = pixel[1], red = pixel[2];
            if (grey) {
                picture.luma[at] = static_cast<int8_t>(127 - pixel[1]);
                continue;
            }
            const double luma = (7 * red + 14 * green + 2 * blue) / 23;
            picture.luma[at] = Sample(luma - 128);
            picture.blueChroma[at] = Sample((blue - luma) * 4 / 7);
            picture.redChroma[at] = Sample((red - luma) * 2 / 3);
        }
    }
    return picture;
}

void Chunk(OutputFile& out, const char* id, const std::vector<uint8_t>& data) {
    out.Write(id, 4);
    out.U32BE(static_cast<uint32_t>(data.size()));
    out.Write(data.data(), data.size());
    if (data.size() & 1) out.U8(0);
}

std::vector<uint8_t> InfoChunk(int32_t width, int32_t height) {
    return {static_cast<uint8_t>(width >> 8),
            static_cast<uint8_t>(width),
            static_cast<uint8_t>(height >> 8),
            static_cast<uint8_t>(height),
            kDjvuVersion,
            0,
            static_cast<uint8_t>(kResolution & 0xFF),  // the resolution is little-endian
            static_cast<uint8_t>(kResolution >> 8),
            kGammaTimesTen,
            kUpright};
}

size_t ChunkLength(size_t dataLength) { return 8 + dataLength + (dataLength & 1); }

}  // namespace

Status WriteDjvu(const std::string& path, const ImageCanvas& canvas, Host& host) {
    const TrueColourRows pixels(canvas);
    if (pixels.empty()) return Status::Fail(kSaveMessage);
    if (pixels.width() > kLargestSide || pixels.height() > kLargestSide) return Status::Fail(kSaveMessage);
    if (!CheckedLayout(pixels.width(), pixels.height(), 24)) return Status::Fail(kMemoryMessage);
    const auto chunks = djvu::EncodeIw44(Planes(pixels), djvu::Iw44Options{}, host);
    if (!chunks) return Status::Fail(kMemoryMessage);

    const std::vector<uint8_t> info = InfoChunk(pixels.width(), pixels.height());
    size_t formLength = 4 + ChunkLength(info.size());
    for (const auto& chunk : *chunks) formLength += ChunkLength(chunk.size());

    OutputFile out;
    if (!out.Open(path)) return Status::Fail(kSaveMessage);
    out.Write("AT&TFORM", 8);
    out.U32BE(static_cast<uint32_t>(formLength));
    out.Write("DJVU", 4);
    Chunk(out, "INFO", info);
    for (const auto& chunk : *chunks) Chunk(out, "BG44", chunk);
    if (!out.Commit()) return Status::Fail(kSaveMessage);
    return Status::Ok();
}

}  // namespace marbleye
