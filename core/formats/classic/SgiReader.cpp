#include <algorithm>
#include <vector>

#include "formats/classic/Sgi.h"
#include "io/ByteReader.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

constexpr std::string_view kNotSgi = "This is not an valid SGI Image!";

// One run-length row: a byte with bit 7 set copies the next (low 7 bits)
// bytes, otherwise the next byte is repeated; a count of 0 ends the row.
void DecodeRow(InputFile& file, uint8_t* row, int32_t width) {
    int32_t x = 0;
    while (x < width) {
        const int control = file.ReadByte();
        if (control <= 0) return;
        const int count = control & 0x7F;
        if (count == 0) return;
        if (control & 0x80) {
            for (int i = 0; i < count; ++i) {
                const int byte = file.ReadByte();
                if (byte < 0) return;
                if (x < width) row[x++] = static_cast<uint8_t>(byte);
            }
        } else {
            const int value = file.ReadByte();
            if (value < 0) return;
            for (int i = 0; i < count && x < width; ++i) row[x++] = static_cast<uint8_t>(value);
        }
    }
}

}  // namespace

Status ReadSgi(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail("Couldn't open File!");
    uint8_t bytes[512];
    ByteReader header(bytes, file.Read(bytes, sizeof bytes));
    const uint16_t magic = header.U16BE();
    const uint8_t storage = header.U8();
    const uint8_t bytesPerChannel = header.U8();
    header.U16BE();  // dimension
    const int32_t width = header.U16BE(), height = header.U16BE();
    const int32_t channels = std::max<int32_t>(header.U16BE(), 1);
    if (header.failed() || magic != 474) return Status::Fail(std::string(kNotSgi));
    if (bytesPerChannel == 2) return Status::Fail("Sorry, WORD Version currently not supported!");
    if (bytesPerChannel != 1 || width == 0 || height == 0 || channels > 4) return Status::Fail(std::string(kNotSgi));

    const int32_t used = channels >= 3 ? 3 : 1;
    CurrentImage& image = context.image;
    image.width = width, image.height = height, image.fileBitDepth = channels * 8;
    image.palette = used == 1 ? GrayRamp() : Palette256{};
    if (!context.canvas.Create(width, height, used == 1 ? 8 : 24, 0, image.palette)) {
        return Status::Fail("Not enough Memory!");
    }

    std::vector<uint32_t> starts;
    if (storage == 1) {
        const size_t entries = static_cast<size_t>(channels) * height;
        if (512 + entries * 8 > file.size()) return Status::Fail(std::string(kNotSgi));
        starts.resize(entries);
        for (uint32_t& start : starts) {
            uint8_t word[4];
            file.ReadExact(word, 4);
            start = (uint32_t{word[0]} << 24) | (word[1] << 16) | (word[2] << 8) | word[3];
        }
    }
    std::vector<uint8_t> row(static_cast<size_t>(width));
    for (int32_t channel = 0; channel < used; ++channel) {
        for (int32_t j = 0; j < height; ++j) {
            std::fill(row.begin(), row.end(), 0);
            const size_t index = static_cast<size_t>(channel) * height + j;
            if (storage == 1) {
                if (file.Seek(starts[index])) DecodeRow(file, row.data(), width);
            } else if (file.Seek(512 + index * width)) {
                file.Read(row.data(), row.size());
            }
            uint8_t* target = context.canvas.Row(j);
            if (used == 1) {
                std::copy(row.begin(), row.end(), target);
            } else {
                for (int32_t x = 0; x < width; ++x) target[x * 3 + 2 - channel] = row[x];
            }
            context.RowDone();
        }
    }
    return Status::Ok();
}

}  // namespace marbleye
