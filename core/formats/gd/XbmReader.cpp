#include <cstdio>
#include <cstring>
#include <memory>

#include <gd.h>

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

// The size the file's "#define name_width N" and "#define name_height N"
// lines declare before its bits begin, as the GD library reads them; 0 for
// what is not declared.
struct DeclaredSize {
    int64_t width = 0;
    int64_t height = 0;
};

DeclaredSize ScanDeclaredSize(InputFile& file) {
    DeclaredSize size;
    std::string line;
    for (int c = 0; (c = file.ReadByte()) >= 0;) {
        if (c != '\n') {
            if (line.size() < 1024) line += static_cast<char>(c);
            continue;
        }
        if (line.find('{') != std::string::npos) break;
        char name[1024] = {};
        long long value = 0;
        if (std::sscanf(line.c_str(), "#define %1023s %lld", name, &value) == 2) {
            const char* suffix = std::strrchr(name, '_');
            suffix = suffix ? suffix + 1 : name;
            if (std::strcmp(suffix, "width") == 0) size.width = value;
            if (std::strcmp(suffix, "height") == 0) size.height = value;
        }
        line.clear();
    }
    return size;
}

}  // namespace

Status ReadXbm(const std::string& path, LoadContext& context) {
    InputFile scan;
    if (!scan.Open(path)) return Status::Fail("Couldn't open this XBM file!");
    // The library allocates the declared size before it reads a bit: a
    // declared size that the file's bytes cannot describe is refused first.
    const DeclaredSize declared = ScanDeclaredSize(scan);
    const int64_t rowBytes = (declared.width + 7) / 8;
    if (declared.width > 0 && declared.height > 0 &&
        (!CheckedLayout(declared.width, declared.height, 8) || rowBytes * declared.height > int64_t(scan.size()))) {
        return Status::Fail(std::string(kCannotLoad));
    }
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
