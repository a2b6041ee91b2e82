#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "formats/jpeg/Jpeg.h"
#include "support/MemoryUse.h"
#include "support/ReaderTest.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using Colour = std::array<int, 3>;

class JpegReader : public test::ReaderTest {
protected:
    // A JPEG of a picture with a red block on blue (quality 95, no smoothing).
    std::string MakeJpeg(int32_t width = 40, int32_t height = 24, bool colour = true) {
        ImageCanvas canvas;
        EXPECT_TRUE(test::CanvasFromRgb(test::MakePattern(width, height), canvas));
        const std::string path = folder_.File("made.jpg");
        EXPECT_TRUE(WriteJpeg(path, canvas, JpegWriteOptions{95, colour, true, 0, false}, QuietHost()));
        return test::ReadFileBytes(path);
    }
    static void ExpectNear(const Colour& actual, const Colour& expected) {
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(actual[i], expected[i], 12) << i;
    }
};

TEST_F(JpegReader, ColourRowsLandTopDownInBlueGreenRedOrder) {
    const auto picture = LoadBytes(MakeJpeg(), "a.jpg");
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.canvas->bitsPerPixel(), 24);
    ExpectNear(test::PixelOf(picture, 4, 10), {255, 0, 0});  // inside the red block, top left
    EXPECT_EQ(picture.image.width, 40);
    EXPECT_EQ(picture.image.height, 24);
}

TEST_F(JpegReader, EmbeddedStreamsOfCameraLviewAndPspFiles) {
    const std::string jpeg = MakeJpeg();
    const auto camera = LoadBytes(std::string(54, 'c') + jpeg, "photo.cam");
    ASSERT_TRUE(camera.ok()) << camera.message();
    ExpectNear(test::PixelOf(camera, 4, 10), {255, 0, 0});
    const auto lview = LoadBytes(std::string(101, '\xFF') + jpeg, "photo.lvp");
    ASSERT_TRUE(lview.ok()) << lview.message();
    // Paint Shop Pro: the preview sits somewhere after other blocks, which
    // may hold a partial match of the identifier.
    const auto psp = LoadBytes("Paint Shop Pro Image File\nJFI JFJFIX" + std::string(300, '\0') + jpeg, "photo.psp");
    ASSERT_TRUE(psp.ok()) << psp.message();
    EXPECT_EQ(psp.canvas->width(), 40);
    EXPECT_EQ(LoadBytes("Paint Shop Pro Image File\n" + std::string(500, 'J'), "plain.psp").message(),
              "No JPG-PreviewImage found.");
    EXPECT_EQ(LoadBytes("JFIF at the very start", "start.psp").message(), "No JPG-PreviewImage found.");
}

TEST_F(JpegReader, LibraryMessagesEndTheLoad) {
    EXPECT_EQ(test::LoadPicture(folder_.File("missing.jpg")).message(), "Unable to open file!");
    EXPECT_EQ(LoadBytes("GIF89a and so on", "fake.jpg").message(), "Not a JPEG file: starts with 0x47 0x49");
    EXPECT_EQ(LoadBytes("", "empty.jpg").message(), "Empty input file");
    EXPECT_EQ(LoadBytes("x", "short.cam").message(), "Empty input file");
}

TEST_F(JpegReader, TruncatedFilesShowWhatWasDecodedAndNeverCrash) {
    const std::string jpeg = MakeJpeg(64, 48);
    for (size_t length = 0; length < jpeg.size(); length += 7) {
        const auto picture = LoadBytes(jpeg.substr(0, length), "cut.jpg");
        // Cut inside the headers: a message; cut inside the scan: the picture
        // with the rest left gray, as the library fills it.
        if (picture.ok()) {
            EXPECT_EQ(picture.canvas->width(), 64) << length;
        } else {
            EXPECT_FALSE(picture.message().empty()) << length;
        }
    }
}

TEST_F(JpegReader, HugeFrameSizesAreRefusedBeforeAllocation) {
    std::string jpeg = MakeJpeg(16, 16);
    const size_t frame = jpeg.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    jpeg[frame + 5] = jpeg[frame + 7] = '\xFF';  // 65296 x 65296
    jpeg[frame + 6] = jpeg[frame + 8] = '\x10';
    EXPECT_LT(test::PeakMemoryGrowthKb([&] { EXPECT_EQ(LoadBytes(jpeg, "huge.jpg").message(), "Out of Memory"); }),
              test::kModestGrowthKb);
    // Progressive: the library would allocate its coefficient buffers first.
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(test::MakePattern(16, 16), canvas));
    const std::string path = folder_.File("progressive.jpg");
    ASSERT_TRUE(WriteJpeg(path, canvas, JpegWriteOptions{90, true, false, 0, true}, QuietHost()));
    std::string progressive = test::ReadFileBytes(path);
    const size_t frame2 = progressive.find("\xFF\xC2");
    ASSERT_NE(frame2, std::string::npos);
    progressive[frame2 + 5] = progressive[frame2 + 7] = '\xFF';
    EXPECT_LT(test::PeakMemoryGrowthKb([&] {
        EXPECT_EQ(LoadBytes(progressive, "huge-progressive.jpg").message(), "Out of Memory");
    }), test::kModestGrowthKb);
}

// Sets the frame size in the start-of-frame segment (baseline or progressive).
void SetFrameSize(std::string& jpeg, uint16_t width, uint16_t height) {
    size_t frame = jpeg.find("\xFF\xC0");
    if (frame == std::string::npos) frame = jpeg.find("\xFF\xC2");
    ASSERT_NE(frame, std::string::npos);
    jpeg[frame + 5] = static_cast<char>(height >> 8), jpeg[frame + 6] = static_cast<char>(height & 0xFF);
    jpeg[frame + 7] = static_cast<char>(width >> 8), jpeg[frame + 8] = static_cast<char>(width & 0xFF);
}

// 16000 x 16000 passes the pixel gate (768 MB at 24 bits), but the few
// hundred bytes of scan data cannot hold its million blocks at a bit each.
TEST_F(JpegReader, FramesTheFileCannotHoldAreRefusedBeforeAllocation) {
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(test::MakePattern(16, 16), canvas));
    for (const bool progressive : {false, true}) {
        const std::string path = folder_.File("small.jpg");
        ASSERT_TRUE(WriteJpeg(path, canvas, JpegWriteOptions{90, true, false, 0, progressive}, QuietHost()));
        std::string jpeg = test::ReadFileBytes(path);
        SetFrameSize(jpeg, 16000, 16000);
        ASSERT_LT(jpeg.size(), test::kSmallFileBytes);
        EXPECT_LT(test::PeakMemoryGrowthKb([&] {
            EXPECT_EQ(LoadBytes(jpeg, "claims-more.jpg").message(), "Out of Memory") << progressive;
        }), test::kSmallFileGrowthLimitKb);
    }
}

// A photograph-like picture (a pattern under fine noise) of more than a
// megabyte, cut at a tenth: the rows decoded so far show, the rest is gray.
TEST_F(JpegReader, APhotoCutAtATenthStillLoads) {
    test::RgbImage photo = test::MakePattern(1200, 900);
    uint32_t noise = 12345;
    for (uint8_t& sample : photo.rgb) {
        noise = noise * 1103515245u + 12345u;
        sample = static_cast<uint8_t>(std::clamp(int{sample} + static_cast<int>((noise >> 16) % 25) - 12, 0, 255));
    }
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(photo, canvas));
    const std::string path = folder_.File("photo.jpg");
    ASSERT_TRUE(WriteJpeg(path, canvas, JpegWriteOptions{75, true, true, 0, false}, QuietHost()));
    const std::string jpeg = test::ReadFileBytes(path);
    const auto cut = LoadBytes(jpeg.substr(0, jpeg.size() / 10), "cut.jpg");
    ASSERT_TRUE(cut.ok()) << cut.message();
    EXPECT_EQ(cut.canvas->width(), 1200);
    ExpectNear(test::PixelOf(cut, 100, 10), {255, 0, 0});  // the red block at the top
    ExpectNear(test::PixelOf(cut, 1100, 890), {128, 128, 128});
}

TEST_F(JpegReader, ThumbnailScaleKeepsTheLargerSideAboveTheThumbnail) {
    EXPECT_EQ(JpegThumbnailDenominator(6000, 4000, 80, 80), 8);
    EXPECT_EQ(JpegThumbnailDenominator(640, 480, 80, 80), 4);   // 640 is not above 8 x 80
    EXPECT_EQ(JpegThumbnailDenominator(641, 480, 80, 80), 8);
    EXPECT_EQ(JpegThumbnailDenominator(300, 200, 80, 80), 2);
    EXPECT_EQ(JpegThumbnailDenominator(160, 100, 80, 80), 1);
    EXPECT_EQ(JpegThumbnailDenominator(400, 1000, 200, 100), 8);  // tall: height against thumbnail height
    EXPECT_EQ(JpegThumbnailDenominator(1000, 400, 100, 200), 8);
}

TEST_F(JpegReader, ThumbnailLoadDecodesSmallAndRecordsTheFullSize) {
    LoadOptions options;
    options.thumbnail = true;
    options.thumbnailWidth = options.thumbnailHeight = 10;
    const auto picture = LoadBytes(MakeJpeg(200, 120), "big.jpg", options);
    ASSERT_TRUE(picture.ok());
    EXPECT_EQ(picture.canvas->width(), 25);
    EXPECT_EQ(picture.canvas->height(), 15);
    EXPECT_EQ(picture.image.width, 200);
    EXPECT_EQ(picture.image.height, 120);
}

TEST(JpegStream, RowsComeBackInTheOrderAndLayoutTheyWentIn) {
    // 5 x 48 pixels, stride 16; three flat bands of 16 rows (a chroma block)
    // whose inner rows the codec keeps.
    constexpr int32_t kWidth = 5, kHeight = 48, kStride = 16;
    uint8_t pixels[kStride * kHeight] = {};
    const uint8_t colours[3][3] = {{200, 30, 30}, {30, 200, 30}, {30, 30, 200}};
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) std::copy(colours[y / 16], colours[y / 16] + 3, pixels + y * kStride + x * 3);
    }
    std::FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    std::fputs("header", stream);
    const JpegWriteOptions options{80, true, true, 0, false};
    ASSERT_TRUE(JpegEncodeToStream(stream, pixels, kWidth, kHeight, options));
    const long second = std::ftell(stream);
    ASSERT_TRUE(JpegEncodeToStream(stream, pixels, 2, 1, options));
    EXPECT_FALSE(JpegEncodeToStream(stream, pixels, 0, 1, options));

    std::fseek(stream, 6, SEEK_SET);
    const auto first = JpegDecodeFromStream(stream);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->width, kWidth);
    EXPECT_EQ(first->height, kHeight);
    EXPECT_EQ(first->depth, 24);
    EXPECT_EQ(first->pixels.stride(), kStride);
    for (int y = 0; y < kHeight; ++y) {
        if (y % 16 < 2 || y % 16 > 13) continue;
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(first->pixels.data()[y * kStride + 3 + c], colours[y / 16][c], 10);
    }
    std::fseek(stream, second, SEEK_SET);
    const auto next = JpegDecodeFromStream(stream);
    ASSERT_TRUE(next);
    EXPECT_EQ(next->width, 2);
    std::fseek(stream, 0, SEEK_SET);
    EXPECT_FALSE(JpegDecodeFromStream(stream));
    std::fclose(stream);
}

}  // namespace
}  // namespace marbleye
