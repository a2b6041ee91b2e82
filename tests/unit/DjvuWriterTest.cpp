#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "canvas/PixelLimits.h"
#include "formats/djvu/Djvu.h"
#include "formats/djvu/Iw44Wavelet.h"
#include "formats/djvu/ZpEncoder.h"
#include "formats/djvu/ZpTable.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using djvu::kZpStates;

// ---- The wavelet ----

// The inverse transform as the format describes it, level by level from the
// coarsest: first the columns, then the rows; along a line first the update
// of the even samples is taken back, then the prediction of the odd ones.
class ReferenceInverse {
public:
    static void Apply(std::vector<int32_t>& plane, int32_t width, int32_t height) {
        for (int32_t scale = 16; scale >= 1; scale /= 2) {
            for (int32_t x = 0; x < width; x += scale) {
                Line(plane, x, (height - 1) / scale + 1, scale * width);
            }
            for (int32_t y = 0; y < height; y += scale) {
                Line(plane, y * width, (width - 1) / scale + 1, scale);
            }
        }
    }

private:
    static void Line(std::vector<int32_t>& plane, int32_t first, int32_t count, int32_t step) {
        std::vector<int32_t> s(count);
        for (int32_t k = 0; k < count; ++k) s[k] = plane[first + k * step];
        const auto detail = [&](int32_t k) { return k < 0 || k >= count ? 0 : s[k]; };
        for (int32_t k = 0; k < count; k += 2) {
            const int32_t near = detail(k - 1) + detail(k + 1);
            const int32_t far = detail(k - 3) + detail(k + 3);
            s[k] -= (9 * near - far + 16) >> 5;
        }
        for (int32_t k = 1; k < count; k += 2) {
            if (k - 3 >= 0 && k + 3 < count) {
                s[k] += (9 * (s[k - 1] + s[k + 1]) - (s[k - 3] + s[k + 3]) + 8) >> 4;
            } else {
                // At the ends: the mean of the neighbours, the left one twice
                // when there is no right one.
                const int32_t right = k + 1 < count ? s[k + 1] : s[k - 1];
                s[k] += (s[k - 1] + right + 1) >> 1;
            }
        }
        for (int32_t k = 0; k < count; ++k) plane[first + k * step] = s[k];
    }
};

std::vector<int32_t> RandomPlane(int32_t width, int32_t height, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int32_t> sample(-128, 127);
    std::vector<int32_t> plane(static_cast<size_t>(width) * height);
    for (int32_t& value : plane) value = sample(random) * 64;
    return plane;
}

TEST(Iw44Wavelet, TheReferenceInverseRestoresEverySample) {
    const std::pair<int32_t, int32_t> sizes[] = {{1, 1},  {2, 1},   {1, 7},   {3, 517},
                                                 {517, 3}, {37, 45}, {64, 64}, {97, 33}};
    for (const auto& [width, height] : sizes) {
        const std::vector<int32_t> original = RandomPlane(width, height, static_cast<uint32_t>(width * 1000 + height));
        std::vector<int32_t> plane = original;
        djvu::ForwardWavelet(plane.data(), width, height, width);
        if (width * height > 8) {
            EXPECT_NE(plane, original) << width << "x" << height;
        }
        ReferenceInverse::Apply(plane, width, height);
        EXPECT_EQ(plane, original) << width << "x" << height;
    }
}

// A flat picture has no detail at any level: only the coarsest samples, at
// multiples of 32, keep a value.
TEST(Iw44Wavelet, AFlatPictureLeavesOnlyTheCoarsestSamples) {
    const int32_t width = 70, height = 45;
    std::vector<int32_t> plane(static_cast<size_t>(width) * height, -1792);
    djvu::ForwardWavelet(plane.data(), width, height, width);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const int32_t expected = x % 32 == 0 && y % 32 == 0 ? -1792 : 0;
            ASSERT_EQ(plane[y * width + x], expected) << x << "," << y;
        }
    }
}

// The four-tap prediction is exact on a straight line: a ramp leaves no
// detail at the finest level away from the ends, where the two-tap rule
// takes over.
TEST(Iw44Wavelet, ARampHasNoFineDetailAwayFromTheEnds) {
    const int32_t width = 64;
    std::vector<int32_t> plane(width);
    for (int32_t x = 0; x < width; ++x) plane[x] = x * 64;
    djvu::ForwardWavelet(plane.data(), width, 1, width);
    for (int32_t x = 3; x + 3 < width; x += 2) EXPECT_EQ(plane[x], 0) << x;
    EXPECT_NE(plane[width - 1], 0);
}

TEST(Iw44Wavelet, BlockPositionsCoverTheBlockCoarseLevelsFirst) {
    std::set<int32_t> seen;
    for (int32_t i = 0; i < 1024; ++i) seen.insert(djvu::BlockPosition(i));
    EXPECT_EQ(seen.size(), 1024u);
    EXPECT_EQ(*seen.begin(), 0);
    EXPECT_EQ(*seen.rbegin(), 1023);
    EXPECT_EQ(djvu::BlockPosition(0), 0);
    EXPECT_EQ(djvu::BlockPosition(1), 16);       // column 16: horizontal detail of scale 16
    EXPECT_EQ(djvu::BlockPosition(2), 16 * 32);  // row 16: vertical detail
    EXPECT_EQ(djvu::BlockPosition(3), 16 * 32 + 16);
    // The first 16 coefficients are the samples at multiples of 8, the
    // next 48 those at multiples of 4 that are not, and so on.
    for (int32_t i = 0; i < 1024; ++i) {
        const int32_t position = djvu::BlockPosition(i);
        const int32_t spacing = i < 16 ? 8 : i < 64 ? 4 : i < 256 ? 2 : 1;
        EXPECT_EQ(position % 32 % spacing, 0) << i;
        EXPECT_EQ(position / 32 % spacing, 0) << i;
        if (spacing < 8) {
            EXPECT_TRUE(position % 32 % (spacing * 2) != 0 || position / 32 % (spacing * 2) != 0) << i;
        }
    }
}

// ---- The ZP coder ----

// The decoding procedure of the format: a 16-bit interval register, the code
// register it is compared with, bits read one at a time (1 past the end).
class ZpReference {
public:
    explicit ZpReference(const std::vector<uint8_t>& data) : data_(data) {
        for (int i = 0; i < 16; ++i) code_ = (code_ << 1) | NextBit();
    }

    bool Decode(uint8_t& context) {
        const bool mps = context & 1;
        uint32_t z = a_ + kZpStates[context].probability;
        if (z < 0x8000 && z <= code_) {
            a_ = z;
            return mps;
        }
        z = std::min<uint32_t>(z, 0x6000 + ((z + a_) >> 2));
        if (z > code_) {
            context = kZpStates[context].afterLps;
            Lps(z);
            return !mps;
        }
        if (a_ >= kZpStates[context].mpsThreshold) context = kZpStates[context].afterMps;
        Mps(z);
        return mps;
    }

    bool DecodeRaw() {
        const uint32_t z = 0x8000 + ((3 * a_) >> 3);
        if (z > code_) {
            Lps(z);
            return true;
        }
        Mps(z);
        return false;
    }

private:
    void Lps(uint32_t z) {
        a_ += 0x10000 - z;
        code_ += 0x10000 - z;
        while (a_ >= 0x8000) Shift();
    }
    void Mps(uint32_t z) {
        a_ = z;
        Shift();
    }
    void Shift() {
        a_ = (a_ << 1) & 0xFFFF;
        code_ = ((code_ << 1) & 0xFFFF) | NextBit();
    }
    uint32_t NextBit() {
        const size_t byte = bitsRead_ / 8;
        const uint32_t bit = byte < data_.size() ? (data_[byte] >> (7 - bitsRead_ % 8)) & 1 : 1;
        ++bitsRead_;
        return bit;
    }

    const std::vector<uint8_t>& data_;
    size_t bitsRead_ = 0;
    uint32_t a_ = 0;
    uint32_t code_ = 0;
};

struct Symbol {
    int context;  // -1: a raw bit
    bool bit;
};

std::vector<Symbol> Source(size_t count, uint32_t seed) {
    std::mt19937 random(seed);
    // Contexts of very different skews, and raw bits among them.
    const double oneChance[] = {0.5, 0.02, 0.97, 0.3, 0.001};
    std::uniform_int_distribution<int> pick(-1, 4);
    std::uniform_real_distribution<double> uniform(0, 1);
    std::vector<Symbol> symbols(count);
    for (Symbol& symbol : symbols) {
        symbol.context = pick(random);
        symbol.bit = uniform(random) < (symbol.context < 0 ? 0.5 : oneChance[symbol.context]);
    }
    return symbols;
}

TEST(ZpEncoder, AnIndependentDecoderReadsEveryBitBack) {
    for (size_t count : {size_t{0}, size_t{1}, size_t{7}, size_t{1000}, size_t{200000}}) {
        const std::vector<Symbol> symbols = Source(count, static_cast<uint32_t>(count));
        djvu::ZpEncoder encoder;
        std::array<uint8_t, 5> contexts{};
        for (const Symbol& symbol : symbols) {
            if (symbol.context < 0) {
                encoder.EncodeRaw(symbol.bit);
            } else {
                encoder.Encode(symbol.bit, contexts[symbol.context]);
            }
        }
        const std::vector<uint8_t> bytes = encoder.Finish();
        ZpReference decoder(bytes);
        std::array<uint8_t, 5> decoderContexts{};
        for (size_t i = 0; i < symbols.size(); ++i) {
            const Symbol& symbol = symbols[i];
            const bool bit = symbol.context < 0 ? decoder.DecodeRaw() : decoder.Decode(decoderContexts[symbol.context]);
            ASSERT_EQ(bit, symbol.bit) << "symbol " << i << " of " << count;
        }
        EXPECT_EQ(contexts, decoderContexts);
    }
}

// The adaptation works: a context that is nearly always 0 costs a small
// fraction of a bit per symbol (its entropy is 0.08 bits at 1 %).
TEST(ZpEncoder, SkewedBitsCostLittle) {
    std::mt19937 random(7);
    std::bernoulli_distribution rare(0.01);
    djvu::ZpEncoder encoder;
    uint8_t context = 0;
    std::vector<bool> bits(100000);
    for (size_t i = 0; i < bits.size(); ++i) {
        bits[i] = rare(random);
        encoder.Encode(bits[i], context);
    }
    const std::vector<uint8_t> bytes = encoder.Finish();
    EXPECT_LT(bytes.size(), 100000u * 0.08 / 8 * 1.3);
    ZpReference decoder(bytes);
    uint8_t decoderContext = 0;
    for (size_t i = 0; i < bits.size(); ++i) ASSERT_EQ(decoder.Decode(decoderContext), bits[i]) << i;
}

// ---- The file ----

uint32_t Be32(const std::string& bytes, size_t at) {
    return uint32_t(uint8_t(bytes[at])) << 24 | uint32_t(uint8_t(bytes[at + 1])) << 16 |
           uint32_t(uint8_t(bytes[at + 2])) << 8 | uint8_t(bytes[at + 3]);
}

struct Chunk {
    std::string id;
    std::string data;
};

// The chunks of a FORM:DJVU file by the IFF layout: "AT&T", "FORM", length,
// type, then chunks of id, big-endian length and data padded to even length.
std::vector<Chunk> Chunks(const std::string& file) {
    std::vector<Chunk> chunks;
    EXPECT_EQ(file.substr(0, 8), "AT&TFORM");
    EXPECT_EQ(Be32(file, 8), file.size() - 12);
    EXPECT_EQ(file.substr(12, 4), "DJVU");
    for (size_t at = 16; at + 8 <= file.size();) {
        const uint32_t length = Be32(file, at + 4);
        chunks.push_back({file.substr(at, 4), file.substr(at + 8, length)});
        at += 8 + length + (length & 1);
    }
    return chunks;
}

int Byte(const std::string& data, size_t at) { return uint8_t(data.at(at)); }

test::RgbImage Greyed(test::RgbImage picture) {
    for (size_t i = 0; i < picture.rgb.size(); i += 3) picture.rgb[i] = picture.rgb[i + 2] = picture.rgb[i + 1];
    return picture;
}

class DjvuWriter : public ::testing::Test {
protected:
    std::string Written(const test::RgbImage& picture, const std::string& name) {
        ImageCanvas canvas;
        EXPECT_TRUE(test::CanvasFromRgb(picture, canvas));
        const std::string path = folder_.File(name);
        const Status status = WriteDjvu(path, canvas, QuietHost());
        EXPECT_TRUE(status.ok()) << status.message();
        return test::ReadFileBytes(path);
    }
    test::TempFolder folder_;
};

TEST_F(DjvuWriter, APageHoldsTheInfoAndTheBackgroundChunks) {
    for (const bool grey : {false, true}) {
        const test::RgbImage picture = grey ? Greyed(test::MakePattern(300, 7)) : test::MakePattern(300, 7);
        const std::vector<Chunk> chunks = Chunks(Written(picture, "page.djvu"));
        ASSERT_EQ(chunks.size(), 4u) << grey;
        EXPECT_EQ(chunks[0].id, "INFO");
        // 300 x 7, version 24, 100 dpi (little-endian), gamma 2.2, upright.
        EXPECT_EQ(chunks[0].data, std::string("\x01\x2C\x00\x07\x18\x00\x64\x00\x16\x01", 10));
        const int expectedSlices[] = {74, 15, 10};
        for (int serial = 0; serial < 3; ++serial) {
            const Chunk& chunk = chunks[serial + 1];
            EXPECT_EQ(chunk.id, "BG44");
            EXPECT_EQ(Byte(chunk.data, 0), serial);
            EXPECT_EQ(Byte(chunk.data, 1), expectedSlices[serial]);
        }
        // The first chunk says what the picture is: IW44 1.2, colour or
        // grey, its size, chroma at full size after 10 slices.
        const std::string& first = chunks[1].data;
        EXPECT_EQ(Byte(first, 2), grey ? 0x81 : 0x01);
        EXPECT_EQ(Byte(first, 3), 2);
        EXPECT_EQ(first.substr(4, 4), std::string("\x01\x2C\x00\x07", 4));
        EXPECT_EQ(Byte(first, 8), 0x8A);
    }
}

// A grey picture needs one component only: it takes much less than the same
// picture in colour.
TEST_F(DjvuWriter, AGreyPictureIsSmallerThanAColourOne) {
    const test::RgbImage colour = test::MakePattern(120, 90);
    const test::RgbImage grey = Greyed(colour);
    EXPECT_LT(Written(grey, "grey.djvu").size() * 3, Written(colour, "colour.djvu").size() * 2);
}

TEST_F(DjvuWriter, AFailedSaveLeavesTheOldFile) {
    const std::string path = folder_.File("old.djvu");
    test::WriteFileBytes(path, "old");
    ImageCanvas empty;
    EXPECT_EQ(WriteDjvu(path, empty, QuietHost()).message(), "Unable to open file for Saving! Aborting...");
    // The format stores sides in 16 bits.
    ImageCanvas wide;
    ASSERT_TRUE(test::CanvasFromRgb(test::MakePattern(65536, 1), wide));
    EXPECT_EQ(WriteDjvu(path, wide, QuietHost()).message(), "Unable to open file for Saving! Aborting...");
    EXPECT_EQ(test::ReadFileBytes(path), "old");

    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(test::MakePattern(4, 4), canvas));
    EXPECT_EQ(WriteDjvu(folder_.File("missing/out.djvu"), canvas, QuietHost()).message(),
              "Unable to open file for Saving! Aborting...");
}

// The coder's planes pass the pixel gate: a picture whose planes would pass
// the limit is refused before they are allocated.
TEST_F(DjvuWriter, PlanesPastThePixelLimitAreRefused) {
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(test::MakePattern(300, 200), canvas));
    const size_t limit = PixelByteLimit();
    SetPixelByteLimit(200000);
    const Status status = WriteDjvu(folder_.File("big.djvu"), canvas, QuietHost());
    SetPixelByteLimit(limit);
    EXPECT_EQ(status.message(), "Out of Memory!");
}

}  // namespace
}  // namespace marbleye
