#include <cstring>
#include <vector>

#include "canvas/TrueColourRows.h"
#include "formats/alias/AliasPix.h"
#include "formats/alias/AliasPixLayout.h"
#include "io/OutputFile.h"

namespace marbleye {

namespace {

using namespace aliaspix;

constexpr const char* kSaveMessage = "Unable to open file for Saving! Aborting...";

// One row of blue, green, red pixels as runs of at most 255 equal pixels.
void EncodeRow(const uint8_t* row, int32_t width, std::vector<uint8_t>& out) {
    out.clear();
    for (int32_t x = 0; x < width;) {
        const uint8_t* pixel = row + static_cast<size_t>(x) * 3;
        int32_t count = 1;
        while (count < kLongestRun && x + count < width && std::memcmp(pixel, pixel + count * 3, 3) == 0) ++count;
        out.insert(out.end(), {static_cast<uint8_t>(count), pixel[0], pixel[1], pixel[2]});
        x += count;
    }
}

}  // namespace

// Sides past 16 bits cannot be stored in the header and are refused rather
// than written wrong.
Status WriteAliasPix(const std::string& path, const ImageCanvas& canvas, Host& host) {
    const TrueColourRows pixels(canvas);
    if (pixels.empty() || pixels.width() > kLargestSide || pixels.height() > kLargestSide) {
        return Status::Fail(kSaveMessage);
    }
    OutputFile out;
    if (!out.Open(path)) return Status::Fail(kSaveMessage);
    for (int32_t field : {pixels.width(), pixels.height(), 0, 0, int32_t{kColourBits}}) {
        out.U16BE(static_cast<uint16_t>(field));
    }
    std::vector<uint8_t> coded;
    coded.reserve(static_cast<size_t>(pixels.width()) * 4);
    ProgressScope progress(host, pixels.height());
    for (int32_t y = pixels.height() - 1; y >= 0; --y) {
        EncodeRow(pixels.Row(y), pixels.width(), coded);
        out.Write(coded.data(), coded.size());
        progress.Step();
    }
    if (!out.Commit()) return Status::Fail(kSaveMessage);
    return Status::Ok();
}

}  // namespace marbleye
