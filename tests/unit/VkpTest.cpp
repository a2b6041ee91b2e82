#include <gtest/gtest.h>

#include <filesystem>

#include "formats/own/Vkp.h"
#include "support/MemoryUse.h"
#include "support/ReaderTest.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

class Vkp : public test::ReaderTest {
protected:
    test::LoadedPicture LoadText(const std::string& bytes, const std::string& name = "picture.vkp") { return LoadBytes(bytes, name); }
    // Writes the canvas with the options and loads the file back.
    test::LoadedPicture RoundTrip(const ImageCanvas& canvas, const VkpWriteOptions& options) {
        const std::string path = folder_.File("round.vkp");
        EXPECT_TRUE(WriteVkp(path, canvas, options, QuietHost()).ok());
        return test::LoadPicture(path);
    }
};

TEST_F(Vkp, EveryVersionAndRunLengthSettingRoundTripsExactly) {
    for (const test::RgbImage& image : {test::MakePattern(13, 7), test::MakePattern(1, 5), test::MakePattern(64, 3),
                                        test::MakePalettePattern(17, 9, {0x102030, 0x102030, 0xFFFFFF})}) {
        ImageCanvas canvas;
        ASSERT_TRUE(test::CanvasFromRgb(image, canvas));
        for (const VkpWriteOptions& options : {VkpWriteOptions{1, 9, true}, VkpWriteOptions{1, 9, false},
                                               VkpWriteOptions{2, 9, true}, VkpWriteOptions{2, 0, true},
                                               VkpWriteOptions{7, 5, false}}) {
            const auto back = RoundTrip(canvas, options);
            ASSERT_TRUE(back.ok()) << back.message();
            EXPECT_EQ(back.image.fileBitDepth, 24);
            EXPECT_EQ(test::CanvasToRgb(*back.canvas), image)
                << "version " << options.version << " rle " << options.runLength << " level " << options.level;
        }
    }
}

TEST_F(Vkp, OneColourIsOneRunAndTheNumbersAreExact) {
    ImageCanvas canvas;
    Palette256 none{};
    ASSERT_TRUE(canvas.Create(5, 3, 24, 0, none));
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 5; ++x) canvas.Row(y)[x * 3] = 7, canvas.Row(y)[x * 3 + 1] = 100, canvas.Row(y)[x * 3 + 2] = 255;
    }
    const std::string path = folder_.File("one.vkp");
    ASSERT_TRUE(WriteVkp(path, canvas, VkpWriteOptions{1, 9, true}, QuietHost()).ok());
    EXPECT_EQ(test::ReadFileBytes(path), "Vesk 1 5 3 1 0 0 15 255 100 7 ");
    ASSERT_TRUE(WriteVkp(path, canvas, VkpWriteOptions{1, 9, false}, QuietHost()).ok());
    EXPECT_EQ(test::ReadFileBytes(path).substr(0, 30), "Vesk 1 5 3 0 0 0 255 100 7 255");
}

TEST_F(Vkp, RunsCrossRowEndsAndTheMagicIgnoresCase) {
    const auto coded = LoadText("vEsK 1 3 2 1 0 0\n4 10 20 30 2 40 50 60");
    const auto plain = LoadText("VESK 1 3 2 0 0 0 10 20 30 10 20 30 10 20 30 10 20 30 40 50 60 40 50 60");
    ASSERT_TRUE(coded.ok()) << coded.message();
    ASSERT_TRUE(plain.ok()) << plain.message();
    EXPECT_EQ(test::CanvasToRgb(*coded.canvas), test::CanvasToRgb(*plain.canvas));
    EXPECT_EQ(test::CanvasToRgb(*coded.canvas).At(0, 1)[0], 10) << "the first run reaches into the second row";
}

TEST_F(Vkp, CommentsAndLineBreaksAnywhere) {
    const auto picture = LoadText("# made by hand\n Vesk\t1\r\n2 1 0 0 0\n300 1 2# a comment right after a digit\n"
                                  "3\n# another\n4 5 6");
    ASSERT_TRUE(picture.ok()) << picture.message();
    const test::RgbImage rgb = test::CanvasToRgb(*picture.canvas);
    EXPECT_EQ(rgb.At(0, 0)[0], 300 & 0xFF) << "values keep their low 8 bits";
    EXPECT_EQ(rgb.At(0, 0)[2], 2);
    EXPECT_EQ(rgb.At(1, 0)[0], 3);
    EXPECT_EQ(rgb.At(1, 0)[2], 5);
}

TEST_F(Vkp, ShortFilesAndLongRuns) {
    const auto cut = LoadText("Vesk 1 2 2 0 0 0 9 9 9 8 8");
    ASSERT_TRUE(cut.ok()) << "a file that ends early still gives a picture";
    EXPECT_EQ(test::CanvasToRgb(*cut.canvas).At(0, 0)[0], 9);
    EXPECT_EQ(test::CanvasToRgb(*cut.canvas).At(1, 0)[0], 0) << "the rest stays black";
    const auto narrow = LoadText("Vesk 1 1 3 1 0 0 99 1 2 3 5 4 5 6");
    ASSERT_TRUE(narrow.ok());
    EXPECT_EQ(test::CanvasToRgb(*narrow.canvas).At(0, 2)[2], 3) << "a run past the last pixel is cut there";
}

TEST_F(Vkp, NoiseIsAddedOnlyBelowTheLimitAndRepeats) {
    const std::string text = "Vesk 1 4 1 1 10 0 2 100 100 100 2 250 250 250";
    const auto first = LoadText(text), second = LoadText(text, "again.vkp");
    ASSERT_TRUE(first.ok());
    const test::RgbImage rgb = test::CanvasToRgb(*first.canvas);
    for (int x = 0; x < 2; ++x) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_GE(rgb.At(x, 0)[c], 100);
            EXPECT_LT(rgb.At(x, 0)[c], 110);
        }
    }
    EXPECT_EQ(rgb.At(3, 0)[0], 250) << "colours from 255 - n up stay unchanged";
    EXPECT_EQ(rgb, test::CanvasToRgb(*second.canvas));
}

TEST_F(Vkp, Messages) {
    EXPECT_EQ(test::LoadPicture(folder_.File("missing.vkp")).message(), "No File found!");
    EXPECT_EQ(LoadText("GIF89a...").message(), "Not a valid VKP File!");
    EXPECT_EQ(LoadText("").message(), "Not a valid VKP File!");
    EXPECT_EQ(LoadText("Vesk 1 0 5 0 0 0").message(), "Not a valid VKP File!");
    EXPECT_EQ(LoadText("Vesk 1 3").message(), "Not a valid VKP File!");
    EXPECT_EQ(LoadText("Vesk 1 100000 100000 1 0 0 1 2 3 4").message(), "Not a valid VKP File!");
    EXPECT_EQ(LoadText("VK this is not binary").message(), "Not a valid VKP File!") << "\"VK\" is always Version 2";
    EXPECT_EQ(DetectVkpVersion(folder_.File("missing.vkp")), 0);
}

TEST_F(Vkp, BrokenVersionTwoBodies) {
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(test::MakePattern(9, 4), canvas));
    const std::string path = folder_.File("good.vkp");
    ASSERT_TRUE(WriteVkp(path, canvas, VkpWriteOptions{2, 9, true}, QuietHost()).ok());
    const std::string good = test::ReadFileBytes(path);
    ASSERT_EQ(DetectVkpVersion(path), 2);

    std::string wrongRaw = good;
    wrongRaw[7] = static_cast<char>(wrongRaw[7] + 1);  // raw size no longer height x stride
    EXPECT_EQ(LoadText(wrongRaw).message(), "Not a valid VKP File!");
    std::string garbled = good;
    for (size_t i = 20; i < garbled.size(); ++i) garbled[i] = static_cast<char>(garbled[i] ^ 0x5A);
    EXPECT_EQ(LoadText(garbled).message(), "Not a valid VKP File!");
    for (size_t length = 0; length < good.size(); ++length) {
        const auto cut = LoadText(good.substr(0, length));
        EXPECT_FALSE(cut.ok()) << length;
    }
}

TEST_F(Vkp, EveryTruncationOfATextFileGivesAPictureOrAMessage) {
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(test::MakePattern(5, 4), canvas));
    const std::string path = folder_.File("text.vkp");
    ASSERT_TRUE(WriteVkp(path, canvas, VkpWriteOptions{1, 9, true}, QuietHost()).ok());
    const std::string text = test::ReadFileBytes(path);
    for (size_t length = 0; length <= text.size(); ++length) {
        const auto picture = LoadText(text.substr(0, length));
        if (picture.ok()) EXPECT_EQ(picture.canvas->width(), 5) << length;
        else EXPECT_EQ(picture.message(), "Not a valid VKP File!") << length;
    }
}

TEST_F(Vkp, AFailedSaveKeepsTheOldFile) {
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(test::MakePattern(3, 3), canvas));
    EXPECT_EQ(WriteVkp(folder_.File("no/folder.vkp"), canvas, VkpWriteOptions{1, 9, true}, QuietHost()).message(),
              "Couldn't save Vesk File!");
    const std::string path = folder_.File("keep.vkp");
    test::WriteFileBytes(path, "old");
    ImageCanvas empty;
    EXPECT_EQ(WriteVkp(path, empty, VkpWriteOptions{}, QuietHost()).message(),
              "Not enough Memory available for Saving! Skipping...");
    EXPECT_EQ(test::ReadFileBytes(path), "old");
}

TEST_F(Vkp, AFileMustDescribeEnoughOfItsPicture) {
    // Headers of 16000 x 16000 (768 MB) followed by one pixel or one short run.
    std::string binary = std::string("VK\x01", 3);
    for (const uint32_t value : {16000u, 16000u}) binary += char(value & 0xFF), binary += char(value >> 8);
    for (const uint32_t value : {16000u * 48000u, 8u}) {  // raw size, packed size
        for (int shift = 0; shift < 32; shift += 8) binary += char((value >> shift) & 0xFF);
    }
    binary += std::string(8, 'x');
    for (const std::string& file : {std::string("Vesk 1 16000 16000 0 0 0 1 2 3"),
                                    std::string("Vesk 1 16000 16000 1 0 0 100 1 2 3"), binary}) {
        test::LoadedPicture loaded;
        const long growth = test::PeakMemoryGrowthKb([&] { loaded = LoadText(file); });
        EXPECT_EQ(loaded.message(), "Not a valid VKP File!") << file.substr(0, 20);
        EXPECT_LT(growth, test::kSmallFileGrowthLimitKb) << file.substr(0, 20);
    }
    // One run honestly covers a whole picture however large, as our writer
    // writes a picture of one colour.
    const auto covered = LoadText("Vesk 1 1000 1000 1 0 0 1000000 9 8 7");
    ASSERT_TRUE(covered.ok()) << covered.message();
    EXPECT_EQ(test::PixelOf(covered, 999, 999), (std::array<int, 3>{9, 8, 7}));
    // A file cut at a tenth of its pixels still loads, the rest black.
    std::string tenth = "Vesk 1 600 600 0 0 0";
    for (int i = 0; i < 36000; ++i) tenth += " 1 2 3";
    const auto partial = LoadText(tenth);
    ASSERT_TRUE(partial.ok()) << partial.message();
    EXPECT_EQ(test::PixelOf(partial, 0, 0), (std::array<int, 3>{1, 2, 3}));
    EXPECT_EQ(test::PixelOf(partial, 599, 599), (std::array<int, 3>{0, 0, 0}));
}

}  // namespace
}  // namespace marbleye
