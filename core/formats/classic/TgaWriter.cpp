#include <vector>

#include "canvas/TrueColourRows.h"
#include "formats/classic/Tga.h"
#include "io/OutputFile.h"

namespace marbleye {

namespace {

// One row as packets: runs of 2 to 128 equal pixels, and raw groups of up to
// 128 pixels between them. Packets never cross rows.
void WriteRunLengthRow(const uint8_t* row, int32_t width, OutputFile& out) {
    const auto same = [row](int32_t a, int32_t b) {
        return row[a * 3] == row[b * 3] && row[a * 3 + 1] == row[b * 3 + 1] && row[a * 3 + 2] == row[b * 3 + 2];
    };
    int32_t x = 0;
    while (x < width) {
        int32_t run = 1;
        while (x + run < width && run < 128 && same(x, x + run)) ++run;
        if (run >= 2) {
            out.U8(static_cast<uint8_t>((run - 1) | 0x80));
            out.Write(row + x * 3, 3);
            x += run;
            continue;
        }
        int32_t raw = 1;
        while (x + raw < width && raw < 128 && !(x + raw + 1 < width && same(x + raw, x + raw + 1))) ++raw;
        out.U8(static_cast<uint8_t>(raw - 1));
        out.Write(row + x * 3, static_cast<size_t>(raw) * 3);
        x += raw;
    }
}

}  // namespace

Status WriteTga(const std::string& path, const ImageCanvas& canvas, const TgaWriteOptions& options, Host& host) {
    const TrueColourRows pixels(canvas);
    if (pixels.empty()) return Status::Fail("Couldn't open file to write TGA Data!");
    OutputFile out;
    if (!out.Open(path)) return Status::Fail("Couldn't open file to write TGA Data!");
    const uint8_t header[12] = {0, 0, static_cast<uint8_t>(options.runLength ? 10 : 2), 0, 0, 0, 0, 0, 0, 0, 0, 0};
    out.Write(header, sizeof header);
    out.U16LE(static_cast<uint16_t>(pixels.width()));
    out.U16LE(static_cast<uint16_t>(pixels.height()));
    out.U8(24);
    out.U8(options.topDown ? 0x20 : 0);
    ProgressScope progress(host, pixels.height());
    for (int32_t i = 0; i < pixels.height(); ++i) {
        const uint8_t* row = pixels.Row(options.topDown ? pixels.height() - 1 - i : i);
        if (options.runLength) WriteRunLengthRow(row, pixels.width(), out);
        else out.Write(row, static_cast<size_t>(pixels.width()) * 3);
        progress.Step();
    }
    if (!out.Commit()) return Status::Fail("Couldn't open file to write TGA Data!");
    return Status::Ok();
}

}  // namespace marbleye
