#include <gtest/gtest.h>

#include <filesystem>

#include "io/OutputFile.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

TEST(OutputFile, CommitReplacesTheTarget) {
    test::TempFolder folder;
    const std::string target = folder.File("picture.bmp");
    test::WriteFileBytes(target, "old");
    OutputFile out;
    ASSERT_TRUE(out.Open(target));
    out.Write("new", 3);
    out.U16LE(0x0201);
    out.U32BE(0x03040506);
    EXPECT_EQ(test::ReadFileBytes(target), "old") << "nothing reaches the target before the commit";
    ASSERT_TRUE(out.Commit());
    EXPECT_EQ(test::ReadFileBytes(target), std::string("new\x01\x02\x03\x04\x05\x06", 9));
    EXPECT_FALSE(std::filesystem::exists(TemporaryPathFor(target)));
}

TEST(OutputFile, AnAbandonedWriteLeavesTheOldFile) {
    test::TempFolder folder;
    const std::string target = folder.File("picture.bmp");
    test::WriteFileBytes(target, "old");
    {
        OutputFile out;
        ASSERT_TRUE(out.Open(target));
        out.Write("half", 4);
    }
    EXPECT_EQ(test::ReadFileBytes(target), "old");
    EXPECT_FALSE(std::filesystem::exists(TemporaryPathFor(target)));
}

TEST(OutputFile, AFailedRenameReportsFailureAndCleansUp) {
    test::TempFolder folder;
    const std::string target = folder.File("taken");
    std::filesystem::create_directory(target);
    test::WriteFileBytes(target + "/inside", "keep");
    OutputFile out;
    ASSERT_TRUE(out.Open(target));
    out.Write("data", 4);
    EXPECT_FALSE(out.Commit());
    EXPECT_EQ(test::ReadFileBytes(target + "/inside"), "keep");
    EXPECT_FALSE(std::filesystem::exists(TemporaryPathFor(target)));
}

TEST(OutputFile, TheTemporaryFileLiesBesideTheTarget) {
    EXPECT_EQ(TemporaryPathFor("/a/b/c.bmp"), "/a/b/~c.bmp.tmp");
    EXPECT_EQ(TemporaryPathFor("C:\\x\\y.bmp"), "C:\\x\\~y.bmp.tmp");
    EXPECT_EQ(TemporaryPathFor("plain.bmp"), "~plain.bmp.tmp");
}

}  // namespace
}  // namespace marbleye
