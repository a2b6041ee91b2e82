// The picture operations of convert, checked against ImageMagick doing the
// same to the same file.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/ExternalTools.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::Quoted;

int RunCliQuietly(const std::string& arguments) {
    const std::string command = std::string(MARBLEYE_CLI_PATH) + " " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class CliOperations : public ::testing::Test {
protected:
    void SetUp() override {
        input_ = folder_.File("in.ppm");
        test::WriteFileBytes(input_, test::ToPpm(test::MakePattern(37, 23)));
    }

    // Our result of the operations, read back by ImageMagick.
    test::RgbImage Ours(const std::string& operations) {
        const std::string out = folder_.File("ours.bmp");
        EXPECT_EQ(RunCliQuietly("convert " + Quoted(input_) + " " + Quoted(out) + " " + operations), 0) << operations;
        return test::DecodeWithImageMagick(out).value_or(test::RgbImage{});
    }

    // ImageMagick's result of its own options on the same input.
    test::RgbImage Theirs(const std::string& options) {
        const std::string out = folder_.File("theirs.ppm");
        const std::string command = std::string(test::kImageMagickConvert) + " " + Quoted(input_) + " " + options +
                                    " " + Quoted(out);
        EXPECT_TRUE(test::RunCommand(command).has_value()) << command;
        return test::DecodeWithImageMagick(out).value_or(test::RgbImage{});
    }

    test::TempFolder folder_;
    std::string input_;
};

TEST_F(CliOperations, GeometryAndChannelOperationsMatchImageMagick) {
    MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert);
    const struct {
        const char* ours;
        const char* theirs;
    } cases[] = {
        {"--flip", "-flip"},
        {"--mirror", "-flop"},
        {"--rotate-left", "-rotate -90"},
        {"--rotate-right", "-rotate 90"},
        {"--invert", "-negate"},
        {"--keep-channel red", "-channel GB -evaluate set 0 +channel"},
        {"--keep-channel blue", "-channel RG -evaluate set 0 +channel"},
        {"--swap rb", "-separate -swap 0,2 -combine"},
        {"--swap gb", "-separate -swap 1,2 -combine"},
        {"--show-alpha image", "-evaluate set 0"},
        // Fast'n'Dirty at twice the size steps by exactly a half.
        {"--resize 74x46:1", "-filter Point -resize 74x46!"},
        {"--mirror --rotate-right --flip", "-flop -rotate 90 -flip"},
    };
    for (const auto& c : cases) {
        const test::RgbImage ours = Ours(c.ours), theirs = Theirs(c.theirs);
        EXPECT_EQ(ours, theirs) << c.ours << ": " << test::FirstDifference(theirs, ours);
    }
}

TEST_F(CliOperations, OperationsRunInTheOrderGiven) {
    MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert);
    // A quarter turn then a resize to 23x37 keeps every pixel; the other order
    // squeezes the picture before turning it.
    const test::RgbImage turnedFirst = Ours("--rotate-left --resize 23x37:2");
    EXPECT_EQ(turnedFirst, Theirs("-rotate -90"));
    const test::RgbImage resizedFirst = Ours("--resize 23x37:2 --rotate-left");
    EXPECT_EQ(resizedFirst.width, 37);
    EXPECT_NE(resizedFirst, turnedFirst);
}

TEST_F(CliOperations, EffectsWithASeedRepeatAndChangeThePicture) {
    MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert);
    const test::RgbImage original = Theirs("");
    for (const char* effect : {"--blur 60,2,7", "--pixelize 5", "--sharpen 70", "--seamless", "--buttonize",
                               "--grayscale", "--colors 256 --palette popularity --dither serpentine"}) {
        const test::RgbImage once = Ours(effect), again = Ours(effect);
        EXPECT_EQ(once.width, 37) << effect;
        EXPECT_EQ(once, again) << effect;
        EXPECT_NE(once, original) << effect;
    }
    EXPECT_NE(Ours("--blur 60,2,7"), Ours("--blur 60,2,8"));
}

TEST_F(CliOperations, WrongValuesAreUsageErrors) {
    const std::string out = folder_.File("out.bmp");
    for (const char* wrong : {"--resize 10", "--resize 10x10:7", "--resize 10x10:0", "--resize x10", "--resize 10y10",
                              "--resize -4x10", "--keep-channel alpha", "--show-alpha", "--swap br", "--blur 0,1",
                              "--blur 50", "--blur 50,101", "--blur 50,1,x", "--pixelize 65", "--pixelize 0",
                              "--sharpen 0", "--sharpen 101", "--colors high --dither jitter", "--flip-flop"}) {
        EXPECT_EQ(RunCliQuietly("convert " + Quoted(input_) + " " + Quoted(out) + " " + wrong), 2) << wrong;
    }
}

TEST_F(CliOperations, AResizeBeyondMemoryIsRefusedWithTheMessage) {
    const std::string out = folder_.File("out.bmp");
    const std::string command = std::string(MARBLEYE_CLI_PATH) + " convert " + Quoted(input_) + " " + Quoted(out) +
                                " --resize 2000000000x2000000000 2>&1";
    const auto output = test::RunCommand(command + "; echo \"exit $?\"");
    ASSERT_TRUE(output.has_value());
    EXPECT_NE(output->find("Insufficient Memory. Aborting.."), std::string::npos) << *output;
    EXPECT_NE(output->find("exit 1"), std::string::npos) << *output;
    EXPECT_FALSE(std::filesystem::exists(out));
}

}  // namespace
}  // namespace marbleye
