#include <gtest/gtest.h>

#include <filesystem>

#include "formats/bmp/Bmp.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

class CountingHost : public Host {
public:
    void BeginProgress(int32_t total) override { steps = total; }
    void StepProgress() override { ++done; }
    void EndProgress() override { ended = true; }
    int32_t steps = 0, done = 0;
    bool ended = false;
};

TEST(BmpWriter, RoundTripsAt24And32Bits) {
    test::TempFolder folder;
    const test::RgbImage pattern = test::MakePattern(13, 7);
    for (int32_t depth : {24, 32}) {
        ImageCanvas canvas;
        ASSERT_TRUE(test::CanvasFromRgb(pattern, canvas, depth));
        const std::string path = folder.File("out" + std::to_string(depth) + ".bmp");
        CountingHost host;
        ASSERT_TRUE(WriteBmp(path, canvas, depth, host).ok());
        EXPECT_EQ(host.steps, 7);
        EXPECT_EQ(host.done, 7);
        EXPECT_TRUE(host.ended);

        const std::string bytes = test::ReadFileBytes(path);
        EXPECT_EQ(bytes.size(), 54u + 40u * 7u);
        EXPECT_EQ(bytes[28], 24) << "written at 24 bits";
        const auto back = test::LoadPicture(path);
        ASSERT_TRUE(back.ok()) << back.message();
        EXPECT_EQ(test::CanvasToRgb(*back.canvas), pattern) << test::FirstDifference(pattern, test::CanvasToRgb(*back.canvas));
    }
}

TEST(BmpWriter, PalettedPicturesKeepTheirColours) {
    test::TempFolder folder;
    Palette256 palette{};
    palette[3] = 255, palette[5] = 40;  // entry 1: red 255, blue 40
    ImageCanvas canvas;
    ASSERT_TRUE(canvas.Create(3, 2, 1, 0, palette));
    canvas.Row(1)[0] = 0b1010'0000;
    const std::string path = folder.File("one-bit.bmp");
    ASSERT_TRUE(WriteBmp(path, canvas, 1, QuietHost()).ok());
    const std::string bytes = test::ReadFileBytes(path);
    EXPECT_EQ(bytes[28], 8) << "a 1-bit picture becomes an 8-bit file";
    EXPECT_EQ(bytes.size(), 54u + 1024u + 4u * 2u);
    const auto back = test::LoadPicture(path);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.canvas->bitsPerPixel(), 8);
    EXPECT_EQ(test::CanvasToRgb(*back.canvas), test::CanvasToRgb(canvas));
}

TEST(BmpWriter, EightBitPicturesKeepTheirColoursWhenTheyHaveFew) {
    test::TempFolder folder;
    // 24-bit pixels of 256 distinct colours, many sharing 5-bit cells:
    // reducing them would merge neighbours.
    test::RgbImage picture{64, 4, {}};
    for (int i = 0; i < 256; ++i) {
        const uint8_t v = static_cast<uint8_t>(i);
        picture.rgb.insert(picture.rgb.end(), {v, static_cast<uint8_t>(v / 2), static_cast<uint8_t>(255 - v)});
    }
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(picture, canvas));
    const std::string path = folder.File("few.bmp");
    ASSERT_TRUE(WriteBmp(path, canvas, 8, QuietHost()).ok());
    EXPECT_EQ(test::ReadFileBytes(path)[28], 8);
    const auto back = test::LoadPicture(path);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(test::CanvasToRgb(*back.canvas), picture);
}

TEST(BmpWriter, FailuresLeaveTheOldFile) {
    test::TempFolder folder;
    const std::string path = folder.File("keep.bmp");
    test::WriteFileBytes(path, "previous picture");
    ImageCanvas empty;
    EXPECT_EQ(WriteBmp(path, empty, 24, QuietHost()).message(), "no GetDIBits!");
    EXPECT_EQ(test::ReadFileBytes(path), "previous picture");

    ImageCanvas canvas;
    ASSERT_TRUE(canvas.Create(2, 2, 24, 0, Palette256{}));
    EXPECT_EQ(WriteBmp(folder.File("no/such/folder.bmp"), canvas, 24, QuietHost()).message(),
              "Couldn't open file to write BMP Data!");
}

}  // namespace
}  // namespace marbleye
