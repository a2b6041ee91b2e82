// X bitmaps written by libgd and read back as libgd decodes them; headers
// that make the library allocate far more than their files hold.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include <gd.h>

#include "support/LibgdPictures.h"
#include "support/MemoryUse.h"
#include "support/ReaderTest.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::RgbImage;

const std::string kMessage = "Couldn't load this XBM file!";

using test::GdImage;

// White where the pattern's red is low, black where it is high, as a
// two-entry palette image.
GdImage DrawBitmap(int32_t width, int32_t height) {
    const RgbImage pattern = test::MakePattern(width, height);
    GdImage image(gdImageCreate(width, height));
    gdImageColorAllocate(image.get(), 255, 255, 255);
    const int black = gdImageColorAllocate(image.get(), 0, 0, 0);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            if (pattern.At(x, y)[0] > 128) gdImageSetPixel(image.get(), x, y, black);
        }
    }
    return image;
}

std::string WriteXbmWithLibgd(gdImagePtr image) {
    gdIOCtx* out = gdNewDynamicCtx(4096, nullptr);
    char name[] = "pattern";
    gdImageXbmCtx(image, name, 1, out);
    int size = 0;
    void* data = gdDPExtractData(out, &size);
    out->gd_free(out);
    std::string bytes(static_cast<const char*>(data), static_cast<size_t>(size));
    gdFree(data);
    return bytes;
}

RgbImage DecodeXbmWithLibgd(const std::string& bytes) {
    std::FILE* in = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
    const GdImage image(in ? gdImageCreateFromXbm(in) : nullptr);
    if (in) std::fclose(in);
    return image ? test::RgbOfGdImage(image.get()) : RgbImage();
}

class XbmReader : public test::ReaderTest {};

TEST_F(XbmReader, BitmapsWrittenByLibgdShowWhatLibgdDecodes) {
    for (const auto& [width, height] : {std::pair{53, 29}, std::pair{8, 3}, std::pair{1, 1}}) {
        const std::string bytes = WriteXbmWithLibgd(DrawBitmap(width, height).get());
        const RgbImage libgd = DecodeXbmWithLibgd(bytes);
        ASSERT_EQ(libgd.width, width);
        const auto picture = LoadBytes(bytes, "pattern.xbm");
        ASSERT_TRUE(picture.ok()) << picture.message();
        EXPECT_EQ(picture.canvas->bitsPerPixel(), 1);
        const RgbImage ours = test::CanvasToRgb(*picture.canvas);
        EXPECT_EQ(ours, libgd) << width << " x " << height << ": " << test::FirstDifference(libgd, ours);
    }
}

// The library takes the last sizes declared before the declaration of the
// bits, wherever a brace stands before it; each header below makes it
// allocate 40000 x 40000 pixels for a file of a few bytes.
TEST_F(XbmReader, SizesTheLibraryWouldAllocateAreRefusedFirst) {
    const std::string kHuge = "#define a_width 40000\n#define a_height 40000\n";
    const std::string kSmall = "#define a_width 8\n#define a_height 8\n";
    const std::string headers[] = {
        kHuge + "static char a_bits[] = {\n0x00 };\n",
        kSmall + "/* { */\n" + kHuge + "static char a_bits[] = {\n0x00 };\n",  // a brace in a comment
        kSmall + "static char a_mask[] = {\n" + kHuge,                           // not the bits, then the end
        kSmall + "static unsigned short a_bits_[] = {\n" + kHuge + "static short a_bits[] = {\n0x0000 };\n",
    };
    for (const std::string& header : headers) {
        std::string message;
        const long growth = test::PeakMemoryGrowthKb([&] { message = LoadBytes(header, "huge.xbm").message(); });
        EXPECT_EQ(message, kMessage) << header;
        EXPECT_LT(growth, test::kSmallFileGrowthLimitKb) << header;
    }
}

}  // namespace
}  // namespace marbleye
