// Every GIF of the GIF suite saved as MNG: an animation the MNG library reads
// through to its end without an error, a single picture as PNG, or the
// writer's message; the outcomes stay as recorded in mngwrite.golden.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "formats/mng/MngWriter.h"
#include "formats/png/MngLibrary.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

namespace fs = std::filesystem;

struct Stream {
    std::string bytes;
    size_t at = 0;
};

mng_ptr MNG_DECL Allocate(mng_size_t length) { return std::calloc(1, length); }
void MNG_DECL Release(mng_ptr pointer, mng_size_t) { std::free(pointer); }
mng_bool MNG_DECL Ready(mng_handle) { return MNG_TRUE; }
mng_bool MNG_DECL Read(mng_handle handle, mng_ptr buffer, mng_uint32 length, mng_uint32p read) {
    auto* stream = static_cast<Stream*>(mng_get_userdata(handle));
    const size_t count = std::min<size_t>(length, stream->bytes.size() - stream->at);
    std::memcpy(buffer, stream->bytes.data() + stream->at, count);
    stream->at += count;
    *read = static_cast<mng_uint32>(count);
    return MNG_TRUE;
}

// The library's verdict on a whole file, and the frame count it found.
std::string LibraryRead(const std::string& path) {
    Stream stream{test::ReadFileBytes(path)};
    mng_handle handle = mng_initialize(&stream, Allocate, Release, MNG_NULL);
    if (!handle) return "no handle";
    mng_setcb_openstream(handle, Ready);
    mng_setcb_closestream(handle, Ready);
    mng_setcb_readdata(handle, Read);
    const mng_retcode code = mng_read(handle);
    const std::string verdict = code == MNG_NOERROR ? "read, " + std::to_string(mng_get_framecount(handle)) + " frames"
                                                    : "library error " + std::to_string(code);
    mng_cleanup(&handle);
    return verdict;
}

TEST(MngWriterCorpus, EveryGifOfTheSuiteSavesAsMng) {
    const fs::path folder = fs::path(MARBLEYE_CORPORA_DIR) / "gif-suite";
    if (!fs::exists(folder)) GTEST_SKIP() << "no corpus at " << folder;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".gif") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    test::TempFolder temp;
    std::string outcomes;
    int animations = 0;
    for (const fs::path& file : files) {
        const std::string name = file.filename().string();
        const auto picture = test::LoadPicture(file.string());
        if (!picture.ok()) {
            outcomes += name + ": not loaded\n";
            continue;
        }
        const std::string target = temp.File("out.mng"), still = temp.File("out.png");
        const Status saved = WriteMng(target, *picture.canvas, picture.image, QuietHost());
        if (!saved) {
            outcomes += name + ": " + saved.message() + "\n";
        } else if (fs::exists(target)) {
            ++animations;
            const std::string verdict = LibraryRead(target);
            EXPECT_EQ(verdict.rfind("read", 0), 0u) << name << ": " << verdict;
            outcomes += name + ": mng " + verdict + "\n";
        } else {
            EXPECT_TRUE(fs::exists(still)) << name;
            const auto again = test::LoadPicture(still);
            EXPECT_TRUE(again.ok()) << name;
            if (again.ok()) {
                EXPECT_EQ(again.canvas->width(), picture.canvas->width()) << name;
            }
            outcomes += name + ": png\n";
        }
        fs::remove(target);
        fs::remove(still);
    }
    EXPECT_GT(animations, 3);
    test::ExpectGolden((fs::path(MARBLEYE_SOURCE_DIR) / "tests" / "corpus" / "mngwrite.golden").string(), outcomes);
}

}  // namespace
}  // namespace marbleye
