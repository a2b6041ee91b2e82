#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ExternalTools.h"
#include "support/ReaderTest.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

constexpr const char* kC44 = "/usr/bin/c44";
constexpr const char* kCjb2 = "/usr/bin/cjb2";
constexpr const char* kCpaldjvu = "/usr/bin/cpaldjvu";
constexpr const char* kDjvm = "/usr/bin/djvm";
constexpr const char* kDdjvu = "/usr/bin/ddjvu";

class DjvuFiles : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {kC44, kCjb2, kCpaldjvu, kDjvm, kDdjvu}) MARBLEYE_REQUIRE_TOOL(tool);
    }

    // The first page as the library's own command-line decoder renders it,
    // at full size or at a given size.
    std::optional<test::RgbImage> Rendered(const std::string& path, const std::string& size = "") {
        const std::string out = folder_.File("rendered.ppm");
        const std::string command = std::string(kDdjvu) + " -format=ppm -page=1 " +
                                    (size.empty() ? "" : "-size=" + size + " ") + test::Quoted(path) + " " +
                                    test::Quoted(out);
        if (!test::RunCommand(command)) return std::nullopt;
        return test::FromPnm(test::ReadFileBytes(out));
    }

    std::string Source(const std::string& name, const test::RgbImage& picture) {
        const std::string path = folder_.File(name);
        test::WriteFileBytes(path, test::ToPpm(picture));
        return path;
    }

    std::string Run(const std::string& command) {
        EXPECT_TRUE(test::RunCommand(command)) << command;
        return command;
    }

    void ExpectSameAsLibrary(const std::string& path, int32_t fileBitDepth, int32_t canvasDepth) {
        const test::LoadedPicture loaded = test::LoadPicture(path);
        ASSERT_TRUE(loaded.ok()) << path << ": " << loaded.message();
        EXPECT_EQ(loaded.image.fileBitDepth, fileBitDepth) << path;
        EXPECT_EQ(loaded.canvas->bitsPerPixel(), canvasDepth) << path;
        const auto expected = Rendered(path);
        ASSERT_TRUE(expected) << path;
        const test::RgbImage actual = test::CanvasToRgb(*loaded.canvas);
        EXPECT_EQ(actual, *expected) << path << ": " << test::FirstDifference(*expected, actual);
    }

    test::TempFolder folder_;
};

// IFF chunks of a file (after "AT&T" and the FORM header), read by the
// published layout: id, big-endian length, data padded to even length.
std::vector<std::pair<std::string, std::string>> FormChunks(const std::string& file) {
    std::vector<std::pair<std::string, std::string>> chunks;
    size_t at = 16;
    while (at + 8 <= file.size()) {
        const auto* p = reinterpret_cast<const uint8_t*>(file.data() + at + 4);
        const size_t length = (size_t(p[0]) << 24) | (size_t(p[1]) << 16) | (size_t(p[2]) << 8) | p[3];
        chunks.emplace_back(file.substr(at, 4), file.substr(at + 8, length));
        at += 8 + length + (length & 1);
    }
    return chunks;
}

std::string Form(const std::string& type, const std::vector<std::pair<std::string, std::string>>& chunks) {
    std::string body = type;
    for (const auto& [id, data] : chunks) {
        const auto length = static_cast<uint32_t>(data.size());
        body += id;
        for (int shift = 24; shift >= 0; shift -= 8) body += char((length >> shift) & 0xFF);
        body += data;
        if (length & 1) body += '\0';
    }
    std::string file = "AT&TFORM";
    const auto length = static_cast<uint32_t>(body.size());
    for (int shift = 24; shift >= 0; shift -= 8) file += char((length >> shift) & 0xFF);
    return file + body;
}

TEST_F(DjvuFiles, PagesOfEveryEncoderMatchTheLibrarysOwnRendering) {
    const std::string colour = Source("colour.ppm", test::MakePattern(97, 61));
    const std::string gray = folder_.File("gray.pgm");
    Run("/usr/bin/ppmtopgm " + colour + " > " + gray);
    const std::string mono = folder_.File("mono.pbm");
    Run("/usr/bin/pgmtopbm " + gray + " > " + mono);
    const std::string few =
        Source("few.ppm", test::MakePalettePattern(83, 47, {0xFF0000, 0x00A000, 0x2030F0, 0xFFFFFF}));

    Run(std::string(kC44) + " " + colour + " " + folder_.File("colour.djvu"));
    Run(std::string(kC44) + " -slice 30+20 " + colour + " " + folder_.File("coarse.djvu"));
    Run(std::string(kC44) + " " + gray + " " + folder_.File("gray.djvu"));
    Run(std::string(kCjb2) + " " + mono + " " + folder_.File("mono.djvu"));
    Run(std::string(kCjb2) + " -lossy " + mono + " " + folder_.File("lossy.djvu"));
    Run(std::string(kCpaldjvu) + " " + few + " " + folder_.File("few.djvu"));
    ExpectSameAsLibrary(folder_.File("colour.djvu"), 24, 24);
    ExpectSameAsLibrary(folder_.File("coarse.djvu"), 24, 24);
    ExpectSameAsLibrary(folder_.File("gray.djvu"), 8, 8);
    ExpectSameAsLibrary(folder_.File("mono.djvu"), 1, 1);
    ExpectSameAsLibrary(folder_.File("lossy.djvu"), 1, 1);
    ExpectSameAsLibrary(folder_.File("few.djvu"), 24, 24);
}

// JB2 without loss is the bitmap itself: the page equals the PBM that was
// encoded, as ImageMagick reads it.
TEST_F(DjvuFiles, ALosslessBitonalPageIsTheEncodedBitmap) {
    MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert);
    const std::string mono = folder_.File("mono.pbm");
    Run(std::string(test::kImageMagickConvert) +
        " -size 131x77 xc:white -fill black -draw \"circle 40,40 20,21\" "
        "-draw \"rectangle 80,5 120,60\" -draw \"line 3,74 128,66\" -draw \"polygon 60,2 75,30 50,30\" -monochrome " +
        mono);
    const std::string page = folder_.File("mono.djvu");
    Run(std::string(kCjb2) + " " + mono + " " + page);
    const test::LoadedPicture loaded = test::LoadPicture(page);
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    const auto expected = test::DecodeWithImageMagick(mono);
    ASSERT_TRUE(expected);
    const test::RgbImage actual = test::CanvasToRgb(*loaded.canvas);
    EXPECT_EQ(actual, *expected) << test::FirstDifference(*expected, actual);
}

// A bundled document shows its first page, whichever encoder made it.
TEST_F(DjvuFiles, ADocumentShowsItsFirstPage) {
    const std::string colour = Source("colour.ppm", test::MakePattern(64, 40));
    const std::string mono = folder_.File("mono.pbm");
    Run("/usr/bin/ppmtopgm " + colour + " | /usr/bin/pgmtopbm > " + mono);
    Run(std::string(kC44) + " " + colour + " " + folder_.File("a.djvu"));
    Run(std::string(kCjb2) + " " + mono + " " + folder_.File("b.djvu"));
    for (const auto& [name, pages, depth] :
         {std::tuple{"ab.djvu", " a.djvu b.djvu", 24}, std::tuple{"ba.djvu", " b.djvu a.djvu", 1}}) {
        const std::string document = folder_.File(name);
        Run("cd " + test::Quoted(folder_.File("")) + " && " + kDjvm + " -c " + name + pages);
        ExpectSameAsLibrary(document, depth, depth);
        const test::LoadedPicture loaded = test::LoadPicture(document);
        EXPECT_EQ(test::CanvasToRgb(*loaded.canvas), *Rendered(folder_.File(depth == 24 ? "a.djvu" : "b.djvu")))
            << name;
    }
}

// A raw IW44 picture: the BG44 chunks of a c44 page, renamed PM44 (colour) or
// BM44 (gray), in a FORM of that type. It shows the page's background.
TEST_F(DjvuFiles, RawIw44PicturesShowTheSameAsTheirPages) {
    const std::string colour = Source("colour.ppm", test::MakePattern(75, 52));
    const std::string gray = folder_.File("gray.pgm");
    Run("/usr/bin/ppmtopgm " + colour + " > " + gray);
    for (const auto& [source, type, depth] : {std::tuple{colour, "PM44", 24}, std::tuple{gray, "BM44", 8}}) {
        const std::string page = folder_.File("page.djvu");
        Run(std::string(kC44) + " " + source + " " + page);
        std::vector<std::pair<std::string, std::string>> slices;
        for (const auto& [id, data] : FormChunks(test::ReadFileBytes(page))) {
            if (id == "BG44") slices.emplace_back(type, data);
        }
        ASSERT_GE(slices.size(), 2u) << type;
        for (const char* extension : {"iw44", "iw4"}) {
            const std::string raw = folder_.File(std::string("picture.") + extension);
            test::WriteFileBytes(raw, Form(type, slices));
            const test::LoadedPicture loaded = test::LoadPicture(raw);
            ASSERT_TRUE(loaded.ok()) << type << ": " << loaded.message();
            EXPECT_EQ(loaded.image.fileBitDepth, depth) << type;
            const test::RgbImage actual = test::CanvasToRgb(*loaded.canvas);
            const auto expected = Rendered(page);
            ASSERT_TRUE(expected);
            EXPECT_EQ(actual, *expected) << type << ": " << test::FirstDifference(*expected, actual);
        }
    }
}

// Every prefix ends in a picture or a message, and in time: the library's
// message loop ends on broken data. A page cut after its first slices shows
// the coarser picture those slices hold, at full size.
TEST_F(DjvuFiles, EveryPrefixLoadsOrGivesAMessage) {
    const std::string colour = Source("colour.ppm", test::MakePattern(48, 33));
    const std::string mono = folder_.File("mono.pbm");
    Run("/usr/bin/ppmtopgm " + colour + " | /usr/bin/pgmtopbm > " + mono);
    Run(std::string(kC44) + " -slice 40,60,80,100 " + colour + " " + folder_.File("c.djvu"));
    Run(std::string(kCjb2) + " " + mono + " " + folder_.File("m.djvu"));
    Run("cd " + test::Quoted(folder_.File("")) + " && " + kDjvm + " -c d.djvu c.djvu m.djvu");
    int pictures = 0, messages = 0;
    for (const char* name : {"c.djvu", "m.djvu", "d.djvu"}) {
        const std::string whole = test::ReadFileBytes(folder_.File(name));
        ASSERT_GT(whole.size(), 40u) << name;
        const std::string cut = folder_.File("cut.djvu");
        for (size_t length = 0; length < whole.size(); ++length) {
            test::WriteFileBytes(cut, whole.substr(0, length));
            test::MessageRecorder recorder;
            const test::LoadedPicture loaded = test::LoadPicture(cut, LoadOptions(), recorder);
            if (loaded.ok()) {
                ++pictures;
                EXPECT_GT(loaded.canvas->width(), 0) << name << " " << length;
                EXPECT_FALSE(recorder.messages.empty()) << name << " " << length << ": a cut file said nothing";
            } else {
                ++messages;
                EXPECT_FALSE(loaded.message().empty()) << name << " " << length;
            }
        }
    }
    EXPECT_GT(pictures, 0);
    EXPECT_GT(messages, 0);

    // The four slice groups are four chunks: cut inside the last one, the
    // page shows the first three, as the library renders a file of them.
    const std::string whole = test::ReadFileBytes(folder_.File("c.djvu"));
    auto chunks = FormChunks(whole);
    ASSERT_EQ(chunks.size(), 5u);  // INFO and four BG44
    const std::string cut = folder_.File("cut.djvu");
    test::WriteFileBytes(cut, whole.substr(0, whole.size() - chunks.back().second.size() / 2));
    chunks.pop_back();
    const std::string three = folder_.File("three.djvu");
    test::WriteFileBytes(three, Form("DJVU", chunks));
    const test::LoadedPicture loaded = test::LoadPicture(cut);
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    const auto expected = Rendered(three);
    ASSERT_TRUE(expected);
    const test::RgbImage actual = test::CanvasToRgb(*loaded.canvas);
    EXPECT_EQ(actual, *expected) << test::FirstDifference(*expected, actual);
    EXPECT_NE(actual, *Rendered(folder_.File("c.djvu"))) << "the last slices made no difference";
}

// INFO's flags byte (its tenth) turns the page: 1 upright, 6 a quarter turn
// counter-clockwise, 2 upside down, 5 a quarter turn clockwise. The canvas
// takes the turned size and pixels the library renders.
TEST_F(DjvuFiles, TheStoredRotationTurnsThePage) {
    const std::string colour = Source("colour.ppm", test::MakePattern(57, 31));
    const std::string mono = folder_.File("mono.pbm");
    Run("/usr/bin/ppmtopgm " + colour + " | /usr/bin/pgmtopbm > " + mono);
    Run(std::string(kC44) + " " + colour + " " + folder_.File("c.djvu"));
    Run(std::string(kCjb2) + " " + mono + " " + folder_.File("m.djvu"));
    for (const auto& [name, depth] : {std::pair{"c.djvu", 24}, std::pair{"m.djvu", 1}}) {
        const std::string upright = test::ReadFileBytes(folder_.File(name));
        // INFO is the first chunk of the page: its data starts at byte 24.
        ASSERT_EQ(upright.substr(16, 4), "INFO");
        for (const int flags : {6, 2, 5}) {
            std::string turned = upright;
            turned[24 + 9] = char(flags);
            const std::string path = folder_.File("turned.djvu");
            test::WriteFileBytes(path, turned);
            const test::LoadedPicture loaded = test::LoadPicture(path);
            ASSERT_TRUE(loaded.ok()) << loaded.message();
            EXPECT_EQ(loaded.canvas->bitsPerPixel(), depth);
            EXPECT_EQ(loaded.canvas->width(), flags == 2 ? 57 : 31) << name << " " << flags;
            const auto expected = Rendered(path);
            ASSERT_TRUE(expected);
            const test::RgbImage actual = test::CanvasToRgb(*loaded.canvas);
            EXPECT_EQ(actual, *expected) << name << " " << flags << ": " << test::FirstDifference(*expected, actual);
        }
    }
}

// The size bound against the file's length must let real blank pages
// through: a white letter page at 300 dpi is 48 bytes from cjb2.
TEST_F(DjvuFiles, ABlankScannedPagePassesTheSizeBound) {
    const std::string blank = folder_.File("blank.pbm");
    Run("/usr/bin/pbmmake -white 2550 3300 > " + blank);
    const std::string page = folder_.File("blank.djvu");
    Run(std::string(kCjb2) + " " + blank + " " + page);
    ASSERT_LT(test::ReadFileBytes(page).size(), 200u);
    const test::LoadedPicture loaded = test::LoadPicture(page);
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    EXPECT_EQ(loaded.image.fileBitDepth, 1);
    const test::RgbImage actual = test::CanvasToRgb(*loaded.canvas);
    ASSERT_EQ(actual.width, 2550);
    ASSERT_EQ(actual.height, 3300);
    for (const uint8_t value : actual.rgb) ASSERT_EQ(value, 255);
}

// For a thumbnail the page is rendered reduced by a whole factor that keeps
// both sides at least the thumbnail's, as the library renders it at that size.
TEST_F(DjvuFiles, ThumbnailsAreRenderedReduced) {
    const std::string colour = Source("colour.ppm", test::MakePattern(803, 601));
    const std::string page = folder_.File("big.djvu");
    Run(std::string(kC44) + " " + colour + " " + page);
    LoadOptions options;
    options.thumbnail = true;
    options.thumbnailWidth = options.thumbnailHeight = 80;
    const test::LoadedPicture loaded = test::LoadPicture(page, options);
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    EXPECT_EQ(loaded.image.width, 803);
    EXPECT_EQ(loaded.image.height, 601);
    // 601 / 80 = 7: 803 / 7 and 601 / 7, rounded up
    ASSERT_EQ(loaded.canvas->width(), 115);
    ASSERT_EQ(loaded.canvas->height(), 86);
    const auto expected = Rendered(page, "115x86 -aspect=no");
    ASSERT_TRUE(expected);
    const test::RgbImage actual = test::CanvasToRgb(*loaded.canvas);
    EXPECT_EQ(actual, *expected) << test::FirstDifference(*expected, actual);
}

}  // namespace
}  // namespace marbleye
