#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <vector>

#include <jpeglib.h>

#include "support/ExternalTools.h"
#include "support/FlashPixBuilder.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

// JPEG tiles are coded here by libjpeg and decoded by ImageMagick as plain
// JPEG files: the reader must show the same pixels from the same coded data,
// whether the tile carries its tables or takes them from the image contents.
struct CodedTile {
    std::string full;         // a complete JPEG stream
    std::string tables;       // the tables alone (an abbreviated table stream)
    std::string abbreviated;  // the same picture without its tables
};

std::string Compress(const test::RgbImage& picture, bool rgbStored, int mode) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(picture.width);
    info.image_height = static_cast<JDIMENSION>(picture.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    if (rgbStored) jpeg_set_colorspace(&info, JCS_RGB);
    jpeg_set_quality(&info, 85, TRUE);
    if (mode == 1) {
        jpeg_write_tables(&info);
    } else {
        jpeg_start_compress(&info, mode == 0 ? TRUE : FALSE);
        while (info.next_scanline < info.image_height) {
            JSAMPROW row = const_cast<uint8_t*>(picture.At(0, static_cast<int32_t>(info.next_scanline)));
            jpeg_write_scanlines(&info, &row, 1);
        }
        jpeg_finish_compress(&info);
    }
    std::string bytes(reinterpret_cast<const char*>(buffer), size);
    jpeg_destroy_compress(&info);
    free(buffer);
    return bytes;
}

CodedTile Code(const test::RgbImage& picture, bool rgbStored) {
    return CodedTile{Compress(picture, rgbStored, 0), Compress(picture, rgbStored, 1), Compress(picture, rgbStored, 2)};
}

// The 64 x 64 piece of the picture at tile (across, down), edges repeated.
test::RgbImage TileOf(const test::RgbImage& picture, int across, int down) {
    test::RgbImage tile{64, 64, std::vector<uint8_t>(64 * 64 * 3)};
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const uint8_t* p = picture.At(std::min(across * 64 + x, picture.width - 1),
                                          std::min(down * 64 + y, picture.height - 1));
            std::copy(p, p + 3, tile.rgb.begin() + (y * 64 + x) * 3);
        }
    }
    return tile;
}

class FlashPixConformance : public ::testing::Test {
protected:
    test::TempFolder folder_;

    // ImageMagick's decoding of a JPEG stream.
    std::optional<test::RgbImage> Reference(const std::string& jpeg, const std::string& name) {
        const std::string path = folder_.File(name + ".jpg");
        test::WriteFileBytes(path, jpeg);
        return test::DecodeWithImageMagick(path);
    }
};

TEST_F(FlashPixConformance, JpegTilesMatchImageMagicksDecoding) {
    MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert);
    const test::RgbImage picture = test::MakePattern(100, 80);
    for (const bool rgbStored : {false, true}) {
        // Four tiles: two carry their tables, two take table set 1.
        test::FpxFile file;
        test::FpxResolution resolution;
        resolution.width = 100, resolution.height = 80, resolution.channels = 3;
        std::vector<test::RgbImage> expected;
        for (int down = 0; down < 2; ++down) {
            for (int across = 0; across < 2; ++across) {
                const CodedTile coded = Code(TileOf(picture, across, down), rgbStored);
                const bool stored = (across + down) % 2 == 1;
                const uint32_t tableIndex = stored ? 1 : 0;
                // Subtype: interleave 0, chroma subsampling (2 x 2 for luma
                // and chroma), the coder's colour conversion, the table set.
                const uint32_t subtype =
                    tableIndex << 24 | (rgbStored ? 0u : 1u) << 16 | (rgbStored ? 0x11u : 0x22u) << 8;
                resolution.tiles.push_back(test::FpxTile{2, subtype, stored ? coded.abbreviated : coded.full});
                if (stored) file.jpegTables[1] = coded.tables;
                const auto reference = Reference(coded.full, "tile" + std::to_string(down * 2 + across));
                ASSERT_TRUE(reference.has_value());
                expected.push_back(*reference);
            }
        }
        file.resolutions.push_back(resolution);
        const std::string path = folder_.File(rgbStored ? "rgb.fpx" : "ycc.fpx");
        test::WriteFileBytes(path, test::BuildFlashPix(file));
        const auto loaded = test::LoadPicture(path);
        ASSERT_TRUE(loaded.ok()) << loaded.message();
        ASSERT_EQ(loaded.canvas->width(), 100);
        ASSERT_EQ(loaded.canvas->height(), 80);
        int wrong = 0;
        for (int y = 0; y < 80; ++y) {
            for (int x = 0; x < 100; ++x) {
                const test::RgbImage& tile = expected[static_cast<size_t>((y / 64) * 2 + x / 64)];
                const uint8_t* p = tile.At(x % 64, y % 64);
                const auto pixel = test::PixelOf(loaded, x, y);
                if ((pixel != std::array<int, 3>{p[0], p[1], p[2]}) && wrong++ < 5) {
                    ADD_FAILURE() << (rgbStored ? "RGB" : "YCbCr") << " pixel " << x << "," << y;
                }
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}


// A tile of `components` channels coded by libjpeg from the given planes
// (channels interleaved), in the given colour space of the coded data.
std::string CompressChannels(const std::vector<uint8_t>& pixels, int size, int components, J_COLOR_SPACE input,
                             J_COLOR_SPACE coded) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long length = 0;
    jpeg_mem_dest(&info, &buffer, &length);
    info.image_width = info.image_height = static_cast<JDIMENSION>(size);
    info.input_components = components;
    info.in_color_space = input;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, coded);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(pixels.data()) + info.next_scanline * size * components;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::string bytes(reinterpret_cast<const char*>(buffer), length);
    jpeg_destroy_compress(&info);
    free(buffer);
    return bytes;
}

uint8_t Smooth(int x, int y, int channel) { return static_cast<uint8_t>(40 + x * 2 + y + channel * 30); }

TEST(FlashPixJpeg, OpacityAndMonochromeTilesComeBackCloseToTheirPixels) {
    test::TempFolder folder;
    // Colour with opacity, coded as luma, chroma and opacity: libjpeg's
    // four-channel path codes luma and chroma of the inverse of its first
    // three inputs, so it is given 255 minus each colour.
    std::vector<uint8_t> rgba, grey;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            for (int c = 0; c < 3; ++c) rgba.push_back(static_cast<uint8_t>(255 - Smooth(x, y, c)));
            rgba.push_back(200);
            grey.push_back(Smooth(x, y, 1));
        }
    }
    struct Case {
        uint32_t channels, colourSpace, subtype;
        std::string tile;
    };
    const Case cases[] = {
        {4, 3, 0x00011100, CompressChannels(rgba, 64, 4, JCS_CMYK, JCS_YCCK)},
        {1, 1, 0x00001100, CompressChannels(grey, 64, 1, JCS_GRAYSCALE, JCS_GRAYSCALE)},
    };
    for (const Case& c : cases) {
        test::FpxFile file;
        file.colourSpace = c.colourSpace;
        test::FpxResolution resolution;
        resolution.width = 50, resolution.height = 40, resolution.channels = c.channels;
        resolution.tiles.push_back(test::FpxTile{2, c.subtype, c.tile});
        file.resolutions.push_back(resolution);
        const std::string path = folder.File("tile" + std::to_string(c.channels) + ".fpx");
        test::WriteFileBytes(path, test::BuildFlashPix(file));
        const auto loaded = test::LoadPicture(path);
        ASSERT_TRUE(loaded.ok()) << loaded.message();
        int worst = 0;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 50; ++x) {
                const auto pixel = test::PixelOf(loaded, x, y);
                for (int ch = 0; ch < 3; ++ch) {
                    const int expected = c.channels == 1 ? Smooth(x, y, 1) : Smooth(x, y, ch);
                    worst = std::max(worst, std::abs(pixel[static_cast<size_t>(ch)] - expected));
                }
            }
        }
        EXPECT_LE(worst, 6) << c.channels << " channels";
    }
}

}  // namespace
}  // namespace marbleye
