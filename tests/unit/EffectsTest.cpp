#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "canvas/ImageCanvas.h"
#include "canvas/PixelLimits.h"
#include "common/Host.h"
#include "imaging/Effects.h"
#include "unit/EffectPictures.h"

namespace marbleye {
namespace {

using test::Applied;
using test::MakeCanvas;
using test::Picture;
using test::RandomPicture;
using test::Read;

class CountingHost : public Host {
public:
    void BeginProgress(int32_t total) override { steps = total, ++begun; }
    void StepProgress() override { ++done; }
    void EndProgress() override { ++ended; }
    int32_t steps = 0, done = 0, begun = 0, ended = 0;
};

// The five effects with sample parameters, as the front end calls them.
struct EffectCase {
    const char* name;
    bool (*apply)(ImageCanvas&, Host*);
};
const EffectCase kEffects[] = {
    {"blur", [](ImageCanvas& c, Host* h) { return BlurImage(c, 60, 3, 7, h); }},
    {"pixelize", [](ImageCanvas& c, Host* h) { return PixelizeImage(c, 4, h); }},
    {"sharpen", [](ImageCanvas& c, Host* h) { return SharpenImage(c, 40, h); }},
    {"seamless", [](ImageCanvas& c, Host* h) { return SeamlessImage(c, h); }},
    {"buttonize", [](ImageCanvas& c, Host* h) { return ButtonizeImage(c, h); }},
};

TEST(Effects, OnPalettedAnd32BitCanvasesGiveThe24BitResultKeepingThePalette) {
    Palette256 palette{};
    for (size_t i = 0; i < palette.size(); ++i) palette[i] = static_cast<uint8_t>(i * 37 + i / 3);
    for (const EffectCase& effect : kEffects) {
        ImageCanvas indexed;
        ASSERT_TRUE(indexed.Create(23, 17, 8, 0, palette));
        for (size_t i = 0; i < indexed.byteCount(); ++i) indexed.bits()[i] = static_cast<uint8_t>(i * 7 % 251);
        ImageCanvas wide;
        MakeCanvas(RandomPicture(23, 17, 5), wide, 32);
        for (ImageCanvas* canvas : {&indexed, &wide}) {
            const PaletteBgr before = canvas->palette();
            const Picture expected = Applied(Read(*canvas), [&](ImageCanvas& c) { return effect.apply(c, nullptr); });
            ASSERT_TRUE(effect.apply(*canvas, nullptr)) << effect.name;
            EXPECT_EQ(canvas->bitsPerPixel(), 24) << effect.name;
            EXPECT_EQ(canvas->palette(), before) << effect.name;
            EXPECT_EQ(Read(*canvas), expected) << effect.name;
        }
    }
}

TEST(Effects, CountTheirProgressStepsAndEndIt) {
    const struct {
        const char* name;
        bool (*apply)(ImageCanvas&, Host*);
        int32_t steps;
    } cases[] = {
        {"blur 3 passes", [](ImageCanvas& c, Host* h) { return BlurImage(c, 60, 3, 7, h); }, 3 * 17},
        {"pixelize 4", [](ImageCanvas& c, Host* h) { return PixelizeImage(c, 4, h); }, 5},
        {"pixelize 17", [](ImageCanvas& c, Host* h) { return PixelizeImage(c, 17, h); }, 1},
        {"sharpen", [](ImageCanvas& c, Host* h) { return SharpenImage(c, 40, h); }, 17},
        {"seamless", [](ImageCanvas& c, Host* h) { return SeamlessImage(c, h); }, 17},
        {"buttonize", [](ImageCanvas& c, Host* h) { return ButtonizeImage(c, h); }, 200},
    };
    for (const auto& effect : cases) {
        ImageCanvas canvas;
        MakeCanvas(RandomPicture(23, 17, 5), canvas);
        CountingHost host;
        ASSERT_TRUE(effect.apply(canvas, &host)) << effect.name;
        EXPECT_EQ(host.steps, effect.steps) << effect.name;
        EXPECT_EQ(host.done, effect.steps) << effect.name;
        EXPECT_EQ(host.begun, 1) << effect.name;
        EXPECT_EQ(host.ended, 1) << effect.name;
    }
}

TEST(Effects, OnAnEmptyCanvasOrWithoutMemoryFailAndChangeNothing) {
    for (const EffectCase& effect : kEffects) {
        ImageCanvas empty;
        CountingHost host;
        EXPECT_FALSE(effect.apply(empty, &host)) << effect.name;
        EXPECT_FALSE(empty.valid());
        EXPECT_EQ(host.begun, 0) << effect.name;

        ImageCanvas indexed;
        ASSERT_TRUE(indexed.Create(64, 64, 8, 0x2A, GrayRamp()));
        const size_t limit = PixelByteLimit();
        SetPixelByteLimit(8192);  // below the 12 KiB of a 24-bit copy
        EXPECT_FALSE(effect.apply(indexed, nullptr)) << effect.name;
        SetPixelByteLimit(limit);
        EXPECT_EQ(indexed.bitsPerPixel(), 8) << effect.name;
        EXPECT_TRUE(std::all_of(indexed.bits(), indexed.bits() + indexed.byteCount(),
                                [](uint8_t b) { return b == 0x2A; }))
            << effect.name;
    }
}

TEST(Effects, ClampParametersToTheirDialogsRanges) {
    const Picture picture = RandomPicture(19, 11, 3);
    const auto blur = [&](int32_t r, int32_t n) {
        return Applied(picture, [&](ImageCanvas& c) { return BlurImage(c, r, n, 99, nullptr); });
    };
    EXPECT_EQ(blur(0, 1), blur(1, 1));
    EXPECT_EQ(blur(-5, 1), blur(1, 1));
    EXPECT_EQ(blur(100, 0), blur(100, 1));
    EXPECT_EQ(blur(100, -3), blur(100, 1));
    EXPECT_NE(blur(100, 1), blur(100, 2));
    const auto pixelize = [&](int32_t side) {
        return Applied(picture, [&](ImageCanvas& c) { return PixelizeImage(c, side, nullptr); });
    };
    EXPECT_EQ(pixelize(0), picture);
    EXPECT_EQ(pixelize(-8), picture);
    const Picture large = RandomPicture(70, 66, 9);
    const auto pixelizeLarge = [&](int32_t side) {
        return Applied(large, [&](ImageCanvas& c) { return PixelizeImage(c, side, nullptr); });
    };
    EXPECT_EQ(pixelizeLarge(1000), pixelizeLarge(64)) << "one block would give the average everywhere";
    const auto sharpen = [&](int32_t percent) {
        return Applied(picture, [&](ImageCanvas& c) { return SharpenImage(c, percent, nullptr); });
    };
    EXPECT_EQ(sharpen(0), sharpen(1));
    EXPECT_EQ(sharpen(-20), sharpen(1));
    EXPECT_NE(sharpen(1), sharpen(100));
}

// One blur pass straight from its definition: the 3x3 box with the picture's
// edge pixels repeated outwards, each byte blurred when its draw says so
// (every byte without a generator).
Picture BlurredOnce(const Picture& p, int32_t randomization, std::minstd_rand* random) {
    Picture out = p;
    for (int32_t y = 0; y < p.height; ++y) {
        for (int32_t x = 0; x < p.width; ++x) {
            for (int32_t c = 0; c < 3; ++c) {
                if (random && static_cast<int32_t>((*random)() % 100) > randomization) continue;
                int32_t sum = 0;
                for (int32_t dy = -1; dy <= 1; ++dy) {
                    for (int32_t dx = -1; dx <= 1; ++dx) {
                        sum += p.At(std::clamp(x + dx, 0, p.width - 1), std::clamp(y + dy, 0, p.height - 1), c);
                    }
                }
                out.At(x, y, c) = static_cast<uint8_t>(sum / 9);
            }
        }
    }
    return out;
}

TEST(BlurImage, AtFullRandomizationIsTheBoxWithRepeatedEdgesPassAfterPass) {
    const int32_t sizes[][2] = {{7, 5}, {1, 1}, {1, 6}, {6, 1}, {2, 2}, {13, 3}};
    for (const auto& size : sizes) {
        const Picture picture = RandomPicture(size[0], size[1], size[0] * 31 + size[1]);
        const Picture once = BlurredOnce(picture, 100, nullptr);
        EXPECT_EQ(Applied(picture, [](ImageCanvas& c) { return BlurImage(c, 100, 1, 1, nullptr); }), once)
            << size[0] << "x" << size[1];
        EXPECT_EQ(Applied(picture, [](ImageCanvas& c) { return BlurImage(c, 100, 3, 1, nullptr); }),
                  BlurredOnce(BlurredOnce(once, 100, nullptr), 100, nullptr))
            << size[0] << "x" << size[1];
    }
}

TEST(BlurImage, BlursTheBytesItsSeededDrawsChooseAndRepeatsWithTheSeed) {
    const Picture picture = RandomPicture(9, 4, 11);
    std::minstd_rand random(1234);
    const Picture expected = BlurredOnce(BlurredOnce(picture, 30, &random), 30, &random);
    const auto blur = [&](uint32_t seed) {
        return Applied(picture, [seed](ImageCanvas& c) { return BlurImage(c, 30, 2, seed, nullptr); });
    };
    EXPECT_EQ(blur(1234), expected);
    EXPECT_EQ(blur(1234), blur(1234));
    EXPECT_NE(blur(1235), expected);
}

TEST(BlurImage, AtRandomizationOneChangesFewBytes) {
    // A draw below 2 blurs, and a random picture's box differs from nearly
    // every byte: about 2% of the bytes change.
    const Picture picture = RandomPicture(64, 64, 21);
    const Picture blurred = Applied(picture, [](ImageCanvas& c) { return BlurImage(c, 1, 1, 5, nullptr); });
    size_t changed = 0;
    for (size_t i = 0; i < picture.bytes.size(); ++i) changed += picture.bytes[i] != blurred.bytes[i];
    EXPECT_GT(changed, picture.bytes.size() / 100);
    EXPECT_LT(changed, picture.bytes.size() * 3 / 100);
}

// Every pixel's block, found by its block number, averaged over the pixels
// with the same block number.
Picture PixelizedByBlockNumber(const Picture& p, int32_t side) {
    Picture out = p;
    for (int32_t y = 0; y < p.height; ++y) {
        for (int32_t x = 0; x < p.width; ++x) {
            for (int32_t c = 0; c < 3; ++c) {
                int32_t sum = 0, count = 0;
                for (int32_t v = 0; v < p.height; ++v) {
                    for (int32_t u = 0; u < p.width; ++u) {
                        if (u / side == x / side && v / side == y / side) sum += p.At(u, v, c), ++count;
                    }
                }
                out.At(x, y, c) = static_cast<uint8_t>(sum / count);
            }
        }
    }
    return out;
}

TEST(PixelizeImage, AveragesEachBlockIncludingTheShortBlocksAtTheFarEdges) {
    const Picture picture = RandomPicture(11, 7, 8);
    for (int32_t side : {4, 3, 2, 7}) {
        EXPECT_EQ(Applied(picture, [side](ImageCanvas& c) { return PixelizeImage(c, side, nullptr); }),
                  PixelizedByBlockNumber(picture, side))
            << side;
    }
}

TEST(PixelizeImage, LargerThanThePictureGivesItsAverageEverywhere) {
    const Picture picture = RandomPicture(13, 9, 4);
    int32_t sums[3] = {};
    for (size_t i = 0; i < picture.bytes.size(); ++i) sums[i % 3] += picture.bytes[i];
    for (int32_t side : {13, 64}) {
        const Picture out = Applied(picture, [side](ImageCanvas& c) { return PixelizeImage(c, side, nullptr); });
        for (size_t i = 0; i < out.bytes.size(); ++i) ASSERT_EQ(out.bytes[i], sums[i % 3] / (13 * 9)) << side;
    }
}

}  // namespace
}  // namespace marbleye
