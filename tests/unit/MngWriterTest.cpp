// The MNG writer's files taken apart chunk by chunk with a parser written from
// the published PNG/MNG layouts (length, type, data, CRC), GIF sources built
// byte by byte, and the single-image PNG branch.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <zlib.h>

#include "formats/FormatId.h"
#include "formats/mng/MngWriter.h"
#include "output/SaveByExtension.h"
#include "support/GifBuilder.h"
#include "support/MemoryUse.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

struct Chunk {
    std::string type;
    std::string data;
};

uint32_t Be32(const std::string& bytes, size_t at) {
    return (static_cast<uint32_t>(static_cast<uint8_t>(bytes[at])) << 24) |
           (static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 2])) << 8) |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3]));
}

// Every chunk of a PNG or MNG file after its 8-byte signature; fails the test
// on a wrong signature, a chunk running past the end or a wrong CRC.
std::vector<Chunk> Chunks(const std::string& file, const std::string& signature) {
    std::vector<Chunk> chunks;
    EXPECT_EQ(file.substr(0, 8), signature);
    size_t at = 8;
    while (at + 12 <= file.size()) {
        const uint32_t length = Be32(file, at);
        if (at + 12 + length > file.size()) break;
        Chunk chunk{file.substr(at + 4, 4), file.substr(at + 8, length)};
        const std::string covered = file.substr(at + 4, 4 + length);
        const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(covered.data()), static_cast<uInt>(covered.size()));
        EXPECT_EQ(crc, Be32(file, at + 8 + length)) << chunk.type;
        chunks.push_back(chunk);
        at += 12 + length;
    }
    EXPECT_EQ(at, file.size()) << "bytes after the last whole chunk";
    return chunks;
}

const std::string kMngSignature("\x8AMNG\r\n\x1A\n", 8);
const std::string kPngSignature("\x89PNG\r\n\x1A\n", 8);

std::string Inflate(const std::string& packed, size_t expected) {
    std::string raw(expected + 16, '\0');
    uLongf size = static_cast<uLongf>(raw.size());
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(raw.data()), &size, reinterpret_cast<const Bytef*>(packed.data()),
                         static_cast<uLong>(packed.size())),
              Z_OK);
    raw.resize(size);
    return raw;
}

// The meaning of a FRAM chunk: framing mode (0 = unchanged, also for an empty
// chunk) and the inter-frame delay when the chunk changes it.
struct Framing {
    int mode = 0;
    bool changesDelay = false;
    uint32_t delay = 0;
    bool empty = false;
};
Framing ReadFram(const std::string& data) {
    Framing framing;
    framing.empty = data.empty();
    if (data.empty()) return framing;
    framing.mode = static_cast<uint8_t>(data[0]);
    size_t at = 1;
    while (at < data.size() && data[at] != 0) ++at;  // subframe name up to its separator
    ++at;
    if (at + 4 <= data.size()) {
        framing.changesDelay = data[at] != 0;
        if (framing.changesDelay) framing.delay = Be32(data, at + 4);
    }
    return framing;
}

// A 6 x 4 GIF of whole-screen frames over a 4-colour global table.
struct Source {
    test::GifBuilder gif;
    std::vector<std::vector<uint8_t>> cells;  // each frame's indices, top row first
};

Source FourFrames() {
    Source source;
    source.gif.screenWidth = 6, source.gif.screenHeight = 4;
    source.gif.globalTable = {10, 20, 30, 200, 0, 0, 0, 200, 0, 0, 0, 200};
    std::vector<uint8_t> cell = {0, 1, 0, 1, 0, 1, 1, 0, 1, 0, 1, 0, 0, 0, 0, 1, 1, 1, 3, 3, 3, 3, 3, 3};
    source.cells.push_back(cell);
    cell[1 * 6 + 1] = 2, cell[1 * 6 + 3] = 3, cell[2 * 6 + 2] = 2;  // columns 1..3, rows 1..2
    source.cells.push_back(cell);
    cell[3 * 6 + 5] = 0;  // only (5, 3)
    source.cells.push_back(cell);
    source.cells.push_back(cell);  // unchanged
    cell[0] = 2, cell[1 * 6 + 5] = 2;  // columns 0..5, rows 0..1
    source.cells.push_back(cell);
    const int delays[] = {10, 7, 0, 0, 4};  // the reader plays 0 as 10
    const int disposals[] = {0, 1, 2, 2, 0};
    const int transparents[] = {-1, 2, 3, -1, -1};
    for (size_t f = 0; f < source.cells.size(); ++f) {
        test::GifFrame frame;
        frame.width = 6, frame.height = 4;
        frame.indices = source.cells[f];
        frame.delay = delays[f];
        frame.disposal = disposals[f];
        frame.transparent = transparents[f];
        frame.minimumCodeSize = 2;
        source.gif.frames.push_back(frame);
    }
    return source;
}

class MngWriterFiles : public ::testing::Test {
protected:
    // Writes `gif` to a file and saves it as MNG as a picture loaded from it.
    Status SaveFromGif(const std::string& gifBytes, const std::string& target) {
        const std::string gifPath = folder_.File("source.gif");
        test::WriteFileBytes(gifPath, gifBytes);
        CurrentImage image;
        image.formatId = format_id::kGif;
        image.path = gifPath;
        image.fileBitDepth = 8;
        ImageCanvas canvas;
        EXPECT_TRUE(canvas.Create(1, 1, 24, 0, Palette256{}));
        return WriteMng(target, canvas, image, QuietHost());
    }
    test::TempFolder folder_;
};

TEST_F(MngWriterFiles, AnAnimatedGifBecomesTheDescribedChunkSequence) {
    const Source source = FourFrames();
    const std::string path = folder_.File("anim.mng");
    ASSERT_TRUE(SaveFromGif(source.gif.Bytes(), path));
    const std::vector<Chunk> chunks = Chunks(test::ReadFileBytes(path), kMngSignature);
    ASSERT_GE(chunks.size(), 4u);

    ASSERT_EQ(chunks[0].type, "MHDR");
    const std::string& mhdr = chunks[0].data;
    ASSERT_EQ(mhdr.size(), 28u);
    EXPECT_EQ(Be32(mhdr, 0), 6u);
    EXPECT_EQ(Be32(mhdr, 4), 4u);
    EXPECT_EQ(Be32(mhdr, 8), 100u) << "ticks per second";
    EXPECT_EQ(Be32(mhdr, 12), 6u) << "layers: frames + 1";
    EXPECT_EQ(Be32(mhdr, 16), 5u) << "frames";
    EXPECT_EQ(Be32(mhdr, 20), 10u + 7u + 10u + 10u + 4u) << "play time";
    EXPECT_EQ(Be32(mhdr, 24), 15u) << "simplicity profile";

    ASSERT_EQ(chunks[1].type, "TERM");
    EXPECT_EQ(chunks[1].data, std::string("\x03\x02\x00\x00\x00\x0A\x7F\xFF\xFF\xFF", 10));

    ASSERT_EQ(chunks[2].type, "PLTE");
    ASSERT_EQ(chunks[2].data.size(), 768u);
    EXPECT_EQ(chunks[2].data.substr(0, 12), std::string(source.gif.globalTable.begin(), source.gif.globalTable.end()));

    ASSERT_EQ(chunks[3].type, "tRNS");
    EXPECT_EQ(chunks[3].data, std::string("\xFF\xFF\x00\x00", 4)) << "up to the last transparent entry";

    // Per frame: FRAM, DEFI (later frames), IHDR, empty PLTE, IDAT, IEND.
    struct Expected {
        int mode;
        bool changesDelay;
        uint32_t delay;
        int left, top, width, height;
    };
    const Expected expected[] = {
        {1, true, 10, 0, 0, 6, 4},  // the first frame whole
        {0, true, 7, 1, 1, 3, 2},   // only the delay changes
        {3, true, 10, 5, 3, 1, 1},  // disposal 2, and the delay back to 10
        {0, false, 0, 0, 0, 1, 1},  // nothing new: an empty FRAM; an unchanged frame still has an image
        {1, true, 4, 0, 0, 6, 2},   // framing mode and delay
    };
    size_t at = 4;
    for (size_t f = 0; f < std::size(expected); ++f) {
        SCOPED_TRACE("frame " + std::to_string(f));
        ASSERT_LT(at, chunks.size());
        ASSERT_EQ(chunks[at].type, "FRAM");
        const Framing framing = ReadFram(chunks[at].data);
        EXPECT_EQ(framing.mode, expected[f].mode);
        EXPECT_EQ(framing.empty, expected[f].mode == 0 && !expected[f].changesDelay);
        EXPECT_EQ(framing.changesDelay, expected[f].changesDelay);
        if (expected[f].changesDelay) {
            EXPECT_EQ(framing.delay, expected[f].delay);
        }
        ++at;
        if (f > 0) {
            ASSERT_EQ(chunks[at].type, "DEFI");
            const std::string& defi = chunks[at].data;
            ASSERT_GE(defi.size(), 12u);
            EXPECT_EQ(defi.substr(0, 4), std::string(4, '\0')) << "object 0, shown, not concrete";
            EXPECT_EQ(static_cast<int32_t>(Be32(defi, 4)), expected[f].left);
            EXPECT_EQ(static_cast<int32_t>(Be32(defi, 8)), expected[f].top);
            ++at;
        }
        ASSERT_EQ(chunks[at].type, "IHDR");
        const std::string& ihdr = chunks[at].data;
        EXPECT_EQ(Be32(ihdr, 0), static_cast<uint32_t>(expected[f].width));
        EXPECT_EQ(Be32(ihdr, 4), static_cast<uint32_t>(expected[f].height));
        EXPECT_EQ(ihdr.substr(8), std::string("\x08\x03\x00\x00\x00", 5)) << "8-bit palette, not interlaced";
        ASSERT_EQ(chunks[at + 1].type, "PLTE");
        EXPECT_TRUE(chunks[at + 1].data.empty()) << "the global palette";
        ASSERT_EQ(chunks[at + 2].type, "IDAT");
        const size_t line = static_cast<size_t>(expected[f].width) + 1;
        const std::string raw = Inflate(chunks[at + 2].data, line * expected[f].height);
        ASSERT_EQ(raw.size(), line * expected[f].height);
        for (int y = 0; y < expected[f].height; ++y) {
            EXPECT_EQ(raw[y * line], 0) << "filter byte";
            for (int x = 0; x < expected[f].width; ++x) {
                EXPECT_EQ(static_cast<uint8_t>(raw[y * line + 1 + x]),
                          source.cells[f][(expected[f].top + y) * 6 + expected[f].left + x])
                    << x << "," << y;
            }
        }
        EXPECT_EQ(chunks[at + 3].type, "IEND");
        at += 4;
    }
    ASSERT_EQ(at + 1, chunks.size());
    EXPECT_EQ(chunks[at].type, "MEND");
}

TEST_F(MngWriterFiles, DelaysOfZeroAfterTheFirstFrameCountOneInThePlayTime) {
    GifFrames frames;
    frames.width = 2, frames.height = 1, frames.frameCount = 3;
    frames.indices = {2, 2, 1, 1, 0, 0};  // last frame first
    frames.delays = {5, 0, 0}, frames.disposals = {2, 0, 0}, frames.transparents = {-1, 7, -1};
    const std::string path = folder_.File("zero.mng");
    ASSERT_TRUE(WriteMngAnimation(path, frames, QuietHost()));
    const std::vector<Chunk> chunks = Chunks(test::ReadFileBytes(path), kMngSignature);
    ASSERT_GE(chunks.size(), 5u);
    EXPECT_EQ(Be32(chunks[0].data, 20), 0u + 1u + 5u);
    EXPECT_EQ(chunks[1].data, std::string("\x03\x02\x00\x00\x00\x00\x7F\xFF\xFF\xFF", 10));
    ASSERT_EQ(chunks[3].type, "tRNS");
    EXPECT_EQ(chunks[3].data, std::string(7, '\xFF') + std::string(1, '\0'));
    std::vector<Framing> framings;
    for (const Chunk& chunk : chunks) {
        if (chunk.type == "FRAM") framings.push_back(ReadFram(chunk.data));
    }
    ASSERT_EQ(framings.size(), 3u);
    EXPECT_EQ(framings[0].mode, 1);
    EXPECT_TRUE(framings[0].changesDelay);
    EXPECT_EQ(framings[0].delay, 0u);
    EXPECT_TRUE(framings[1].empty);
    EXPECT_EQ(framings[2].mode, 3);
    EXPECT_EQ(framings[2].delay, 5u);
}

TEST_F(MngWriterFiles, WithoutTransparencyThereIsNoTransparencyChunkAndZlibLevelNine) {
    Source source = FourFrames();
    for (test::GifFrame& frame : source.gif.frames) frame.transparent = -1;
    const std::string path = folder_.File("opaque.mng");
    ASSERT_TRUE(SaveFromGif(source.gif.Bytes(), path));
    int idats = 0;
    for (const Chunk& chunk : Chunks(test::ReadFileBytes(path), kMngSignature)) {
        EXPECT_NE(chunk.type, "tRNS");
        if (chunk.type != "IDAT") continue;
        ++idats;
        ASSERT_GE(chunk.data.size(), 2u);
        // zlib header: deflate with a 32K window, FLEVEL 3 (maximum compression).
        EXPECT_EQ(static_cast<uint8_t>(chunk.data[0]), 0x78);
        EXPECT_EQ(static_cast<uint8_t>(chunk.data[1]) >> 6, 3);
    }
    EXPECT_EQ(idats, 5);
}

TEST_F(MngWriterFiles, SingleFrameGifsAndOtherPicturesBecomeOnePngNamedWithPng) {
    EXPECT_EQ(SingleImagePathFor("/a/b/x.mng"), "/a/b/x.png");
    EXPECT_EQ(SingleImagePathFor("x.MNG"), "x.png");

    // A 24-bit picture: RGB rows, red first.
    ImageCanvas canvas;
    const test::RgbImage pattern = test::MakePattern(7, 5);
    ASSERT_TRUE(test::CanvasFromRgb(pattern, canvas, 24));
    CurrentImage image;
    image.fileBitDepth = 24;
    const std::string target = folder_.File("true.mng");
    ASSERT_TRUE(WriteMng(target, canvas, image, QuietHost()));
    EXPECT_FALSE(std::filesystem::exists(target));
    const std::vector<Chunk> chunks = Chunks(test::ReadFileBytes(folder_.File("true.png")), kPngSignature);
    ASSERT_EQ(chunks.size(), 3u);
    ASSERT_EQ(chunks[0].type, "IHDR");
    EXPECT_EQ(Be32(chunks[0].data, 0), 7u);
    EXPECT_EQ(Be32(chunks[0].data, 4), 5u);
    EXPECT_EQ(chunks[0].data.substr(8), std::string("\x08\x02\x00\x00\x00", 5));
    ASSERT_EQ(chunks[1].type, "IDAT");
    const std::string raw = Inflate(chunks[1].data, 5 * 22);
    ASSERT_EQ(raw.size(), 5u * 22u);
    for (int y = 0; y < 5; ++y) {
        EXPECT_EQ(raw[y * 22], 0);
        EXPECT_EQ(0, std::memcmp(raw.data() + y * 22 + 1, pattern.At(0, y), 21)) << "row " << y;
    }
    EXPECT_EQ(chunks[2].type, "IEND");

    // A GIF of one frame takes the same way, as a palette image.
    test::GifBuilder still;
    still.screenWidth = 3, still.screenHeight = 2;
    still.globalTable = {255, 0, 0, 0, 0, 255};
    test::GifFrame frame;
    frame.width = 3, frame.height = 2;
    frame.indices = {0, 1, 0, 1, 1, 0};
    frame.minimumCodeSize = 2;
    still.frames.push_back(frame);
    const std::string gifPath = folder_.File("still.gif");
    test::WriteFileBytes(gifPath, still.Bytes());
    const test::LoadedPicture loaded = test::LoadPicture(gifPath);
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    ASSERT_EQ(loaded.image.formatId, format_id::kGif);
    ASSERT_TRUE(WriteMng(folder_.File("still.mng"), *loaded.canvas, loaded.image, QuietHost()));
    const std::vector<Chunk> png = Chunks(test::ReadFileBytes(folder_.File("still.png")), kPngSignature);
    ASSERT_GE(png.size(), 3u);
    EXPECT_EQ(static_cast<uint8_t>(png[0].data[9]), 3) << "palette colour type";
    EXPECT_FALSE(std::filesystem::exists(folder_.File("still.mng")));
}

TEST_F(MngWriterFiles, TheSaveTableSendsMngNamesHere) {
    const Source source = FourFrames();
    const std::string gifPath = folder_.File("table.gif");
    test::WriteFileBytes(gifPath, source.gif.Bytes());
    const test::LoadedPicture loaded = test::LoadPicture(gifPath);
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    const std::string path = folder_.File("table.mng");
    const auto saved = SaveByExtension(path, SaveSource{*loaded.canvas, loaded.image}, AppSettings(), QuietHost());
    ASSERT_TRUE(saved.has_value());
    ASSERT_TRUE(*saved) << saved->message();
    const std::vector<Chunk> chunks = Chunks(test::ReadFileBytes(path), kMngSignature);
    ASSERT_FALSE(chunks.empty());
    EXPECT_EQ(chunks[0].type, "MHDR");
    EXPECT_EQ(Be32(chunks[0].data, 16), 5u);
}

TEST_F(MngWriterFiles, FailuresGiveTheirMessagesAndLeaveNoFile) {
    const Source source = FourFrames();
    EXPECT_EQ(SaveFromGif(source.gif.Bytes(), folder_.File("no/such/folder/x.mng")).message(), "write error");

    // A source gone since it was loaded: the canvas is written instead.
    CurrentImage image;
    image.formatId = format_id::kGif;
    image.path = folder_.File("gone.gif");
    image.fileBitDepth = 8;
    ImageCanvas canvas;
    ASSERT_TRUE(canvas.Create(2, 2, 24, 0, Palette256{}));
    ASSERT_TRUE(WriteMng(folder_.File("gone.mng"), canvas, image, QuietHost()));
    EXPECT_TRUE(std::filesystem::exists(folder_.File("gone.png")));

    // Tables that do not match the frames.
    GifFrames frames;
    frames.width = 4, frames.height = 4, frames.frameCount = 3;
    frames.indices.assign(16 * 2, 0);
    frames.delays = {0, 0, 0}, frames.disposals = {0, 0, 0}, frames.transparents = {-1, -1, -1};
    EXPECT_EQ(WriteMngAnimation(folder_.File("short.mng"), frames, QuietHost()).message(),
              "Cannot allocate data buffer.");
    EXPECT_FALSE(std::filesystem::exists(folder_.File("short.mng")));
}

TEST_F(MngWriterFiles, EveryTruncatedSourceGivesAFileOrAMessage) {
    const std::string bytes = FourFrames().gif.Bytes();
    const std::string path = folder_.File("cut.mng");
    for (size_t length = 0; length <= bytes.size(); ++length) {
        SCOPED_TRACE(length);
        const Status status = SaveFromGif(bytes.substr(0, length), path);
        if (status) {
            const bool animation = std::filesystem::exists(path);
            EXPECT_TRUE(animation || std::filesystem::exists(folder_.File("cut.png")));
            if (animation) {
                EXPECT_EQ(Chunks(test::ReadFileBytes(path), kMngSignature).back().type, "MEND");
            }
        } else {
            EXPECT_FALSE(status.message().empty());
        }
        std::filesystem::remove(path);
        std::filesystem::remove(folder_.File("cut.png"));
    }
}

TEST_F(MngWriterFiles, FramesDeclaringHugeSizesCostNoGiantAllocation) {
    // Two frames of 9000 x 9000 pixels with the data of one pixel each.
    test::GifBuilder liar;
    liar.screenWidth = liar.screenHeight = 9000;
    liar.globalTable = {0, 0, 0, 255, 255, 255};
    for (int f = 0; f < 2; ++f) {
        test::GifFrame frame;
        frame.width = frame.height = 9000;
        frame.indices = {1};
        frame.delay = 5;
        frame.minimumCodeSize = 2;
        liar.frames.push_back(frame);
    }
    const std::string bytes = liar.Bytes();
    Status status = Status::Ok();
    const long grownKb = test::PeakMemoryGrowthKb([&] { status = SaveFromGif(bytes, folder_.File("huge.mng")); });
    EXPECT_LT(grownKb, 32 * 1024) << status.message();
    EXPECT_FALSE(std::filesystem::exists(folder_.File("huge.mng")));
}

}  // namespace
}  // namespace marbleye
