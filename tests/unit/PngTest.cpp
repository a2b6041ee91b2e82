#include <gtest/gtest.h>

#include <zlib.h>

#include <tuple>

#include "formats/png/Png.h"
#include "support/MemoryUse.h"
#include "support/ReaderTest.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

class PngReader : public test::ReaderTest {
protected:
    std::string MakePng(bool interlaced, int32_t width = 23, int32_t height = 11) {
        ImageCanvas canvas;
        EXPECT_TRUE(test::CanvasFromRgb(test::MakePattern(width, height), canvas));
        CurrentImage image;
        image.fileBitDepth = 24;
        const std::string path = folder_.File("made.png");
        EXPECT_TRUE(WritePng(path, canvas, image, interlaced, QuietHost()));
        return test::ReadFileBytes(path);
    }
    static std::string Chunk(const std::string& type, const std::string& data) {
        std::string chunk;
        for (int shift = 24; shift >= 0; shift -= 8) chunk += char((data.size() >> shift) & 0xFF);
        chunk += type + data;
        const uint32_t crc = crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(chunk.data() + 4),
                                   static_cast<uInt>(chunk.size() - 4));
        for (int shift = 24; shift >= 0; shift -= 8) chunk += char((crc >> shift) & 0xFF);
        return chunk;
    }
    static std::string Header(uint32_t width, uint32_t height, int bits, int colourType) {
        std::string data;
        for (const uint32_t value : {width, height}) {
            for (int shift = 24; shift >= 0; shift -= 8) data += char((value >> shift) & 0xFF);
        }
        data += char(bits), data += char(colourType), data += std::string(3, '\0');
        return "\x89PNG\r\n\x1a\n" + Chunk("IHDR", data);
    }
};

TEST_F(PngReader, MessagesOfTheReader) {
    EXPECT_EQ(test::LoadPicture(folder_.File("missing.png")).message(), "Couldn't open File");
    EXPECT_EQ(LoadBytes("GIF89a plus more bytes", "fake.png").message(), "Not a PNG");
    EXPECT_EQ(LoadBytes("\x89PNG", "short.png").message(), "Not a PNG");
    EXPECT_EQ(LoadBytes(Header(0, 5, 8, 2) + Chunk("IEND", ""), "zero.png").message(), "Unkown PNG LoadError");
    EXPECT_EQ(LoadBytes(Header(7, 5, 3, 2) + Chunk("IEND", ""), "bad-depth.png").message(), "Unkown PNG LoadError");
}

TEST_F(PngReader, HugeSizesAreRefusedBeforeAllocation) {
    // Headers claiming far more rows than one byte of image data can inflate
    // to fail as a cut-short file does.
    EXPECT_LT(test::PeakMemoryGrowthKb([&] {
        for (const auto& [width, height, bits] : {std::tuple{60000u, 60000u, 8}, std::tuple{10000000u, 200u, 16},
                                                   std::tuple{4000u, 4000u, 8}}) {
            EXPECT_EQ(LoadBytes(Header(width, height, bits, 6) + Chunk("IDAT", "x") + Chunk("IEND", ""), "huge.png")
                          .message(),
                      "Unkown PNG LoadError")
                << width << " x " << height;
        }
        // Beyond the library's own limit of 2^24 pixels a side.
        EXPECT_EQ(LoadBytes(Header(0x7FFFFFFF, 1, 8, 2) + Chunk("IDAT", "x") + Chunk("IEND", ""), "wider.png").message(),
                  "Unkown PNG LoadError");
    }), test::kSmallFileGrowthLimitKb);
}

TEST_F(PngReader, APictureTheFileHoldsButTheGateRefusesIsOutOfMemory) {
    // 600 x 600 gray rows deflate to a few hundred bytes: the file honestly
    // holds them, and only the lowered gate stands in the way.
    std::string rows(600 * 601, '\0');
    uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
    std::string packed(packedSize, '\0');
    ASSERT_EQ(compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(rows.data()),
                       static_cast<uLong>(rows.size())),
              Z_OK);
    packed.resize(packedSize);
    const std::string png = Header(600, 600, 8, 0) + Chunk("IDAT", packed) + Chunk("IEND", "");
    EXPECT_TRUE(LoadBytes(png, "gray.png").ok());
    test::ScopedPixelByteLimit limit(100000);
    EXPECT_EQ(LoadBytes(png, "gray.png").message(), "Out of Memory!");
}

// A text chunk that claims 1.8 GB in a file of a few bytes: the library would
// allocate the claimed length before reading it.
TEST_F(PngReader, ChunkLengthsAreNotTrusted) {
    const std::string png = Header(12, 8, 8, 6) + std::string("\x6E\x3C\x00\x25tEXtdate:modify", 19);
    EXPECT_LT(test::PeakMemoryGrowthKb([&] { EXPECT_EQ(LoadBytes(png, "text.png").message(), "Unkown PNG LoadError"); }),
              test::kModestGrowthKb);
}

TEST_F(PngReader, TruncatedFilesGiveAMessageAndNeverCrash) {
    for (const bool interlaced : {false, true}) {
        const std::string png = MakePng(interlaced);
        ASSERT_TRUE(LoadBytes(png, "whole.png").ok());
        for (size_t length = 0; length + 1 < png.size(); length += 3) {
            const auto picture = LoadBytes(png.substr(0, length), "cut.png");
            EXPECT_FALSE(picture.ok()) << length;
            EXPECT_FALSE(picture.message().empty()) << length;
        }
    }
}

}  // namespace
}  // namespace marbleye
