#include <gtest/gtest.h>

#include <functional>

#include "formats/photocd/PhotoCd.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using Colour = std::array<int, 3>;
using ByteAt = std::function<uint8_t(int x, int y)>;

// Where the packs of a Photo CD file start, by their size, written out here
// as the published layout gives them (2048-byte sectors 4, 23 and 96).
constexpr size_t kSmallPack = 4 * 2048, kMediumPack = 23 * 2048, kLargePack = 96 * 2048;
constexpr size_t kFileSize = kLargePack + 768 * 512 * 3 / 2;

// A Photo CD file of zeros with the orientation byte set.
std::string EmptyFile(uint8_t orientation = 0) {
    std::string bytes(kFileSize, '\0');
    bytes[72] = static_cast<char>(orientation);
    return bytes;
}

// Writes one pack: for every pair of rows the two luma rows, then the C1
// row and the C2 row of half the width. Chroma is addressed by its own
// column and pair.
void PutPack(std::string& bytes, size_t offset, int width, int height, const ByteAt& luma, const ByteAt& c1,
             const ByteAt& c2) {
    size_t at = offset;
    for (int pair = 0; pair < height / 2; ++pair) {
        for (int half = 0; half < 2; ++half) {
            for (int x = 0; x < width; ++x) bytes[at++] = static_cast<char>(luma(x, pair * 2 + half));
        }
        for (int x = 0; x < width / 2; ++x) bytes[at++] = static_cast<char>(c1(x, pair));
        for (int x = 0; x < width / 2; ++x) bytes[at++] = static_cast<char>(c2(x, pair));
    }
}

// The published conversion of one pixel's bytes, as an oracle for pictures
// too large to work out by hand.
Colour Converted(int y, int c1, int c2) {
    const double l = 1.407488 * y, k1 = c1 - 156.0, k2 = c2 - 137.0;
    auto channel = [](double v) { return v < 0 ? 0 : v > 255 ? 255 : static_cast<int>(v); };
    return {channel(l + 1.3230336 * k2 + 0.0000256 * k1), channel(l - 0.3954176 * k1 - 0.67392 * k2),
            channel(l + 0.0000256 * k2 + 2.0360448 * k1)};
}

ByteAt Constant(uint8_t value) {
    return [value](int, int) { return value; };
}

class PhotoCd : public ::testing::Test {
protected:
    test::LoadedPicture Load(const std::string& bytes, int32_t size = 2, bool thumbnail = false) {
        const std::string path = folder_.File("picture.pcd");
        test::WriteFileBytes(path, bytes);
        LoadOptions options;
        options.photoCdSize = size;
        options.thumbnail = thumbnail;
        return test::LoadPicture(path, options);
    }
    test::TempFolder folder_;
};

TEST_F(PhotoCd, ColoursFollowTheConversionRoundedDown) {
    // The 192 x 128 pack holds one chroma pair per column pair; each of the
    // first columns shows one case. Expected colours worked out by hand:
    // L = 1.407488 Y, c1 = C1 - 156, c2 = C2 - 137.
    struct Case {
        uint8_t y, c1, c2;
        Colour rgb;
    };
    const Case cases[] = {
        {100, 156, 137, {140, 140, 140}},  // neutral: L = 140.7488 in all three
        {1, 156, 137, {1, 1, 1}},          // 1.407488 is taken down to 1
        {181, 156, 137, {254, 254, 254}},  // 254.755 stays below 255
        {84, 72, 255, {255, 71, 0}},       // red 274.3 and blue -52.8 are clamped
        {120, 180, 100, {119, 184, 217}},  // red 119.947 is taken down, not rounded
        {90, 200, 120, {104, 120, 216}},   // green 120.732 is taken down, not rounded
        {50, 130, 160, {100, 65, 17}},    {0, 0, 0, {0, 154, 0}}, {255, 255, 255, {255, 240, 255}},
    };
    const int count = static_cast<int>(std::size(cases));
    std::string bytes = EmptyFile();
    PutPack(
        bytes, kSmallPack, 192, 128, [&](int x, int) { return x / 2 < count ? cases[x / 2].y : 0; },
        [&](int x, int) { return x < count ? cases[x].c1 : 0; },
        [&](int x, int) { return x < count ? cases[x].c2 : 0; });
    const auto picture = Load(bytes, 0);
    ASSERT_TRUE(picture.ok()) << picture.message();
    for (int i = 0; i < count; ++i) {
        for (const auto& [x, y] : {std::pair{i * 2, 0}, std::pair{i * 2 + 1, 0}, std::pair{i * 2 + 1, 127}}) {
            EXPECT_EQ(test::PixelOf(picture, x, y), cases[i].rgb) << "case " << i << " at " << x << "," << y;
        }
    }
    EXPECT_EQ(picture.image.fileBitDepth, 24);
}

TEST_F(PhotoCd, EachPixelHasItsLumaAndSharesChromaWithItsSquareOfFour) {
    // Luma varies by pixel; chroma by column pair and row pair, so that a
    // pixel reading the wrong chroma or the wrong luma row shows.
    std::string bytes = EmptyFile();
    const ByteAt luma = [](int x, int y) { return static_cast<uint8_t>(40 + (x * 7 + y * 13) % 120); };
    const ByteAt c1 = [](int x, int pair) { return static_cast<uint8_t>(100 + (x * 3 + pair * 5) % 100); };
    const ByteAt c2 = [](int x, int pair) { return static_cast<uint8_t>(90 + (x * 11 + pair * 2) % 110); };
    PutPack(bytes, kMediumPack, 384, 256, luma, c1, c2);
    const auto picture = Load(bytes, 1);
    ASSERT_TRUE(picture.ok()) << picture.message();
    ASSERT_EQ(picture.canvas->width(), 384);
    ASSERT_EQ(picture.canvas->height(), 256);
    const test::RgbImage ours = test::CanvasToRgb(*picture.canvas);
    int wrong = 0;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 384; ++x) {
            const Colour expected = Converted(luma(x, y), c1(x / 2, y / 2), c2(x / 2, y / 2));
            for (int c = 0; c < 3; ++c) wrong += ours.At(x, y)[c] != expected[c];
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(PhotoCd, TheLoadSizeChoosesThePackAndThumbnailsTakeTheSmallest) {
    // Each pack a different grey: 30, 60 or 90 as luma with neutral chroma.
    std::string bytes = EmptyFile();
    PutPack(bytes, kSmallPack, 192, 128, Constant(30), Constant(156), Constant(137));
    PutPack(bytes, kMediumPack, 384, 256, Constant(60), Constant(156), Constant(137));
    PutPack(bytes, kLargePack, 768, 512, Constant(90), Constant(156), Constant(137));
    struct Expected {
        int32_t size;
        bool thumbnail;
        int32_t width, height;
        int grey;
    };
    for (const Expected& e :
         {Expected{0, false, 192, 128, 42}, Expected{1, false, 384, 256, 84}, Expected{2, false, 768, 512, 126},
          Expected{2, true, 192, 128, 42}, Expected{1, true, 192, 128, 42}}) {
        const auto picture = Load(bytes, e.size, e.thumbnail);
        ASSERT_TRUE(picture.ok()) << picture.message();
        EXPECT_EQ(picture.canvas->width(), e.width) << e.size << e.thumbnail;
        EXPECT_EQ(picture.canvas->height(), e.height) << e.size << e.thumbnail;
        EXPECT_EQ(picture.image.width, e.width);
        EXPECT_EQ(test::PixelOf(picture, e.width - 1, e.height - 1), (Colour{e.grey, e.grey, e.grey}));
    }
}

TEST_F(PhotoCd, TheOrientationByteTurnsThePicture) {
    // A 192 x 128 pack, dark everywhere except bright luma at its top left
    // pixel and a middle grey at its top right one.
    auto turned = [&](uint8_t orientation) {
        std::string bytes = EmptyFile(orientation);
        PutPack(
            bytes, kSmallPack, 192, 128,
            [](int x, int y) -> uint8_t { return y == 0 && x == 0     ? 150
                                                 : y == 0 && x == 191 ? 80
                                                                      : 10; },
            Constant(156), Constant(137));
        return Load(bytes, 0);
    };
    const Colour bright{211, 211, 211}, middle{112, 112, 112};
    struct Expected {
        uint8_t orientation;
        int32_t width, height;
        std::pair<int, int> brightAt, middleAt;  // from the top left of the loaded picture
    };
    for (const Expected& e : {
             Expected{0, 192, 128, {0, 0}, {191, 0}},
             Expected{1, 128, 192, {0, 191}, {0, 0}},      // a quarter turn to the left
             Expected{2, 192, 128, {191, 127}, {0, 127}},  // half a turn
             Expected{3, 128, 192, {127, 0}, {127, 191}},  // a quarter turn to the right
             Expected{0x0C, 192, 128, {0, 0}, {191, 0}},   // only the low two bits count
             Expected{0x09, 128, 192, {0, 191}, {0, 0}},
         }) {
        const auto picture = turned(e.orientation);
        ASSERT_TRUE(picture.ok()) << picture.message();
        EXPECT_EQ(picture.canvas->width(), e.width) << int{e.orientation};
        EXPECT_EQ(picture.canvas->height(), e.height) << int{e.orientation};
        EXPECT_EQ(test::PixelOf(picture, e.brightAt.first, e.brightAt.second), bright) << int{e.orientation};
        EXPECT_EQ(test::PixelOf(picture, e.middleAt.first, e.middleAt.second), middle) << int{e.orientation};
    }
}

TEST_F(PhotoCd, Messages) {
    EXPECT_EQ(test::LoadPicture(folder_.File("none.pcd")).message(), "Unable to open file!");
    EXPECT_EQ(Load(std::string(127, '\0')).message(), "Loaderror occured!") << "the header is 128 bytes";
    // The file ends before the first row pair of the pack asked for.
    EXPECT_EQ(Load(EmptyFile().substr(0, kLargePack + 768 * 3 - 1)).message(), "Loaderror occured!");
    EXPECT_EQ(Load(EmptyFile().substr(0, kSmallPack + 100), 0).message(), "Loaderror occured!");
    EXPECT_TRUE(Load(EmptyFile().substr(0, kSmallPack + 192 * 3), 0).ok());
}

TEST_F(PhotoCd, AFileCutShortKeepsItsWholeRowPairsAndEveryLengthLoadsOrFails) {
    std::string full = EmptyFile();
    PutPack(
        full, kSmallPack, 192, 128, [](int x, int y) { return static_cast<uint8_t>(20 + (x + y) % 200); },
        Constant(156), Constant(137));
    full.resize(kSmallPack + 192 * 128 * 3 / 2);
    const auto whole = Load(full, 0);
    ASSERT_TRUE(whole.ok());
    const test::RgbImage expected = test::CanvasToRgb(*whole.canvas);
    for (size_t length = 0; length <= full.size(); length += length < 256 ? 1 : 97) {
        const auto picture = Load(full.substr(0, length), 0);
        if (!picture.ok()) {
            EXPECT_EQ(picture.message(), "Loaderror occured!") << length;
            continue;
        }
        ASSERT_GE(length, kSmallPack + 192 * 3) << "a picture from a file without picture data";
        const int rowsHeld = static_cast<int>((length - kSmallPack) / (192 * 3)) * 2;
        const test::RgbImage ours = test::CanvasToRgb(*picture.canvas);
        int wrong = 0;
        for (int y = 0; y < 128; ++y) {
            for (int x = 0; x < 192; ++x) {
                for (int c = 0; c < 3; ++c) {
                    const int want = y < rowsHeld ? expected.At(x, y)[c] : 0;
                    if (ours.At(x, y)[c] != want) ++wrong;
                }
            }
        }
        EXPECT_EQ(wrong, 0) << length;
    }
}

}  // namespace
}  // namespace marbleye
