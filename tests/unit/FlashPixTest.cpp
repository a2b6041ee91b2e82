#include <gtest/gtest.h>

#include <algorithm>

#include "formats/fpx/FlashPix.h"
#include "support/FlashPixBuilder.h"
#include "support/MemoryUse.h"
#include "support/ReaderTest.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using Colour = std::array<int, 3>;
using test::FpxFile;
using test::FpxResolution;
using test::FpxTile;

// The colour of pixel (x, y) in the stored test pictures, never black.
Colour Expected(int x, int y) { return Colour{(x * 7 + 1) % 256, (y * 5 + 2) % 256, (x + y * 3 + 40) % 256}; }

// A stored tile of a picture: tile (across, down) of tileSize pixels, each
// pixel's channels from Expected (or its first channel for one channel),
// edge pixels outside the picture set to 0xEE so a reader that shows them
// is caught.
FpxTile StoredTile(int across, int down, int width, int height, int channels, int tileSize = 64) {
    FpxTile tile;
    for (int y = 0; y < tileSize; ++y) {
        for (int x = 0; x < tileSize; ++x) {
            const int px = across * tileSize + x, py = down * tileSize + y;
            const bool inside = px < width && py < height;
            const Colour c = Expected(px, py);
            for (int ch = 0; ch < channels; ++ch) {
                const int value = ch < 3 ? c[static_cast<size_t>(ch)] : 0x80;
                tile.bytes.push_back(static_cast<char>(inside ? value : 0xEE));
            }
        }
    }
    return tile;
}

FpxResolution StoredResolution(int width, int height, int channels, int tileSize = 64) {
    FpxResolution resolution;
    resolution.width = static_cast<uint32_t>(width), resolution.height = static_cast<uint32_t>(height);
    resolution.tileWidth = resolution.tileHeight = static_cast<uint32_t>(tileSize);
    resolution.channels = static_cast<uint32_t>(channels);
    for (int down = 0; down * tileSize < height; ++down) {
        for (int across = 0; across * tileSize < width; ++across) {
            resolution.tiles.push_back(StoredTile(across, down, width, height, channels, tileSize));
        }
    }
    return resolution;
}

// A 24-bit DIB whose every pixel is the given colour.
std::string PlainDib(int width, int height, Colour colour) {
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    std::vector<uint8_t> rows(stride * height, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = rows.data() + y * stride + x * 3;
            p[0] = static_cast<uint8_t>(colour[2]), p[1] = static_cast<uint8_t>(colour[1]);
            p[2] = static_cast<uint8_t>(colour[0]);
        }
    }
    return test::Dib24(width, height, rows);
}

class FlashPix : public test::ReaderTest {
protected:
    test::LoadedPicture Load(const std::string& bytes, const LoadOptions& options = LoadOptions(),
                             Host& host = QuietHost()) {
        return LoadBytes(bytes, "picture.fpx", options, host);
    }
    test::LoadedPicture Load(const FpxFile& file, const LoadOptions& options = LoadOptions(),
                             Host& host = QuietHost()) {
        const std::string bytes = test::BuildFlashPix(file);
        EXPECT_FALSE(bytes.empty());
        return Load(bytes, options, host);
    }
    static void ExpectPattern(const test::LoadedPicture& picture, int width, int height) {
        ASSERT_TRUE(picture.ok()) << picture.message();
        ASSERT_EQ(picture.canvas->width(), width);
        ASSERT_EQ(picture.canvas->height(), height);
        const test::RgbImage rgb = test::CanvasToRgb(*picture.canvas);
        int wrong = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const uint8_t* p = rgb.At(x, y);
                if (Colour{p[0], p[1], p[2]} != Expected(x, y) && wrong++ < 5) {
                    ADD_FAILURE() << "pixel " << x << "," << y;
                }
            }
        }
        EXPECT_EQ(wrong, 0);
    }
};

TEST_F(FlashPix, StoredTilesAcrossEdgesAndBothPlacesOfTheImageObject) {
    // 100 x 70 is two by two tiles, the right and bottom ones cut by the edge.
    FpxFile file;
    file.resolutions.push_back(StoredResolution(100, 70, 3));
    const auto loaded = Load(file);
    ExpectPattern(loaded, 100, 70);
    EXPECT_EQ(loaded.image.width, 100);
    EXPECT_EQ(loaded.image.fileBitDepth, 24);
    EXPECT_EQ(loaded.canvas->bitsPerPixel(), 24);

    file.imageStorage = "Data Object Store 000001";
    ExpectPattern(Load(file), 100, 70);

    // Smaller tiles than 64 and an opacity channel, which is not shown.
    FpxFile small;
    small.resolutions.push_back(StoredResolution(37, 21, 4, 16));
    const auto withOpacity = Load(small);
    ExpectPattern(withOpacity, 37, 21);
    EXPECT_EQ(withOpacity.image.fileBitDepth, 32);
}

TEST_F(FlashPix, MonochromeGoesToGreyLevels) {
    for (const int channels : {1, 2}) {
        FpxFile file;
        file.colourSpace = 1;
        file.resolutions.push_back(StoredResolution(70, 65, channels));
        const auto loaded = Load(file);
        ASSERT_TRUE(loaded.ok()) << loaded.message();
        EXPECT_EQ(loaded.canvas->bitsPerPixel(), 8);
        EXPECT_EQ(loaded.image.fileBitDepth, 8 * channels);
        for (const auto& [x, y] : {std::pair{0, 0}, std::pair{69, 0}, std::pair{5, 64}, std::pair{69, 64}}) {
            const int grey = Expected(x, y)[0];
            EXPECT_EQ(test::PixelOf(loaded, x, y), (Colour{grey, grey, grey})) << x << "," << y;
        }
    }
}

TEST_F(FlashPix, SingleColourTilesTakeTheSubtypeBytes) {
    // Two tiles across: a single-colour one (red 0x10, green 0x80, blue 0xF0
    // in the subtype's bytes as stored) and a stored one.
    FpxFile file;
    FpxResolution resolution = StoredResolution(80, 30, 3);
    resolution.tiles[0] = FpxTile{1, 0x00F08010, ""};
    file.resolutions.push_back(resolution);
    const auto loaded = Load(file);
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    EXPECT_EQ(test::PixelOf(loaded, 0, 0), (Colour{0x10, 0x80, 0xF0}));
    EXPECT_EQ(test::PixelOf(loaded, 63, 29), (Colour{0x10, 0x80, 0xF0}));
    EXPECT_EQ(test::PixelOf(loaded, 64, 0), Expected(64, 0));
    EXPECT_EQ(test::PixelOf(loaded, 79, 29), Expected(79, 29));
}

TEST_F(FlashPix, PhotoYccIsConvertedToRgb) {
    // Stored luma and chroma: Y 0 with neutral chroma (156, 137) is black;
    // Y 188 (x 1.3584 = 255.4) neutral is white; C2 above neutral adds red
    // (R = Y + 1.8215 (C2 - 137)), C1 above neutral adds blue.
    FpxFile file;
    file.colourSpace = 2;
    FpxResolution resolution;
    resolution.width = 4, resolution.height = 1, resolution.tileWidth = resolution.tileHeight = 4;
    resolution.channels = 3;
    FpxTile tile;
    const uint8_t ycc[4][3] = {{0, 156, 137}, {188, 156, 137}, {100, 156, 167}, {100, 186, 137}};
    for (int y = 0; y < 4; ++y) {
        for (const auto& pixel : ycc) tile.bytes.append(reinterpret_cast<const char*>(pixel), 3);
    }
    resolution.tiles.push_back(tile);
    file.resolutions.push_back(resolution);
    const auto loaded = Load(file);
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    EXPECT_EQ(test::PixelOf(loaded, 0, 0), (Colour{0, 0, 0}));
    EXPECT_EQ(test::PixelOf(loaded, 1, 0), (Colour{255, 255, 255}));
    // Y 135.84; red 135.84 + 54.645 = 190.5, green 135.84 - 0.509 x 54.645 = 108.0, blue 135.84
    const Colour reddish = test::PixelOf(loaded, 2, 0);
    EXPECT_NEAR(reddish[0], 190, 1);
    EXPECT_NEAR(reddish[1], 108, 1);
    EXPECT_NEAR(reddish[2], 136, 1);
    // C1 + 30: blue 135.84 + 66.54 = 202.4, green 135.84 - 0.194 x 66.54 = 122.9
    const Colour bluish = test::PixelOf(loaded, 3, 0);
    EXPECT_NEAR(bluish[0], 136, 1);
    EXPECT_NEAR(bluish[1], 123, 1);
    EXPECT_NEAR(bluish[2], 202, 1);
}

TEST_F(FlashPix, TheLargestResolutionIsShown) {
    // Resolutions stored largest first, and also (unusually) smallest first.
    for (const bool largestFirst : {true, false}) {
        FpxFile file;
        FpxResolution large = StoredResolution(90, 66, 3);
        FpxResolution smaller;
        smaller.width = 45, smaller.height = 33, smaller.channels = 3;
        smaller.tiles.push_back(FpxTile{1, 0x000000FF, ""});
        file.resolutions = largestFirst ? std::vector{large, smaller} : std::vector{smaller, large};
        ExpectPattern(Load(file), 90, 66);
    }
}

TEST_F(FlashPix, ThumbnailsUseTheSummaryPicture) {
    FpxFile file;
    file.resolutions.push_back(StoredResolution(100, 70, 3));
    file.thumbnailDib = PlainDib(5, 3, Colour{12, 200, 34});
    LoadOptions thumbnail;
    thumbnail.thumbnail = true;
    const auto small = Load(file, thumbnail);
    ASSERT_TRUE(small.ok()) << small.message();
    EXPECT_EQ(small.canvas->width(), 5);
    EXPECT_EQ(small.canvas->height(), 3);
    EXPECT_EQ(test::PixelOf(small, 4, 2), (Colour{12, 200, 34}));
    EXPECT_EQ(small.image.width, 100) << "the full picture's size is reported";
    EXPECT_EQ(small.image.height, 70);

    // The viewer shows the full picture; so does a thumbnail without a stored one.
    ExpectPattern(Load(file), 100, 70);
    file.thumbnailDib.clear();
    ExpectPattern(Load(file, thumbnail), 100, 70);

    // A stored picture declaring more pixels than it holds.
    std::string cut = PlainDib(50, 50, Colour{1, 2, 3});
    cut.resize(cut.size() / 2);
    file.thumbnailDib = cut;
    EXPECT_EQ(Load(file, thumbnail).message(), "Unable to allocate Thumbmemory!");
}

TEST_F(FlashPix, Messages) {
    EXPECT_EQ(Load(std::string("not a compound document at all")).message(), "Opening Image failed!");
    FpxFile empty;
    EXPECT_EQ(Load(empty).message(), "Opening Image failed!") << "no resolution";

    FpxFile brokenSummary;
    brokenSummary.resolutions.push_back(StoredResolution(10, 10, 3));
    brokenSummary.summaryStream = "this is not a property set";
    EXPECT_EQ(Load(brokenSummary).message(), "GetSummaryInfo failed!");
    brokenSummary.summary = false;
    EXPECT_TRUE(Load(brokenSummary).ok()) << "a file without summary information is read";

    // A tile table shorter than the tile count.
    FpxFile shortTable;
    shortTable.resolutions.push_back(StoredResolution(200, 10, 3));
    shortTable.resolutions[0].tiles.pop_back();
    EXPECT_EQ(Load(shortTable).message(), "Opening Image failed!");
}

TEST_F(FlashPix, BrokenTilesStopDecodingAndAreReported) {
    // Tile row 0 is fine, the first tile of row 1 is JPEG garbage, then an
    // unknown compression: the rows above the bad band are shown, the rest
    // stays black, and the load succeeds.
    FpxFile file;
    FpxResolution resolution = StoredResolution(64, 150, 3);
    resolution.tiles[1] = FpxTile{2, 0x00012200, "\xFF\xD8garbage"};
    resolution.tiles[2] = FpxTile{7, 0, ""};
    file.resolutions.push_back(resolution);
    test::MessageRecorder host;
    const auto loaded = Load(file, LoadOptions(), host);
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    EXPECT_EQ(host.messages, "Decode Error occured!|");
    EXPECT_EQ(test::PixelOf(loaded, 10, 63), Expected(10, 63));
    EXPECT_EQ(test::PixelOf(loaded, 10, 64), (Colour{0, 0, 0}));
    EXPECT_EQ(test::PixelOf(loaded, 10, 149), (Colour{0, 0, 0}));

    // A stored tile shorter than the tile: what it holds is shown.
    FpxFile cut;
    cut.resolutions.push_back(StoredResolution(64, 2, 3));
    cut.resolutions[0].tiles[0].bytes.resize(64 * 3 + 30);
    const auto partial = Load(cut);
    ASSERT_TRUE(partial.ok()) << partial.message();
    EXPECT_EQ(test::PixelOf(partial, 63, 0), Expected(63, 0));
    EXPECT_EQ(test::PixelOf(partial, 9, 1), Expected(9, 1));
    EXPECT_EQ(test::PixelOf(partial, 10, 1), (Colour{0, 0, 0}));
}

TEST_F(FlashPix, HostileSizesAreRefusedBeforeAllocation) {
    // 20000 x 20000 at 24 bits (1.2 GB) in single-colour tiles: the tile
    // table is all there (1.5 MB), the picture is too large for the canvas.
    FpxFile file;
    FpxResolution huge;
    huge.width = huge.height = 20000, huge.channels = 3;
    huge.tiles.assign(313 * 313, FpxTile{1, 0x00102030, ""});
    file.resolutions.push_back(huge);
    const std::string bytes = test::BuildFlashPix(file);
    ASSERT_FALSE(bytes.empty());
    test::LoadedPicture loaded;
    const long growth = test::PeakMemoryGrowthKb([&] { loaded = Load(bytes); });
    EXPECT_EQ(loaded.message(), "Unable to allocate Memory!");
    EXPECT_LT(growth, test::kSmallFileGrowthLimitKb);

    // A header declaring a huge picture without the tiles to go with it.
    FpxFile liar;
    FpxResolution claimed = StoredResolution(64, 64, 3);
    claimed.width = claimed.height = 0x7FFFFFFF;
    liar.resolutions.push_back(claimed);
    EXPECT_EQ(Load(liar).message(), "Opening Image failed!");
}

TEST_F(FlashPix, EveryPrefixLoadsOrFails) {
    FpxFile file;
    file.resolutions.push_back(StoredResolution(70, 70, 3));
    file.thumbnailDib = PlainDib(4, 4, Colour{9, 9, 9});
    const std::string bytes = test::BuildFlashPix(file);
    ASSERT_GT(bytes.size(), 4096u);
    int failed = 0;
    for (size_t length = 0; length < bytes.size(); length += length < 1024 ? 1 : 97) {
        const auto picture = Load(bytes.substr(0, length));
        if (picture.ok()) {
            EXPECT_EQ(picture.canvas->width(), 70);
        } else {
            ++failed;
            EXPECT_FALSE(picture.message().empty());
        }
    }
    EXPECT_GT(failed, 0);
    EXPECT_EQ(Load(bytes).canvas->width(), 70);
}

}  // namespace
}  // namespace marbleye
