// GD and GD2 files written by libgd, read by our reader and compared pixel by
// pixel with libgd's own decoding; the GD 1.x and GD2 version 1 layouts, which
// libgd no longer writes, built from the published layout; broken and
// hostile files.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>

#include <gd.h>
#include <zlib.h>

#include "canvas/DeclaredSize.h"
#include "support/LibgdPictures.h"
#include "support/MemoryUse.h"
#include "support/ReaderTest.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::RgbImage;

const std::string kMessage = "Couldn't load GD/GD2 file!";

using test::GdImage;

// The picture drawn into a libgd image. A palette image's first entry is a
// colour the picture does not use, so that index 0 is never right by chance.
GdImage DrawWithLibgd(const RgbImage& picture, bool trueColour) {
    GdImage image(trueColour ? gdImageCreateTrueColor(picture.width, picture.height)
                             : gdImageCreate(picture.width, picture.height));
    if (!trueColour) gdImageColorAllocate(image.get(), 1, 2, 3);
    for (int32_t y = 0; y < picture.height; ++y) {
        for (int32_t x = 0; x < picture.width; ++x) {
            const uint8_t* p = picture.At(x, y);
            int colour = trueColour ? gdTrueColor(p[0], p[1], p[2]) : gdImageColorExact(image.get(), p[0], p[1], p[2]);
            if (colour < 0) colour = gdImageColorAllocate(image.get(), p[0], p[1], p[2]);
            gdImageSetPixel(image.get(), x, y, colour);
        }
    }
    return image;
}

// How libgd writes a picture: as GD (format 0) or as GD2 with a chunk size
// and GD2_FMT_RAW or GD2_FMT_COMPRESSED (libgd picks the true-colour forms
// itself).
struct LibgdFile {
    const char* name;
    bool trueColour;
    int32_t width, height;
    int chunkSize;
    int format;
    bool gd2() const { return format != 0; }
};

std::string WriteWithLibgd(const LibgdFile& file, gdImagePtr image) {
    int size = 0;
    void* data = file.gd2() ? gdImageGd2Ptr(image, file.chunkSize, file.format, &size) : gdImageGdPtr(image, &size);
    if (!data) return {};
    std::string bytes(static_cast<const char*>(data), static_cast<size_t>(size));
    gdFree(data);
    return bytes;
}

#define REQUIRE_LIBGD_GD_FORMATS()                                                         \
    do {                                                                                  \
        if (!test::LibgdHasGdFormats()) GTEST_SKIP() << "this libgd is built without its GD formats"; \
    } while (0)

const std::vector<uint32_t> kColours = {0xFF0000, 0x0000FF, 0x00FF00, 0x123456, 0xABCDEF, 0xFEDCBA, 0x808080};

RgbImage PictureOf(const LibgdFile& file) {
    return file.trueColour ? test::MakePattern(file.width, file.height)
                           : test::MakePalettePattern(file.width, file.height, kColours);
}

// The seeds of fuzz/corpus/gd: libgd 2.3.3, built with its GD formats, wrote
// them from these pictures drawn by DrawWithLibgd. The chunk sizes leave
// partial chunks at the right and bottom edges.
constexpr LibgdFile kSeeds[] = {
    {"palette.gd", false, 37, 23, 0, 0},
    {"true.gd", true, 37, 23, 0, 0},
    {"raw.gd2", false, 130, 65, 64, GD2_FMT_RAW},
    {"packed.gd2", false, 150, 70, 64, GD2_FMT_COMPRESSED},
    {"true-raw.gd2", true, 66, 65, 64, GD2_FMT_RAW},
    {"true-packed.gd2", true, 105, 70, 100, GD2_FMT_COMPRESSED},
};

std::string SeedPath(const LibgdFile& file) {
    return std::string(MARBLEYE_SOURCE_DIR) + "/fuzz/corpus/gd/" + file.name;
}

class GdReader : public test::ReaderTest {
protected:
    void ExpectPicture(const test::LoadedPicture& picture, const LibgdFile& file, const RgbImage& expected) {
        ASSERT_TRUE(picture.ok()) << file.name << ": " << picture.message();
        EXPECT_EQ(picture.canvas->bitsPerPixel(), 24) << file.name;
        EXPECT_EQ(picture.image.fileBitDepth, file.trueColour ? 24 : 8) << file.name;
        const RgbImage ours = test::CanvasToRgb(*picture.canvas);
        EXPECT_EQ(ours, expected) << file.name << ": " << test::FirstDifference(expected, ours);
    }
};

TEST_F(GdReader, FilesWrittenByLibgdShowWhatLibgdDecodes) {
    REQUIRE_LIBGD_GD_FORMATS();
    std::vector<LibgdFile> files(std::begin(kSeeds), std::end(kSeeds));
    files.push_back({"exact.gd2", true, 128, 64, 64, GD2_FMT_COMPRESSED});   // chunks fill the picture
    files.push_back({"default.gd2", false, 200, 130, 0, GD2_FMT_RAW});      // libgd's chunk size, 128
    files.push_back({"largest.gd2", true, 300, 77, 4096, GD2_FMT_COMPRESSED});
    files.push_back({"one.gd", false, 1, 1, 0, 0});
    for (const LibgdFile& file : files) {
        const RgbImage picture = PictureOf(file);
        const std::string bytes = WriteWithLibgd(file, DrawWithLibgd(picture, file.trueColour).get());
        const auto libgd = test::DecodeGdWithLibgd(bytes, file.gd2());
        ASSERT_TRUE(libgd) << file.name;
        ASSERT_EQ(*libgd, picture) << file.name << ": libgd's own round trip";
        ExpectPicture(LoadBytes(bytes, file.name), file, *libgd);
    }
}

TEST_F(GdReader, SeedsWrittenByLibgdShowTheirPictures) {
    const bool libgd = test::LibgdHasGdFormats();
    for (const LibgdFile& file : kSeeds) {
        ExpectPicture(test::LoadPicture(SeedPath(file)), file, PictureOf(file));
        if (libgd) {
            EXPECT_EQ(test::DecodeGdWithLibgd(test::ReadFileBytes(SeedPath(file)), file.gd2()), PictureOf(file)) << file.name;
        }
    }
}

// libgd refuses a file cut short anywhere, and so do we.
TEST_F(GdReader, SeedsCutShortGiveTheMessage) {
    const bool libgd = test::LibgdHasGdFormats();
    for (const LibgdFile& file : kSeeds) {
        const std::string bytes = test::ReadFileBytes(SeedPath(file));
        ASSERT_FALSE(bytes.empty()) << file.name;
        for (size_t length = 0; length < bytes.size(); length += 1 + bytes.size() / 41) {
            const std::string cut = bytes.substr(0, length);
            EXPECT_EQ(LoadBytes(cut, file.name).message(), kMessage) << file.name << " cut at " << length;
            if (libgd) {
                EXPECT_FALSE(test::DecodeGdWithLibgd(cut, file.gd2())) << file.name << " cut at " << length;
            }
        }
    }
}

// The GD 1.x and GD2 version 1 layouts as published: big-endian words; a
// GD 1.x header is width, height, colour count (a byte), transparent colour
// (a word, 257 for none) and 256 entries of red, green, blue; GD2 version 1
// has the same colour header after its own.
class Bytes {
public:
    Bytes& Byte(uint32_t v) { return data_ += static_cast<char>(v & 0xFF), *this; }
    Bytes& Word(uint32_t v) { return Byte(v >> 8).Byte(v); }
    Bytes& Int(uint32_t v) { return Word(v >> 16).Word(v); }
    Bytes& Text(const std::string& text) { return data_ += text, *this; }
    const std::string& str() const { return data_; }
    size_t size() const { return data_.size(); }

private:
    std::string data_;
};

// A palette of the picture's colours in order of appearance, and the
// picture's pixels as indices into it, top row first.
struct Indexed {
    std::vector<uint32_t> colours;
    std::vector<uint32_t> indices;
};

Indexed IndexColours(const RgbImage& picture) {
    Indexed indexed;
    for (size_t i = 0; i < picture.rgb.size(); i += 3) {
        const uint32_t rgb = (picture.rgb[i] << 16) | (picture.rgb[i + 1] << 8) | picture.rgb[i + 2];
        auto found = std::find(indexed.colours.begin(), indexed.colours.end(), rgb);
        if (found == indexed.colours.end()) found = indexed.colours.insert(indexed.colours.end(), rgb);
        indexed.indices.push_back(static_cast<uint32_t>(found - indexed.colours.begin()));
    }
    return indexed;
}

void PutOldColourHeader(Bytes& out, const std::vector<uint32_t>& colours) {
    out.Byte(static_cast<uint32_t>(colours.size())).Word(257);
    for (size_t i = 0; i < 256; ++i) {
        const uint32_t rgb = i < colours.size() ? colours[i] : 0;
        out.Byte(rgb >> 16).Byte(rgb >> 8).Byte(rgb);
    }
}

std::string OldGd(const RgbImage& picture) {
    const Indexed indexed = IndexColours(picture);
    Bytes out;
    out.Word(static_cast<uint32_t>(picture.width)).Word(static_cast<uint32_t>(picture.height));
    PutOldColourHeader(out, indexed.colours);
    for (const uint32_t index : indexed.indices) out.Byte(index);
    return out.str();
}

// The zlib stream of the given bytes.
std::string Deflated(const std::string& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
             static_cast<uLong>(data.size()));
    return packed.substr(0, size);
}

// A GD2 file as the layout describes it, for what libgd does not write: the
// version 1 colour header, or chunk counts other than the picture needs
// (0: as many as it needs). Chunks of chunkSize pixels a side, row by row,
// clipped to the picture (a chunk beyond it holds nothing); each pixel one
// byte (palette) or four (alpha 0, red, green, blue); each chunk deflated on
// its own when compressed.
struct Gd2Layout {
    uint32_t version;
    bool trueColour;
    uint32_t chunkSize;
    bool compressed;
    uint32_t across = 0, down = 0;
};

std::string Chunk(const RgbImage& picture, const Indexed& indexed, const Gd2Layout& layout, uint32_t cx, uint32_t cy) {
    const uint32_t width = static_cast<uint32_t>(picture.width), height = static_cast<uint32_t>(picture.height);
    Bytes chunk;
    for (uint32_t y = cy * layout.chunkSize; y < std::min((cy + 1) * layout.chunkSize, height); ++y) {
        for (uint32_t x = cx * layout.chunkSize; x < std::min((cx + 1) * layout.chunkSize, width); ++x) {
            const uint8_t* p = picture.At(static_cast<int32_t>(x), static_cast<int32_t>(y));
            if (layout.trueColour) {
                chunk.Byte(0).Byte(p[0]).Byte(p[1]).Byte(p[2]);
            } else {
                chunk.Byte(indexed.indices[y * width + x]);
            }
        }
    }
    return layout.compressed ? Deflated(chunk.str()) : chunk.str();
}

// The colour header of version 2: true-colour flag, colour count (palette
// only), transparent colour (none), 256 x red, green, blue, alpha (palette
// only); version 1 has the GD 1.x form, and for true colour only its count
// and transparent colour.
Bytes Gd2Colours(const Indexed& indexed, const Gd2Layout& layout) {
    Bytes colours;
    if (layout.version == 1) {
        if (layout.trueColour) {
            colours.Byte(0).Word(257);
        } else {
            PutOldColourHeader(colours, indexed.colours);
        }
        return colours;
    }
    colours.Byte(layout.trueColour ? 1 : 0);
    if (!layout.trueColour) colours.Word(static_cast<uint32_t>(indexed.colours.size()));
    colours.Int(0xFFFFFFFF);
    for (size_t i = 0; !layout.trueColour && i < 256; ++i) {
        const uint32_t rgb = i < indexed.colours.size() ? indexed.colours[i] : 0;
        colours.Byte(rgb >> 16).Byte(rgb >> 8).Byte(rgb).Byte(0);
    }
    return colours;
}

std::string HandBuiltGd2(const RgbImage& picture, Gd2Layout layout) {
    const Indexed indexed = IndexColours(picture);
    const uint32_t width = static_cast<uint32_t>(picture.width), height = static_cast<uint32_t>(picture.height);
    if (layout.across == 0) layout.across = (width + layout.chunkSize - 1) / layout.chunkSize;
    if (layout.down == 0) layout.down = (height + layout.chunkSize - 1) / layout.chunkSize;
    std::vector<std::string> chunks;
    for (uint32_t cy = 0; cy < layout.down; ++cy) {
        for (uint32_t cx = 0; cx < layout.across; ++cx) chunks.push_back(Chunk(picture, indexed, layout, cx, cy));
    }
    const uint32_t format = (layout.trueColour ? 3 : 1) + (layout.compressed ? 1 : 0);
    Bytes out;
    out.Text(std::string("gd2\0", 4)).Word(layout.version).Word(width).Word(height).Word(layout.chunkSize);
    out.Word(format).Word(layout.across).Word(layout.down);
    const Bytes colours = Gd2Colours(indexed, layout);
    if (layout.compressed) {
        uint32_t offset = static_cast<uint32_t>(out.size() + chunks.size() * 8 + colours.size());
        for (const std::string& chunk : chunks) {
            out.Int(offset).Int(static_cast<uint32_t>(chunk.size()));
            offset += static_cast<uint32_t>(chunk.size());
        }
    }
    out.Text(colours.str());
    for (const std::string& chunk : chunks) out.Text(chunk);
    return out.str();
}

TEST_F(GdReader, OldLayoutsLibgdNoLongerWrites) {
    const LibgdFile old{"old.gd", false, 37, 23, 0, 0};
    ExpectPicture(LoadBytes(OldGd(PictureOf(old)), old.name), old, PictureOf(old));
    // The format field: 1 raw, 2 compressed.
    for (const LibgdFile& file :
         {LibgdFile{"v1-raw.gd2", false, 150, 70, 64, 1}, LibgdFile{"v1-packed.gd2", false, 150, 70, 128, 2},
          LibgdFile{"v1-true-raw.gd2", true, 70, 66, 64, 1}, LibgdFile{"v1-true-packed.gd2", true, 150, 70, 100, 2}}) {
        const RgbImage picture = PictureOf(file);
        const Gd2Layout layout{1, file.trueColour, static_cast<uint32_t>(file.chunkSize), file.format == 2};
        ExpectPicture(LoadBytes(HandBuiltGd2(picture, layout), file.name), file, picture);
    }
}

// libgd takes any chunk counts: chunks beyond the picture hold no pixels, and
// a picture that too few chunks cover shows stored pixel 0 (palette entry 0,
// or black) in the rest.
TEST_F(GdReader, ChunkCountsOtherThanThePictureNeeds) {
    const bool libgd = test::LibgdHasGdFormats();
    const RgbImage picture = PictureOf({"", false, 130, 9, 0, 0});
    const auto expectLoaded = [&](const std::string& bytes, const RgbImage& expected, const std::string& name) {
        ExpectPicture(LoadBytes(bytes, name), {name.c_str(), false, 130, 9, 64, 1}, expected);
        if (libgd) {
            EXPECT_EQ(test::DecodeGdWithLibgd(bytes, true), expected) << name;
        }
    };
    expectLoaded(HandBuiltGd2(picture, {2, false, 64, false, 7, 3}), picture, "more-raw.gd2");
    expectLoaded(HandBuiltGd2(picture, {2, false, 64, true, 5, 2}), picture, "more-packed.gd2");
    // One chunk across: columns from 64 on show the palette's first colour.
    RgbImage left = picture;
    const uint8_t* first = picture.At(0, 0);
    for (int32_t y = 0; y < left.height; ++y) {
        for (int32_t x = 64; x < left.width; ++x) {
            std::copy(first, first + 3, left.rgb.data() + (static_cast<size_t>(y) * left.width + x) * 3);
        }
    }
    expectLoaded(HandBuiltGd2(picture, {2, false, 64, false, 1, 1}), left, "fewer-raw.gd2");
    expectLoaded(HandBuiltGd2(picture, {2, false, 64, true, 1, 1}), left, "fewer-packed.gd2");
}

TEST_F(GdReader, BrokenHeadersGiveTheMessage) {
    EXPECT_EQ(test::LoadPicture(folder_.File("missing.gd")).message(), "Couldn't load GD file!");
    const auto load = [&](std::initializer_list<uint8_t> bytes, const std::string& name) {
        return LoadBytes(std::string(bytes.begin(), bytes.end()), name).message();
    };
    EXPECT_EQ(load({0xFF, 0xFE,  // GD 2.x, true colour
                    0, 5, 0, 5,  // 5 x 5 pixels
                    0,           // the true-colour flag says palette
                    0xFF, 0xFF, 0xFF, 0xFF},
                   "flag.gd"),
              kMessage);
    EXPECT_EQ(load({0xFF, 0xFF,  // GD 2.x, palette
                    0, 5, 0, 5,  // 5 x 5 pixels
                    0,           // palette
                    1, 1,        // 257 colours
                    0xFF, 0xFF, 0xFF, 0xFF},
                   "colours.gd"),
              kMessage);
    EXPECT_EQ(load({0xFF, 0xFE, 0, 0, 0, 5, 1, 0xFF, 0xFF, 0xFF, 0xFF}, "no-width.gd"), kMessage);
    const auto gd2 = [&](uint8_t magic3, uint8_t version, uint8_t chunkSize, uint8_t format, uint8_t across) {
        return load({'g', 'd', '2', magic3,  // magic
                     0, version,             // version
                     0, 70, 0, 9,            // 70 x 9 pixels
                     0, chunkSize,           // chunk size
                     0, format,              // 3: true colour, raw
                     0, across, 0, 1,        // chunks across and down
                     1, 0xFF, 0xFF, 0xFF, 0xFF},  // true colour, no transparent colour
                    "header.gd2");
    };
    EXPECT_EQ(gd2('X', 2, 64, 3, 2), kMessage);   // magic
    EXPECT_EQ(gd2(0, 3, 64, 3, 2), kMessage);     // version 3
    EXPECT_EQ(gd2(0, 2, 32, 3, 3), kMessage);     // chunks below 64 pixels a side
    EXPECT_EQ(gd2(0, 2, 64, 5, 2), kMessage);     // format 5
    EXPECT_EQ(gd2(0, 2, 64, 4, 0), kMessage);     // compressed without a chunk
    EXPECT_EQ(load({'g', 'd', '2', 0, 0, 2,
                    0, 1, 0, 1,             // 1 x 1 pixel
                    0, 64, 0, 4, 0, 1, 0, 1,  // true colour, compressed, one chunk
                    0, 0, 0, 100, 0, 0, 0, 10,  // the chunk at 100 with 10 bytes, beyond the file
                    1, 0xFF, 0xFF, 0xFF, 0xFF},
                   "beyond.gd2"),
              kMessage);
}

// Headers that claim far more than their few bytes hold: the message, and
// nothing allocated for the claim.
TEST_F(GdReader, HostileHeadersCostNothing) {
    const auto expectRefused = [&](const std::string& bytes, const std::string& name) {
        ASSERT_LT(bytes.size(), test::kSmallFileBytes);
        std::string message;
        const long growth = test::PeakMemoryGrowthKb([&] { message = LoadBytes(bytes, name).message(); });
        EXPECT_EQ(message, kMessage) << name;
        EXPECT_LT(growth, test::kSmallFileGrowthLimitKb) << name;
    };
    const std::string noTransparent = Bytes().Int(0xFFFFFFFF).str();
    const std::string table(256 * 4, '\0');
    // 16000 x 16000 true colour in 11 bytes.
    expectRefused(Bytes().Word(0xFFFE).Word(16000).Word(16000).Byte(1).str() + noTransparent, "true.gd");
    // The same bytes with 0xFFFF, which starts a palette picture: its flag disagrees.
    expectRefused(Bytes().Word(0xFFFF).Word(16000).Word(16000).Byte(1).str() + noTransparent, "short.gd");
    // 16000 x 16000 palette pixels: the colour header and no pixel.
    expectRefused(Bytes().Word(0xFFFF).Word(16000).Word(16000).Byte(0).Word(256).str() + noTransparent + table,
                  "palette.gd");
    // The same as GD 1.x: width, height, colour count, transparent, 256 x RGB.
    expectRefused(Bytes().Word(16000).Word(16000).Byte(0).Word(257).str() + std::string(256 * 3, '\0'), "old.gd");
    const auto gd2Header = [](uint32_t size, uint32_t chunkSize, uint32_t format, uint32_t chunks) {
        return Bytes().Text(std::string("gd2\0", 4)).Word(2).Word(size).Word(size).Word(chunkSize).Word(format)
            .Word(chunks).Word(chunks);
    };
    // 16000 x 16000 true colour in raw 64-pixel chunks, 250 x 250 of them.
    expectRefused(gd2Header(16000, 64, 3, 250).Byte(1).str() + noTransparent, "raw.gd2");
    // 16000 x 16000 true colour in 4 x 4 compressed chunks of 4096 pixels a
    // side, every one of them the same small stream inside the file.
    const std::string stream = Deflated(std::string(4096, '\0'));
    Bytes packed = gd2Header(16000, 4096, 4, 4);
    const uint32_t streamAt = static_cast<uint32_t>(packed.size() + 16 * 8 + 5);
    for (int i = 0; i < 16; ++i) packed.Int(streamAt).Int(static_cast<uint32_t>(stream.size()));
    expectRefused(packed.Byte(1).str() + noTransparent + stream, "packed.gd2");
    // 65535 x 65535 palette pixels in 1024 x 1024 compressed chunks: an
    // index of 8 MiB that the file does not hold.
    expectRefused(gd2Header(65535, 64, 2, 1024).Int(18 + 8).Int(4).str(), "index.gd2");
}

// 1100 x 1100 pixels of one colour deflate to a few kilobytes: the file
// honestly holds them though a sixteenth of them stored would not fit, and
// only the lowered gate stands in the way.
TEST_F(GdReader, APictureTheFileHoldsButTheGateRefusesIsOutOfMemory) {
    RgbImage flat{1100, 1100, {}};
    for (int32_t i = 0; i < flat.width * flat.height; ++i) flat.rgb.insert(flat.rgb.end(), {0x20, 0x40, 0x60});
    const std::string bytes = HandBuiltGd2(flat, {2, true, 128, true});
    ASSERT_LT(bytes.size() * kCutShortAllowance, size_t{1100} * 1100 * 4);
    const LibgdFile file{"flat.gd2", true, 1100, 1100, 128, GD2_FMT_COMPRESSED};
    ExpectPicture(LoadBytes(bytes, file.name), file, flat);
    test::ScopedPixelByteLimit limit(1000000);
    EXPECT_EQ(LoadBytes(bytes, file.name).message(), "Out of Memory!");
}

// A one-pixel picture in one compressed chunk of the largest size, 4096
// pixels a side: only the chunk's one pixel is inflated.
TEST_F(GdReader, LargestChunksCostOnlyTheirPixels) {
    const std::string stream = Deflated(std::string("\0\xC0\x20\x10", 4));  // alpha 0, red C0, green 20, blue 10
    Bytes file;
    file.Text(std::string("gd2\0", 4)).Word(2).Word(1).Word(1).Word(4096).Word(4).Word(1).Word(1);
    file.Int(18 + 8 + 5).Int(static_cast<uint32_t>(stream.size()));  // the chunk after the colour header
    file.Byte(1).Int(0xFFFFFFFF).Text(stream);                        // true colour, no transparent colour
    test::LoadedPicture picture;
    const long growth = test::PeakMemoryGrowthKb([&] { picture = LoadBytes(file.str(), "largest.gd2"); });
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(test::PixelOf(picture, 0, 0), (std::array<int, 3>{0xC0, 0x20, 0x10}));
    EXPECT_LT(growth, test::kSmallFileGrowthLimitKb);
}

}  // namespace
}  // namespace marbleye
