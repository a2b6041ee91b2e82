// MacPaint files from pbmtomacp (and read by macptopbm), portable bitmaps from pgmtopbm, pbmmake and
// pnmtoplainpnm, wireless bitmaps from pbmtowbmp and ImageMagick, and FITS
// files from pamtofits and ImageMagick load as the pictures they were made
// from, pixel by pixel.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/ExternalTools.h"
#include "support/ReaderTest.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::RgbImage;

std::string Tool(const std::string& name) { return "/usr/bin/" + name; }

void ExpectSame(const test::LoadedPicture& picture, const RgbImage& expected, int32_t fileDepth, int32_t canvasDepth,
                const std::string& what) {
    ASSERT_TRUE(picture.ok()) << what << ": " << picture.message();
    EXPECT_EQ(picture.image.fileBitDepth, fileDepth) << what;
    EXPECT_EQ(picture.canvas->bitsPerPixel(), canvasDepth) << what;
    const RgbImage ours = test::CanvasToRgb(*picture.canvas);
    EXPECT_EQ(ours, expected) << what << ": " << test::FirstDifference(expected, ours);
}

RgbImage FlippedTopToBottom(const RgbImage& image) {
    RgbImage flipped = image;
    const size_t row = static_cast<size_t>(image.width) * 3;
    for (int32_t y = 0; y < image.height; ++y) {
        std::copy_n(image.rgb.begin() + static_cast<ptrdiff_t>(y * row), row,
                    flipped.rgb.begin() + static_cast<ptrdiff_t>((image.height - 1 - y) * row));
    }
    return flipped;
}

class BilevelProducers : public test::ReaderTest {
protected:
    void SetUp() override {
        MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert);
        for (const char* tool : {"ppmtopgm", "pgmtopbm", "pbmtomacp", "macptopbm", "pbmtowbmp", "pbmmake",
                                 "pnmtoplainpnm"}) {
            MARBLEYE_REQUIRE_TOOL(Tool(tool));
        }
    }
    // A bitmap of the test pattern made by netpbm's dithering.
    std::string MakeBitmap(int32_t width, int32_t height, const std::string& name) {
        const std::string colour = folder_.File(name + ".ppm"), bitmap = folder_.File(name + ".pbm");
        test::WriteFileBytes(colour, test::ToPpm(test::MakePattern(width, height)));
        EXPECT_TRUE(test::RunCommand(Tool("ppmtopgm") + " " + colour + " | " + Tool("pgmtopbm") + " > " + bitmap));
        return bitmap;
    }
    RgbImage Decoded(const std::string& path) {
        const auto decoded = test::DecodeWithImageMagick(path);
        EXPECT_TRUE(decoded) << path;
        return decoded ? *decoded : RgbImage();
    }
};

TEST_F(BilevelProducers, MacPaintFromPbmtomacpWithAndWithoutRunsAndAMacintoshHeader) {
    const std::string source = MakeBitmap(576, 720, "source");
    const RgbImage expected = Decoded(source);
    const std::string packed = folder_.File("packed.mac"), raw = folder_.File("raw.mac");
    ASSERT_TRUE(test::RunCommand(Tool("pbmtomacp") + " " + source + " > " + packed + " 2>/dev/null"));
    ASSERT_TRUE(test::RunCommand(Tool("pbmtomacp") + " -norle " + source + " > " + raw + " 2>/dev/null"));
    ASSERT_EQ(test::ReadFileBytes(packed).substr(0, 4), std::string(4, '\0')) << "pbmtomacp writes the 512-byte header";
    ExpectSame(test::LoadPicture(packed), expected, 1, 1, "packed");
    ExpectSame(test::LoadPicture(raw), expected, 1, 1, "not packed");

    // The same data behind a 128-byte Macintosh file header (version 0,
    // name, type "PNTG" and creator "MPNT" at byte 65).
    std::string macHeader(128, '\0');
    macHeader[1] = 4;
    macHeader.replace(2, 4, "test");
    macHeader.replace(65, 8, "PNTGMPNT");
    ExpectSame(LoadBytes(macHeader + test::ReadFileBytes(packed), "macbinary.mac"), expected, 1, 1, "macbinary");

    // netpbm's decoder agrees with us on a picture smaller than the page,
    // which pbmtomacp places on it. (ImageMagick 6.9's MacPaint decoder puts
    // these rows in the wrong places, so it is no reference here.)
    const std::string small = MakeBitmap(101, 67, "small"), placed = folder_.File("placed.mac");
    const std::string back = folder_.File("back.pbm");
    ASSERT_TRUE(test::RunCommand(Tool("pbmtomacp") + " " + small + " > " + placed + " 2>/dev/null"));
    ASSERT_TRUE(test::RunCommand(Tool("macptopbm") + " " + placed + " > " + back + " 2>/dev/null"));
    const auto picture = test::LoadPicture(placed);
    ExpectSame(picture, Decoded(back), 1, 1, "netpbm's decoding");
}

TEST_F(BilevelProducers, RawAndPlainBitmapsOfNetpbm) {
    const std::string raw = MakeBitmap(53, 29, "raw"), plain = folder_.File("plain.pbm");
    ASSERT_TRUE(test::RunCommand(Tool("pnmtoplainpnm") + " " + raw + " > " + plain));
    ASSERT_EQ(test::ReadFileBytes(plain).substr(0, 2), "P1");
    const RgbImage expected = Decoded(raw);
    ExpectSame(test::LoadPicture(raw), expected, 1, 8, "raw");
    ExpectSame(test::LoadPicture(plain), expected, 1, 8, "plain");
    const std::string gray = folder_.File("gray.pbm");
    ASSERT_TRUE(test::RunCommand(Tool("pbmmake") + " -gray 37 5 > " + gray));
    ExpectSame(test::LoadPicture(gray), Decoded(gray), 1, 8, "pbmmake");
}

TEST_F(BilevelProducers, WirelessBitmapsOfNetpbmAndImageMagick) {
    const std::string source = MakeBitmap(61, 43, "source");
    const RgbImage expected = Decoded(source);
    const std::string netpbm = folder_.File("netpbm.wbmp"), magick = folder_.File("magick.wbmp");
    ASSERT_TRUE(test::RunCommand(Tool("pbmtowbmp") + " " + source + " > " + netpbm));
    ASSERT_TRUE(test::RunCommand(std::string(test::kImageMagickConvert) + " " + source + " wbmp:" + magick));
    ExpectSame(test::LoadPicture(netpbm), expected, 1, 1, "pbmtowbmp");
    ExpectSame(test::LoadPicture(magick), expected, 1, 1, "ImageMagick");
    // 300 pixels wide: the width takes two bytes.
    const std::string wide = MakeBitmap(300, 7, "wide"), wideOut = folder_.File("wide.wbmp");
    ASSERT_TRUE(test::RunCommand(Tool("pbmtowbmp") + " " + wide + " > " + wideOut));
    ExpectSame(test::LoadPicture(wideOut), Decoded(wide), 1, 1, "300 wide");
}

class FitsProducers : public test::ReaderTest {
protected:
    void SetUp() override {
        MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert);
        for (const char* tool : {"pamtofits", "pamflip", "pamdepth"}) MARBLEYE_REQUIRE_TOOL(Tool(tool));
        // An odd-sized grey picture from black at the top left to white at
        // the bottom right, so that the whole range is used and a flip shows.
        std::string pgm = "P5\n37 23\n255\n";
        for (int y = 0; y < 23; ++y) {
            for (int x = 0; x < 37; ++x) pgm += static_cast<char>(x == 36 && y == 22 ? 255 : (x * 7 + y * 3) % 250);
        }
        source_ = folder_.File("source.pgm");
        test::WriteFileBytes(source_, pgm);
        expected_ = test::DecodeWithImageMagick(source_).value_or(RgbImage());
        ASSERT_EQ(expected_.width, 37);
    }
    std::string Make(const std::string& command, const std::string& name) {
        const std::string path = folder_.File(name);
        EXPECT_TRUE(test::RunCommand(command + " > " + path)) << command;
        return path;
    }
    std::string Magick(const std::string& options, const std::string& name) {
        return Make(std::string(test::kImageMagickConvert) + " " + source_ + " " + options + " fits:-", name);
    }
    std::string source_;
    RgbImage expected_;
};

TEST_F(FitsProducers, ImageMagickWritesTheBottomRowFirstAtEightAndSixteenBits) {
    ExpectSame(test::LoadPicture(Magick("", "eight.fits")), expected_, 8, 8, "BITPIX 8");
    ExpectSame(test::LoadPicture(Magick("-depth 16", "sixteen.fits")), expected_, 8, 8, "BITPIX 16");
}

TEST_F(FitsProducers, PamtofitsWritesTheTopRowFirst) {
    // Netpbm stores the top row first, against the convention of the format
    // (and of ImageMagick): its files show upside down unless flipped first,
    // as its manual advises.
    const RgbImage flipped = FlippedTopToBottom(expected_);
    ExpectSame(test::LoadPicture(Make(Tool("pamtofits") + " " + source_, "netpbm.fits")), flipped, 8, 8, "as is");
    ExpectSame(test::LoadPicture(Make(Tool("pamflip") + " -topbottom " + source_ + " | " + Tool("pamtofits"),
                                      "flipped.fits")),
               expected_, 8, 8, "flipped first");
    ExpectSame(test::LoadPicture(Make(Tool("pamdepth") + " 65535 " + source_ + " | " + Tool("pamflip") +
                                          " -topbottom | " + Tool("pamtofits"),
                                      "deep.fits")),
               expected_, 8, 8, "BITPIX 16");
}

TEST_F(FitsProducers, AColourPictureShowsItsFirstPlane) {
    // pamtofits writes the red, green and blue planes of a colour picture
    // as a third axis; the first plane is the red one.
    const std::string colour = folder_.File("colour.ppm");
    test::WriteFileBytes(colour, test::ToPpm(test::MakePattern(41, 19)));
    const std::string fits = Make(Tool("pamflip") + " -topbottom " + colour + " | " + Tool("pamtofits"), "colour.fits");
    const auto red = test::RunCommand(std::string(test::kImageMagickConvert) + " " + colour +
                                      " -channel R -separate -depth 8 gray:-");
    ASSERT_TRUE(red && red->size() == 41u * 19);
    // pamtofits gives DATAMIN 0 and DATAMAX 255: the greys are the red values.
    RgbImage expected{41, 19, {}};
    for (const char c : *red) expected.rgb.insert(expected.rgb.end(), 3, static_cast<uint8_t>(c));
    ExpectSame(test::LoadPicture(fits), expected, 8, 8, "red plane");
}

// ImageMagick's floating-point files hold the samples scaled to 0..1. The
// values are the picture's greys divided by 255 and rounded to the float
// type, so a grey may come back one lower when its quotient was rounded
// down: the only tolerance of these comparisons.
void ExpectWithinOne(const test::LoadedPicture& picture, const RgbImage& expected, const std::string& what) {
    ASSERT_TRUE(picture.ok()) << what << ": " << picture.message();
    const RgbImage ours = test::CanvasToRgb(*picture.canvas);
    ASSERT_EQ(ours.width, expected.width);
    ASSERT_EQ(ours.height, expected.height);
    int off = 0;
    for (size_t i = 0; i < ours.rgb.size(); ++i) {
        const int difference = static_cast<int>(expected.rgb[i]) - ours.rgb[i];
        if (difference < 0 || difference > 1) ++off;
    }
    EXPECT_EQ(off, 0) << what << ": " << test::FirstDifference(expected, ours);
}

TEST_F(FitsProducers, ImageMagickFloatingPointFiles) {
    // At 64 bits its DATAMAX card says -1, which gives no range: the range
    // comes from the data.
    ExpectWithinOne(
        test::LoadPicture(Magick("-define quantum:format=floating-point -depth 64", "double.fits")), expected_,
        "BITPIX -64");
    // At 32 bits it writes the BZERO, DATAMIN and DATAMAX of 32-bit integers
    // beside samples of 0..1, which would make the picture one grey (netpbm's
    // fitstopnm shows it so); with those three cards blanked the samples give
    // the picture.
    std::string single = test::ReadFileBytes(Magick("-define quantum:format=floating-point -depth 32", "single.fits"));
    ASSERT_GE(single.size(), 2880u);
    int blanked = 0;
    for (size_t card = 0; card < 2880; card += 80) {
        const std::string keyword = single.substr(card, 8);
        if (keyword == "BZERO   " || keyword == "DATAMIN " || keyword == "DATAMAX ") {
            single.replace(card, 80, std::string(80, ' '));
            ++blanked;
        }
    }
    ASSERT_EQ(blanked, 3);
    ExpectWithinOne(LoadBytes(single, "blanked.fits"), expected_, "BITPIX -32");
}

}  // namespace
}  // namespace marbleye
