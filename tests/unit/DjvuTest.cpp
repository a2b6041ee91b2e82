#include <gtest/gtest.h>

#include <string>

#include "support/MemoryUse.h"
#include "support/ReaderTest.h"

namespace marbleye {
namespace {

class DjvuReader : public test::ReaderTest {};

std::string BigEndian(uint32_t value, int bytes) {
    std::string out;
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) out += char((value >> shift) & 0xFF);
    return out;
}

// An IFF chunk: id, big-endian length, data, a pad byte after odd data.
std::string Chunk(const std::string& id, const std::string& data) {
    std::string chunk = id + BigEndian(static_cast<uint32_t>(data.size()), 4) + data;
    if (data.size() % 2) chunk += '\0';
    return chunk;
}

// A file: the "AT&T" magic, then one FORM of the given type.
std::string File(const std::string& type, const std::string& chunks) { return "AT&T" + Chunk("FORM", type + chunks); }

// INFO: width and height (big-endian), minor and major version, resolution
// (little-endian), gamma x 10, flags (1: upright).
std::string Info(uint16_t width, uint16_t height) {
    std::string info = BigEndian(width, 2) + BigEndian(height, 2);
    info += char(24), info += char(0);
    info += char(300 & 0xFF), info += char(300 >> 8);
    info += char(22), info += char(1);
    return Chunk("INFO", info);
}

// A page of its INFO chunk alone has no layer: it is a blank white page.
TEST_F(DjvuReader, APageWithoutLayersIsWhiteAtItsStoredSize) {
    const test::LoadedPicture loaded = LoadBytes(File("DJVU", Info(37, 21)), "blank.djvu");
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    EXPECT_EQ(loaded.image.width, 37);
    EXPECT_EQ(loaded.image.height, 21);
    const test::RgbImage rgb = test::CanvasToRgb(*loaded.canvas);
    ASSERT_EQ(rgb.width, 37);
    ASSERT_EQ(rgb.height, 21);
    for (const uint8_t value : rgb.rgb) ASSERT_EQ(value, 255);
}

TEST_F(DjvuReader, FilesWithoutAPageSizeAndFilesOfOtherKindsGetTheirMessages) {
    const std::string noInfo = "Cannot find INFO chunk. Aborting.";
    const std::string notDjvu = "This is not a well formed DjVu image!";
    const struct {
        const char* what;
        std::string bytes;
        std::string message;
    } cases[] = {
        {"page without INFO", File("DJVU", Chunk("ANTa", "(background #ffffff)")), noInfo},
        {"INFO too short for its sizes", File("DJVU", Chunk("INFO", "\x01\x02")), noInfo},
        {"document without pages", File("DJVM", Chunk("DIRM", std::string("\x81\x00\x00", 3))), noInfo},
        {"shared annotations only", File("DJVI", Chunk("ANTa", "()")), noInfo},
        {"IW44 form without its first chunk", File("PM44", Chunk("ANTa", "()")), noInfo},
        {"IW44 continuation chunk first",
         File("BM44", Chunk("BM44", std::string("\x01\x05\x00\x00\x00\x00\x00\x00", 8))), noInfo},
        {"empty file", "", notDjvu},
        {"no AT&T magic", Chunk("FORM", "DJVU" + Info(10, 10)), notDjvu},
        {"unknown form type", File("ILBM", Info(10, 10)), notDjvu},
        {"text", "AT&T is a company, not a picture.", notDjvu},
        {"zero width", File("DJVU", Info(0, 10)), notDjvu},
    };
    for (const auto& item : cases) {
        const test::LoadedPicture loaded = LoadBytes(item.bytes, "case.djvu");
        EXPECT_EQ(loaded.message(), item.message) << item.what;
    }
}

// A blank page of any size is a few dozen bytes, so the stored size is held
// against the file's length and the pixel gate before the library sees it.
TEST_F(DjvuReader, AStoredSizeTheFileCannotHoldCostsNothing) {
    const struct { uint16_t width, height; } sizes[] = {{65535, 65535}, {8000, 8000}, {65535, 1500}};
    for (const auto& size : sizes) {
        for (const char* type : {"DJVU", "PM44"}) {
            std::string bytes;
            if (std::string(type) == "DJVU") {
                bytes = File(type, Info(size.width, size.height));
            } else {
                // serial 0, one slice, major version 1 (colour), minor 2, sizes, flags
                const std::string header =
                    std::string("\x00\x01\x01\x02", 4) + BigEndian(size.width, 2) + BigEndian(size.height, 2) + '\x00';
                bytes = File(type, Chunk("PM44", header));
            }
            test::LoadedPicture loaded;
            const long growth = test::PeakMemoryGrowthKb([&] { loaded = LoadBytes(bytes, "huge.djvu"); });
            EXPECT_EQ(loaded.message(), "This is not a well formed DjVu image!") << type << " " << size.width;
            EXPECT_LT(growth, test::kSmallFileGrowthLimitKb) << type << " " << size.width;
        }
    }
}

// Every prefix of a page ends in a picture or a message; a page cut inside a
// chunk after its INFO chunk still shows at its size, and says so.
TEST_F(DjvuReader, EveryPrefixOfAPageLoadsOrGivesAMessage) {
    const std::string whole = File("DJVU", Info(19, 11) + Chunk("ANTa", "(background #000000) (zoom page)"));
    for (size_t length = 0; length < whole.size(); ++length) {
        test::MessageRecorder recorder;
        const test::LoadedPicture loaded = LoadBytes(whole.substr(0, length), "cut.djvu", LoadOptions(), recorder);
        if (loaded.ok()) {
            EXPECT_EQ(loaded.image.width, 19) << length;
            EXPECT_GE(length, 34u) << "a picture before the INFO chunk was whole";
            EXPECT_EQ(recorder.messages, "This is not a well formed DjVu image!|") << length;
        } else {
            EXPECT_FALSE(loaded.message().empty()) << length;
            EXPECT_LT(length, 34u) << loaded.message();
        }
    }
}

}  // namespace
}  // namespace marbleye
