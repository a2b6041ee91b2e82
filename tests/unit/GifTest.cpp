#include <gtest/gtest.h>

#include "formats/gif/Gif.h"
#include "support/GifBuilder.h"
#include "support/MemoryUse.h"
#include "support/ReaderTest.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::GifBuilder;
using test::GifFrame;
using Colour = std::array<int, 3>;

const std::vector<uint8_t> kFourColours = {255, 0, 0, /* 1 */ 0, 0, 255, /* 2 */ 0, 255, 0, /* 3 */ 255, 255, 255};

template <size_t N>
std::string Bytes(const uint8_t (&bytes)[N]) {
    return std::string(reinterpret_cast<const char*>(bytes), N);
}

// The screen of a 1 x 1 GIF89a with a global table of black and white.
const uint8_t kScreen[] = {
    'G', 'I', 'F', '8', '9', 'a',  // signature and version
    1, 0, 1, 0,                    // screen 1 x 1
    0x80,                          // a global table of two colours
    0,                             // background index 0
    0,                             // no aspect ratio
    0, 0, 0, 255, 255, 255,        // black, white
};

// A frame of width x height at 0, 0 whose data is three codes of three bits:
// clear, index 0, end. The rest of a larger frame keeps the background.
std::string TinyFrame(uint16_t width, uint16_t height) {
    const uint8_t frame[] = {
        ',',                                                     // a frame
        0, 0, 0, 0,                                              // at 0, 0
        static_cast<uint8_t>(width), static_cast<uint8_t>(width >> 8),    // width
        static_cast<uint8_t>(height), static_cast<uint8_t>(height >> 8),  // height
        0,                                                       // no local table, not interlaced
        2,                                                       // minimum code size 2
        2, 0x44, 0x01,                                           // a block of two bytes: 4, 0, 5
        0,                                                       // the end of the data
    };
    return Bytes(frame);
}

class Gif : public test::ReaderTest {
protected:
    test::LoadedPicture Load(const std::string& bytes, const LoadOptions& options = LoadOptions()) {
        return LoadBytes(bytes, "picture.gif", options);
    }
};

GifFrame Solid(int width, int height, uint8_t index) {
    GifFrame frame;
    frame.width = width, frame.height = height;
    frame.indices.assign(static_cast<size_t>(width) * height, index);
    return frame;
}

TEST_F(Gif, Messages) {
    GifBuilder gif;
    gif.globalTable = kFourColours;
    gif.frames = {Solid(2, 2, 1)};
    gif.version = "88a";
    EXPECT_EQ(Load(gif.Bytes()).message(), "Not a valid GIF-File!");
    gif.version = "87a";
    EXPECT_TRUE(Load(gif.Bytes()).ok());
    EXPECT_EQ(Load("GIF8").message(), "Not a valid GIF-File!");
    EXPECT_EQ(test::LoadPicture(folder_.File("none.gif")).message(), "Couldn't open file!");

    gif.frames = {Solid(0, 3, 1)};
    gif.frames[0].width = 0;
    EXPECT_EQ(Load(gif.Bytes()).message(), "Invalid Width/Height found");
    gif.frames = {Solid(1, 1, 1)};
    gif.frames[0].width = 10001;
    gif.frames[0].indices.assign(10001, 1);
    EXPECT_EQ(Load(gif.Bytes()).message(), "Sorry, Width/Height too big");
    gif.frames.clear();
    EXPECT_EQ(Load(gif.Bytes()).message(), "GIFDecoder: unexpected end of file!") << "no frame at all";
}

TEST_F(Gif, ASingleFrameIsAnOrdinaryPicture) {
    GifBuilder gif;
    gif.globalTable = kFourColours;
    GifFrame frame = Solid(3, 2, 0);
    frame.indices = {0, 1, 2, 3, 3, 1};
    gif.frames = {frame};
    const auto picture = Load(gif.Bytes());
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.canvas->bitsPerPixel(), 24);
    EXPECT_EQ(picture.image.fileBitDepth, 2) << "four table entries";
    EXPECT_EQ(picture.image.animation.frameCount, 0);
    EXPECT_EQ(test::PixelOf(picture, 0, 0), (Colour{255, 0, 0}));
    EXPECT_EQ(test::PixelOf(picture, 2, 0), (Colour{0, 255, 0}));
    EXPECT_EQ(test::PixelOf(picture, 2, 1), (Colour{0, 0, 255}));
}

TEST_F(Gif, WithoutAnyTableTheDefaultPaletteApplies) {
    GifBuilder gif;
    GifFrame frame = Solid(3, 1, 0);
    frame.indices = {1, 2, 255};
    gif.frames = {frame};
    const auto picture = Load(gif.Bytes());
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(test::PixelOf(picture, 0, 0), (Colour{248, 248, 248}));
    EXPECT_EQ(test::PixelOf(picture, 1, 0), (Colour{248, 0, 0}));
    EXPECT_EQ(test::PixelOf(picture, 2, 0), (Colour{0, 4, 4})) << "index 255: table entry 6, green and blue";
    EXPECT_EQ(picture.image.fileBitDepth, 8);
}

TEST_F(Gif, InterlacedFramesOfEveryHeight) {
    for (int height : {1, 2, 3, 4, 5, 9}) {
        GifBuilder gif;
        gif.globalTable = kFourColours;
        GifFrame frame = Solid(2, height, 0);
        frame.interlaced = true;
        for (int y = 0; y < height; ++y) frame.indices[y * 2] = frame.indices[y * 2 + 1] = static_cast<uint8_t>(y % 4);
        gif.frames = {frame};
        const auto picture = Load(gif.Bytes());
        ASSERT_TRUE(picture.ok()) << height << ": " << picture.message();
        for (int y = 0; y < height; ++y) {
            const Colour expected{kFourColours[(y % 4) * 3], kFourColours[(y % 4) * 3 + 1], kFourColours[(y % 4) * 3 + 2]};
            EXPECT_EQ(test::PixelOf(picture, 1, y), expected) << "height " << height << " row " << y;
        }
    }
}

TEST_F(Gif, TransparencyKeepsThePreviousFrameAndDisposal2ShowsTheBackground) {
    for (int disposal : {1, 2}) {
        GifBuilder gif;
        gif.globalTable = kFourColours;
        gif.background = 3;  // white
        GifFrame first = Solid(2, 2, 0);
        first.delay = 0;
        GifFrame second = Solid(2, 2, 1);
        second.indices = {2, 1, 1, 2};  // index 2 is transparent
        second.delay = 30;
        second.transparent = 2;
        second.disposal = disposal;
        gif.frames = {first, second};
        const auto picture = Load(gif.Bytes());
        ASSERT_TRUE(picture.ok()) << picture.message();
        ASSERT_EQ(picture.canvas->height(), 4) << "two cells";
        EXPECT_EQ(picture.image.animation.frameCount, 2);
        EXPECT_EQ(picture.image.animation.cellHeight, 2);
        EXPECT_EQ(picture.image.animation.delays, (std::vector<int32_t>{30, 10})) << "last frame first; 0 becomes 10";
        // The first frame is the bottom cell, the second the top one.
        EXPECT_EQ(test::PixelOf(picture, 0, 2), (Colour{255, 0, 0}));
        EXPECT_EQ(test::PixelOf(picture, 1, 0), (Colour{0, 0, 255}));
        const Colour expected = disposal == 2 ? Colour{255, 255, 255} : Colour{255, 0, 0};
        EXPECT_EQ(test::PixelOf(picture, 0, 0), expected) << disposal;
    }
}

TEST_F(Gif, ALargerLaterFrameEnlargesEveryCell) {
    GifBuilder gif;
    gif.globalTable = kFourColours;
    gif.background = 3;
    GifFrame small = Solid(2, 1, 0);
    small.indices = {0, 1};
    GifFrame large = Solid(3, 2, 2);
    large.left = 0;
    gif.frames = {small, large};
    const auto picture = Load(gif.Bytes());
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.canvas->width(), 3);
    EXPECT_EQ(picture.canvas->height(), 4);
    // The first frame, upright at the top-left of the bottom cell.
    EXPECT_EQ(test::PixelOf(picture, 0, 2), (Colour{255, 0, 0}));
    EXPECT_EQ(test::PixelOf(picture, 1, 2), (Colour{0, 0, 255}));
    EXPECT_EQ(test::PixelOf(picture, 2, 2), (Colour{255, 255, 255}));
    EXPECT_EQ(test::PixelOf(picture, 0, 3), (Colour{255, 255, 255}));
    EXPECT_EQ(test::PixelOf(picture, 2, 1), (Colour{0, 255, 0}));
}

TEST_F(Gif, FramesAreClippedToTheirCellAndLimitsEndTheReading) {
    GifBuilder gif;
    gif.globalTable = kFourColours;
    GifFrame first = Solid(2, 2, 0);
    GifFrame outside = Solid(2, 2, 1);
    outside.left = 1, outside.top = 1;
    GifFrame huge = Solid(1001, 1, 2);
    gif.frames = {first, outside, huge};
    const auto picture = Load(gif.Bytes());
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.image.animation.frameCount, 2) << "a later frame over 1000 pixels ends the reading";
    EXPECT_EQ(test::PixelOf(picture, 1, 1), (Colour{0, 0, 255}));
    EXPECT_EQ(test::PixelOf(picture, 0, 0), (Colour{255, 0, 0}));
}

TEST_F(Gif, ThumbnailsAndConversionsTakeTheFirstFrameOnly) {
    GifBuilder gif;
    gif.globalTable = kFourColours;
    gif.frames = {Solid(2, 2, 0), Solid(2, 2, 1)};
    for (const auto flag : {&LoadOptions::thumbnail, &LoadOptions::batch, &LoadOptions::catalog}) {
        LoadOptions options;
        options.*flag = true;
        const auto picture = Load(gif.Bytes(), options);
        ASSERT_TRUE(picture.ok());
        EXPECT_EQ(picture.canvas->height(), 2);
        EXPECT_EQ(picture.image.animation.frameCount, 0);
    }
}

TEST_F(Gif, BadCodeSizesAbandonTheFrameAndTruncationsNeverCrash) {
    GifBuilder gif;
    gif.globalTable = kFourColours;
    gif.background = 2;
    GifFrame frame = Solid(3, 3, 1);
    frame.minimumCodeSize = 12;
    gif.frames = {frame};
    const auto abandoned = Load(gif.Bytes());
    ASSERT_TRUE(abandoned.ok()) << abandoned.message();
    EXPECT_EQ(test::PixelOf(abandoned, 1, 1), (Colour{0, 255, 0})) << "the frame keeps the background";

    GifFrame good = Solid(5, 4, 2);
    good.indices[7] = 3;
    gif.frames = {good, Solid(5, 4, 1)};
    const std::string bytes = gif.Bytes();
    for (size_t length = 0; length <= bytes.size(); ++length) {
        const auto picture = Load(bytes.substr(0, length));
        if (!picture.ok()) {
            EXPECT_FALSE(picture.message().empty());
        }
    }
    std::string garbage = bytes;
    for (size_t i = 40; i < garbage.size(); i += 3) garbage[i] = static_cast<char>(garbage[i] * 7 + 1);
    const auto garbled = Load(garbage);
    EXPECT_TRUE(garbled.ok() ? garbled.canvas->width() == 5 : !garbled.message().empty());
}

TEST_F(Gif, AMissingTrailerStillShowsTheFrames) {
    GifBuilder gif;
    gif.globalTable = kFourColours;
    gif.frames = {Solid(2, 2, 1)};
    gif.trailer = false;
    EXPECT_TRUE(Load(gif.Bytes()).ok());
}

TEST_F(Gif, TheConversionReaderKeepsIndicesLastFrameFirst) {
    GifBuilder gif;
    gif.globalTable = kFourColours;
    GifFrame first = Solid(3, 2, 0);
    first.indices = {0, 1, 2, 3, 0, 1};
    first.delay = 5;
    GifFrame second = Solid(2, 1, 3);
    second.left = 1, second.top = 1;
    second.delay = 8;
    second.transparent = 3;
    second.disposal = 2;
    GifFrame larger = Solid(4, 3, 2);
    gif.frames = {first, second, larger};
    const std::string path = folder_.File("anim.gif");
    test::WriteFileBytes(path, gif.Bytes());
    const GifFrames frames = LoadGifFramesForConversion(path);
    ASSERT_TRUE(frames.status.ok()) << frames.status.message();
    EXPECT_EQ(frames.width, 3);
    EXPECT_EQ(frames.height, 2);
    ASSERT_EQ(frames.frameCount, 3);
    EXPECT_EQ(frames.delays, (std::vector<int32_t>{10, 8, 5}));
    EXPECT_EQ(frames.disposals, (std::vector<uint8_t>{0, 2, 0}));
    EXPECT_EQ(frames.transparents, (std::vector<int32_t>{-1, 3, -1}));
    ASSERT_EQ(frames.indices.size(), 18u);
    // Last frame first: the larger frame cut to the cell at (0, 0).
    EXPECT_EQ(std::vector<uint8_t>(frames.indices.begin(), frames.indices.begin() + 6),
              (std::vector<uint8_t>{2, 2, 2, 2, 2, 2}));
    // The second frame at (1, 1) with its transparent indices copied, on the
    // background index 0.
    EXPECT_EQ(std::vector<uint8_t>(frames.indices.begin() + 6, frames.indices.begin() + 12),
              (std::vector<uint8_t>{0, 0, 0, 0, 3, 3}));
    EXPECT_EQ(std::vector<uint8_t>(frames.indices.begin() + 12, frames.indices.end()),
              (std::vector<uint8_t>{0, 1, 2, 3, 0, 1}));

    test::WriteFileBytes(path, "GIF88a and nothing");
    EXPECT_EQ(LoadGifFramesForConversion(path).status.message(), "Not a valid GIFFile!");
}

TEST_F(Gif, TheConversionReaderDrawsPartialFramesOverTheFrameBefore) {
    GifBuilder gif;
    gif.globalTable = kFourColours;
    GifFrame first = Solid(3, 2, 0);
    first.indices = {0, 1, 2, 3, 0, 1};
    GifFrame corner = Solid(1, 1, 3);
    corner.left = 2;
    GifFrame cleared = Solid(1, 1, 2);
    cleared.top = 1;
    cleared.delay = 10;
    cleared.disposal = 2;
    gif.frames = {first, corner, cleared};
    const std::string path = folder_.File("partial.gif");
    test::WriteFileBytes(path, gif.Bytes());
    const GifFrames frames = LoadGifFramesForConversion(path);
    ASSERT_TRUE(frames.status.ok()) << frames.status.message();
    ASSERT_EQ(frames.frameCount, 3);
    ASSERT_EQ(frames.indices.size(), 18u);
    // Last frame first: restoring the background starts from index 0.
    EXPECT_EQ(std::vector<uint8_t>(frames.indices.begin(), frames.indices.begin() + 6),
              (std::vector<uint8_t>{0, 0, 0, 2, 0, 0}));
    EXPECT_EQ(std::vector<uint8_t>(frames.indices.begin() + 6, frames.indices.begin() + 12),
              (std::vector<uint8_t>{0, 1, 3, 3, 0, 1}));
}

TEST_F(Gif, AFirstFrameLargerThanItsDataCanDescribeCostsNothing) {
    // 10000 x 10000 pixels (a 300 MB strip) from three codes.
    const std::string bytes = Bytes(kScreen) + TinyFrame(10000, 10000) + ";";
    test::LoadedPicture loaded;
    long growth = test::PeakMemoryGrowthKb([&] { loaded = Load(bytes); });
    EXPECT_EQ(loaded.message(), "GIFDecoder: unexpected end of file!");
    EXPECT_LT(growth, test::kSmallFileGrowthLimitKb);

    const std::string path = folder_.File("huge.gif");
    test::WriteFileBytes(path, bytes);
    GifFrames frames;
    growth = test::PeakMemoryGrowthKb([&] { frames = LoadGifFramesForConversion(path); });
    EXPECT_EQ(frames.status.message(), "GIFDecoder: unexpected end of file!");
    EXPECT_LT(growth, test::kSmallFileGrowthLimitKb);
}

TEST_F(Gif, TheScreenSizeCostsNothing) {
    std::string bytes = Bytes(kScreen) + TinyFrame(1, 1) + ";";
    bytes[6] = bytes[7] = bytes[8] = bytes[9] = '\xFF';  // screen 65535 x 65535
    test::LoadedPicture loaded;
    const long growth = test::PeakMemoryGrowthKb([&] { loaded = Load(bytes); });
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    EXPECT_EQ(loaded.canvas->width(), 1);
    EXPECT_EQ(loaded.canvas->height(), 1);
    EXPECT_LT(growth, test::kSmallFileGrowthLimitKb);
}

TEST_F(Gif, FramesThatWouldGrowTheCellsPastTheirDataEndTheReading) {
    // 300 frames of one pixel, then a 1000 x 1000 frame of three codes that
    // would enlarge all 301 cells to 903 MB.
    std::string bytes = Bytes(kScreen);
    for (int i = 0; i < 300; ++i) bytes += TinyFrame(1, 1);
    bytes += TinyFrame(1000, 1000) + ";";
    ASSERT_LT(bytes.size(), test::kSmallFileBytes);
    test::LoadedPicture loaded;
    const long growth = test::PeakMemoryGrowthKb([&] { loaded = Load(bytes); });
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    EXPECT_EQ(loaded.image.animation.frameCount, 300) << "the frames before it are kept";
    EXPECT_EQ(loaded.canvas->width(), 1);
    EXPECT_LT(growth, test::kSmallFileGrowthLimitKb);
}

TEST_F(Gif, TheConversionCellsNeverPassWhatTheDataCanDescribe) {
    // A 1000 x 1000 frame of three codes, then 300 frames of one pixel: 301
    // cells of a megabyte each.
    std::string bytes = Bytes(kScreen) + TinyFrame(1000, 1000);
    for (int i = 0; i < 300; ++i) bytes += TinyFrame(1, 1);
    bytes += ";";
    ASSERT_LT(bytes.size(), test::kSmallFileBytes);
    const std::string path = folder_.File("many.gif");
    test::WriteFileBytes(path, bytes);
    GifFrames frames;
    const long growth = test::PeakMemoryGrowthKb([&] { frames = LoadGifFramesForConversion(path); });
    ASSERT_TRUE(frames.status.ok()) << frames.status.message();
    EXPECT_GE(frames.frameCount, 1);
    EXPECT_LT(frames.frameCount, 301);
    EXPECT_EQ(frames.indices.size(), size_t{1000 * 1000} * frames.frameCount);
    EXPECT_LT(growth, test::kSmallFileGrowthLimitKb);
}

TEST_F(Gif, TheWriterWritesGif87aThatReadsBack) {
    const test::RgbImage pattern = test::MakePalettePattern(37, 9, {0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFFFFFF});
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(pattern, canvas));
    const std::string path = folder_.File("out.gif");
    ASSERT_TRUE(WriteGif(path, canvas, 24, PaletteMethod::kMedianCut, DitherType::kSerpentine, QuietHost()).ok());
    const std::string bytes = test::ReadFileBytes(path);
    EXPECT_EQ(bytes.substr(0, 6), "GIF87a");
    EXPECT_EQ(static_cast<uint8_t>(bytes[10]), 0xE7);
    EXPECT_EQ(bytes.back(), ';');
    // Sub-blocks after the minimum code size are at most 254 bytes long.
    size_t at = 13 + 768 + 10;
    EXPECT_EQ(bytes[at++], 8);
    while (at < bytes.size() && bytes[at] != 0) {
        EXPECT_LE(static_cast<uint8_t>(bytes[at]), 254);
        at += static_cast<uint8_t>(bytes[at]) + 1;
    }
    const auto back = test::LoadPicture(path);
    ASSERT_TRUE(back.ok()) << back.message();
    EXPECT_EQ(test::CanvasToRgb(*back.canvas), pattern) << "five colours are kept exactly";
}

TEST_F(Gif, TheEncoderSurvivesAFullTable) {
    // A noisy picture fills the 4096-entry table several times.
    ImageCanvas canvas;
    Palette256 grey{};
    for (int i = 0; i < 256; ++i) grey[i * 3] = grey[i * 3 + 1] = grey[i * 3 + 2] = static_cast<uint8_t>(i);
    ASSERT_TRUE(canvas.Create(300, 200, 8, 0, grey));
    uint32_t state = 1;
    for (int32_t y = 0; y < 200; ++y) {
        for (int32_t x = 0; x < 300; ++x) canvas.Row(y)[x] = static_cast<uint8_t>((state = state * 1103515245u + 12345u) >> 24);
    }
    const std::string path = folder_.File("noise.gif");
    ASSERT_TRUE(WriteGif(path, canvas, 8, PaletteMethod::kMedianCut, DitherType::kNone, QuietHost()).ok());
    const auto back = test::LoadPicture(path);
    ASSERT_TRUE(back.ok()) << back.message();
    EXPECT_EQ(test::CanvasToRgb(*back.canvas), test::CanvasToRgb(canvas));
}

}  // namespace
}  // namespace marbleye
