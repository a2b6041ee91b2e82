#include <gtest/gtest.h>

#include "formats/LoadImage.h"
#include "support/BmpBuilder.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::LoadPicture;

// Records what the dispatcher and the readers ask of the front end.
class RecordingHost : public Host {
public:
    uint8_t ErrorPictureFillByte() const override { return 0xC8; }
    void DrawErrorText(ImageCanvas&, const std::string& text) override { drawn = text; }
    void PumpOneMessage() override { ++pumped; }
    std::string drawn;
    int pumped = 0;
};

TEST(LoadImage, AnUnknownExtensionGivesTheErrorPicture) {
    ImageCanvas canvas;
    CurrentImage image;
    image.fileBitDepth = 8;
    const LoadOptions options;
    RecordingHost host;
    LoadContext context{canvas, image, options, host};
    const LoadResult result = LoadImageFile("/some/folder/notes.txt", context);

    EXPECT_FALSE(result.status.ok());
    EXPECT_EQ(result.status.message(), "Unable to determine Fileformat.");
    EXPECT_EQ(result.errorText, "notes.txt: Unable to determine Fileformat.");
    EXPECT_EQ(host.drawn, result.errorText);
    EXPECT_EQ(image.formatId, -1);
    EXPECT_EQ(image.fileBitDepth, -1);
    EXPECT_EQ(image.width, 500);
    EXPECT_EQ(image.height, 200);
    ASSERT_TRUE(canvas.valid());
    EXPECT_EQ(canvas.width(), 500);
    EXPECT_EQ(canvas.height(), 200);
    EXPECT_EQ(canvas.bitsPerPixel(), 24);
    EXPECT_EQ(canvas.bits()[0], 0xC8);
    EXPECT_EQ(canvas.bits()[canvas.byteCount() - 1], 0xC8);
    EXPECT_EQ(image.path, "/some/folder/notes.txt");
}

TEST(LoadImage, AFormatWithoutReaderNamesIt) {
    const auto picture = LoadPicture("C:\\x\\pictures.myc");
    EXPECT_FALSE(picture.ok());
    EXPECT_EQ(picture.image.formatId, 37);
    EXPECT_NE(picture.message().find("catalog"), std::string::npos) << picture.message();
    EXPECT_EQ(picture.result->errorText.rfind("pictures.myc: ", 0), 0u) << "named after the file, not its folder";
}

TEST(LoadImage, NothingOfAFailedFileStaysInTheCanvas) {
    test::TempFolder folder;
    const std::string path = folder.File("half.bmp");
    test::BmpBuilder bmp;
    bmp.width = 2;
    bmp.height = 2;
    bmp.pixels.assign(16, 0x55);
    test::WriteFileBytes(path, bmp.Bytes());
    auto picture = LoadPicture(path);
    ASSERT_TRUE(picture.ok()) << picture.message();
    test::WriteFileBytes(path, "BX");
    LoadContext context{*picture.canvas, picture.image, LoadOptions(), QuietHost()};
    const LoadResult result = LoadImageFile(path, context);
    EXPECT_FALSE(result.status.ok());
    EXPECT_EQ(picture.canvas->width(), 500);
    EXPECT_EQ(picture.image.palette, Palette256{});
}

TEST(LoadImage, QuietLoadsLeaveTheShownPathAndPumpPerRow) {
    test::TempFolder folder;
    const std::string path = folder.File("three-rows.bmp");
    test::BmpBuilder bmp;
    bmp.height = 3;
    bmp.pixels.assign(12, 0);
    test::WriteFileBytes(path, bmp.Bytes());
    ImageCanvas canvas;
    CurrentImage image;
    image.path = "shown.bmp";
    LoadOptions options;
    options.quiet = true;
    RecordingHost host;
    LoadContext context{canvas, image, options, host};
    const LoadResult result = LoadImageFile(path, context);
    ASSERT_TRUE(result.status.ok()) << result.status.message();
    EXPECT_EQ(image.path, "shown.bmp");
    EXPECT_EQ(image.loadingPath, path);
    EXPECT_EQ(host.pumped, 3);
}

TEST(LoadImage, ErrorTextsAreCutAt1023Characters) {
    ImageCanvas canvas;
    CurrentImage image;
    const LoadOptions options;
    LoadContext context{canvas, image, options, QuietHost()};
    const std::string text = ReportFileError(context, "a.bmp", std::string(2000, 'x'));
    EXPECT_EQ(text.size(), 1023u);
    EXPECT_EQ(text.rfind("a.bmp: xxx", 0), 0u);
}

}  // namespace
}  // namespace marbleye
