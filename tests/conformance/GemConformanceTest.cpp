// GEM bit images from netpbm's pbmtogem, checked against gemtopnm's decoding
// and the bitmap they were made from; grey and true-colour files coded here
// from the published layout with every kind of record.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "support/ExternalTools.h"
#include "support/ReaderTest.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::RgbImage;

std::string Be16(unsigned v) { return {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)}; }

// Codes one plane row: solid runs of 00 or FF, pattern runs of patternLength
// bytes, and bit strings for the rest.
std::string CodeRow(const std::vector<uint8_t>& row, size_t patternLength) {
    std::string out;
    std::string literal;
    auto flush = [&] {
        for (size_t at = 0; at < literal.size(); at += 255) {
            const std::string part = literal.substr(at, 255);
            out += '\x80';
            out += static_cast<char>(part.size());
            out += part;
        }
        literal.clear();
    };
    size_t i = 0;
    while (i < row.size()) {
        size_t same = 1;
        while (i + same < row.size() && row[i + same] == row[i] && same < 127) ++same;
        if ((row[i] == 0x00 || row[i] == 0xFF) && same >= 3) {
            flush();
            out += static_cast<char>((row[i] ? 0x80 : 0x00) | same);
            i += same;
            continue;
        }
        size_t repeats = 1;
        while (i + (repeats + 1) * patternLength <= row.size() && repeats < 255 &&
               std::equal(row.begin() + i, row.begin() + i + patternLength,
                          row.begin() + i + repeats * patternLength)) {
            ++repeats;
        }
        if (repeats >= 3) {
            flush();
            out += '\0';
            out += static_cast<char>(repeats);
            out.append(row.begin() + i, row.begin() + i + patternLength);
            i += repeats * patternLength;
            continue;
        }
        literal += static_cast<char>(row[i++]);
    }
    flush();
    return out;
}

// A whole file: equal scan lines in a row become one line repeat record.
std::string GemFile(unsigned headerWords, unsigned planes, unsigned patternLength, unsigned width,
                    const std::vector<std::vector<std::vector<uint8_t>>>& lines) {
    std::string file = Be16(1) + Be16(headerWords) + Be16(planes) + Be16(patternLength) + Be16(85) + Be16(85) +
                       Be16(width) + Be16(static_cast<unsigned>(lines.size()));
    file.append(headerWords * 2 - 16, '\0');
    for (size_t y = 0; y < lines.size();) {
        size_t repeat = 1;
        while (y + repeat < lines.size() && lines[y + repeat] == lines[y] && repeat < 255) ++repeat;
        if (repeat > 1) file += std::string("\0\0\xFF", 3) + static_cast<char>(repeat);
        for (const auto& planeRow : lines[y]) file += CodeRow(planeRow, patternLength);
        y += repeat;
    }
    return file;
}

// A picture with bands of equal rows, so that line repeats occur.
RgbImage Banded(int32_t width, int32_t height) {
    RgbImage image = test::MakePattern(width, height);
    for (int32_t y = 0; y < height; ++y) {
        const int32_t band = y / 7 * 7;
        std::copy(image.At(0, band), image.At(0, band) + width * 3, image.rgb.begin() + size_t(y) * width * 3);
    }
    return image;
}

class GemFiles : public test::ReaderTest {
protected:
    // The bitmap of a picture as netpbm makes it, and pbmtogem's file of it.
    std::string MakeGem(const RgbImage& picture, const std::string& name) {
        const std::string colour = folder_.File(name + ".ppm"), bitmap = folder_.File(name + ".pbm");
        test::WriteFileBytes(colour, test::ToPpm(picture));
        EXPECT_TRUE(test::RunCommand("/usr/bin/ppmtopgm " + colour + " | /usr/bin/pgmtopbm -threshold > " + bitmap));
        const std::string gem = folder_.File(name + ".img");
        EXPECT_TRUE(test::RunCommand("/usr/bin/pbmtogem " + bitmap + " > " + gem));
        return gem;
    }
    // Sets the pixel size to 85 x 85 micrometres, the one size the reader accepts.
    static std::string WithOurPixelSize(std::string bytes) {
        bytes.replace(8, 4, std::string("\0\x55\0\x55", 4));
        return bytes;
    }
    std::optional<RgbImage> DecodeWithGemtopnm(const std::string& path) {
        const auto output = test::RunCommand("/usr/bin/gemtopnm " + path + " | /usr/bin/ppmtoppm");
        if (!output) return std::nullopt;
        return test::FromPnm(*output);
    }
};

TEST_F(GemFiles, BitmapsOfPbmtogemLoadAsGemtopnmAndTheSourceShowThem) {
    MARBLEYE_REQUIRE_TOOL("/usr/bin/pbmtogem");
    MARBLEYE_REQUIRE_TOOL("/usr/bin/gemtopnm");
    MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert);
    const std::vector<std::pair<std::string, RgbImage>> pictures = {
        {"pattern", test::MakePattern(53, 29)}, {"banded", Banded(70, 45)}, {"bytes", test::MakePattern(64, 17)}};
    for (const auto& [name, source] : pictures) {
        const std::string made = MakeGem(source, name);
        const std::string ours = folder_.File(name + "-85.img");
        test::WriteFileBytes(ours, WithOurPixelSize(test::ReadFileBytes(made)));
        const auto picture = test::LoadPicture(ours);
        ASSERT_TRUE(picture.ok()) << name << ": " << picture.message();
        EXPECT_EQ(picture.image.fileBitDepth, 1) << name;
        const RgbImage loaded = test::CanvasToRgb(*picture.canvas);
        const auto theirs = DecodeWithGemtopnm(ours);
        ASSERT_TRUE(theirs) << name;
        EXPECT_EQ(loaded, *theirs) << name << ": " << test::FirstDifference(*theirs, loaded);
        const auto bitmap = test::DecodeWithImageMagick(folder_.File(name + ".pbm"));
        ASSERT_TRUE(bitmap) << name;
        EXPECT_EQ(loaded, *bitmap) << name << ": " << test::FirstDifference(*bitmap, loaded);
    }
}

TEST_F(GemFiles, PbmtogemsOwnPixelSizeIsRefused) {
    MARBLEYE_REQUIRE_TOOL("/usr/bin/pbmtogem");
    const std::string made = MakeGem(test::MakePattern(20, 10), "paper");
    ASSERT_NE(test::ReadFileBytes(made).substr(8, 4), std::string("\0\x55\0\x55", 4));
    EXPECT_EQ(test::LoadPicture(made).message(), "Invalid Header!");
}

TEST_F(GemFiles, SixteenGreysFromFourPlanes) {
    const RgbImage source = Banded(45, 31);
    std::vector<std::vector<std::vector<uint8_t>>> lines;
    RgbImage expected{source.width, source.height, {}};
    for (int32_t y = 0; y < source.height; ++y) {
        std::vector<std::vector<uint8_t>> planes(4, std::vector<uint8_t>((source.width + 7) / 8));
        for (int32_t x = 0; x < source.width; ++x) {
            const uint8_t* p = source.At(x, y);
            const int level = (p[0] + p[1] + p[2]) / 3 / 16;
            for (int k = 0; k < 4; ++k) {
                if (level >> k & 1) planes[k][x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            }
            expected.rgb.insert(expected.rgb.end(), 3, static_cast<uint8_t>(level * 17));
        }
        lines.push_back(planes);
    }
    const auto picture = LoadBytes(GemFile(8, 4, 2, source.width, lines), "grey.img");
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.image.fileBitDepth, 4);
    const RgbImage loaded = test::CanvasToRgb(*picture.canvas);
    EXPECT_EQ(loaded, expected) << test::FirstDifference(expected, loaded);
}

TEST_F(GemFiles, TrueColourFromTheNineWordHeader) {
    const RgbImage source = Banded(41, 30);
    std::vector<std::vector<std::vector<uint8_t>>> lines;
    for (int32_t y = 0; y < source.height; ++y) {
        lines.push_back({std::vector<uint8_t>(source.At(0, y), source.At(0, y) + source.width * 3)});
    }
    const auto picture = LoadBytes(GemFile(9, 24, 3, source.width, lines), "colour.gem");
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.image.fileBitDepth, 24);
    const RgbImage loaded = test::CanvasToRgb(*picture.canvas);
    EXPECT_EQ(loaded, source) << test::FirstDifference(source, loaded);
}

}  // namespace
}  // namespace marbleye
