#include <gtest/gtest.h>

#include "formats/classic/Netpbm.h"
#include "formats/FormatTable.h"
#include "support/MemoryUse.h"
#include "support/ReaderTest.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using Colour = std::array<int, 3>;

class NetpbmReader : public test::ReaderTest {
protected:
    test::LoadedPicture Load(const std::string& bytes, const std::string& name = "picture.ppm") { return LoadBytes(bytes, name); }
};

TEST_F(NetpbmReader, PpmAndPgmShareTheReader) {
    EXPECT_NE(FindFormat("a.ppm")->reader, nullptr);
    EXPECT_EQ(FindFormat("a.ppm")->reader, FindFormat("a.pgm")->reader);
}

TEST_F(NetpbmReader, PlainAndRawWithComments) {
    const auto plain = Load("P3\n# a comment\n2 1 255\n255 0 0  0 0 255\n");
    ASSERT_TRUE(plain.ok()) << plain.message();
    EXPECT_EQ(plain.canvas->bitsPerPixel(), 24);
    EXPECT_EQ(test::PixelOf(plain, 0, 0), (Colour{255, 0, 0}));
    EXPECT_EQ(test::PixelOf(plain, 1, 0), (Colour{0, 0, 255}));
    const auto raw = Load(std::string("P6 1 2 255\n\x01\x02\x03\x04\x05\x06", 17));
    ASSERT_TRUE(raw.ok()) << raw.message();
    EXPECT_EQ(test::PixelOf(raw, 0, 1), (Colour{4, 5, 6}));
    const auto grey = Load(std::string("P5\n2 1\n255\n\x10\x80", 13), "grey.pgm");
    ASSERT_TRUE(grey.ok());
    EXPECT_EQ(grey.canvas->bitsPerPixel(), 8);
    EXPECT_EQ(grey.image.fileBitDepth, 8);
    EXPECT_EQ(test::PixelOf(grey, 1, 0), (Colour{0x80, 0x80, 0x80}));
}

TEST_F(NetpbmReader, OtherMaxvalsAreScaledTo8Bits) {
    const auto fifteen = Load("P2 3 1 15 0 7 15", "small.pgm");
    ASSERT_TRUE(fifteen.ok()) << fifteen.message();
    EXPECT_EQ(test::PixelOf(fifteen, 1, 0)[0], (7 * 255 + 7) / 15);
    EXPECT_EQ(test::PixelOf(fifteen, 2, 0)[0], 255);
    const auto sixteenBit = Load(std::string("P5 1 1 65535\n\x80\x00", 15), "deep.pgm");
    ASSERT_TRUE(sixteenBit.ok());
    EXPECT_EQ(test::PixelOf(sixteenBit, 0, 0)[0], (0x8000 * 255 + 32767) / 65535);
}

TEST_F(NetpbmReader, Messages) {
    EXPECT_EQ(test::LoadPicture(folder_.File("none.ppm")).message(), "Unable to open File!");
    EXPECT_EQ(Load("P4 1 1 x").message(), "Not a PPM/PGM file");
    EXPECT_EQ(Load("GIF89a").message(), "Not a PPM/PGM file");
    EXPECT_EQ(Load("P3 x 1 255").message(), "Nonnumeric data in PPM file");
    EXPECT_EQ(Load("P3 1 1 100 200 0 0").message(), "Numeric value out of range in PPM file");
    EXPECT_EQ(Load("P3 2 1 255 1 2 3").message(), "Premature end of input file");
    EXPECT_EQ(Load("P6 2 2 255\nab").message(), "Premature end of input file");
    EXPECT_EQ(Load("P6 0 2 255\n").message(), "Not a PPM/PGM file");
}

TEST_F(NetpbmReader, AHeaderClaimingMoreThanTheFileHoldsCostsNothing) {
    // 16000 x 16000 raw pixels would be 768 MB; the file holds three bytes.
    for (const std::string header : {"P6 16000 16000 255\nabc", "P5 16000 16000 255\nabc",
                                     "P3 16000 16000 255\n1 2 3", "P6 4294967295 4294967295 65535\n\x01"}) {
        test::LoadedPicture loaded;
        const long growth = test::PeakMemoryGrowthKb([&] { loaded = Load(header); });
        EXPECT_EQ(loaded.message(), "Premature end of input file") << header;
        EXPECT_LT(growth, test::kSmallFileGrowthLimitKb) << header;
    }
    // One byte short of a raw picture's data is as short as a whole row.
    EXPECT_EQ(Load(std::string("P5 2 2 255\n\x01\x02\x03", 14), "short.pgm").message(),
              "Premature end of input file");
    EXPECT_TRUE(Load(std::string("P5 2 2 255\n\x01\x02\x03\x04", 15), "full.pgm").ok());
}

TEST_F(NetpbmReader, OurWritersReadBack) {
    const test::RgbImage pattern = test::MakePattern(13, 7);
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(pattern, canvas));
    ASSERT_TRUE(WritePpm(folder_.File("back.ppm"), canvas, QuietHost()).ok());
    const auto back = test::LoadPicture(folder_.File("back.ppm"));
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(test::CanvasToRgb(*back.canvas), pattern);
}

}  // namespace
}  // namespace marbleye
