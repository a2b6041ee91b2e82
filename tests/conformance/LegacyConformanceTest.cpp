// HRZ frames written by ImageMagick, and Dr. Halo CUT files with their
// palette files coded here from the published layout, loaded as ImageMagick
// decodes them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ExternalTools.h"
#include "support/ReaderTest.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::RgbImage;

std::string Le16(unsigned v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }

// One CUT row: runs of three or more equal bytes as run codes, the rest as
// literal codes, the end code, and the count of it all in front.
std::string CutRow(const std::vector<uint8_t>& row) {
    std::string codes;
    size_t i = 0;
    while (i < row.size()) {
        size_t same = 1;
        while (i + same < row.size() && row[i + same] == row[i] && same < 127) ++same;
        if (same >= 3) {
            codes += static_cast<char>(0x80 | same);
            codes += static_cast<char>(row[i]);
            i += same;
            continue;
        }
        size_t literal = 0;
        while (i + literal < row.size() && literal < 127 &&
               !(i + literal + 2 < row.size() && row[i + literal] == row[i + literal + 1] &&
                 row[i + literal] == row[i + literal + 2])) {
            ++literal;
        }
        codes += static_cast<char>(literal);
        codes.append(row.begin() + i, row.begin() + i + literal);
        i += literal;
    }
    codes += '\0';
    return Le16(static_cast<unsigned>(codes.size())) + codes;
}

class LegacyFiles : public test::ReaderTest {
protected:
    void SetUp() override { MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert); }
    void ExpectLikeImageMagick(const std::string& path, int32_t depth) {
        const auto expected = test::DecodeWithImageMagick(path);
        ASSERT_TRUE(expected) << path;
        const auto picture = test::LoadPicture(path);
        ASSERT_TRUE(picture.ok()) << path << ": " << picture.message();
        EXPECT_EQ(picture.image.fileBitDepth, depth) << path;
        const RgbImage ours = test::CanvasToRgb(*picture.canvas);
        EXPECT_EQ(ours, *expected) << path << ": " << test::FirstDifference(*expected, ours);
    }
};

TEST_F(LegacyFiles, HrzFramesOfImageMagick) {
    const std::string source = folder_.File("source.ppm"), frame = folder_.File("frame.hrz");
    test::WriteFileBytes(source, test::ToPpm(test::MakePattern(256, 240)));
    ASSERT_TRUE(test::RunCommand(std::string(test::kImageMagickConvert) + " " + source + " " + frame));
    const std::string stored = test::ReadFileBytes(frame);
    ASSERT_EQ(stored.size(), 256u * 240 * 3);
    auto expected = test::DecodeWithImageMagick(frame);
    ASSERT_TRUE(expected);
    // ImageMagick stores full intensity as 64, one above the 6-bit range, and
    // reads it back as 0; we show it at full intensity.
    size_t outOfRange = 0;
    for (size_t i = 0; i < stored.size(); ++i) {
        if (static_cast<uint8_t>(stored[i]) > 63) expected->rgb[i] = 255, ++outOfRange;
    }
    EXPECT_GT(outOfRange, 0u) << "the pattern's saturated colours are expected to be stored as 64";
    const auto picture = test::LoadPicture(frame);
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.image.fileBitDepth, 24);
    const RgbImage ours = test::CanvasToRgb(*picture.canvas);
    EXPECT_EQ(ours, *expected) << test::FirstDifference(*expected, ours);
}

TEST_F(LegacyFiles, CutWithItsPaletteFile) {
    // Indices from the pattern's colours, so that runs and literals both occur.
    const RgbImage source = test::MakePattern(61, 37);
    std::string cut = Le16(61) + Le16(37) + Le16(0);
    for (int32_t y = 0; y < source.height; ++y) {
        std::vector<uint8_t> row;
        for (int32_t x = 0; x < source.width; ++x) {
            const uint8_t* p = source.At(x, y);
            row.push_back(static_cast<uint8_t>((p[0] / 2 + p[1] / 4 + p[2] / 8) & 0xFF));
        }
        cut += CutRow(row);
    }
    test::WriteFileBytes(folder_.File("grey.cut"), cut);
    ExpectLikeImageMagick(folder_.File("grey.cut"), 8);

    // The 40-byte header of the palette file, then words of red, green and
    // blue in 512-byte blocks, an entry that would not fit starting the next.
    std::string palette = "AH" + Le16(0) + Le16(0) + std::string("\x0A\x00", 2) + Le16(0) + Le16(0) + Le16(255) +
                          Le16(255) + Le16(255) + Le16(255) + "Dr. Halo" + std::string(12, '\0');
    for (unsigned i = 0; i < 256; ++i) {
        if (512 - palette.size() % 512 < 6) palette.append(512 - palette.size() % 512, '\0');
        palette += Le16((i * 5) & 0xFF) + Le16(255 - i) + Le16((i * 3 + 40) & 0xFF);
    }
    test::WriteFileBytes(folder_.File("colour.cut"), cut);
    test::WriteFileBytes(folder_.File("colour.pal"), palette);
    ExpectLikeImageMagick(folder_.File("colour.cut"), 8);
}

}  // namespace
}  // namespace marbleye
