#include <algorithm>
#include <optional>
#include <vector>

#include "formats/bilevel/Bilevel.h"
#include "formats/bilevel/BilevelPalettes.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

constexpr const char* kLoadError = "Loaderror occured!";
constexpr uint32_t kLargestSide = 500;

// A multi-byte integer: seven bits a byte, the most significant group
// first, while bit 7 says another byte follows. Five bytes hold 32 bits;
// a longer one, or the end of the file, gives nothing.
std::optional<uint32_t> ReadMultiByte(InputFile& file) {
    uint64_t value = 0;
    for (int i = 0; i < 5; ++i) {
        const int byte = file.ReadByte();
        if (byte < 0) return std::nullopt;
        value = (value << 7) | (byte & 0x7F);
        if ((byte & 0x80) == 0) return value <= UINT32_MAX ? std::optional<uint32_t>(static_cast<uint32_t>(value)) : std::nullopt;
    }
    return std::nullopt;
}

// The extension headers announced by bit 7 of the fixed header byte. Bits
// 6 and 5 give their kind: 00 is a bit field of bytes continued by bit 7;
// 11 is a list of parameters, each a byte (bit 7: another follows; bits
// 6-4: the length of the name; bits 3-0: the length of the value) and then
// the name and the value. False at the end of the file or for the reserved
// kinds.
bool SkipExtensionHeaders(InputFile& file, uint8_t fixedHeader) {
    if ((fixedHeader & 0x80) == 0) return true;
    const int kind = (fixedHeader >> 5) & 3;
    if (kind == 0) {
        int byte;
        do byte = file.ReadByte();
        while (byte >= 0 && (byte & 0x80) != 0);
        return byte >= 0;
    }
    if (kind != 3) return false;
    int parameter;
    do {
        parameter = file.ReadByte();
        if (parameter < 0) return false;
        const uint64_t length = ((parameter >> 4) & 7) + (parameter & 0x0F);
        if (file.size() - file.Tell() < length) return false;
        file.Skip(length);
    } while ((parameter & 0x80) != 0);
    return true;
}

}  // namespace

Status ReadWbmp(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail("Unable to open file!");
    const auto type = ReadMultiByte(file);
    const int fixedHeader = file.ReadByte();
    if (!type || *type != 0 || fixedHeader < 0) return Status::Fail(kLoadError);
    if (!SkipExtensionHeaders(file, static_cast<uint8_t>(fixedHeader))) return Status::Fail(kLoadError);
    const auto width = ReadMultiByte(file);
    const auto height = ReadMultiByte(file);
    if (!width || !height || *width < 1 || *width > kLargestSide || *height < 1 || *height > kLargestSide) {
        return Status::Fail(kLoadError);
    }

    CurrentImage& image = context.image;
    image.width = static_cast<int32_t>(*width);
    image.height = static_cast<int32_t>(*height);
    image.fileBitDepth = 1;
    image.palette = BlackWhitePalette();  // a set bit is white
    if (!context.canvas.Create(image.width, image.height, 1, 0, image.palette)) return Status::Fail(kLoadError);

    // Rows of whole bytes from the top; a file that ends early shows the
    // rows it holds and the rest stays black.
    std::vector<uint8_t> row((*width + 7) / 8);
    for (int32_t y = 0; y < image.height; ++y) {
        if (!file.ReadExact(row.data(), row.size())) break;
        std::copy(row.begin(), row.end(), context.canvas.Row(image.height - 1 - y));
        context.RowDone();
    }
    return Status::Ok();
}

}  // namespace marbleye
