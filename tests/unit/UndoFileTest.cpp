#include <gtest/gtest.h>

#include "imaging/UndoFile.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

TEST(UndoFile, KeepsThePictureAndItsSizeAt24Bits) {
    test::TempFolder folder;
    const std::string path = folder.File("~mbundo.tmp");
    const test::RgbImage before = test::MakePalettePattern(7, 3, {0xFF0000, 0x0000FF, 0x00FF00});
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(before, canvas));
    ASSERT_TRUE(WriteUndoFile(path, canvas));
    // The picture then changes size and depth, as a rotation does.
    Palette256 palette{};
    ASSERT_TRUE(canvas.Create(3, 7, 8, 0, palette));
    ASSERT_TRUE(ReadUndoFile(path, canvas, palette));
    EXPECT_EQ(canvas.bitsPerPixel(), 24);
    EXPECT_EQ(test::CanvasToRgb(canvas), before);
    EXPECT_EQ(test::ReadFileBytes(path).size(), 8u + 3u * 24u) << "size, then three rows of 21 bytes padded to 24";
}

TEST(UndoFile, AMissingOrShortFileLeavesTheCanvas) {
    test::TempFolder folder;
    const test::RgbImage picture = test::MakePattern(5, 4);
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(picture, canvas));
    EXPECT_FALSE(ReadUndoFile(folder.File("none.tmp"), canvas, Palette256{}));
    ASSERT_TRUE(WriteUndoFile(folder.File("undo.tmp"), canvas));
    const std::string whole = test::ReadFileBytes(folder.File("undo.tmp"));
    test::WriteFileBytes(folder.File("short.tmp"), whole.substr(0, whole.size() - 1));
    EXPECT_FALSE(ReadUndoFile(folder.File("short.tmp"), canvas, Palette256{}));
    // A size the file cannot hold is refused before anything is allocated.
    test::WriteFileBytes(folder.File("huge.tmp"), std::string("\xFF\xFF\x00\x00\xFF\xFF\x00\x00", 8));
    EXPECT_FALSE(ReadUndoFile(folder.File("huge.tmp"), canvas, Palette256{}));
    EXPECT_EQ(test::CanvasToRgb(canvas), picture);
}

}  // namespace
}  // namespace marbleye
