#include <gtest/gtest.h>

#include "app/CommandLine.h"

namespace marbleye {
namespace {

TEST(CommandLine, AQuotedPathRunsToTheNextQuote) {
    const CommandLineRequest r = ScanCommandLine("\"C:\\My Pictures\\a b.bmp\"");
    EXPECT_TRUE(r.hasImage);
    EXPECT_EQ(r.imagePath, "C:\\My Pictures\\a b.bmp");
}

TEST(CommandLine, BareTextRunsToTheEndBlanksIncluded) {
    const CommandLineRequest r = ScanCommandLine("-f C:\\My Pictures\\a b.bmp -p");
    EXPECT_TRUE(r.fullScreen);
    EXPECT_FALSE(r.print) << "switches after an unquoted path are part of it";
    EXPECT_EQ(r.imagePath, "C:\\My Pictures\\a b.bmp -p");
}

TEST(CommandLine, EverySwitch) {
    const CommandLineRequest r = ScanCommandLine("  -t -p -f -m -c -s \"x.bmp\"");
    EXPECT_TRUE(r.thumbnails && r.print && r.fullScreen && r.maximize && r.convert && r.slideshow);
    EXPECT_FALSE(r.hasThumbnailFolder || r.hasConvertTarget || r.hasSlideshowFolder);
    EXPECT_EQ(r.imagePath, "x.bmp");
}

TEST(CommandLine, ValuesFollowAnEqualsSignAndAQuote) {
    const CommandLineRequest r =
        ScanCommandLine("-t=\"D:\\thumbs\" -c=\"out put.png\" -s=\"E:\\show\" \"in.bmp\"");
    EXPECT_TRUE(r.hasThumbnailFolder);
    EXPECT_EQ(r.thumbnailFolder, "D:\\thumbs");
    EXPECT_TRUE(r.hasConvertTarget);
    EXPECT_EQ(r.convertTarget, "out put.png");
    EXPECT_EQ(r.slideshowFolder, "E:\\show");
    EXPECT_EQ(r.imagePath, "in.bmp");
}

TEST(CommandLine, AValueNeedsBothTheEqualsSignAndTheQuote) {
    const CommandLineRequest r = ScanCommandLine("-c=out.png -t =\"x\"");
    EXPECT_TRUE(r.convert);
    EXPECT_FALSE(r.hasConvertTarget);
    EXPECT_TRUE(r.thumbnails);
    EXPECT_FALSE(r.hasThumbnailFolder);
    EXPECT_EQ(r.imagePath, "=\"x\"") << "what follows a blank is bare text";
}

TEST(CommandLine, OnlyTheFirstLetterOfASwitchCounts) {
    const CommandLineRequest r = ScanCommandLine("-full -x \"a.bmp\"");
    EXPECT_TRUE(r.fullScreen);
    EXPECT_FALSE(r.maximize);
    EXPECT_EQ(r.imagePath, "a.bmp");
}

TEST(CommandLine, ASecondPathIsAppendedToTheFirst) {
    EXPECT_EQ(ScanCommandLine("\"a.bmp\" \"b.bmp\"").imagePath, "a.bmpb.bmp");
}

TEST(CommandLine, EmptyAndUnterminated) {
    const CommandLineRequest empty = ScanCommandLine("   ");
    EXPECT_FALSE(empty.hasImage);
    EXPECT_FALSE(empty.convert);
    const CommandLineRequest open = ScanCommandLine("-c=\"never closed");
    EXPECT_EQ(open.convertTarget, "never closed");
    EXPECT_EQ(ScanCommandLine("\"half").imagePath, "half");
    EXPECT_EQ(ScanCommandLine("-").imagePath, "-") << "a minus without a letter is bare text";
}

}  // namespace
}  // namespace marbleye
