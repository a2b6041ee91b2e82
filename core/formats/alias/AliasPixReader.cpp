#include <algorithm>
#include <cstring>

#include "canvas/DeclaredSize.h"
#include "formats/alias/AliasPix.h"
#include "formats/alias/AliasPixLayout.h"
#include "io/ByteReader.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

using namespace aliaspix;

// A run of two bytes stands for up to 255 grey pixels, one of four bytes
// for up to 255 pixels of three bytes.
constexpr uint64_t kGreyRunExpansion = (kLongestRun + 1) / 2;
constexpr uint64_t kColourRunExpansion = (kLongestRun * 3 + 3) / 4;

constexpr const char* kSizeMessage = "Invalid Imagesize!";

struct PixHeader {
    uint16_t width = 0, height = 0, bits = 0;
};

Status ReadHeader(InputFile& file, PixHeader& header) {
    uint8_t bytes[kHeaderBytes];
    ByteReader fields(bytes, file.Read(bytes, sizeof bytes));
    header.width = fields.U16BE(), header.height = fields.U16BE();
    fields.U16BE(), fields.U16BE();  // the picture's offsets on the screen
    header.bits = fields.U16BE();
    if (fields.failed()) return Status::Fail(kSizeMessage);
    if (header.bits != kGreyBits && header.bits != kColourBits) return Status::Fail("Unsupported Bitdepth!");
    if (header.width == 0 || header.height == 0) return Status::Fail(kSizeMessage);
    return Status::Ok();
}

// Decodes the rows into the canvas, top row first; a run longer than what
// is left of its row ends there. A file that ends early leaves the rest of
// the picture black.
void DecodeRows(InputFile& file, const PixHeader& header, LoadContext& context) {
    const int32_t width = header.width, height = header.height;
    const int32_t pixelBytes = header.bits / 8;
    uint8_t run[4];
    const size_t runBytes = 1 + static_cast<size_t>(pixelBytes);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = context.canvas.Row(height - 1 - y);
        for (int32_t x = 0; x < width;) {
            if (!file.ReadExact(run, runBytes)) return;
            const int32_t count = std::min<int32_t>(run[0], width - x);
            for (int32_t i = 0; i < count; ++i, ++x) {
                std::memcpy(row + static_cast<size_t>(x) * pixelBytes, run + 1, pixelBytes);
            }
        }
        context.RowDone();
    }
}

}  // namespace

Status ReadAliasPix(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail("Couldn't open PIX File!");
    PixHeader header;
    if (Status status = ReadHeader(file, header); !status) return status;

    CurrentImage& image = context.image;
    const bool grey = header.bits == kGreyBits;
    image.palette = grey ? GrayRamp() : Palette256{};
    image.width = header.width;
    image.height = header.height;
    image.fileBitDepth = header.bits;
    const uint64_t decoded = uint64_t{header.width} * header.height * (header.bits / 8);
    if (!FileCanHold(decoded, file.size() - file.Tell(), grey ? kGreyRunExpansion : kColourRunExpansion) ||
        !context.canvas.Create(image.width, image.height, header.bits, 0, image.palette)) {
        return Status::Fail(kSizeMessage);
    }
    DecodeRows(file, header, context);
    return Status::Ok();
}

}  // namespace marbleye
