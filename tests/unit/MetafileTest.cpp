#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "formats/metafile/Metafile.h"
#include "formats/metafile/MetafileLayout.h"
#include "support/MemoryUse.h"
#include "support/ReaderTest.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

// Metafiles written field by field from the published layouts.

std::string U16(uint32_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; }
std::string U32(uint32_t v) { return U16(v) + U16(v >> 16); }

// A Windows metafile record: its size in 16-bit words (with the 6 bytes of
// size and function), the function, the parameters.
std::string WindowsRecord(uint16_t function, const std::string& parameters) {
    return U32(static_cast<uint32_t>((6 + parameters.size()) / 2)) + U16(function) + parameters;
}
const std::string kWindowsEnd = WindowsRecord(0x0000, "");
// META_RECTANGLE: bottom, right, top, left.
const std::string kWindowsRectangle = WindowsRecord(0x041B, U16(40) + U16(60) + U16(10) + U16(20));
// META_POLYGON: a point count, then x, y of each point.
std::string WindowsPolygon(uint16_t declaredPoints, uint16_t storedPoints) {
    std::string parameters = U16(declaredPoints);
    for (uint16_t i = 0; i < storedPoints; ++i) parameters += U16(i * 3) + U16(i * 5);
    return WindowsRecord(0x0324, parameters);
}

// The 18-byte header: type 1 (memory), 9 header words, version 0x0300, the
// whole size in words, 1 object, the largest record in words, 0 members.
std::string WindowsMetafile(const std::string& records, int32_t sizeWordsShift = 0) {
    const uint32_t words = static_cast<uint32_t>((18 + records.size()) / 2) + sizeWordsShift;
    return U16(1) + U16(9) + U16(0x0300) + U32(words) + U16(1) + U32(7) + U16(0) + records;
}
const std::string kWindows = WindowsMetafile(kWindowsRectangle + WindowsPolygon(4, 4) + kWindowsEnd);

// The placeable header: key 9AC6CDD7, handle 0, left, top, right, bottom,
// units per inch, 4 reserved bytes, then the XOR of those ten words.
std::string Placeable(int16_t left, int16_t top, int16_t right, int16_t bottom, uint16_t unitsPerInch,
                      const std::string& windows, uint16_t checksumFlip = 0) {
    const std::string fields = U32(0x9AC6CDD7) + U16(0) + U16(static_cast<uint16_t>(left)) +
                               U16(static_cast<uint16_t>(top)) + U16(static_cast<uint16_t>(right)) +
                               U16(static_cast<uint16_t>(bottom)) + U16(unitsPerInch) + U32(0);
    uint16_t checksum = 0;
    for (size_t i = 0; i < fields.size(); i += 2) {
        checksum ^= static_cast<uint16_t>(static_cast<uint8_t>(fields[i]) | static_cast<uint8_t>(fields[i + 1]) << 8);
    }
    return fields + U16(checksum ^ checksumFlip) + windows;
}

// An enhanced metafile record: type, size in bytes, parameters.
std::string EnhancedRecord(uint32_t type, const std::string& parameters) {
    return U32(type) + U32(static_cast<uint32_t>(8 + parameters.size())) + parameters;
}
std::string Rect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return U32(left) + U32(top) + U32(right) + U32(bottom);
}
// EMR_EOF: no palette entries, their offset, the record's size again.
const std::string kEnhancedEnd = EnhancedRecord(14, U32(0) + U32(16) + U32(20));
// EMR_RECTANGLE: the box.
const std::string kEnhancedRectangle = EnhancedRecord(43, Rect(2, 3, 30, 20));
// EMR_POLYGON16: bounds, a point count, then x, y of each point as 16 bits.
std::string EnhancedPolygon16(uint32_t declaredPoints, uint32_t storedPoints) {
    std::string parameters = Rect(0, 0, 9, 9) + U32(declaredPoints);
    for (uint32_t i = 0; i < storedPoints; ++i) parameters += U16(i * 2) + U16(i * 3);
    return EnhancedRecord(86, parameters);
}

// EMR_HEADER of 88 bytes: type 1, size 88, bounds, frame (0.01 mm),
// " EMF", version 0x10000, the whole size, the record count, 1 handle,
// reserved, no description, no palette, the reference device's size in
// pixels and in millimetres.
std::string Enhanced(const std::string& records, int32_t right = 120, int32_t bottom = 80, int32_t bytesShift = 0) {
    const uint32_t total = static_cast<uint32_t>(88 + records.size()) + bytesShift;
    const std::string header = U32(1) + U32(88) + Rect(0, 0, right, bottom) + Rect(0, 0, 3175, 2117) + std::string(" EMF") +
                               U32(0x10000) + U32(total) + U32(3) + U16(1) + U16(0) + U32(0) + U32(0) + U32(0) +
                               U32(1024) + U32(768) + U32(320) + U32(240);
    return header + records;
}
const std::string kEnhanced = Enhanced(kEnhancedRectangle + EnhancedPolygon16(3, 3) + kEnhancedEnd);

metafile::MetafileLayout Examine(const std::string& file) {
    return metafile::ExamineMetafile(
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(file.data()), file.size()));
}
std::string HandedOver(const metafile::MetafileLayout& layout, const std::string& file) {
    const auto* start = reinterpret_cast<const uint8_t*>(file.data());
    if (layout.metafile.data < start || layout.metafile.data + layout.metafile.size > start + file.size()) return "?";
    return file.substr(static_cast<size_t>(layout.metafile.data - start), layout.metafile.size);
}

constexpr const char* kEmfFailed = "Unable to load Enhanced Metafile (EMF)";
constexpr const char* kApmFailed = "Unable to load Aldus Placable Metafile (APM)";
constexpr const char* kWmfFailed = "Unable to load Windows 3.x Metafile";

TEST(MetafileLayout, EachKindHandsTheSystemItsMetafile) {
    const auto enhanced = Examine(kEnhanced);
    ASSERT_TRUE(enhanced.status.ok()) << enhanced.status.message();
    EXPECT_EQ(enhanced.metafile.kind, MetafileKind::kEnhanced);
    EXPECT_EQ(HandedOver(enhanced, kEnhanced), kEnhanced);

    const auto windows = Examine(kWindows);
    ASSERT_TRUE(windows.status.ok()) << windows.status.message();
    EXPECT_EQ(windows.metafile.kind, MetafileKind::kWindows);
    EXPECT_EQ(HandedOver(windows, kWindows), kWindows);

    // The Windows metafile behind the header, without bytes after its
    // declared size; extents in 0.01 mm: 1500 units at 1200 an inch are
    // 31.75 mm, 1000 units 21.16 mm.
    const std::string placeable = Placeable(0, 0, 1500, 1000, 1200, kWindows) + "trailing bytes";
    const auto layout = Examine(placeable);
    ASSERT_TRUE(layout.status.ok()) << layout.status.message();
    EXPECT_EQ(layout.metafile.kind, MetafileKind::kPlaceable);
    EXPECT_EQ(HandedOver(layout, placeable), kWindows);
    EXPECT_EQ(layout.metafile.xExtent, 3175);
    EXPECT_EQ(layout.metafile.yExtent, 2116);
    EXPECT_FALSE(layout.checksumMismatch);
    // The extents are of right - left and bottom - top, negative bounds too.
    const auto moved = Examine(Placeable(-100, 50, 620, 770, 1440, kWindows));
    EXPECT_EQ(moved.metafile.xExtent, 720 * 2540 / 1440);
    EXPECT_EQ(moved.metafile.yExtent, 720 * 2540 / 1440);

    // A size in the header past the file's end (Inkscape counts the
    // placeable header in it) is taken when the end record is there; the
    // system gets the records up to it.
    const std::string tooLong = WindowsMetafile(kWindowsRectangle + kWindowsEnd, 11);
    const auto told = Examine(tooLong);
    ASSERT_TRUE(told.status.ok()) << told.status.message();
    EXPECT_EQ(HandedOver(told, tooLong), tooLong);
    const std::string endedEarly = WindowsMetafile(kWindowsRectangle + kWindowsEnd) + "more";
    EXPECT_EQ(HandedOver(Examine(endedEarly), endedEarly), endedEarly.substr(0, endedEarly.size() - 4));
}

TEST(MetafileLayout, AWrongChecksumIsNotedAndTheFileStillLoads) {
    for (const uint16_t flip : {0x0001, 0x8000, 0xFFFF}) {
        const auto layout = Examine(Placeable(0, 0, 300, 200, 96, kWindows, flip));
        EXPECT_TRUE(layout.status.ok()) << flip;
        EXPECT_TRUE(layout.checksumMismatch) << flip;
    }
}

TEST(MetafileLayout, UnsoundFilesGiveTheirKindsMessage) {
    const auto message = [](const std::string& file) { return Examine(file).status.message(); };
    // Enhanced metafiles: the whole size beyond the file, a header record
    // shorter than its fields, a record of no size, one past the whole size,
    // a polygon with more points than its record holds, no end record.
    EXPECT_EQ(message(Enhanced(kEnhancedRectangle + kEnhancedEnd, 120, 80, 4)), kEmfFailed);
    std::string shortHeader = kEnhanced;
    shortHeader.replace(4, 4, U32(40));
    EXPECT_EQ(message(shortHeader), kEmfFailed);
    EXPECT_EQ(message(Enhanced(U32(43) + U32(0) + kEnhancedEnd)), kEmfFailed);
    EXPECT_EQ(message(Enhanced(U32(43) + U32(0x1000) + kEnhancedEnd)), kEmfFailed);
    EXPECT_EQ(message(Enhanced(EnhancedPolygon16(0x40000000, 3) + kEnhancedEnd)), kEmfFailed);
    EXPECT_EQ(message(Enhanced(EnhancedPolygon16(4, 3) + kEnhancedEnd)), kEmfFailed);
    EXPECT_EQ(message(Enhanced(kEnhancedRectangle)), kEmfFailed);
    // A signature in its place but the wrong first record type.
    std::string notHeader = kEnhanced;
    notHeader.replace(0, 4, U32(43));
    EXPECT_EQ(message(notHeader), kEmfFailed);

    // Windows metafiles: a size beyond the file without an end record, a
    // record under 3 words, one past the end, a polygon with more points
    // than its record holds, the wrong header size or type.
    EXPECT_EQ(message(WindowsMetafile(kWindowsRectangle, 1)), kWmfFailed);
    EXPECT_EQ(message(WindowsMetafile(U32(2) + U16(0x041B) + kWindowsEnd)), kWmfFailed);
    EXPECT_EQ(message(WindowsMetafile(U32(400) + U16(0x041B) + kWindowsEnd)), kWmfFailed);
    EXPECT_EQ(message(WindowsMetafile(WindowsPolygon(9, 4) + kWindowsEnd)), kWmfFailed);
    std::string header = kWindows;
    header.replace(2, 2, U16(10));
    EXPECT_EQ(message(header), kWmfFailed);
    header = kWindows;
    header.replace(0, 2, U16(3));
    EXPECT_EQ(message(header), kWmfFailed);
    EXPECT_EQ(message(""), kWmfFailed);
    EXPECT_EQ(message("plain text, not a picture"), kWmfFailed);

    // Placeable metafiles: no units per inch, a broken metafile behind the
    // header, a header cut short.
    EXPECT_EQ(message(Placeable(0, 0, 300, 200, 0, kWindows)), kApmFailed);
    EXPECT_EQ(message(Placeable(0, 0, 300, 200, 96, WindowsMetafile(kWindowsRectangle, 5))), kApmFailed);
    EXPECT_EQ(message(Placeable(0, 0, 300, 200, 96, kWindows).substr(0, 21)), kApmFailed);
}

// Every file cut short gives a message: the declared sizes pass the bytes.
TEST(MetafileLayout, EveryCutIsRefused) {
    const std::string files[] = {kEnhanced, kWindows, Placeable(0, 0, 300, 200, 96, kWindows)};
    for (const std::string& file : files) {
        for (size_t length = 0; length < file.size(); ++length) {
            EXPECT_FALSE(Examine(file.substr(0, length)).status.ok()) << length << " of " << file.size();
        }
    }
}

// A front end with a metafile player that records what it was given, draws
// a red pixel at the top left, and reports the bounds it was told to.
class PlayingHost : public test::MessageRecorder {
public:
    bool PlaysMetafiles() const override { return true; }
    std::unique_ptr<SystemMetafile> LoadMetafileThroughSystem(const MetafileBytes& metafile) override {
        ++loads;
        given = metafile;
        givenBytes.assign(reinterpret_cast<const char*>(metafile.data), metafile.size);
        if (refuse) return nullptr;
        return std::make_unique<Played>(*this);
    }

    bool refuse = false;
    bool playFails = false;
    std::optional<MetafileBounds> bounds = MetafileBounds{7, 5};
    int loads = 0;
    MetafileBytes given;
    std::string givenBytes;
    bool canvasWasWhite = false;

private:
    class Played final : public SystemMetafile {
    public:
        explicit Played(PlayingHost& host) : host_(host) {}
        std::optional<MetafileBounds> HeaderBounds() override { return host_.bounds; }
        bool PlayInto(ImageCanvas& canvas) override {
            host_.canvasWasWhite = canvas.bitsPerPixel() == 24;
            for (size_t i = 0; i < canvas.byteCount(); ++i) host_.canvasWasWhite &= canvas.bits()[i] == 0xFF;
            uint8_t* topLeft = canvas.Row(canvas.height() - 1);
            topLeft[0] = 0, topLeft[1] = 0, topLeft[2] = 0xFF;
            return !host_.playFails;
        }

    private:
        PlayingHost& host_;
    };
};

class MetafileReader : public test::ReaderTest {};

TEST_F(MetafileReader, ThePlayedPictureFillsAWhiteCanvasOfTheBoundsSize) {
    const std::string files[] = {kEnhanced, kWindows, Placeable(0, 0, 1500, 1000, 1200, kWindows)};
    for (const std::string& file : files) {
        PlayingHost host;
        const auto picture = LoadBytes(file, "drawing.wmf", LoadOptions(), host);
        ASSERT_TRUE(picture.ok()) << picture.message();
        EXPECT_EQ(host.loads, 1);
        EXPECT_TRUE(host.canvasWasWhite);
        EXPECT_EQ(picture.canvas->width(), 7);
        EXPECT_EQ(picture.canvas->height(), 5);
        EXPECT_EQ(picture.canvas->bitsPerPixel(), 24);
        EXPECT_EQ(picture.image.width, 7);
        EXPECT_EQ(picture.image.height, 5);
        EXPECT_EQ(picture.image.fileBitDepth, 24);
        EXPECT_EQ(test::PixelOf(picture, 0, 0), (std::array<int, 3>{255, 0, 0}));
        EXPECT_EQ(test::PixelOf(picture, 6, 4), (std::array<int, 3>{255, 255, 255}));
        EXPECT_EQ(host.messages, "");
    }
    // The extension does not choose the kind: the signature does.
    PlayingHost host;
    EXPECT_TRUE(LoadBytes(Placeable(0, 0, 1500, 1000, 1200, kWindows), "drawing.emf", LoadOptions(), host).ok());
    EXPECT_EQ(host.given.kind, MetafileKind::kPlaceable);
    EXPECT_EQ(host.givenBytes, kWindows);
    EXPECT_EQ(host.given.xExtent, 3175);
    EXPECT_EQ(host.given.yExtent, 2116);
}

TEST_F(MetafileReader, AWrongChecksumShowsTheInformationBoxAndLoads) {
    PlayingHost host;
    const auto picture = LoadBytes(Placeable(0, 0, 300, 200, 96, kWindows, 0x0100), "odd.wmf", LoadOptions(), host);
    EXPECT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(host.messages, "LPM: Placeable metafile checksum mismatch|");
}

TEST_F(MetafileReader, TheSystemsFailuresAndBadBounds) {
    const auto load = [&](PlayingHost& host, const std::string& file) {
        return LoadBytes(file, "drawing.wmf", LoadOptions(), host).message();
    };
    {
        PlayingHost host;
        host.refuse = true;
        EXPECT_EQ(load(host, kEnhanced), kEmfFailed);
        EXPECT_EQ(load(host, Placeable(0, 0, 30, 20, 96, kWindows)), kApmFailed);
        EXPECT_EQ(load(host, kWindows), kWmfFailed);
    }
    {
        PlayingHost host;
        host.bounds.reset();
        EXPECT_EQ(load(host, kEnhanced), "Unable to load Metafile Header!");
    }
    {
        PlayingHost host;
        host.playFails = true;
        EXPECT_EQ(load(host, kWindows), kWmfFailed);
    }
    for (const MetafileBounds bounds : {MetafileBounds{0, 5}, MetafileBounds{7, 0}, MetafileBounds{-7, 5},
                                        MetafileBounds{7, -2147483647 - 1}}) {
        PlayingHost host;
        host.bounds = bounds;
        EXPECT_EQ(load(host, kEnhanced), "Invalid Width/Height found!") << bounds.right << " " << bounds.bottom;
    }
    // An unsound file never reaches the system.
    PlayingHost host;
    EXPECT_EQ(load(host, kEnhanced.substr(0, 100)), kEmfFailed);
    EXPECT_EQ(host.loads, 0);
    EXPECT_EQ(test::LoadPicture(folder_.File("missing.wmf")).message(), "Unable to open file!");
}

// A few bytes can describe a picture of any size: bounds past the pixel gate
// give the message and cost nothing.
TEST_F(MetafileReader, HugeBoundsPassThePixelGateFirst) {
    PlayingHost host;
    host.bounds = MetafileBounds{2147483647, 2147483647};
    std::string message;
    long growth = test::PeakMemoryGrowthKb([&] { message = LoadBytes(kEnhanced, "huge.emf", LoadOptions(), host).message(); });
    EXPECT_EQ(message, "Invalid Width/Height found!");
    EXPECT_LT(growth, test::kSmallFileGrowthLimitKb);
    // Inside the gate the canvas is made, however small the file.
    test::ScopedPixelByteLimit limit(4 << 20);
    host.bounds = MetafileBounds{1200, 1100};
    EXPECT_TRUE(LoadBytes(kEnhanced, "large.emf", LoadOptions(), host).ok());
    host.bounds = MetafileBounds{1200, 1200};
    EXPECT_EQ(LoadBytes(kEnhanced, "larger.emf", LoadOptions(), host).message(), "Invalid Width/Height found!");
}

TEST_F(MetafileReader, WithoutAMetafilePlayerTheToolSaysSo) {
    for (const std::string& file : {kEnhanced, kWindows, Placeable(0, 0, 30, 20, 96, kWindows)}) {
        EXPECT_EQ(LoadBytes(file, "drawing.wmf").message(), kNoMetafilePlayer);
    }
    // Unsound files are named as such all the same.
    EXPECT_EQ(LoadBytes(kEnhanced.substr(0, 90), "cut.emf").message(), kEmfFailed);
    // The wrong checksum is told here too before the message.
    test::MessageRecorder recorder;
    EXPECT_EQ(LoadBytes(Placeable(0, 0, 30, 20, 96, kWindows, 1), "odd.wmf", LoadOptions(), recorder).message(),
              kNoMetafilePlayer);
    EXPECT_EQ(recorder.messages, "LPM: Placeable metafile checksum mismatch|");
}

// The EPS binary header: magic, PostScript, metafile and TIFF sections
// (offset, length each), checksum 0xFFFF; then the PostScript and the
// metafile.
std::string EpsWithMetafile(const std::string& metafile, uint32_t lengthShift = 0) {
    const std::string postscript = "%!PS-Adobe-3.0 EPSF-3.0\n%%EOF\n";
    const uint32_t size = static_cast<uint32_t>(postscript.size());
    return std::string("\xC5\xD0\xD3\xC6") + U32(30) + U32(size) + U32(30 + size) +
           U32(static_cast<uint32_t>(metafile.size()) + lengthShift) + U32(0) + U32(0) + U16(0xFFFF) + postscript +
           metafile;
}

TEST_F(MetafileReader, AnEpsMetafilePreviewIsPlayedTheSameWay) {
    PlayingHost host;
    const auto picture = LoadBytes(EpsWithMetafile(kWindows), "drawing.eps", LoadOptions(), host);
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(host.given.kind, MetafileKind::kWindows);
    EXPECT_EQ(host.givenBytes, kWindows);
    EXPECT_EQ(test::PixelOf(picture, 0, 0), (std::array<int, 3>{255, 0, 0}));
    // A preview that passes the end of the file, or is not a metafile.
    EXPECT_EQ(LoadBytes(EpsWithMetafile(kWindows, 1), "beyond.eps", LoadOptions(), host).message(), kWmfFailed);
    EXPECT_EQ(LoadBytes(EpsWithMetafile("not a metafile"), "broken.eps", LoadOptions(), host).message(), kWmfFailed);
    EXPECT_EQ(host.loads, 1);
    // Without a player.
    EXPECT_EQ(LoadBytes(EpsWithMetafile(kWindows), "drawing.eps").message(), kNoMetafilePlayer);
}

}  // namespace
}  // namespace marbleye
