#include <gtest/gtest.h>

#include <vector>

#include "app/Slideshow.h"
#include "app/StatusText.h"
#include "app/WindowLayout.h"
#include "app/Zoom.h"

namespace marbleye {
namespace {

TEST(Zoom, TheLadder) {
    const std::vector<float> ladder = {0.05f, 0.1f, 0.15f, 0.2f, 0.3f, 0.5f, 0.7f, 1, 1.5f, 2, 3, 5,
                                       7,     10,   20,    30,   40,   50,   60,   70, 80, 90, 100};
    float zoom = 0.05f;
    for (size_t i = 1; i < ladder.size(); ++i) {
        zoom = ZoomIn(zoom, 0);
        EXPECT_FLOAT_EQ(zoom, ladder[i]) << "step " << i;
    }
    EXPECT_FLOAT_EQ(ZoomIn(100, 0), 100);
    for (size_t i = ladder.size() - 1; i-- > 0;) {
        zoom = ZoomOut(zoom, 0);
        EXPECT_FLOAT_EQ(zoom, ladder[i]) << "step " << i;
    }
    EXPECT_FLOAT_EQ(ZoomOut(0.05f, 0), 0.05f);
}

TEST(Zoom, EdgeCases) {
    EXPECT_EQ(ZoomPercent(0.7f), 69) << "0.7 in single precision";
    EXPECT_FLOAT_EQ(ZoomIn(0.7f, 0), 1.0f);
    EXPECT_FLOAT_EQ(ZoomOut(1.0f, 0), 0.7f);
    EXPECT_FLOAT_EQ(ZoomIn(0.04f, 0), 0.04f) << "below 5 % nothing happens";
    EXPECT_FLOAT_EQ(ZoomOut(120.0f, 0), 120.0f);
    EXPECT_FLOAT_EQ(ZoomIn(0.43f, 0), 0.5f);
    EXPECT_FLOAT_EQ(ZoomIn(0.5f, 1), 0.7f) << "fit mode adds 0.2";
    EXPECT_FLOAT_EQ(ZoomOut(0.1f, 1), 0.05f);
    EXPECT_FLOAT_EQ(ZoomIn(99.9f, 1), 100.0f);
}

WindowMetrics Screen1024() {
    WindowMetrics m;
    m.captionHeight = 19, m.menuHeight = 19, m.screenWidth = 1024, m.screenHeight = 768;
    m.fullScreenClientHeight = 749, m.toolbarHeight = 40, m.statusBarHeight = 20, m.menuBarWidth = 300;
    return m;
}

TEST(WindowLayout, ASmallPictureIsCentred) {
    const WindowPlacement p = PlaceWindowForImage(400, 300, Screen1024(), {});
    EXPECT_EQ(p.width, 412);
    EXPECT_EQ(p.x, (1024 - 400) / 2 - 6);
    EXPECT_EQ(p.height, 40 + 20 + 19 + 19 + 300 + 14);
    EXPECT_EQ(p.y, (19 + 749 - 300) / 2 - (79 + 19) / 2 - 7);
    EXPECT_FALSE(p.noEnlarge);
}

TEST(WindowLayout, ANarrowPictureGetsTheMenuBarWidth) {
    const WindowPlacement p = PlaceWindowForImage(10, 10, Screen1024(), {});
    EXPECT_EQ(p.width, 300);
}

TEST(WindowLayout, AHugePictureFillsTheScreen) {
    const WindowPlacement p = PlaceWindowForImage(4000, 3000, Screen1024(), {});
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.width, 1024);
    EXPECT_EQ(p.y, 0);
    EXPECT_EQ(p.height, 19 + 749);
}

TEST(WindowLayout, FitModeKeepsAtLeast486By226) {
    WindowModes fit;
    fit.viewStyle = 1;
    const WindowPlacement tall = PlaceWindowForImage(100, 20000, Screen1024(), fit);
    EXPECT_EQ(tall.width, 486 + 6) << "the picture area is at least 486 wide";
    EXPECT_EQ(tall.height, 79 + 663 + 19 + 7);
    EXPECT_TRUE(tall.noEnlarge);
    const WindowPlacement wide = PlaceWindowForImage(20000, 100, Screen1024(), fit);
    EXPECT_EQ(wide.height, 79 + 226 + 19 + 7) << "and at least 226 high";
    const WindowPlacement large = PlaceWindowForImage(2000, 1500, Screen1024(), fit);
    EXPECT_LE(large.width, 1024);
    EXPECT_TRUE(large.noEnlarge);
}

TEST(WindowLayout, MaximizedAndStoredPositions) {
    WindowModes modes;
    modes.alwaysMaximize = true;
    const WindowPlacement maximized = PlaceWindowForImage(100, 100, Screen1024(), modes);
    EXPECT_EQ(maximized.width, 1024);
    EXPECT_EQ(maximized.height, 768);
    modes.useLastPosition = true;
    modes.lastX = 5, modes.lastY = 6, modes.lastWidth = 700, modes.lastHeight = 500;
    modes.viewStyle = 1;
    const WindowPlacement stored = PlaceWindowForImage(100, 100, Screen1024(), modes);
    EXPECT_EQ(stored.x, 5);
    EXPECT_EQ(stored.height, 500);
    EXPECT_FALSE(stored.noEnlarge);
}

TEST(WindowLayout, FittingA2000PixelPictureIntoA1000PixelArea) {
    const FitResult fit = FitImageToArea(1004, 1000, 40, 20, 2000, 500, false);
    EXPECT_EQ(fit.width, 1000);
    EXPECT_EQ(fit.height, 250);
    EXPECT_EQ(ZoomPercent(fit.zoom), 50);
    const FitResult small = FitImageToArea(1004, 1000, 40, 20, 100, 50, true);
    EXPECT_EQ(small.width, 100) << "not enlarged";
    EXPECT_EQ(small.x, (1000 - 100 + 4) / 2);
}

TEST(WindowLayout, FullScreenScalesToTheScreenAndStretchesSmallPicturesOnlyWhenAsked) {
    const FitResult wide = FitImageToScreen(1280, 1024, 2560, 1000, false);
    EXPECT_EQ(wide.width, 1280);
    EXPECT_EQ(wide.height, 500);
    EXPECT_EQ(wide.x, 0);
    EXPECT_EQ(wide.y, 262);
    const FitResult small = FitImageToScreen(1280, 1024, 300, 200, false);
    EXPECT_EQ(small.width, 300);
    EXPECT_EQ(small.height, 200);
    EXPECT_EQ(small.x, 490);
    EXPECT_EQ(small.y, 412);
    const FitResult stretched = FitImageToScreen(1280, 1024, 300, 200, true);
    EXPECT_EQ(stretched.width, 1280);
    EXPECT_EQ(stretched.height, 853);
    EXPECT_EQ(stretched.y, 85);
}

TEST(StatusText, FileSizes) {
    EXPECT_EQ(FormatFileSize(1023).number, "1023");
    EXPECT_EQ(FormatFileSize(1023).unit, "Bytes");
    EXPECT_EQ(FormatFileSize(1024).number, "1.00");
    EXPECT_EQ(FormatFileSize(1024).unit, "KB");
    EXPECT_EQ(FormatFileSize(10485760).number, "10.00");
    EXPECT_EQ(FormatFileSize(10485760).unit, "MB");
    EXPECT_EQ(FormatFileSize(5).number, "   5");
}

TEST(StatusText, Fields) {
    EXPECT_EQ(ComposeStatus({}).fields[0], "No Image loaded");
    StatusFacts facts;
    facts.hasEntry = true;
    facts.entryName = "a.bmp";
    facts.canvasWidth = 500, facts.canvasHeight = 200, facts.fileBitDepth = -1;
    facts.zoom = 0.7f;
    facts.fileSize = 2048;
    facts.position = 3, facts.count = 7;
    facts.lastWrite = {2026, 12, 8, 9, 5, 3};
    facts.loadTimeMs = 1234;
    const StatusTexts texts = ComposeStatus(facts);
    EXPECT_EQ(texts.title, "a.bmp - Marbleye");
    EXPECT_EQ(texts.fields[0], "\t500x200x-1");
    EXPECT_EQ(texts.fields[1], "\t69%");
    EXPECT_EQ(texts.fields[2], "\t2.00 KB");
    EXPECT_EQ(texts.fields[3], "\t3/7");
    EXPECT_EQ(texts.fields[4], "\t08.12.2026 / 09:05:03");
    EXPECT_EQ(texts.fields[5], "Loaded in 1.23 sec");
    facts.fullPathsInBrowser = true;
    facts.listTitle = "catalog.myc";
    EXPECT_EQ(ComposeStatus(facts).title, "a.bmp - [catalog.myc] - Marbleye");
}

TEST(StatusText, MediaLengthInSecondsUpToAMinuteThenInMinutes) {
    EXPECT_EQ(MediaPlayingText(1.0), "Playing Media (1.00 Seconds)");
    EXPECT_EQ(MediaPlayingText(60.0), "Playing Media (60.00 Seconds)");
    EXPECT_EQ(MediaPlayingText(90.0), "Playing Media (1.50 Minutes)");
    EXPECT_EQ(MediaPlayingText(0.25), "Playing Media (0.25 Seconds)");
}

TEST(Slideshow, StepsWrapOrStopAtTheEnds) {
    using D = SlideshowDirection;
    EXPECT_EQ(NextSlideshowPosition(1, 3, D::kForward, false, 0).position, 2u);
    const SlideshowStep last = NextSlideshowPosition(2, 3, D::kForward, false, 0);
    EXPECT_EQ(last.position, 2u) << "stays on the last image";
    EXPECT_TRUE(last.stop);
    EXPECT_EQ(NextSlideshowPosition(2, 3, D::kForward, true, 0).position, 0u);
    EXPECT_FALSE(NextSlideshowPosition(2, 3, D::kForward, true, 0).stop);
    const SlideshowStep first = NextSlideshowPosition(0, 3, D::kBackward, false, 0);
    EXPECT_EQ(first.position, 0u);
    EXPECT_TRUE(first.stop);
    EXPECT_EQ(NextSlideshowPosition(0, 3, D::kBackward, true, 0).position, 2u);
    EXPECT_EQ(NextSlideshowPosition(2, 3, D::kBackward, false, 0).position, 1u);
}

TEST(Slideshow, RandomNeverChoosesTheLastImage) {
    for (uint32_t value = 0; value < 50; ++value) {
        EXPECT_EQ(NextSlideshowPosition(1, 2, SlideshowDirection::kRandom, false, value).position, 0u)
            << "two images: always the first";
        EXPECT_LT(NextSlideshowPosition(0, 5, SlideshowDirection::kRandom, false, value).position, 4u);
    }
    EXPECT_EQ(NextSlideshowPosition(0, 5, SlideshowDirection::kRandom, false, 7).position, 3u);
}

}  // namespace
}  // namespace marbleye
