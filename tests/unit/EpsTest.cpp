#include <gtest/gtest.h>

#include "formats/tiff/Tiff.h"
#include "support/MemoryUse.h"
#include "support/ReaderTest.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

class EpsReader : public test::ReaderTest {
protected:
    // The binary header: magic, PostScript, metafile and TIFF sections
    // (offset, length each), checksum 0xFFFF; then the sections.
    static std::string Eps(const std::string& postscript, uint32_t metafileLength, const std::string& tiff,
                           uint32_t tiffOffsetShift = 0) {
        std::string bytes = "\xC5\xD0\xD3\xC6";
        const auto put = [&](uint32_t value) {
            for (int i = 0; i < 4; ++i) bytes += char((value >> (8 * i)) & 0xFF);
        };
        const uint32_t postscriptOffset = 30;
        const uint32_t metafileOffset = postscriptOffset + static_cast<uint32_t>(postscript.size());
        const uint32_t tiffOffset = metafileOffset + metafileLength;
        put(postscriptOffset), put(static_cast<uint32_t>(postscript.size()));
        put(metafileLength ? metafileOffset : 0), put(metafileLength);
        put(tiff.empty() ? 0 : tiffOffset + tiffOffsetShift), put(static_cast<uint32_t>(tiff.size()));
        bytes += "\xFF\xFF";
        return bytes + postscript + std::string(metafileLength, '\x01') + tiff;
    }
    std::string PreviewTiff() {
        ImageCanvas canvas;
        EXPECT_TRUE(test::CanvasFromRgb(test::MakePattern(19, 13), canvas));
        const std::string path = folder_.File("preview.tif");
        EXPECT_TRUE(WriteTiff(path, canvas, 4, QuietHost()));
        return test::ReadFileBytes(path);
    }
};

TEST_F(EpsReader, TheTiffPreviewIsShown) {
    const auto picture = LoadBytes(Eps("%!PS-Adobe-3.0 EPSF-3.0\n%%EOF\n", 0, PreviewTiff()), "drawing.eps");
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.canvas->bitsPerPixel(), 32);
    EXPECT_EQ(test::CanvasToRgb(*picture.canvas), test::MakePattern(19, 13));
    // With a metafile preview too, the TIFF preview is taken.
    EXPECT_TRUE(LoadBytes(Eps("%!PS\n", 40, PreviewTiff()), "both.eps").ok());
}

TEST_F(EpsReader, Messages) {
    EXPECT_EQ(test::LoadPicture(folder_.File("missing.eps")).message(), "Unable to open file!");
    EXPECT_EQ(LoadBytes("%!PS-Adobe-3.0 EPSF-3.0\n", "plain.eps").message(), "NO Preview Image found!");
    EXPECT_EQ(LoadBytes(Eps("%!PS\n", 0, ""), "bare.eps").message(), "NO Preview Image found!");
    EXPECT_EQ(LoadBytes(Eps("%!PS\n", 0, PreviewTiff(), 1), "beyond.eps").message(), "Error getting TIFF!");
    EXPECT_EQ(LoadBytes(Eps("%!PS\n", 0, "not a tiff at all"), "broken.eps").message(), "Couldn't open TIF File!");
    EXPECT_EQ(LoadBytes(Eps("%!PS\n", 64, ""), "metafile.eps").message(), "Unable to load Windows 3.x Metafile");
    const std::string cut = Eps("%!PS\n", 0, PreviewTiff());
    for (size_t length = 0; length < cut.size(); length += 11) {
        const auto picture = LoadBytes(cut.substr(0, length), "cut.eps");
        EXPECT_FALSE(picture.ok()) << length;
    }
}

// Headers whose TIFF section lies beyond their few bytes: the message, and
// no buffer for the claimed length.
TEST_F(EpsReader, APreviewBeyondTheFileCostsNothing) {
    const auto header = [](uint32_t tiffOffset, uint32_t tiffLength) {
        std::string bytes = "\xC5\xD0\xD3\xC6";
        for (const uint32_t value : {30u, 5u,                  // PostScript section: offset, length
                                     0u, 0u,                   // no metafile
                                     tiffOffset, tiffLength}) {  // TIFF section
            for (int i = 0; i < 4; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
        }
        return bytes + "\xFF\xFF" + "%!PS\n";  // checksum, PostScript
    };
    // Almost 4 GiB; one byte more than the file; an offset whose sum with the
    // length passes 32 bits.
    const std::pair<uint32_t, uint32_t> sections[] = {{35, 0xFFFFFFF0}, {30, 6}, {0xFFFFFFFF, 2}};
    for (const auto& section : sections) {
        const std::string bytes = header(section.first, section.second);
        std::string message;
        const long growth = test::PeakMemoryGrowthKb([&] { message = LoadBytes(bytes, "beyond.eps").message(); });
        EXPECT_EQ(message, "Error getting TIFF!") << section.first << " " << section.second;
        EXPECT_LT(growth, test::kSmallFileGrowthLimitKb) << section.first << " " << section.second;
    }
}

}  // namespace
}  // namespace marbleye
