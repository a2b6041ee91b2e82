#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include <gd.h>

#include "canvas/DeclaredSize.h"
#include "canvas/PixelLimits.h"
#include "formats/gd/Xbm.h"
#include "io/InputFile.h"
#include "io/StdioFile.h"

namespace marbleye {

namespace {

constexpr std::string_view kCannotLoad = "Couldn't load this XBM file!";

struct ImageDestroyer {
    void operator()(gdImage* image) const { gdImageDestroy(image); }
};

// Lines are read in pieces of at most this many characters; the GD library
// gives up on a file with a longer piece before it allocates anything.
constexpr size_t kLongestPiece = 254;

// What the GD library reads of the header before it allocates the picture:
// the last "#define name_width N" and "#define name_height N" before the
// declaration of the bits ("static char name_bits[] = {", or unsigned, or
// short), and where the bits begin. Sizes are 0 where none is declared.
struct XbmHeader {
    int64_t width = 0;
    int64_t height = 0;
    uint64_t bitsStart = 0;
};

// The next line, or its first kLongestPiece characters.
std::string NextPiece(InputFile& file) {
    std::string piece;
    for (int c = 0; piece.size() < kLongestPiece && (c = file.ReadByte()) >= 0;) {
        piece += static_cast<char>(c);
        if (c == '\n') break;
    }
    return piece;
}

bool DeclaresBits(const char* piece) {
    char name[kLongestPiece + 1] = {};
    const bool declaration = std::sscanf(piece, "static unsigned char %254s = {", name) == 1 ||
                             std::sscanf(piece, "static char %254s = {", name) == 1 ||
                             std::sscanf(piece, "static unsigned short %254s = {", name) == 1 ||
                             std::sscanf(piece, "static short %254s = {", name) == 1;
    const char* suffix = std::strrchr(name, '_');
    return declaration && std::strcmp(suffix ? suffix + 1 : name, "bits[]") == 0;
}

XbmHeader ScanHeader(InputFile& file) {
    XbmHeader header;
    for (std::string piece = NextPiece(file); !piece.empty(); piece = NextPiece(file)) {
        const char* text = piece.c_str();
        if (std::strlen(text) == kLongestPiece || DeclaresBits(text)) break;
        char name[kLongestPiece + 1] = {};
        long long value = 0;
        if (std::sscanf(text, "#define %254s %lld", name, &value) == 2) {
            const char* suffix = std::strrchr(name, '_');
            suffix = suffix ? suffix + 1 : name;
            if (std::strcmp(suffix, "width") == 0) header.width = value;
            if (std::strcmp(suffix, "height") == 0) header.height = value;
        }
    }
    header.bitsStart = file.Tell();
    return header;
}

// Whether the file can hold the bits its header declares, one byte for eight
// pixels of a row, before the library allocates a byte a pixel. A size that
// is not a positive int is never allocated by the library; one beyond an int
// it would read differently from us, so that is refused.
bool HoldsDeclaredBits(const XbmHeader& header, uint64_t fileSize) {
    const auto inIntRange = [](int64_t size) { return size >= INT32_MIN && size <= INT32_MAX; };
    if (!inIntRange(header.width) || !inIntRange(header.height)) return false;
    if (header.width <= 0 || header.height <= 0) return true;
    const uint64_t bitBytes = static_cast<uint64_t>((header.width + 7) / 8) * static_cast<uint64_t>(header.height);
    return CheckedLayout(header.width, header.height, 8) &&
           FileCanHold(bitBytes, fileSize - header.bitsStart, expansion::kStored);
}

}  // namespace

Status ReadXbm(const std::string& path, LoadContext& context) {
    InputFile scan;
    if (!scan.Open(path)) return Status::Fail("Couldn't open this XBM file!");
    // The library allocates the declared size before it reads a bit: a
    // declared size that the file's bytes cannot describe is refused first.
    if (!HoldsDeclaredBits(ScanHeader(scan), scan.size())) return Status::Fail(std::string(kCannotLoad));
    StdioFile file = OpenForReading(path);
    if (!file) return Status::Fail("Couldn't open this XBM file!");
    std::unique_ptr<gdImage, ImageDestroyer> bitmap(gdImageCreateFromXbm(file.get()));
    if (!bitmap) return Status::Fail(std::string(kCannotLoad));

    const int width = gdImageSX(bitmap.get()), height = gdImageSY(bitmap.get());
    CurrentImage& image = context.image;
    image.width = width;
    image.height = height;
    image.fileBitDepth = 1;
    image.palette = Palette256{};
    for (int colour = 0; colour < 2 && colour < gdImageColorsTotal(bitmap.get()); ++colour) {
        image.palette[colour * 3] = static_cast<uint8_t>(gdImageRed(bitmap.get(), colour));
        image.palette[colour * 3 + 1] = static_cast<uint8_t>(gdImageGreen(bitmap.get(), colour));
        image.palette[colour * 3 + 2] = static_cast<uint8_t>(gdImageBlue(bitmap.get(), colour));
    }
    if (!context.canvas.Create(width, height, 1, 0, image.palette)) return Status::Fail("Out of Memory!");
    for (int y = 0; y < height; ++y) {
        uint8_t* row = context.canvas.Row(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            if (gdImageGetPixel(bitmap.get(), x, y) & 1) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
        context.RowDone();
    }
    return Status::Ok();
}

}  // namespace marbleye
