#include <gtest/gtest.h>

#include <string>

#include "formats/FormatId.h"
#include "formats/media/Media.h"
#include "support/ReaderTest.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

// A front end whose video services and media window answer as told; a
// loaded frame is 6 x 4 pixels of one colour.
class MediaHost : public Host {
public:
    VideoFrameLoad frame = VideoFrameLoad::kNoFrame;
    MediaOpening opening{MediaOpening::Result::kOpened, 300, 34};
    int windowsOpened = 0;

    VideoFrameLoad LoadFirstVideoFrame(const std::string&, ImageCanvas& canvas) override {
        if (frame == VideoFrameLoad::kLoaded) canvas.Create(6, 4, 24, 0x7F, Palette256{});
        return frame;
    }
    MediaOpening OpenMediaWindow(const std::string&) override {
        ++windowsOpened;
        return opening;
    }
};

class Media : public test::ReaderTest {
protected:
    test::LoadedPicture Load(const std::string& name, Host& host, bool thumbnail = false) {
        LoadOptions options;
        options.quiet = options.thumbnail = thumbnail;
        return LoadBytes("RIFF", name, options, host);
    }
};

TEST_F(Media, WithoutTheProgramTheMessageSaysWhoPlaysThem) {
    for (const char* name : {"clip.avi", "song.wav", "tune.MP3", "movie.qt"}) {
        for (const bool thumbnail : {false, true}) {
            const auto picture = Load(name, QuietHost(), thumbnail);
            EXPECT_EQ(picture.message(), kMediaNeedsProgramMessage) << name;
            EXPECT_EQ(picture.image.formatId, format_id::kMedia) << name;
        }
    }
}

TEST_F(Media, AVideoShowsItsFirstFrameWhileTheMediaWindowPlaysIt) {
    MediaHost host;
    host.frame = VideoFrameLoad::kLoaded;
    const auto picture = Load("clip.avi", host);
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(host.windowsOpened, 1);
    EXPECT_EQ(picture.canvas->width(), 6);
    EXPECT_EQ(picture.canvas->height(), 4);
    EXPECT_EQ(picture.image.width, 6);
    EXPECT_EQ(picture.image.fileBitDepth, 24);
    EXPECT_EQ(test::PixelOf(picture, 5, 3), (std::array<int, 3>{0x7F, 0x7F, 0x7F}));
}

TEST_F(Media, SoundGetsABlackPictureTheSizeOfTheMediaWindow) {
    MediaHost host;
    const auto picture = Load("song.wav", host);
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.canvas->width(), 300);
    EXPECT_EQ(picture.canvas->height(), 34);
    EXPECT_EQ(test::PixelOf(picture, 299, 33), (std::array<int, 3>{0, 0, 0}));
}

TEST_F(Media, FilesTheMediaWindowCannotPlayGiveTheMessages) {
    MediaHost host;
    host.frame = VideoFrameLoad::kLoaded;
    host.opening.result = MediaOpening::Result::kCannotOpen;
    auto picture = Load("clip.avi", host);
    EXPECT_EQ(picture.message(), "Unable to open file!");
    EXPECT_EQ(picture.canvas->width(), 500) << "the error picture replaces the frame";
    host.opening.result = MediaOpening::Result::kNoWindow;
    EXPECT_EQ(Load("clip.avi", host).message(), "Unkown Loaderror occured!");
    host.frame = VideoFrameLoad::kNoFrame;
    host.opening = MediaOpening{MediaOpening::Result::kOpened, 0, 0};
    EXPECT_EQ(Load("song.wav", host).message(), "Unkown Loaderror occured!") << "no picture of no size";
}

TEST_F(Media, ThumbnailsTakeTheFirstFrameAndNeverOpenTheMediaWindow) {
    MediaHost host;
    host.frame = VideoFrameLoad::kLoaded;
    const auto frame = Load("clip.avi", host, true);
    ASSERT_TRUE(frame.ok()) << frame.message();
    EXPECT_EQ(frame.canvas->width(), 6);
    host.frame = VideoFrameLoad::kCannotOpen;
    EXPECT_EQ(Load("clip.avi", host, true).message(), "Unable to open file!");
    host.frame = VideoFrameLoad::kNoFrame;
    EXPECT_EQ(Load("song.wav", host, true).message(), "Unkown Loaderror occured!");
    EXPECT_EQ(host.windowsOpened, 0);
}

}  // namespace
}  // namespace marbleye
