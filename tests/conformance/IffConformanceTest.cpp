// IFF files made by netpbm's ppmtoilbm, and files built here from the
// published layout, load as netpbm's ilbmtoppm decodes them.
#include <gtest/gtest.h>

#include "support/ExternalTools.h"
#include "support/IffBuilder.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::RgbImage;

constexpr const char* kToIlbm = "/usr/bin/ppmtoilbm";
constexpr const char* kFromIlbm = "/usr/bin/ilbmtoppm";

class IffFormats : public ::testing::Test {
protected:
    void SetUp() override {
        MARBLEYE_REQUIRE_TOOL(kToIlbm);
        MARBLEYE_REQUIRE_TOOL(kFromIlbm);
    }

    // Our picture and netpbm's of the file at path.
    std::pair<RgbImage, RgbImage> BothDecodings(const std::string& path) {
        const auto expected = test::FromPnm(test::RunCommand(std::string(kFromIlbm) + " " + path + " 2>/dev/null").value_or(""));
        EXPECT_TRUE(expected) << path;
        const auto picture = test::LoadPicture(path);
        EXPECT_TRUE(picture.ok()) << path << ": " << picture.message();
        if (!expected || !picture.ok()) return {};
        return {test::CanvasToRgb(*picture.canvas), *expected};
    }

    void ExpectLikeNetpbm(const std::string& path) {
        const auto [ours, theirs] = BothDecodings(path);
        EXPECT_EQ(ours, theirs) << path << ": " << test::FirstDifference(theirs, ours);
    }

    std::string Make(const std::string& options, const std::string& source, const std::string& name) {
        const std::string path = folder_.File(name);
        EXPECT_TRUE(test::RunCommand(std::string(kToIlbm) + " " + options + " " + source + " > " + path + " 2>/dev/null"))
            << name;
        return path;
    }
    test::TempFolder folder_;
};

TEST_F(IffFormats, PalettedAndTrueColourFilesOfPpmtoilbm) {
    for (int width : {37, 48}) {
        const std::string ppm = folder_.File("source.ppm");
        test::WriteFileBytes(ppm, test::ToPpm(test::MakePattern(width, 21)));
        const std::string few = folder_.File("few.ppm");
        test::WriteFileBytes(few, test::ToPpm(test::MakePalettePattern(width, 9, {0xFF0000, 0x00FF00, 0x0000FF, 0x808080,
                                                                                0x102030, 0xABCDEF, 0xFFFFFF})));
        const std::string w = std::to_string(width);
        for (const auto& [options, source, name] : std::vector<std::tuple<std::string, std::string, std::string>>{
                 {"-24force", ppm, "24.iff"},
                 {"-24force -nocompress", ppm, "24-raw.iff"},
                 {"", few, "3planes.iff"},
                 {"-nocompress", few, "3planes-raw.iff"},
                 {"-fixplanes 8", few, "8planes.iff"},
                 {"-cmethod none -fixplanes 5", few, "5planes-raw.iff"},
                 {"-ham8", ppm, "ham8.iff"},
                 {"-ham8 -nocompress", ppm, "ham8-raw.iff"}}) {
            const std::string path = Make(options, source, w + "-" + name);
            ExpectLikeNetpbm(path);
            if (source == few) {
                const auto picture = test::LoadPicture(path);
                EXPECT_EQ(test::CanvasToRgb(*picture.canvas), *test::FromPnm(test::ReadFileBytes(few))) << name;
            }
        }
    }
}

// HAM6 data is 4 bits of a component. We repeat them into the low bits (5
// gives 0x55); ilbmtoppm keeps the held colour's low bits, so the pictures
// are compared in the high four bits, which the file holds.
// ppmtoilbm's HAM of five planes is not compared: netpbm takes five planes
// as three data bits and two control bits, while on the Amiga (and here) a
// five-plane HAM picture is a six-plane one whose sixth plane is clear.
TEST_F(IffFormats, HoldAndModifyOfSixPlanesInTheirFourBits) {
    const std::string ppm = folder_.File("source.ppm");
    test::WriteFileBytes(ppm, test::ToPpm(test::MakePattern(41, 17)));
    for (const auto& [options, name] : std::vector<std::pair<std::string, std::string>>{
             {"-ham6", "ham6.iff"}, {"-ham6 -nocompress", "ham6-raw.iff"}}) {
        auto [ours, theirs] = BothDecodings(Make(options, ppm, name));
        ASSERT_EQ(ours.rgb.size(), theirs.rgb.size()) << name;
        int wrong = 0, notFourBit = 0;
        for (size_t i = 0; i < ours.rgb.size(); ++i) {
            if (ours.rgb[i] % 17 != 0) ++notFourBit;
            if (ours.rgb[i] >> 4 != theirs.rgb[i] >> 4) ++wrong;
        }
        EXPECT_EQ(wrong, 0) << name;
        EXPECT_EQ(notFourBit, 0) << name << ": ppmtoilbm's HAM palette is 16 greys of 4 bits";
    }
}

TEST_F(IffFormats, HandBuiltFilesLoadAsNetpbmDecodesThem) {
    const auto indexed = [](const std::string& formType, uint16_t width, uint16_t height, uint8_t bits) {
        test::IffPicture p;
        p.formType = formType, p.width = width, p.height = height, p.planes = bits;
        for (int i = 0; i < (1 << bits); ++i) {
            p.palette.insert(p.palette.end(), {static_cast<uint8_t>(i * 37 + 5), static_cast<uint8_t>(200 - i * 3),
                                               static_cast<uint8_t>(i * 11)});
        }
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) p.pixels.push_back(static_cast<uint32_t>(x * 5 + y * y + 3 * x * y) % (1u << bits));
        }
        return p;
    };
    test::IffPicture masked = indexed("ILBM", 29, 11, 4);
    masked.masking = 1;
    masked.compress = true;
    for (int i = 0; i < 11 * 4; ++i) masked.maskBits.push_back(static_cast<uint8_t>(0x3C + i * 29));
    test::IffPicture halfBrite = indexed("ILBM", 23, 9, 6);
    halfBrite.palette.resize(32 * 3);
    halfBrite.viewModes = true, halfBrite.modes = 0x80;
    // Chunky rows of an even width only: for odd widths we read the rows
    // padded to an even length, ilbmtoppm reads them unpadded.
    test::IffPicture chunky8 = indexed("PBM ", 24, 9, 8);
    chunky8.compress = true;
    test::IffPicture chunky8Raw = indexed("PBM ", 22, 5, 8);
    for (const auto& [picture, name] : std::vector<std::pair<test::IffPicture, std::string>>{
             {masked, "masked.iff"}, {halfBrite, "ehb.iff"}, {chunky8, "chunky8.lbm"}, {chunky8Raw, "chunky8-raw.lbm"}}) {
        const std::string path = folder_.File(name);
        test::WriteFileBytes(path, test::IffFile(picture));
        ExpectLikeNetpbm(path);
    }
}

}  // namespace
}  // namespace marbleye
