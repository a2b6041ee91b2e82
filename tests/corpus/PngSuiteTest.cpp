// The PngSuite: every valid file decodes to ImageMagick's pixels composited
// over the file's background colour (white without one), every broken file
// ("x" names) gives a message; the outcomes stay as recorded.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/ExternalTools.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

namespace fs = std::filesystem;

const fs::path kSuite = fs::path(MARBLEYE_CORPORA_DIR) / "pngsuite" / "png";

uint32_t BigEndian(const std::string& bytes, size_t at) {
    return (uint32_t(uint8_t(bytes[at])) << 24) | (uint32_t(uint8_t(bytes[at + 1])) << 16) |
           (uint32_t(uint8_t(bytes[at + 2])) << 8) | uint8_t(bytes[at + 3]);
}

// The bKGD colour as 8-bit red, green, blue, read from the chunks directly;
// white when the file has none.
std::array<int, 3> BackgroundOf(const std::string& png) {
    std::array<int, 3> background{255, 255, 255};
    int bits = 8, colourType = 0;
    std::string palette;
    for (size_t at = 8; at + 8 <= png.size();) {
        const uint32_t length = BigEndian(png, at);
        const std::string type = png.substr(at + 4, 4);
        if (at + 12 + length > png.size()) break;
        const std::string data = png.substr(at + 8, length);
        if (type == "IHDR") bits = uint8_t(data[8]), colourType = uint8_t(data[9]);
        if (type == "PLTE") palette = data;
        if (type == "bKGD") {
            const int top = (1 << bits) - 1;
            const auto scale = [&](size_t i) { return ((uint8_t(data[i]) << 8 | uint8_t(data[i + 1])) * 255 + top / 2) / top; };
            if (colourType == 3) {
                const size_t index = uint8_t(data[0]);
                if (index * 3 + 3 <= palette.size()) {
                    for (int c = 0; c < 3; ++c) background[c] = uint8_t(palette[index * 3 + c]);
                }
            } else if (colourType & 2) {
                background = {scale(0), scale(2), scale(4)};
            } else {
                background = {scale(0), scale(0), scale(0)};
            }
        }
        at += 12 + length;
    }
    return background;
}

// The file without its colour-space chunks: ImageMagick would correct the
// samples for them, and the reader shows them as stored.
std::string WithoutColourSpace(const std::string& png) {
    std::string kept = png.substr(0, 8);
    for (size_t at = 8; at + 12 <= png.size();) {
        const uint32_t length = BigEndian(png, at);
        const std::string type = png.substr(at + 4, 4);
        if (type != "gAMA" && type != "cHRM" && type != "sRGB" && type != "iCCP") kept += png.substr(at, 12 + length);
        at += 12 + length;
    }
    return kept;
}

// ImageMagick's samples reduced to 8 bits (rounded: ImageMagick's own
// reduction truncates some) and composited over the background.
std::optional<test::RgbImage> ExpectedPixels(const fs::path& file, int32_t width, int32_t height,
                                             const std::string& scratch) {
    test::WriteFileBytes(scratch, WithoutColourSpace(test::ReadFileBytes(file.string())));
    const auto rgba = test::RunCommand(std::string(test::kImageMagickConvert) + " " + test::Quoted(scratch) +
                                       " -depth 16 -endian MSB rgba:-");
    if (!rgba || rgba->size() != size_t(width) * height * 8) return std::nullopt;
    const auto sample = [&](size_t i) {
        const uint32_t value = uint8_t((*rgba)[i * 2]) << 8 | uint8_t((*rgba)[i * 2 + 1]);
        return int((value * 255 + 32767) / 65535);
    };
    const auto background = BackgroundOf(test::ReadFileBytes(file.string()));
    test::RgbImage image{width, height, std::vector<uint8_t>(size_t(width) * height * 3)};
    for (size_t i = 0; i < size_t(width) * height; ++i) {
        const int alpha = sample(i * 4 + 3);
        for (int c = 0; c < 3; ++c) {
            const int value = sample(i * 4 + c);
            image.rgb[i * 3 + c] = uint8_t((value * alpha + background[c] * (255 - alpha) + 127) / 255);
        }
    }
    return image;
}

TEST(PngSuite, ValidFilesMatchImageMagickAndBrokenOnesGiveAMessage) {
    if (!fs::exists(kSuite)) GTEST_SKIP() << "no corpus at " << kSuite;
    MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert);
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(kSuite)) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::string outcomes;
    int compared = 0;
    test::TempFolder folder;
    for (const fs::path& file : files) {
        const std::string name = file.filename().string();
        const auto picture = test::LoadPicture(file.string());
        outcomes += test::OutcomeLine(name, picture);
        if (name[0] == 'x') {
            EXPECT_FALSE(picture.ok()) << name;
            continue;
        }
        ASSERT_TRUE(picture.ok()) << name << ": " << picture.message();
        const auto expected = ExpectedPixels(file, picture.canvas->width(), picture.canvas->height(), folder.File("scratch.png"));
        ASSERT_TRUE(expected) << name;
        const test::RgbImage ours = test::CanvasToRgb(*picture.canvas);
        EXPECT_EQ(ours, *expected) << name << ": " << test::FirstDifference(*expected, ours);
        ++compared;
    }
    EXPECT_GT(compared, 150);
    test::ExpectGolden((fs::path(MARBLEYE_SOURCE_DIR) / "tests" / "corpus" / "pngsuite.golden").string(), outcomes);
}

}  // namespace
}  // namespace marbleye
