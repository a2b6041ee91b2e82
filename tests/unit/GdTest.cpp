// GD and GD2 files built here from the published layout of the formats.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <zlib.h>

#include "support/ExternalTools.h"
#include "support/ReaderTest.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::RgbImage;

class Bytes {
public:
    Bytes& Byte(uint32_t v) { return data_ += char(v & 0xFF), *this; }
    Bytes& Word(uint32_t v) { return Byte(v >> 8).Byte(v); }
    Bytes& Int(uint32_t v) { return Word(v >> 16).Word(v); }
    Bytes& Text(const std::string& text) { return data_ += text, *this; }
    const std::string& str() const { return data_; }
    size_t size() const { return data_.size(); }

private:
    std::string data_;
};

// The picture's colours as a palette (at most 256 of them) and its pixels as
// indices, or as 0x00RRGGBB values for true colour.
struct GdPicture {
    int32_t width, height;
    std::vector<uint32_t> colours;
    std::vector<uint32_t> pixels;  // top row first
    bool trueColour;
};

GdPicture Describe(const RgbImage& image, bool trueColour) {
    GdPicture picture{image.width, image.height, {}, {}, trueColour};
    for (int32_t y = 0; y < image.height; ++y) {
        for (int32_t x = 0; x < image.width; ++x) {
            const uint8_t* p = image.At(x, y);
            const uint32_t rgb = (p[0] << 16) | (p[1] << 8) | p[2];
            if (trueColour) {
                picture.pixels.push_back(rgb);
                continue;
            }
            auto found = std::find(picture.colours.begin(), picture.colours.end(), rgb);
            if (found == picture.colours.end()) found = picture.colours.insert(picture.colours.end(), rgb);
            picture.pixels.push_back(static_cast<uint32_t>(found - picture.colours.begin()));
        }
    }
    return picture;
}

void PutColours(Bytes& out, const GdPicture& picture, bool twoX) {
    if (twoX) {
        out.Byte(picture.trueColour ? 1 : 0);
        if (!picture.trueColour) out.Word(static_cast<uint32_t>(picture.colours.size()));
        out.Int(0xFFFFFFFF);  // no transparent colour
    } else {
        out.Byte(static_cast<uint32_t>(picture.colours.size())).Word(257);
    }
    if (picture.trueColour) return;
    for (size_t i = 0; i < 256; ++i) {
        const uint32_t rgb = i < picture.colours.size() ? picture.colours[i] : 0;
        out.Byte(rgb >> 16).Byte(rgb >> 8).Byte(rgb);
        if (twoX) out.Byte(0);
    }
}

void PutPixel(Bytes& out, const GdPicture& picture, uint32_t value) {
    if (picture.trueColour) {
        out.Int(value);  // alpha 0: opaque
    } else {
        out.Byte(value);
    }
}

std::string Gd(const GdPicture& picture, bool oneX = false) {
    Bytes out;
    if (!oneX) out.Word(picture.trueColour ? 0xFFFF : 0xFFFE);
    out.Word(picture.width).Word(picture.height);
    PutColours(out, picture, !oneX);
    for (const uint32_t value : picture.pixels) PutPixel(out, picture, value);
    return out.str();
}

std::string Gd2(const GdPicture& picture, uint32_t chunkSize, bool compressed, uint32_t version = 2) {
    const uint32_t across = (picture.width + chunkSize - 1) / chunkSize, down = (picture.height + chunkSize - 1) / chunkSize;
    std::vector<std::string> chunks;
    for (uint32_t cy = 0; cy < down; ++cy) {
        for (uint32_t cx = 0; cx < across; ++cx) {
            Bytes chunk;
            for (uint32_t y = cy * chunkSize; y < std::min<uint32_t>((cy + 1) * chunkSize, picture.height); ++y) {
                for (uint32_t x = cx * chunkSize; x < std::min<uint32_t>((cx + 1) * chunkSize, picture.width); ++x) {
                    PutPixel(chunk, picture, picture.pixels[y * picture.width + x]);
                }
            }
            std::string data = chunk.str();
            if (compressed) {
                uLongf size = compressBound(static_cast<uLong>(data.size()));
                std::string packed(size, '\0');
                compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                         static_cast<uLong>(data.size()));
                data = packed.substr(0, size);
            }
            chunks.push_back(data);
        }
    }
    const uint32_t format = (picture.trueColour ? 3 : 1) + (compressed ? 1 : 0);
    Bytes out;
    out.Text(std::string("gd2\0", 4)).Word(version).Word(picture.width).Word(picture.height).Word(chunkSize);
    out.Word(format).Word(across).Word(down);
    Bytes colours;
    PutColours(colours, picture, version == 2);
    if (compressed) {
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

class GdReader : public test::ReaderTest {
protected:
    void ExpectPicture(const std::string& bytes, const std::string& name, const RgbImage& expected, int32_t depth) {
        const auto picture = LoadBytes(bytes, name);
        ASSERT_TRUE(picture.ok()) << name << ": " << picture.message();
        EXPECT_EQ(picture.canvas->bitsPerPixel(), 24) << name;
        EXPECT_EQ(picture.image.fileBitDepth, depth) << name;
        const RgbImage ours = test::CanvasToRgb(*picture.canvas);
        EXPECT_EQ(ours, expected) << name << ": " << test::FirstDifference(expected, ours);
    }
};

TEST_F(GdReader, PaletteAndTrueColourGdFiles) {
    const RgbImage few = test::MakePalettePattern(37, 23, {0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xABCDEF});
    ExpectPicture(Gd(Describe(few, false)), "palette.gd", few, 8);
    ExpectPicture(Gd(Describe(few, false), true), "old.gd", few, 8);
    const RgbImage photo = test::MakePattern(37, 23);
    ExpectPicture(Gd(Describe(photo, true)), "true.gd", photo, 24);
}

TEST_F(GdReader, Gd2ChunksRawAndCompressedWithPartialChunksAtTheEdges) {
    // 150 x 70 with 64-pixel chunks: 3 x 2 chunks, the last ones cut.
    const RgbImage few = test::MakePalettePattern(150, 70, {0xFF0000, 0x00FF00, 0x0000FF, 0x808080});
    const RgbImage photo = test::MakePattern(150, 70);
    ExpectPicture(Gd2(Describe(few, false), 64, false), "raw.gd2", few, 8);
    ExpectPicture(Gd2(Describe(few, false), 64, true), "packed.gd2", few, 8);
    ExpectPicture(Gd2(Describe(few, false), 128, true, 1), "version1.gd2", few, 8);
    ExpectPicture(Gd2(Describe(photo, true), 64, false), "true-raw.gd2", photo, 24);
    ExpectPicture(Gd2(Describe(photo, true), 100, true), "true-packed.gd2", photo, 24);
}

TEST_F(GdReader, BrokenFilesGiveTheMessage) {
    const std::string kMessage = "Couldn't load GD/GD2 file!";
    EXPECT_EQ(test::LoadPicture(folder_.File("missing.gd")).message(), "Couldn't load GD file!");
    const GdPicture small = Describe(test::MakePattern(70, 9), true);
    const std::string gd2 = Gd2(small, 64, true);
    for (size_t length = 0; length < gd2.size(); length += 5) {
        EXPECT_EQ(LoadBytes(gd2.substr(0, length), "cut.gd2").message(), kMessage) << length;
    }
    const std::string gd = Gd(small);
    for (size_t length = 0; length < gd.size(); length += 97) {
        EXPECT_EQ(LoadBytes(gd.substr(0, length), "cut.gd").message(), kMessage) << length;
    }
    std::string chunk32 = Gd2(small, 64, false);
    chunk32[11] = 32;  // chunk size below 64
    EXPECT_EQ(LoadBytes(chunk32, "small-chunks.gd2").message(), kMessage);
    std::string manyChunks = Gd2(small, 64, true);
    manyChunks[14] = manyChunks[15] = '\x7F';  // 32639 chunks across a 70-pixel picture
    EXPECT_EQ(LoadBytes(manyChunks, "many.gd2").message(), kMessage);
    std::string flag = Gd(small);
    flag[6] = 0;  // true-colour header saying palette
    EXPECT_EQ(LoadBytes(flag, "flag.gd").message(), kMessage);
    EXPECT_EQ(LoadBytes(Bytes().Word(0xFFFF).Word(65535).Word(65535).Byte(1).Int(0).str(), "huge.gd").message(),
              "Out of Memory!");
}

TEST(GdCorpus, FilesDecodeToTheirReferencePicturesOrGiveTheMessage) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(MARBLEYE_CORPORA_DIR) / "libgd" / "tests";
    if (!fs::exists(folder)) GTEST_SKIP() << "no corpus at " << folder;
    MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert);
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string extension = entry.path().extension().string();
        if (extension == ".gd" || extension == ".gd2") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty());
    int matched = 0;
    for (const fs::path& file : files) {
        const auto picture = test::LoadPicture(file.string());
        if (!picture.ok()) {
            EXPECT_EQ(picture.message(), "Couldn't load GD/GD2 file!") << file;
            continue;
        }
        fs::path reference = file;
        reference.replace_filename(file.stem().string() + "_exp.png");
        if (!fs::exists(reference)) continue;
        const auto expected = test::DecodeWithImageMagick(reference.string());
        ASSERT_TRUE(expected);
        EXPECT_EQ(test::CanvasToRgb(*picture.canvas), *expected) << file;
        ++matched;
    }
    EXPECT_GE(matched, 1);
}

}  // namespace
}  // namespace marbleye
