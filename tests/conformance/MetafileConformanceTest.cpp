// Enhanced and placeable metafiles exported by Inkscape pass the core's
// checks as they are: the kinds are told apart, the placeable header's
// checksum agrees with Inkscape's, the extents are the drawing's size, and
// without a metafile player the tool says that it has none.
#include <gtest/gtest.h>

#include <cstdlib>

#include "formats/metafile/Metafile.h"
#include "formats/metafile/MetafileLayout.h"
#include "support/ExternalTools.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

constexpr const char* kInkscape = "/usr/bin/inkscape";

// 240 x 160 pixels of 1/96 inch: 2.5 x 1.667 inches, 63.5 x 42.33 mm.
constexpr const char* kDrawing =
    "<svg xmlns='http://www.w3.org/2000/svg' width='240' height='160' viewBox='0 0 240 160'>"
    "<rect x='20' y='20' width='80' height='50' fill='#ff0000'/>"
    "<rect x='140' y='80' width='80' height='60' fill='#0000ff'/>"
    "<polygon points='20,140 100,140 60,90' fill='#00a000'/>"
    "<ellipse cx='180' cy='40' rx='30' ry='15' fill='none' stroke='#000000' stroke-width='3'/>"
    "</svg>";

class MetafileFiles : public ::testing::Test {
protected:
    void SetUp() override {
        MARBLEYE_REQUIRE_TOOL(kInkscape);
        test::WriteFileBytes(folder_.File("drawing.svg"), kDrawing);
    }
    std::string Export(const std::string& type) {
        const std::string path = folder_.File("drawing." + type);
        // Inkscape wants a home of its own for its preferences.
        EXPECT_TRUE(test::RunCommand("HOME=" + test::Quoted(folder_.path()) + " " + kInkscape +
                                     " --export-type=" + type + " --export-filename=" + test::Quoted(path) + " " +
                                     test::Quoted(folder_.File("drawing.svg")) + " 2>/dev/null"));
        return test::ReadFileBytes(path);
    }
    static metafile::MetafileLayout Examine(const std::string& bytes) {
        return metafile::ExamineMetafile(
            std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    }
    test::TempFolder folder_;
};

TEST_F(MetafileFiles, InkscapesEnhancedMetafileIsHandedOverWhole) {
    const std::string emf = Export("emf");
    ASSERT_FALSE(emf.empty());
    const auto layout = Examine(emf);
    ASSERT_TRUE(layout.status.ok()) << layout.status.message();
    EXPECT_EQ(layout.metafile.kind, MetafileKind::kEnhanced);
    EXPECT_EQ(layout.metafile.size, emf.size());
    EXPECT_EQ(test::LoadPicture(folder_.File("drawing.emf")).message(), kNoMetafilePlayer);
}

TEST_F(MetafileFiles, InkscapesPlaceableMetafileKeepsItsChecksumAndSize) {
    const std::string wmf = Export("wmf");
    ASSERT_GT(wmf.size(), metafile::kPlaceableHeaderBytes);
    const auto layout = Examine(wmf);
    ASSERT_TRUE(layout.status.ok()) << layout.status.message();
    EXPECT_EQ(layout.metafile.kind, MetafileKind::kPlaceable);
    EXPECT_FALSE(layout.checksumMismatch);
    // Inkscape's bounds end one unit short of the page (1200 units an inch).
    EXPECT_NEAR(layout.metafile.xExtent, 6350, 3);
    EXPECT_NEAR(layout.metafile.yExtent, 4233, 3);
    EXPECT_EQ(test::LoadPicture(folder_.File("drawing.wmf")).message(), kNoMetafilePlayer);

    // The same Windows metafile without the placeable header.
    const std::string plain = wmf.substr(metafile::kPlaceableHeaderBytes);
    const auto windows = Examine(plain);
    ASSERT_TRUE(windows.status.ok()) << windows.status.message();
    EXPECT_EQ(windows.metafile.kind, MetafileKind::kWindows);
    EXPECT_EQ(windows.metafile.size, layout.metafile.size);
}

}  // namespace
}  // namespace marbleye
