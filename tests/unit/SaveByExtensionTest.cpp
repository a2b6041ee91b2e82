// Every writer of the extension table, called the way Save As calls it.
#include <gtest/gtest.h>

#include <filesystem>

#include "output/SaveByExtension.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

// The first extension of each row that has a writer.
std::vector<std::string> WrittenExtensions() {
    std::vector<std::string> extensions;
    for (const WriterEntry& entry : WriterTable()) {
        if (entry.write) extensions.emplace_back(entry.extensions.substr(0, entry.extensions.find(' ')));
    }
    return extensions;
}

TEST(SaveByExtension, AFailedSaveLeavesThePreviousFileAndAMessage) {
    test::TempFolder folder;
    const AppSettings settings = DefaultSettings(ScreenMetrics());
    ImageCanvas empty;
    CurrentImage nothing;
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(test::MakePattern(9, 5), canvas));
    CurrentImage image;
    image.fileBitDepth = 24;
    const std::vector<std::string> extensions = WrittenExtensions();
    ASSERT_GE(extensions.size(), 12u);
    for (const std::string& extension : extensions) {
        const std::string path = folder.File("keep" + extension);
        test::WriteFileBytes(path, "old contents");
        const auto failed = SaveByExtension(path, SaveSource{empty, nothing}, settings, QuietHost());
        ASSERT_TRUE(failed) << extension;
        EXPECT_FALSE(failed->ok()) << extension;
        EXPECT_FALSE(failed->message().empty()) << extension;
        EXPECT_EQ(test::ReadFileBytes(path), "old contents") << extension;

        const auto nowhere = SaveByExtension(folder.File("no/such/folder/picture" + extension),
                                             SaveSource{canvas, image}, settings, QuietHost());
        ASSERT_TRUE(nowhere) << extension;
        EXPECT_FALSE(nowhere->ok()) << extension;
        EXPECT_FALSE(nowhere->message().empty()) << extension;

        // A single picture saved under an MNG name is written as PNG beside it.
        const std::string writtenPath = extension == ".mng" ? folder.File("keep.png") : path;
        test::WriteFileBytes(writtenPath, "old contents");
        const auto written = SaveByExtension(path, SaveSource{canvas, image}, settings, QuietHost());
        ASSERT_TRUE(written) << extension;
        EXPECT_TRUE(written->ok()) << extension << ": " << written->message();
        EXPECT_NE(test::ReadFileBytes(writtenPath), "old contents") << extension;
        EXPECT_FALSE(std::filesystem::exists(folder.File("~keep" + extension + ".tmp"))) << extension;
    }
}

}  // namespace
}  // namespace marbleye
