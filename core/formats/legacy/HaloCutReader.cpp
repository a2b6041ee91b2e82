#include <algorithm>
#include <cstring>
#include <vector>

#include "canvas/DeclaredSize.h"
#include "common/PathText.h"
#include "formats/legacy/Legacy.h"
#include "io/ByteReader.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

constexpr size_t kHeaderSize = 6;  // width, height, an unused word

// A row is its 16-bit byte count and codes; two bytes (a run code and its
// value) stand for at most 127 pixels.
constexpr uint64_t kCutRunExpansion = 64;

// The palette file: a 40-byte header, then 256 entries of three 16-bit
// values kept in 512-byte blocks that no entry straddles.
constexpr uint64_t kPaletteStart = 40;
constexpr uint64_t kPaletteBlock = 512;
constexpr uint64_t kPaletteEntryBytes = 6;

// The palette file beside the picture: the same name with the extension
// "pal", or "PAL" where names are case-sensitive.
bool OpenPaletteFile(const std::string& path, InputFile& file) {
    const size_t dot = path.size() - ExtensionAfterLastDot(path).size();
    const std::string stem = path.substr(0, dot);
    return file.Open(stem + "pal") || file.Open(stem + "PAL");
}

// The low byte of each red, green and blue value; entries the file does not
// reach stay black.
Palette256 ReadPaletteFile(InputFile& file) {
    Palette256 palette{};
    uint64_t position = kPaletteStart;
    for (size_t entry = 0; entry < 256; ++entry) {
        if (!file.Seek(position)) break;
        uint8_t bytes[kPaletteEntryBytes];
        if (!file.ReadExact(bytes, sizeof bytes)) break;
        ByteReader values(bytes, sizeof bytes);
        for (int c = 0; c < 3; ++c) palette[entry * 3 + c] = static_cast<uint8_t>(values.U16LE() & 0xFF);
        position += kPaletteEntryBytes;
        const uint64_t leftInBlock = kPaletteBlock - position % kPaletteBlock;
        if (leftInBlock < kPaletteEntryBytes) position += leftInBlock;
    }
    return palette;
}

// Decodes one row's codes into row; a code 0 (or 0x80, a run of nothing)
// ends the row early, and a run that would pass the row's end is cut there.
void DecodeRow(InputFile& file, uint8_t* row, size_t width) {
    size_t x = 0;
    while (x < width) {
        const int code = file.ReadByte();
        if (code <= 0 || code == 0x80) return;
        const size_t count = std::min<size_t>(code & 0x7F, width - x);
        if (code & 0x80) {
            const int value = file.ReadByte();
            if (value < 0) return;
            std::memset(row + x, value, count);
        } else {
            const size_t read = file.Read(row + x, count);
            if (read < count) return;
            file.Skip((code & 0x7F) - count);
        }
        x += count;
    }
}

}  // namespace

Status ReadHaloCut(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail("Couldn't open File!");
    uint8_t bytes[kHeaderSize];
    ByteReader header(bytes, file.Read(bytes, sizeof bytes));
    const uint16_t width = header.U16LE(), height = header.U16LE();
    header.U16LE();
    if (header.failed() || width == 0 || height == 0) return Status::Fail("Couldn't read Header!");

    CurrentImage& image = context.image;
    InputFile paletteFile;
    image.palette = OpenPaletteFile(path, paletteFile) ? ReadPaletteFile(paletteFile) : GrayRamp();
    image.width = width;
    image.height = height;
    image.fileBitDepth = 8;
    const uint64_t decoded = static_cast<uint64_t>(width) * height;
    if (!FileCanHold(decoded, file.size() - file.Tell(), kCutRunExpansion) ||
        !context.canvas.Create(width, height, 8, 0, image.palette)) {
        return Status::Fail("Couldn't read Header!");
    }

    // Each row starts where its byte count says, whatever its codes used.
    uint64_t rowStart = kHeaderSize;
    for (int32_t y = 0; y < height; ++y) {
        uint8_t count[2];
        if (!file.Seek(rowStart) || !file.ReadExact(count, sizeof count)) break;
        const uint64_t dataStart = rowStart + 2;
        DecodeRow(file, context.canvas.Row(height - 1 - y), width);
        context.RowDone();
        rowStart = dataStart + ByteReader(count, 2).U16LE();
    }
    return Status::Ok();
}

}  // namespace marbleye
