// GIF animations made by giflib's gifbuild and by ImageMagick, saved as MNG
// and read back by ImageMagick: every coalesced frame equals the GIF's own
// coalesced frame. Single pictures land in a PNG beside the MNG name that
// ImageMagick reads back exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "formats/mng/MngWriter.h"
#include "formats/png/MngLibrary.h"
#include "support/ExternalTools.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::RgbImage;

constexpr const char* kGifBuild = "/usr/bin/gifbuild";

// One frame for gifbuild: whole-screen rows of index digits.
struct TextFrame {
    int delay = 10;
    int disposal = 1;
    int transparent = -1;
    std::vector<std::string> rows;
};

// gifbuild's text form of an animation over an 8-colour global map.
std::string GifText(int width, int height, const std::vector<TextFrame>& frames) {
    std::string text = "screen width " + std::to_string(width) + "\nscreen height " + std::to_string(height) +
                       "\nscreen colors 8\nscreen background 0\npixel aspect byte 0\n\nscreen map\n\tsort flag off\n";
    const char* colours[] = {"255 000 000", "000 255 000", "000 000 255", "255 255 255",
                             "010 020 030", "100 100 100", "200 100 000", "000 100 200"};
    for (int i = 0; i < 8; ++i) text += "\trgb " + std::string(colours[i]) + " is " + std::to_string(i) + "\n";
    text += "end\n\n";
    for (size_t f = 0; f < frames.size(); ++f) {
        text += "graphics control\n\tdisposal mode " + std::to_string(frames[f].disposal) +
                "\n\tuser input flag off\n\tdelay " + std::to_string(frames[f].delay) + "\n\ttransparent index " +
                std::to_string(frames[f].transparent) + "\nend\n\n";
        if (f == 0) text += "netscape loop 0\n\n";
        text += "image # " + std::to_string(f + 1) + "\nimage left 0\nimage top 0\nimage bits " +
                std::to_string(width) + " by " + std::to_string(height) + "\n";
        for (const std::string& row : frames[f].rows) text += row + "\n";
        text += "\n";
    }
    return text;
}


// The MNG library's own playback: each frame as the library shows it on an
// RGB canvas when it asks to wait for its timer. Time is simulated.
class LibraryPlayback {
public:
    static std::vector<RgbImage> Frames(const std::string& bytes, size_t wanted) {
        LibraryPlayback playback;
        playback.bytes_ = bytes;
        mng_handle handle = mng_initialize(&playback, Allocate, Release, MNG_NULL);
        if (!handle) return {};
        mng_setcb_openstream(handle, Ready);
        mng_setcb_closestream(handle, Ready);
        mng_setcb_readdata(handle, Read);
        mng_setcb_processheader(handle, Header);
        mng_setcb_getcanvasline(handle, Line);
        mng_setcb_refresh(handle, Refresh);
        mng_setcb_gettickcount(handle, Ticks);
        mng_setcb_settimer(handle, Timer);
        mng_set_canvasstyle(handle, MNG_CANVAS_RGB8);
        mng_retcode code = mng_readdisplay(handle);
        while (code == MNG_NEEDTIMERWAIT && playback.frames_.size() < wanted) {
            playback.frames_.push_back(playback.canvas_);
            playback.now_ += playback.wait_ + 1;
            code = mng_display_resume(handle);
        }
        if (code == MNG_NOERROR && playback.frames_.size() < wanted) playback.frames_.push_back(playback.canvas_);
        mng_cleanup(&handle);
        return playback.frames_;
    }

private:
    static LibraryPlayback& Of(mng_handle handle) { return *static_cast<LibraryPlayback*>(mng_get_userdata(handle)); }
    static mng_ptr MNG_DECL Allocate(mng_size_t length) { return std::calloc(1, length); }
    static void MNG_DECL Release(mng_ptr pointer, mng_size_t) { std::free(pointer); }
    static mng_bool MNG_DECL Ready(mng_handle) { return MNG_TRUE; }
    static mng_bool MNG_DECL Read(mng_handle handle, mng_ptr buffer, mng_uint32 length, mng_uint32p read) {
        LibraryPlayback& self = Of(handle);
        const size_t count = std::min<size_t>(length, self.bytes_.size() - self.at_);
        std::memcpy(buffer, self.bytes_.data() + self.at_, count);
        self.at_ += count;
        *read = static_cast<mng_uint32>(count);
        return MNG_TRUE;
    }
    static mng_bool MNG_DECL Header(mng_handle handle, mng_uint32 width, mng_uint32 height) {
        LibraryPlayback& self = Of(handle);
        if (width > 4096 || height > 4096) return MNG_FALSE;
        self.canvas_.width = static_cast<int32_t>(width), self.canvas_.height = static_cast<int32_t>(height);
        self.canvas_.rgb.assign(static_cast<size_t>(width) * height * 3, 0);
        return MNG_TRUE;
    }
    static mng_ptr MNG_DECL Line(mng_handle handle, mng_uint32 line) {
        LibraryPlayback& self = Of(handle);
        return self.canvas_.rgb.data() + static_cast<size_t>(line) * self.canvas_.width * 3;
    }
    static mng_bool MNG_DECL Refresh(mng_handle, mng_uint32, mng_uint32, mng_uint32, mng_uint32) { return MNG_TRUE; }
    static mng_uint32 MNG_DECL Ticks(mng_handle handle) { return Of(handle).now_; }
    static mng_bool MNG_DECL Timer(mng_handle handle, mng_uint32 milliseconds) {
        Of(handle).wait_ = milliseconds;
        return MNG_TRUE;
    }

    std::string bytes_;
    size_t at_ = 0;
    RgbImage canvas_;
    std::vector<RgbImage> frames_;
    mng_uint32 now_ = 1000, wait_ = 0;
};

class MngAnimations : public ::testing::Test {
protected:
    void SetUp() override { MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert); }

    // Every frame of an animation as ImageMagick composes it.
    std::vector<RgbImage> Coalesced(const std::string& path, const std::string& prefix) {
        std::vector<RgbImage> frames;
        const std::string pattern = folder_.File(prefix + "%03d.ppm");
        if (!test::RunCommand(std::string(test::kImageMagickConvert) + " " + test::Quoted(path) +
                              " -coalesce -alpha off -depth 8 " + test::Quoted(pattern))) {
            ADD_FAILURE() << "ImageMagick could not read " << path;
            return frames;
        }
        for (int f = 0;; ++f) {
            char name[32];
            std::snprintf(name, sizeof name, "%03d.ppm", f);
            const std::string file = folder_.File(prefix + name);
            if (!std::filesystem::exists(file)) break;
            const auto frame = test::FromPnm(test::ReadFileBytes(file));
            EXPECT_TRUE(frame) << file;
            if (frame) frames.push_back(*frame);
        }
        return frames;
    }

    // Loads the GIF as the viewer does, saves it as MNG and compares the two
    // animations frame by frame.
    // ImageMagick 6.9 aborts on a top-level transparency chunk: animations
    // with transparency are played by the MNG library alone.
    void ExpectSameAnimation(const std::string& gifPath, size_t frameCount, bool readableByImageMagick = true) {
        const test::LoadedPicture loaded = test::LoadPicture(gifPath);
        ASSERT_TRUE(loaded.ok()) << loaded.message();
        const std::string mngPath = gifPath + ".mng";
        const Status saved = WriteMng(mngPath, *loaded.canvas, loaded.image, QuietHost());
        ASSERT_TRUE(saved) << saved.message();
        const std::vector<RgbImage> expected = Coalesced(gifPath, "gif");
        ASSERT_EQ(expected.size(), frameCount);
        if (readableByImageMagick) {
            const std::vector<RgbImage> actual = Coalesced(mngPath, "mng");
            ASSERT_EQ(actual.size(), expected.size());
            for (size_t f = 0; f < expected.size(); ++f) {
                EXPECT_EQ(actual[f], expected[f]) << "ImageMagick, frame " << f << ": "
                                                  << test::FirstDifference(expected[f], actual[f]);
            }
        }
        const std::vector<RgbImage> played = LibraryPlayback::Frames(test::ReadFileBytes(mngPath), frameCount);
        ASSERT_EQ(played.size(), expected.size());
        for (size_t f = 0; f < expected.size(); ++f) {
            EXPECT_EQ(played[f], expected[f]) << "libmng, frame " << f << ": "
                                              << test::FirstDifference(expected[f], played[f]);
        }
    }

    std::string MakeWithGifBuild(const std::string& name, const std::string& text) {
        const std::string textPath = folder_.File(name + ".txt"), gifPath = folder_.File(name);
        test::WriteFileBytes(textPath, text);
        EXPECT_TRUE(test::RunCommand(std::string(kGifBuild) + " < " + test::Quoted(textPath) + " > " +
                                     test::Quoted(gifPath)));
        return gifPath;
    }

    test::TempFolder folder_;
};

TEST_F(MngAnimations, GiflibAnimationsWithChangedAreasAndDelaysOfZeroPlayAsTheirGifs) {
    MARBLEYE_REQUIRE_TOOL(kGifBuild);
    const std::vector<TextFrame> frames = {
        {0, 1, -1, {"0123401", "5670123", "4560000", "1111111"}},
        {20, 1, -1, {"0123401", "5666623", "4566600", "1111111"}},  // a block in the middle
        {3, 0, -1, {"0123401", "5666623", "4566600", "1111112"}},   // one corner pixel
        {3, 0, -1, {"0123401", "5666623", "4566600", "1111112"}},   // no change at all
        {0, 1, -1, {"7777777", "7777777", "7777777", "7777777"}},   // everything
    };
    ExpectSameAnimation(MakeWithGifBuild("changes.gif", GifText(7, 4, frames)), frames.size());
}

TEST_F(MngAnimations, TransparentPixelsShowTheFrameBeneath) {
    MARBLEYE_REQUIRE_TOOL(kGifBuild);
    const std::vector<TextFrame> frames = {
        // The transparent indices 5 and 7 are transparent in every frame of
        // the MNG: no frame uses them as colours.
        {10, 1, -1, {"01230", "36601", "23016"}},
        {20, 1, 7, {"77777", "77177", "77737"}},
        {3, 1, 7, {"67777", "77777", "77770"}},
        {3, 1, 5, {"55555", "55525", "55555"}},
    };
    ExpectSameAnimation(MakeWithGifBuild("transparent.gif", GifText(5, 3, frames)), frames.size(), false);
}

TEST_F(MngAnimations, RestoreToBackgroundFramesThatRepaintEverythingPlayAsTheirGifs) {
    MARBLEYE_REQUIRE_TOOL(kGifBuild);
    const std::vector<TextFrame> frames = {
        {5, 2, -1, {"01234", "56701", "23456"}},
        {5, 2, -1, {"12345", "67012", "34567"}},
        {0, 2, -1, {"23456", "70123", "45670"}},
        {8, 1, -1, {"34567", "01234", "56701"}},
    };
    ExpectSameAnimation(MakeWithGifBuild("restore.gif", GifText(5, 3, frames)), frames.size());
}

TEST_F(MngAnimations, ImageMagickAnimationsOverOneGlobalPalettePlayAsTheirGifs) {
    const std::string palette = folder_.File("palette.gif"), gif = folder_.File("magick.gif");
    ASSERT_TRUE(test::RunCommand(std::string(test::kImageMagickConvert) +
                                 " -size 4x1 xc:red xc:blue xc:lime xc:white +append " + test::Quoted(palette)));
    ASSERT_TRUE(test::RunCommand(
        std::string(test::kImageMagickConvert) + " -size 23x17 xc:red" +
        " \\( -size 23x17 xc:red -fill blue -draw \"rectangle 3,4 9,12\" \\)" +
        " \\( -size 23x17 xc:red -fill blue -draw \"rectangle 3,4 9,12\"" +
        " -fill lime -draw \"rectangle 15,1 21,15\" \\)" +
        " \\( -size 23x17 xc:white -fill blue -draw \"rectangle 3,4 9,12\" \\)" +
        " -remap " + test::Quoted(palette) + " -set delay 7 -loop 0 " + test::Quoted(gif)));
    ExpectSameAnimation(gif, 4);
}

TEST_F(MngAnimations, PartialFramesDrawnOverTheFramesBeforePlayAsTheirGifs) {
    // ImageMagick's frame optimisation stores each later frame as the
    // rectangle that changed, at its position, to be drawn over the last.
    const std::string palette = folder_.File("palette.gif"), gif = folder_.File("partial.gif");
    ASSERT_TRUE(test::RunCommand(std::string(test::kImageMagickConvert) +
                                 " -size 4x1 xc:red xc:blue xc:lime xc:white +append " + test::Quoted(palette)));
    ASSERT_TRUE(test::RunCommand(
        std::string(test::kImageMagickConvert) + " -size 31x19 xc:white" +
        " \\( -size 31x19 xc:white -fill blue -draw \"rectangle 3,4 9,12\" \\)" +
        " \\( -size 31x19 xc:white -fill blue -draw \"rectangle 3,4 9,12\"" +
        " -fill lime -draw \"rectangle 20,1 27,15\" \\)" +
        " \\( -size 31x19 xc:white -fill red -draw \"rectangle 3,4 9,12\"" +
        " -fill lime -draw \"rectangle 20,1 27,15\" \\)" +
        " -remap " + test::Quoted(palette) + " -set delay 9 -layers OptimizeFrame " + test::Quoted(gif)));
    const auto sizes = test::RunCommand("identify -format '%wx%h ' " + test::Quoted(gif));
    ASSERT_TRUE(sizes);
    EXPECT_NE(*sizes, "31x19 31x19 31x19 31x19 ") << "the later frames are stored as rectangles";
    ExpectSameAnimation(gif, 4);
}

class MngSingleImages : public MngAnimations {};

// An 8-bit canvas holding the picture's colours as its palette.
bool PaletteCanvas(const RgbImage& source, ImageCanvas& canvas) {
    std::vector<uint32_t> colours;
    std::vector<uint8_t> indices;
    for (int32_t y = 0; y < source.height; ++y) {
        for (int32_t x = 0; x < source.width; ++x) {
            const uint8_t* p = source.At(x, y);
            const uint32_t colour = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
            auto found = std::find(colours.begin(), colours.end(), colour);
            if (found == colours.end()) found = colours.insert(colours.end(), colour);
            indices.push_back(static_cast<uint8_t>(found - colours.begin()));
        }
    }
    Palette256 palette{};
    for (size_t i = 0; i < colours.size(); ++i) {
        palette[i * 3] = static_cast<uint8_t>(colours[i] >> 16);
        palette[i * 3 + 1] = static_cast<uint8_t>(colours[i] >> 8);
        palette[i * 3 + 2] = static_cast<uint8_t>(colours[i]);
    }
    if (!canvas.Create(source.width, source.height, 8, 0, palette)) return false;
    for (int32_t y = 0; y < source.height; ++y) {
        uint8_t* row = canvas.Row(source.height - 1 - y);
        std::copy_n(indices.begin() + static_cast<std::ptrdiff_t>(y) * source.width, source.width, row);
    }
    return true;
}

TEST_F(MngSingleImages, TrueColourAndPalettePicturesArePngsImageMagickReadsBackExactly) {
    struct Case {
        const char* name;
        RgbImage source;
        int32_t canvasBits;
        int32_t fileBits;
    };
    const Case cases[] = {
        {"true", test::MakePattern(37, 21), 24, 24},
        {"palette", test::MakePalettePattern(29, 18, {0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFEDCBA}), 8, 8},
        {"few", test::MakePalettePattern(13, 9, {0x102030, 0xF0E0D0, 0x00FF7F}), 24, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ImageCanvas canvas;
        if (c.canvasBits == 8) {
            ASSERT_TRUE(PaletteCanvas(c.source, canvas));
        } else {
            ASSERT_TRUE(test::CanvasFromRgb(c.source, canvas, c.canvasBits));
        }
        CurrentImage image;
        image.fileBitDepth = c.fileBits;
        const std::string target = folder_.File(std::string(c.name) + ".mng");
        const Status saved = WriteMng(target, canvas, image, QuietHost());
        ASSERT_TRUE(saved) << saved.message();
        EXPECT_FALSE(std::filesystem::exists(target));
        const auto decoded = test::DecodeWithImageMagick(folder_.File(std::string(c.name) + ".png"));
        ASSERT_TRUE(decoded);
        EXPECT_EQ(*decoded, c.source) << test::FirstDifference(c.source, *decoded);
    }
}

}  // namespace
}  // namespace marbleye
