#include <vector>

#include "canvas/TrueColourRows.h"
#include "formats/classic/Netpbm.h"
#include "io/OutputFile.h"

namespace marbleye {

namespace {

constexpr const char* kComments =
    "# This file was saved using Marbleye !\n"
    "# 2026 by the Marbleye developers\n"
    "# Marbleye - image viewer, thumbnail browser and converter\n";

// Writes the header and each row from the top, converted by toBytes.
template <typename RowBytes>
Status WriteRows(const std::string& path, const ImageCanvas& canvas, const char* magic, int channels,
                 std::string_view cannotOpen, Host& host, RowBytes toBytes) {
    const TrueColourRows pixels(canvas);
    if (pixels.empty()) return Status::Fail(std::string(cannotOpen));
    OutputFile out;
    if (!out.Open(path)) return Status::Fail(std::string(cannotOpen));
    const std::string header = std::string(magic) + "\n" + kComments + std::to_string(pixels.width()) + " " +
                               std::to_string(pixels.height()) + "\n255\n";
    out.Write(header.data(), header.size());
    std::vector<uint8_t> row(static_cast<size_t>(pixels.width()) * channels);
    ProgressScope progress(host, pixels.height());
    for (int32_t y = pixels.height() - 1; y >= 0; --y) {
        toBytes(pixels.Row(y), pixels.width(), row.data());
        out.Write(row.data(), row.size());
        progress.Step();
    }
    if (!out.Commit()) return Status::Fail(std::string(cannotOpen));
    return Status::Ok();
}

}  // namespace

Status WritePpm(const std::string& path, const ImageCanvas& canvas, Host& host) {
    return WriteRows(path, canvas, "P6", 3, "Couldn't open file to write PPM Data!", host,
                     [](const uint8_t* bgr, int32_t width, uint8_t* out) {
                         for (int32_t x = 0; x < width; ++x) {
                             out[x * 3] = bgr[x * 3 + 2], out[x * 3 + 1] = bgr[x * 3 + 1], out[x * 3 + 2] = bgr[x * 3];
                         }
                     });
}

// The weights in thousandths: exact for equal channels (white stays 255).
Status WritePgm(const std::string& path, const ImageCanvas& canvas, Host& host) {
    return WriteRows(path, canvas, "P5", 1, "Couldn't open file to write PGM Data!", host,
                     [](const uint8_t* bgr, int32_t width, uint8_t* out) {
                         for (int32_t x = 0; x < width; ++x) {
                             const int grey = (299 * bgr[x * 3 + 2] + 587 * bgr[x * 3 + 1] + 114 * bgr[x * 3]) / 1000;
                             out[x] = static_cast<uint8_t>(grey);
                         }
                     });
}

}  // namespace marbleye
