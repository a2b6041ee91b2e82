// The MNG reader and player on streams built chunk by chunk from the
// published PNG/MNG layouts (length, name, data, CRC; zlib for the pixels),
// on our own writer's animations, and on hostile streams: endless and empty
// loops, sizes no file holds, files cut short.
#include <gtest/gtest.h>

#include <algorithm>
#include <zlib.h>

#include "formats/FormatId.h"
#include "formats/mng/Mng.h"
#include "formats/mng/MngPlayer.h"
#include "formats/mng/MngStream.h"
#include "formats/mng/MngWriter.h"
#include "support/MemoryUse.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

std::string Be32(uint32_t value) {
    return std::string{static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
                       static_cast<char>(value)};
}

std::string Chunk(const std::string& name, const std::string& data) {
    const std::string covered = name + data;
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(covered.data()), static_cast<uInt>(covered.size()));
    return Be32(static_cast<uint32_t>(data.size())) + covered + Be32(static_cast<uint32_t>(crc));
}

const std::string kMngSignature("\x8AMNG\r\n\x1A\n", 8);

// 100 ticks a second; simplicity 1 says there is no transparency, 0 says
// nothing.
std::string Mhdr(uint32_t width, uint32_t height, uint32_t simplicity = 1) {
    return Chunk("MHDR", Be32(width) + Be32(height) + Be32(100) + Be32(0) + Be32(0) + Be32(0) + Be32(simplicity));
}

// An RGB image of one colour (red, green, blue) as IHDR, IDAT, IEND.
std::string SolidImage(uint32_t width, uint32_t height, uint8_t red, uint8_t green, uint8_t blue) {
    std::string raw;
    for (uint32_t y = 0; y < height; ++y) {
        raw += '\0';
        for (uint32_t x = 0; x < width; ++x) raw += std::string{static_cast<char>(red), static_cast<char>(green),
                                                               static_cast<char>(blue)};
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
             static_cast<uLong>(raw.size()));
    packed.resize(packedSize);
    return Chunk("IHDR", Be32(width) + Be32(height) + std::string("\x08\x02\x00\x00\x00", 5)) +
           Chunk("IDAT", packed) + Chunk("IEND", "");
}

// FRAM with a framing mode and, when given, a new default delay in ticks.
std::string Fram(uint8_t mode, int delay = -1) {
    if (delay < 0) return Chunk("FRAM", std::string(1, static_cast<char>(mode)));
    return Chunk("FRAM", std::string(1, static_cast<char>(mode)) + std::string("\0\x02\0\0\0", 5) +
                             Be32(static_cast<uint32_t>(delay)));
}

std::string Loop(uint32_t iterations) { return Chunk("LOOP", std::string(1, '\0') + Be32(iterations)); }
std::string Endl() { return Chunk("ENDL", std::string(1, '\0')); }
// Repeat after a delay in ticks, without end.
std::string Term(uint32_t delay = 0) { return Chunk("TERM", std::string("\x03\x00", 2) + Be32(delay) + Be32(0x7FFFFFFF)); }
std::string Mend() { return Chunk("MEND", ""); }

// Red, green and blue frames of 6 x 4 pixels, each its own frame, with
// whatever goes before them.
std::string ThreeFrames(int delay, const std::string& before = "", uint32_t simplicity = 1) {
    return kMngSignature + Mhdr(6, 4, simplicity) + before + Fram(1, delay) + SolidImage(6, 4, 255, 0, 0) +
           Fram(1, delay) + SolidImage(6, 4, 0, 255, 0) + Fram(1, delay) + SolidImage(6, 4, 0, 0, 255) + Mend();
}

test::LoadedPicture LoadBytes(const test::TempFolder& folder, const std::string& name, const std::string& bytes,
                              const LoadOptions& options = LoadOptions()) {
    test::WriteFileBytes(folder.File(name), bytes);
    return test::LoadPicture(folder.File(name), options);
}

TEST(MngReader, FirstFrameOfAnAnimationAndItsCounts) {
    test::TempFolder folder;
    const auto picture = LoadBytes(folder, "three.mng", ThreeFrames(10));
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.image.formatId, format_id::kMng);
    EXPECT_EQ(picture.canvas->width(), 6);
    EXPECT_EQ(picture.canvas->height(), 4);
    EXPECT_EQ(picture.canvas->bitsPerPixel(), 24);
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{5, 3}, std::pair{2, 1}}) {
        EXPECT_EQ(test::PixelOf(picture, x, y), (std::array<int, 3>{255, 0, 0}));
    }
    EXPECT_EQ(picture.image.mngCounts.frameCount, 3);
    EXPECT_EQ(picture.image.mngCounts.layerCount, 4);
    EXPECT_TRUE(picture.image.mngCounts.animated());
    // A header that does not rule out transparency gets a canvas with alpha.
    const auto open = LoadBytes(folder, "open.mng", ThreeFrames(10, "", 0));
    ASSERT_TRUE(open.ok()) << open.message();
    EXPECT_EQ(open.canvas->bitsPerPixel(), 32);
    EXPECT_EQ(open.canvas->Row(0)[3], 255);
    EXPECT_EQ(test::PixelOf(open, 5, 3), (std::array<int, 3>{255, 0, 0}));
}

TEST(MngReader, ImagesAtPositionsOverABackground) {
    // A 2 x 2 green image placed at (3, 1) by DEFI over the red first one.
    const std::string defi = Chunk("DEFI", std::string("\0\0\0\x01", 4) + Be32(3) + Be32(1));
    const std::string stream = kMngSignature + Mhdr(6, 4) + Fram(2) + SolidImage(6, 4, 255, 0, 0) + defi +
                               SolidImage(2, 2, 0, 255, 0) + Mend();
    test::TempFolder folder;
    const auto picture = LoadBytes(folder, "placed.mng", stream);
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(test::PixelOf(picture, 0, 0), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(test::PixelOf(picture, 3, 1), (std::array<int, 3>{0, 255, 0}));
    EXPECT_EQ(test::PixelOf(picture, 4, 2), (std::array<int, 3>{0, 255, 0}));
    EXPECT_EQ(test::PixelOf(picture, 5, 3), (std::array<int, 3>{255, 0, 0}));
    // Framing mode 2: both layers make one frame.
    EXPECT_EQ(picture.image.mngCounts.frameCount, 1);
    EXPECT_EQ(picture.image.mngCounts.layerCount, 3);
    EXPECT_FALSE(picture.image.mngCounts.animated());
}

TEST(MngReader, FramesCountedByFramingMode) {
    test::TempFolder folder;
    const auto count = [&](const std::string& body) {
        test::WriteFileBytes(folder.File("count.mng"), kMngSignature + Mhdr(2, 2) + body + Mend());
        const MngCounts counts = CountFramesAndLayers(folder.File("count.mng"));
        return std::pair{counts.frameCount, counts.layerCount};
    };
    const std::string image = SolidImage(2, 2, 1, 2, 3);
    EXPECT_EQ(count(image + image + image), (std::pair{3, 4}));  // no FRAM: mode 1, each image a frame
    EXPECT_EQ(count(Fram(4) + image + image + Fram(0) + image), (std::pair{2, 4}));
    EXPECT_EQ(count(Fram(3) + image + Fram(2) + image + image), (std::pair{2, 4}));
    EXPECT_EQ(count(Fram(2) + Fram(2) + image), (std::pair{1, 2}));  // an empty subframe is no frame
    EXPECT_EQ(count(""), (std::pair{0, 1}));
    test::WriteFileBytes(folder.File("text.mng"), "not a stream");
    EXPECT_EQ(CountFramesAndLayers(folder.File("text.mng")).frameCount, 0);
}

TEST(MngReader, LoopsNeitherRepeatNorHang) {
    test::TempFolder folder;
    const std::string red = SolidImage(4, 4, 255, 0, 0);
    const std::string blue = SolidImage(4, 4, 0, 0, 255);
    const std::string streams[] = {
        // an empty loop of 2^31 iterations before the first image
        kMngSignature + Mhdr(4, 4) + Loop(0x7FFFFFFF) + Endl() + red + Mend(),
        // an endless zero-delay animation
        kMngSignature + Mhdr(4, 4) + Term() + Loop(0x7FFFFFFF) + Fram(1, 0) + red + Fram(1, 0) + blue + Endl() +
            Mend(),
        // loops nested without an image in them, then the image
        kMngSignature + Mhdr(4, 4) + Loop(0x7FFFFFFF) + Loop(0x7FFFFFFF) + Fram(1, 0) + Endl() + Endl() + red +
            Mend(),
        // a TERM that repeats a stream without a single image
        kMngSignature + Mhdr(4, 4) + Term() + Mend(),
    };
    for (const std::string& stream : streams) {
        // A stream that kept the library busy would not return here.
        const auto picture = LoadBytes(folder, "loop.mng", stream);
        ASSERT_TRUE(picture.ok()) << picture.message();
        EXPECT_EQ(picture.canvas->width(), 4);
        if (stream.find("IHDR") != std::string::npos) {
            EXPECT_EQ(test::PixelOf(picture, 1, 1), (std::array<int, 3>{255, 0, 0}));
        }
    }
}

TEST(MngReader, SizesNoFileHoldsCostNothing) {
    test::TempFolder folder;
    const std::string cases[] = {
        kMngSignature + Mhdr(100000, 100000) + SolidImage(4, 4, 255, 0, 0) + Mend(),
        // a small canvas with an image of 60000 x 60000 pixels of 16-bit samples with alpha
        kMngSignature + Mhdr(4, 4) +
            Chunk("IHDR", Be32(60000) + Be32(60000) + std::string("\x10\x06\x00\x00\x00", 5)) +
            Chunk("IDAT", std::string(64, '\0')) + Chunk("IEND", "") + Mend(),
        // a PNG stream of 0x7FFFFFFF x 0x7FFFFFFF pixels
        std::string("\x89PNG\r\n\x1A\n", 8) +
            Chunk("IHDR", Be32(0x7FFFFFFF) + Be32(0x7FFFFFFF) + std::string("\x08\x02\x00\x00\x00", 5)) +
            Chunk("IEND", ""),
    };
    for (const std::string& stream : cases) {
        test::LoadedPicture picture;
        const long growth = test::PeakMemoryGrowthKb([&] { picture = LoadBytes(folder, "huge.mng", stream); });
        EXPECT_FALSE(picture.ok());
        EXPECT_EQ(picture.message().rfind("Error in chunk ", 0), 0u) << picture.message();
        EXPECT_LT(growth, test::kSmallFileGrowthLimitKb);
        EXPECT_EQ(picture.image.fileBitDepth, -1);
    }
}

TEST(MngReader, AFirstFrameOfTooManyLayersIsCutOff) {
    // Framing mode 2: every layer goes into the first frame.
    std::string layers, half;
    for (int i = 0; i < 80; ++i) {
        layers += SolidImage(4, 4, static_cast<uint8_t>(i), 0, 0);
        if (i == 39) half = layers;
    }
    test::TempFolder folder;
    const auto many = LoadBytes(folder, "many.mng", kMngSignature + Mhdr(4, 4) + Fram(2) + layers + Mend());
    EXPECT_EQ(many.message().rfind("Error in chunk ", 0), 0u) << many.message();
    // Fewer layers are drawn one over the other.
    const auto some = LoadBytes(folder, "some.mng", kMngSignature + Mhdr(4, 4) + Fram(2) + half + Mend());
    ASSERT_TRUE(some.ok()) << some.message();
    EXPECT_EQ(test::PixelOf(some, 0, 0), (std::array<int, 3>{39, 0, 0}));
}

TEST(MngReader, FilesCutShortGiveMessages) {
    test::TempFolder folder;
    const std::string whole = ThreeFrames(10);
    for (size_t length = 0; length < whole.size(); ++length) {
        const auto picture = LoadBytes(folder, "short.mng", whole.substr(0, length));
        if (!picture.ok()) {
            EXPECT_FALSE(picture.message().empty());
            continue;
        }
        // Whatever loads is the first frame, whole: it ends before the second.
        EXPECT_GT(length, whole.find("IEND"));
        EXPECT_EQ(test::PixelOf(picture, 5, 3), (std::array<int, 3>{255, 0, 0}));
    }
    const auto missing = test::LoadPicture(folder.File("missing.mng"));
    EXPECT_EQ(missing.message(), "Unable to open file!");
    const auto text = LoadBytes(folder, "text.jng", "just some text, no stream at all");
    EXPECT_EQ(text.message().rfind("Error in chunk ", 0), 0u) << text.message();
}

TEST(MngReader, TheProgramsProfileMustBeThere) {
    test::TempFolder folder;
    LoadOptions options;
    options.mngOutputProfile = folder.File("sRGB.icm");
    const auto picture = LoadBytes(folder, "three.mng", ThreeFrames(10), options);
    EXPECT_EQ(picture.message(), "Need file \"sRGB.icm\" !");
    EXPECT_EQ(picture.canvas->width(), 500);
}

TEST(MngReader, OurWritersAnimationReadBack) {
    // Three 5 x 3 frames of palette indices: all 1, then one pixel 2, then all 3.
    GifFrames frames;
    frames.width = 5;
    frames.height = 3;
    frames.frameCount = 3;
    std::vector<uint8_t> second(15, 1);
    second[7] = 2;
    // The conversion reader's order: last frame first.
    frames.indices.assign(15, 3);
    frames.indices.insert(frames.indices.end(), second.begin(), second.end());
    frames.indices.insert(frames.indices.end(), 15, 1);
    const uint8_t colours[4][3] = {{0, 0, 0}, {200, 10, 20}, {30, 220, 40}, {50, 60, 230}};
    for (int i = 0; i < 4; ++i) {
        for (int c = 0; c < 3; ++c) frames.palette[i * 3 + c] = colours[i][c];
    }
    frames.delays = {20, 20, 20};
    frames.disposals = {1, 1, 1};
    frames.transparents = {-1, -1, -1};
    test::TempFolder folder;
    ASSERT_TRUE(WriteMngAnimation(folder.File("ours.mng"), frames, QuietHost()));
    const auto picture = test::LoadPicture(folder.File("ours.mng"));
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.canvas->width(), 5);
    EXPECT_EQ(test::PixelOf(picture, 2, 1), (std::array<int, 3>{200, 10, 20}));
    EXPECT_EQ(picture.image.mngCounts.frameCount, 3);
    EXPECT_EQ(picture.image.mngCounts.layerCount, 4);
}

// Records what the player asks for and the canvas's top-left colour at
// every refresh.
class RecordingHost : public MngPlayerHost {
public:
    explicit RecordingHost(const ImageCanvas& canvas) : canvas_(canvas) {}
    void SetTimer(uint32_t milliseconds) override { timers.push_back(milliseconds); }
    void Refresh() override {
        const uint8_t* pixel = canvas_.Row(canvas_.height() - 1);
        colours.push_back({pixel[2], pixel[1], pixel[0]});
    }
    std::vector<uint32_t> timers;
    std::vector<std::array<int, 3>> colours;

private:
    const ImageCanvas& canvas_;
};

TEST(MngPlayer, PlaysEveryFrameAtItsDelayAndStartsAgain) {
    test::TempFolder folder;
    // 25 ticks of 1/100 s a frame; after the last 40 ticks, then again.
    test::WriteFileBytes(folder.File("three.mng"), ThreeFrames(25, Term(40)));
    ImageCanvas canvas;
    RecordingHost host(canvas);
    MngPlayer player;
    ASSERT_TRUE(player.Play(folder.File("three.mng"), std::string(), canvas, host));
    for (int step = 0; step < 8; ++step) ASSERT_TRUE(player.ShowNextFrame());
    const std::array<int, 3> red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255};
    ASSERT_GE(host.colours.size(), 6u);
    EXPECT_EQ(std::vector(host.colours.begin(), host.colours.begin() + 6),
              (std::vector<std::array<int, 3>>{red, green, blue, red, green, blue}));
    // Delays are measured from the frame's start: at most 250 ms.
    ASSERT_GE(host.timers.size(), 2u);
    for (size_t i = 0; i < 2; ++i) EXPECT_LE(host.timers[i], 250u);
    EXPECT_NE(std::find(host.timers.begin(), host.timers.end(), 400u), host.timers.end());
}

TEST(MngPlayer, AStreamThatDoesNotRepeatEndsAtItsLastFrame) {
    test::TempFolder folder;
    test::WriteFileBytes(folder.File("once.mng"), ThreeFrames(5));
    ImageCanvas canvas;
    RecordingHost host(canvas);
    MngPlayer player;
    ASSERT_TRUE(player.Play(folder.File("once.mng"), std::string(), canvas, host));
    int steps = 0;
    while (steps < 10 && player.ShowNextFrame()) ++steps;
    EXPECT_LT(steps, 10);
    ASSERT_FALSE(host.colours.empty());
    EXPECT_EQ(host.colours.back(), (std::array<int, 3>{0, 0, 255}));
    EXPECT_EQ(test::CanvasToRgb(canvas).rgb[2], 255);
    EXPECT_FALSE(player.ShowNextFrame());
}

TEST(MngPlayer, AZeroDelayLoopLeavesTheWindowTime) {
    test::TempFolder folder;
    const std::string stream = kMngSignature + Mhdr(4, 4) + Term() + Loop(0x7FFFFFFF) + Fram(1, 0) +
                               SolidImage(4, 4, 255, 0, 0) + Fram(1, 0) + SolidImage(4, 4, 0, 0, 255) + Endl() +
                               Mend();
    test::WriteFileBytes(folder.File("zero.mng"), stream);
    ImageCanvas canvas;
    RecordingHost host(canvas);
    MngPlayer player;
    ASSERT_TRUE(player.Play(folder.File("zero.mng"), std::string(), canvas, host));
    for (int step = 0; step < 20; ++step) ASSERT_TRUE(player.ShowNextFrame());
    // Every step returned with a timer to wait for.
    EXPECT_GE(host.timers.size(), 20u);
}

TEST(MngPlayer, AFailedStreamEndsPlaying) {
    test::TempFolder folder;
    test::WriteFileBytes(folder.File("bad.mng"), "no stream");
    ImageCanvas canvas;
    RecordingHost host(canvas);
    MngPlayer player;
    EXPECT_FALSE(player.Play(folder.File("bad.mng"), std::string(), canvas, host));
    EXPECT_FALSE(player.ShowNextFrame());
}

}  // namespace
}  // namespace marbleye
