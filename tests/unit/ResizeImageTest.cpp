#include <gtest/gtest.h>

#include <vector>

#include "canvas/ImageCanvas.h"
#include "canvas/PixelMemory.h"
#include "imaging/ResizeImage.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::CanvasFromRgb;
using test::CanvasToRgb;
using test::MakePattern;
using test::RgbImage;

// Four colours in a pattern of 6 x 4 on an 8-bit canvas; the palette's other
// entries are a gray that the picture does not use.
void MakePalettePicture(ImageCanvas& canvas) {
    Palette256 palette{};
    const uint8_t colours[4][3] = {{250, 10, 10}, {10, 10, 250}, {10, 250, 10}, {200, 200, 200}};
    for (int i = 0; i < 256; ++i) {
        for (int c = 0; c < 3; ++c) palette[i * 3 + c] = i < 4 ? colours[i][c] : 128;
    }
    ASSERT_TRUE(canvas.Create(6, 4, 8, 0, palette));
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 6; ++x) canvas.Row(y)[x] = uint8_t((x / 2 + y) % 4);
    }
}

std::vector<uint8_t> BytesOf(const ImageCanvas& canvas) {
    return std::vector<uint8_t>(canvas.bits(), canvas.bits() + canvas.byteCount());
}

// Fast'n'Dirty doubling takes every source pixel twice, as the picture is
// seen (row 0 at the top) too.
RgbImage Doubled(const RgbImage& image) {
    RgbImage doubled{image.width * 2, image.height * 2, {}};
    for (int32_t y = 0; y < doubled.height; ++y) {
        for (int32_t x = 0; x < doubled.width; ++x) {
            const uint8_t* from = image.At(x / 2, y / 2);
            doubled.rgb.insert(doubled.rgb.end(), from, from + 3);
        }
    }
    return doubled;
}

TEST(ResizeImage, MakesATwentyFourBitCanvasOfTheNewSizeFromPalettedAndThirtyTwoBitPictures) {
    ImageCanvas paletted;
    MakePalettePicture(paletted);
    const RgbImage before = CanvasToRgb(paletted);
    const PaletteBgr palette = paletted.palette();
    ASSERT_TRUE(ResizeImage(paletted, 12, 8, ScaleFilterId::kFastAndDirty, nullptr).ok());
    EXPECT_EQ(paletted.bitsPerPixel(), 24);
    EXPECT_EQ(paletted.palette(), palette);
    EXPECT_EQ(CanvasToRgb(paletted), Doubled(before));

    ImageCanvas deep;
    ASSERT_TRUE(CanvasFromRgb(MakePattern(9, 5), deep, 32));
    ASSERT_TRUE(ResizeImage(deep, 18, 10, ScaleFilterId::kFastAndDirty, nullptr).ok());
    EXPECT_EQ(deep.bitsPerPixel(), 24);
    EXPECT_EQ(CanvasToRgb(deep), Doubled(MakePattern(9, 5)));

    ASSERT_TRUE(ResizeImage(deep, 0, -3, ScaleFilterId::kGaussian, nullptr).ok());
    EXPECT_EQ(deep.width(), 1);
    EXPECT_EQ(deep.height(), 1);
}

// Refuses to make the new canvas when told to, so that Create fails after
// the buffers were had.
class RefusingAllocator : public PixelAllocator {
public:
    int32_t refusedWidth = 0;
    uint8_t* Allocate(const PixelLayout& layout, const PaletteBgr&) override {
        return layout.width == refusedWidth ? nullptr : AllocateZeroedPixels(layout.byteCount);
    }
    void Release(uint8_t* bits) override { ReleasePixels(bits); }
};

TEST(ResizeImage, LeavesTheCanvasAsItWasWhenMemoryIsShort) {
    RefusingAllocator allocator;
    ImageCanvas canvas(allocator);
    MakePalettePicture(canvas);
    const std::vector<uint8_t> before = BytesOf(canvas);
    const PaletteBgr palette = canvas.palette();
    auto expectUnchanged = [&](const Status& status) {
        EXPECT_EQ(status.message(), "Insufficient Memory. Aborting..");
        EXPECT_EQ(canvas.width(), 6);
        EXPECT_EQ(canvas.height(), 4);
        EXPECT_EQ(canvas.bitsPerPixel(), 8);
        EXPECT_EQ(canvas.palette(), palette);
        EXPECT_EQ(BytesOf(canvas), before);
    };
    expectUnchanged(ResizeImage(canvas, 100000, 100000, ScaleFilterId::kBilinear, nullptr));
    allocator.refusedWidth = 30;
    expectUnchanged(ResizeImage(canvas, 30, 20, ScaleFilterId::kBilinear, nullptr));
}

}  // namespace
}  // namespace marbleye
