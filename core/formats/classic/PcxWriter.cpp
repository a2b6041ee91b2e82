#include <vector>

#include "canvas/TrueColourRows.h"
#include "formats/classic/Pcx.h"
#include "imaging/ColourReduction.h"
#include "io/OutputFile.h"

namespace marbleye {

namespace {

constexpr std::string_view kCannotCreate = "PCX Can't open file for saving!";

// Runs of up to 63 equal bytes; a single byte below 192 stands for itself.
void WriteRunLengthLine(const uint8_t* line, size_t length, OutputFile& out) {
    size_t at = 0;
    while (at < length) {
        size_t run = 1;
        while (at + run < length && run < 63 && line[at + run] == line[at]) ++run;
        if (run == 1 && line[at] < 192) {
            out.U8(line[at]);
        } else {
            out.U8(static_cast<uint8_t>(0xC0 | run));
            out.U8(line[at]);
        }
        at += run;
    }
}

void WriteHeader(OutputFile& out, int32_t width, int32_t height, int planes) {
    uint8_t header[128] = {};
    header[0] = 10, header[1] = 5, header[2] = 1, header[3] = 8;
    header[8] = static_cast<uint8_t>((width - 1) & 0xFF), header[9] = static_cast<uint8_t>((width - 1) >> 8);
    header[10] = static_cast<uint8_t>((height - 1) & 0xFF), header[11] = static_cast<uint8_t>((height - 1) >> 8);
    header[12] = 300 & 0xFF, header[13] = 300 >> 8, header[14] = 300 & 0xFF, header[15] = 300 >> 8;
    header[65] = static_cast<uint8_t>(planes);
    header[66] = static_cast<uint8_t>(width & 0xFF), header[67] = static_cast<uint8_t>(width >> 8);
    header[68] = 1;
    out.Write(header, sizeof header);
}

}  // namespace

Status WritePcx(const std::string& path, const ImageCanvas& canvas, int32_t fileBitDepth, Host& host) {
    if (!canvas.valid()) return Status::Fail(std::string(kCannotCreate));
    const int32_t width = canvas.width(), height = canvas.height();
    OutputFile out;
    if (!out.Open(path)) return Status::Fail(std::string(kCannotCreate));
    ProgressScope progress(host, height);
    if (fileBitDepth <= 8) {
        const std::optional<IndexedPicture> picture =
            IndexedForWriting(canvas, PaletteMethod::kMedianCut, DitherType::kNone);
        if (!picture) return Status::Fail(std::string(kCannotCreate));
        WriteHeader(out, width, height, 1);
        for (int32_t y = height - 1; y >= 0; --y) {
            WriteRunLengthLine(picture->indices.Row(y), static_cast<size_t>(width), out);
            progress.Step();
        }
        out.U8(12);
        out.Write(picture->palette.data(), picture->palette.size());
    } else {
        const TrueColourRows pixels(canvas);
        if (pixels.empty()) return Status::Fail(std::string(kCannotCreate));
        WriteHeader(out, width, height, 3);
        std::vector<uint8_t> plane(static_cast<size_t>(width));
        for (int32_t y = height - 1; y >= 0; --y) {
            for (int channel = 2; channel >= 0; --channel) {  // red, green, blue
                for (int32_t x = 0; x < width; ++x) plane[x] = pixels.Row(y)[x * 3 + channel];
                WriteRunLengthLine(plane.data(), plane.size(), out);
            }
            progress.Step();
        }
    }
    if (!out.Commit()) return Status::Fail(std::string(kCannotCreate));
    return Status::Ok();
}

}  // namespace marbleye
