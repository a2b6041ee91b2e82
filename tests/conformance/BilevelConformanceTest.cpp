// X bitmaps from pbmtoxbm and ImageMagick and JBIG files from pbmtojbg
// (one plane and several) load as the picture they were made from; broken
// and hostile ones give the readers' messages.
#include <gtest/gtest.h>

#include "support/ExternalTools.h"
#include "support/ReaderTest.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::RgbImage;

class BilevelFiles : public test::ReaderTest {
protected:
    void SetUp() override {
        MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert);
        MARBLEYE_REQUIRE_TOOL("/usr/bin/pbmtoxbm");
        MARBLEYE_REQUIRE_TOOL("/usr/bin/pbmtojbg");
        const std::string colour = folder_.File("source.ppm");
        test::WriteFileBytes(colour, test::ToPpm(test::MakePattern(53, 29)));
        bitmap_ = folder_.File("source.pbm");
        ASSERT_TRUE(test::RunCommand("/usr/bin/ppmtopgm " + colour + " | /usr/bin/pgmtopbm > " + bitmap_));
        graymap_ = folder_.File("source.pgm");
        ASSERT_TRUE(test::RunCommand("/usr/bin/ppmtopgm " + colour + " | /usr/bin/pnmdepth 15 > " + graymap_));
    }
    void ExpectLike(const std::string& made, const std::string& source, int32_t depth) {
        const auto expected = test::DecodeWithImageMagick(source);
        ASSERT_TRUE(expected);
        const auto picture = test::LoadPicture(made);
        ASSERT_TRUE(picture.ok()) << made << ": " << picture.message();
        EXPECT_EQ(picture.canvas->bitsPerPixel(), depth <= 1 ? 1 : 8) << made;
        EXPECT_EQ(picture.image.fileBitDepth, depth) << made;
        const RgbImage ours = test::CanvasToRgb(*picture.canvas);
        EXPECT_EQ(ours, *expected) << made << ": " << test::FirstDifference(*expected, ours);
    }
    std::string bitmap_, graymap_;
};

TEST_F(BilevelFiles, XBitmapsOfNetpbmAndImageMagick) {
    const std::string netpbm = folder_.File("netpbm.xbm"), magick = folder_.File("magick.xbm");
    ASSERT_TRUE(test::RunCommand("/usr/bin/pbmtoxbm " + bitmap_ + " > " + netpbm));
    ASSERT_TRUE(test::RunCommand(std::string(test::kImageMagickConvert) + " " + bitmap_ + " " + magick));
    ExpectLike(netpbm, bitmap_, 1);
    ExpectLike(magick, bitmap_, 1);
}

TEST_F(BilevelFiles, JbigFilesOfOneAndSeveralPlanes) {
    const std::string one = folder_.File("one.jbg"), layered = folder_.File("layered.jbg"), gray = folder_.File("gray.jbg");
    ASSERT_TRUE(test::RunCommand("/usr/bin/pbmtojbg " + bitmap_ + " " + one));
    ASSERT_TRUE(test::RunCommand("/usr/bin/pbmtojbg -d 2 " + bitmap_ + " " + layered));
    ASSERT_TRUE(test::RunCommand("/usr/bin/pbmtojbg " + graymap_ + " " + gray));
    ExpectLike(one, bitmap_, 1);
    ExpectLike(layered, bitmap_, 1);
    ExpectLike(gray, graymap_, 4);
}

TEST_F(BilevelFiles, MessagesForBrokenAndHostileFiles) {
    EXPECT_EQ(test::LoadPicture(folder_.File("missing.xbm")).message(), "Couldn't open this XBM file!");
    EXPECT_EQ(LoadBytes("no bitmap here\n", "text.xbm").message(), "Couldn't load this XBM file!");
    EXPECT_EQ(LoadBytes("#define a_width 100000\n#define a_height 100000\nstatic char a_bits[] = {\n0x00 };\n",
                        "huge.xbm").message(),
              "Couldn't load this XBM file!");
    EXPECT_EQ(test::LoadPicture(folder_.File("missing.jbg")).message(), "Unable to open file!");
    EXPECT_EQ(LoadBytes("short", "short.jbg").message(), "Problem with input file");
    const std::string one = folder_.File("one.jbg");
    ASSERT_TRUE(test::RunCommand("/usr/bin/pbmtojbg " + bitmap_ + " " + one));
    std::string jbig = test::ReadFileBytes(one);
    EXPECT_EQ(LoadBytes(jbig.substr(0, jbig.size() / 2), "cut.jbg").message(), "Problem while reading input file");
    std::string huge = jbig;
    huge[4] = huge[8] = '\x7F';  // about 2^31 x 2^31 pixels
    EXPECT_EQ(LoadBytes(huge, "huge.jbg").message(), "Sorry, not enough memory available!");
    std::string broken = jbig;
    broken[3] = '\x55';  // the reserved fill byte must be 0
    EXPECT_EQ(LoadBytes(broken, "broken.jbg").message(), "Problem with input file");
}

}  // namespace
}  // namespace marbleye
