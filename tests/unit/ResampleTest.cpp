#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "canvas/PixelLimits.h"
#include "common/Host.h"
#include "imaging/ContributionTable.h"
#include "imaging/Resample.h"
#include "imaging/ResampleKernels.h"

namespace marbleye {
namespace {

// Every byte random, the unused fourth one too.
PixelBuffer Noise(int32_t width, int32_t height, uint32_t seed) {
    PixelBuffer pixels = PixelBuffer::Allocate(width, height, 32);
    std::minstd_rand random(seed);
    for (size_t i = 0; i < pixels.byteCount(); ++i) pixels.data()[i] = static_cast<uint8_t>(random() >> 8);
    return pixels;
}

PixelBuffer Constant(int32_t width, int32_t height, uint8_t blue, uint8_t green, uint8_t red) {
    PixelBuffer pixels = PixelBuffer::Allocate(width, height, 32);
    for (size_t i = 0; i < pixels.byteCount(); i += 4) {
        pixels.data()[i] = blue, pixels.data()[i + 1] = green, pixels.data()[i + 2] = red;
    }
    return pixels;
}

const uint8_t* At(const PixelBuffer& pixels, int32_t x, int32_t y) { return pixels.Row(y) + x * 4; }

std::vector<uint8_t> Bytes(const PixelBuffer& pixels) {
    return std::vector<uint8_t>(pixels.data(), pixels.data() + pixels.byteCount());
}

// The weights of one axis straight from the description of the method, one
// position at a time; single precision where the method says so.
struct Taps {
    int32_t left = 0;
    std::vector<float> weights;
};
std::vector<Taps> NaiveTaps(const ResampleFilter& filter, int32_t sourceSize, int32_t destinationSize) {
    const float scale = float(destinationSize) / float(sourceSize);
    const float factor = std::min(scale, 1.0f);
    const float reach = filter.halfWidth() / factor;
    const int32_t window = 2 * int32_t(std::ceil(reach)) + 1;
    std::vector<Taps> axis(destinationSize);
    for (int32_t i = 0; i < destinationSize; ++i) {
        const float centre = float(i) / scale;
        int32_t left = std::max(0, int32_t(std::floor(centre - reach)));
        const int32_t right = std::min(sourceSize - 1, int32_t(std::ceil(centre + reach)));
        if (right - left + 1 > window) ++left;
        float sum = 0;
        for (int32_t j = left; j <= right; ++j) {
            axis[i].weights.push_back(float(factor * filter.Evaluate(factor * (centre - float(j)))));
            sum += axis[i].weights.back();
        }
        axis[i].left = left;
        for (float& w : axis[i].weights) w = sum > 0 ? w / sum : 0;
        if (sum <= 0) axis[i] = {std::clamp(int32_t(std::lround(centre)), 0, sourceSize - 1), {1.0f}};
    }
    return axis;
}

// One pass pixel by pixel and channel by channel, in long double.
PixelBuffer NaivePass(const ResampleFilter& filter, const PixelBuffer& from, int32_t w, int32_t h, bool horizontal) {
    PixelBuffer to = PixelBuffer::Allocate(w, h, 32);
    const std::vector<Taps> axis = NaiveTaps(filter, horizontal ? from.width() : from.height(), horizontal ? w : h);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const Taps& taps = axis[horizontal ? x : y];
            for (int32_t c = 0; c < 3; ++c) {
                long double sum = 0;
                for (size_t t = 0; t < taps.weights.size(); ++t) {
                    const int32_t j = taps.left + int32_t(t);
                    sum += (long double)taps.weights[t] * At(from, horizontal ? j : x, horizontal ? y : j)[c];
                }
                to.Row(y)[x * 4 + c] = uint8_t(int32_t(sum));
            }
        }
    }
    return to;
}

// Rows first, then columns; a pass of equal sizes is left out (the sizes
// are not both equal).
PixelBuffer NaiveTwoPass(const ResampleFilter& filter, const PixelBuffer& source, int32_t width, int32_t height) {
    if (source.width() == width) return NaivePass(filter, source, width, height, false);
    PixelBuffer between = NaivePass(filter, source, width, source.height(), true);
    return source.height() == height ? std::move(between) : NaivePass(filter, between, width, height, false);
}

struct CountingHost : Host {
    int32_t pumps = 0;
    void PumpOneMessage() override { ++pumps; }
};

const std::vector<ScaleFilterId> kFilters = {ScaleFilterId::kBox, ScaleFilterId::kBilinear, ScaleFilterId::kGaussian,
                                             ScaleFilterId::kHamming, ScaleFilterId::kBlackman};

TEST(ResampleFilters, FollowTheirFormulasAndVanishBeyondTheirHalfWidth) {
    EXPECT_EQ(BoxFilter().Evaluate(0.5f), 1.0);
    EXPECT_EQ(BoxFilter().Evaluate(-0.51f), 0.0);
    EXPECT_NEAR(BilinearFilter().Evaluate(-0.25f), 0.75, 1e-12);
    EXPECT_EQ(BilinearFilter().Evaluate(1.0f), 0.0);
    EXPECT_NEAR(GaussianFilter().Evaluate(0.0f), 0.398942280, 1e-8);
    EXPECT_NEAR(GaussianFilter().Evaluate(2.0f), 0.053990967, 1e-8);
    EXPECT_EQ(GaussianFilter().Evaluate(3.01f), 0.0);
    EXPECT_NEAR(HammingFilter().Evaluate(0.0f), 1.0, 1e-12);
    EXPECT_NEAR(HammingFilter().Evaluate(0.25f), 0.54 * std::sqrt(0.5) / 0.785398163, 1e-7);  // cos(pi/2) = 0
    EXPECT_EQ(HammingFilter().Evaluate(0.6f), 0.0);
    EXPECT_NEAR(BlackmanFilter().Evaluate(0.25f), 0.42 - 0.08, 1e-7);  // N - 1 = 1: cos(pi/2), cos(pi)
    EXPECT_NEAR(BlackmanFilter().Evaluate(0.5f), 0.0, 1e-7);
    EXPECT_EQ(FilterOf(ScaleFilterId::kFastAndDirty), nullptr);
    EXPECT_EQ(FilterOf(ScaleFilterId::kGaussian)->halfWidth(), 3.0f);
}

TEST(ContributionTable, GaussianEnlargementHasSevenTapsCutAndRenormalisedAtTheBorder) {
    const std::optional<ContributionTable> table = ContributionTable::Build(GaussianFilter(), 10, 25);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->windowSize(), 7);
    // Position 0 sits on source 0: taps 0..3 of exp(-j^2 / 2), divided by their sum.
    const double sum = 1 + std::exp(-0.5) + std::exp(-2.0) + std::exp(-4.5);
    EXPECT_EQ((*table)[0].left, 0);
    EXPECT_EQ((*table)[0].right, 3);
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(table->Weights(0)[j], std::exp(-j * j / 2.0) / sum, 1e-6) << j;
    // Position 11 is centred on 4.4: floor(1.4) .. ceil(7.4) is 8 taps, so the leftmost one goes.
    EXPECT_EQ((*table)[11].left, 2);
    EXPECT_EQ((*table)[11].right, 8);
}

TEST(ContributionTable, ShrinkingWidensTheKernelAndMatchesAPlainDoubleComputation) {
    for (ScaleFilterId id : kFilters) {
        for (auto [from, to] : {std::pair{10, 4}, {37, 12}, {9, 23}}) {
            const ResampleFilter& filter = *FilterOf(id);
            const std::optional<ContributionTable> table = ContributionTable::Build(filter, from, to);
            ASSERT_TRUE(table);
            const double scale = double(to) / from, factor = std::min(scale, 1.0), reach = filter.halfWidth() / factor;
            for (int32_t i = 0; i < to; ++i) {
                const Contribution& record = (*table)[i];
                double sum = 0;
                auto kernel = [&](int32_t j) { return filter.Evaluate(float(factor * (i / scale - j))); };
                for (int32_t j = record.left; j <= record.right; ++j) sum += kernel(j);
                for (int32_t j = record.left; j <= record.right; ++j) {
                    const double expected = sum > 0 ? kernel(j) / sum : 1.0;
                    EXPECT_NEAR(table->Weights(i)[j - record.left], expected, 2e-6) << int(id) << " " << i;
                }
                EXPECT_LE(record.right - record.left + 1, 2 * int(std::ceil(reach)) + 1);
                EXPECT_GE(record.left, std::max(0, int(std::floor(i / scale - reach))));
                EXPECT_EQ(record.right, std::min(from - 1, int(std::ceil(i / scale + reach))));
            }
        }
    }
}

TEST(ContributionTable, BoundsTheRoundingInDoubleOnlyWhereTinyWeightsMakeItInexact) {
    const std::optional<ContributionTable> box = ContributionTable::Build(BoxFilter(), 12, 6);
    for (int32_t i = 0; i < 6; ++i) EXPECT_EQ((*box)[i].roundingBound, 0.0) << i;
    // Shrunk by 4, the Blackman window ends at |x| = 0.5 exactly, where the
    // kernel is 0 but for the rounding of its cosines.
    const std::optional<ContributionTable> blackman = ContributionTable::Build(BlackmanFilter(), 24, 6);
    EXPECT_GT(blackman->Weights(1)[0], 0.0f);
    EXPECT_LT(blackman->Weights(1)[0], 0x1p-21f);
    EXPECT_GT((*blackman)[1].roundingBound, 0.0);
    EXPECT_LT((*blackman)[1].roundingBound, 1e-11);
    EXPECT_TRUE(MayTruncateOtherwise(3.0 - 1e-14, 1e-12));
    EXPECT_TRUE(MayTruncateOtherwise(3.0 + 1e-14, 1e-12));
    EXPECT_FALSE(MayTruncateOtherwise(3.0 - 1e-11, 1e-12));
    EXPECT_FALSE(MayTruncateOtherwise(1e-15, 1e-12)) << "both sides of 0 truncate to 0";
    EXPECT_FALSE(MayTruncateOtherwise(-1e-15, 1e-12));
    EXPECT_FALSE(MayTruncateOtherwise(3.0, 0.0)) << "a bound of 0: the sum is exact";
}

TEST(TwoPassScale, GivesTheBytesOfTheColumnByColumnLongDoubleDefinitionWithEveryKernel) {
    std::vector<const ResampleKernels*> kernels = {&PlainKernels()};
    if (VectorKernels()) kernels.push_back(VectorKernels());
    const PixelBuffer source = Noise(24, 17, 5);
    for (ScaleFilterId id : kFilters) {
        for (auto [w, h] : {std::pair{7, 5}, {6, 4}, {12, 51}, {61, 40}, {24, 45}, {50, 17}, {9, 3}, {70, 2}}) {
            const PixelBuffer expected = NaiveTwoPass(*FilterOf(id), source, w, h);
            for (const ResampleKernels* k : kernels) {
                PixelBuffer result = PixelBuffer::Allocate(w, h, 32);
                ASSERT_TRUE(TwoPassScaleWith(*k, *FilterOf(id), source, result, nullptr));
                EXPECT_EQ(Bytes(result), Bytes(expected)) << int(id) << " " << w << "x" << h;
            }
        }
    }
}

TEST(TwoPassScale, EqualSizesCopyWithoutFilteringAndSkipThatPass) {
    const PixelBuffer source = Noise(31, 19, 9);
    for (ScaleFilterId id : kFilters) {
        PixelBuffer same = PixelBuffer::Allocate(31, 19, 32);
        ASSERT_TRUE(Resample(id, source, same, nullptr));
        for (int32_t y = 0; y < 19; ++y) {
            for (int32_t x = 0; x < 31; ++x) ASSERT_EQ(std::memcmp(At(same, x, y), At(source, x, y), 3), 0);
        }
    }
    // At scale 1 the Gaussian still blurs, so filtering the rows of a
    // height-only change would show: the columns must come from the vertical
    // pass alone.
    const GaussianFilter gaussian;
    PixelBuffer taller = PixelBuffer::Allocate(31, 40, 32);
    ASSERT_TRUE(TwoPassScale(gaussian, source, taller, nullptr));
    EXPECT_EQ(Bytes(taller), Bytes(NaiveTwoPass(gaussian, source, 31, 40)));
    const std::vector<Taps> identity = NaiveTaps(gaussian, 31, 31);
    EXPECT_GT(identity[15].weights.size(), 1u) << "the blur this test relies on";
}

TEST(TwoPassScale, BoxEnlargementTakesSourcePixelsAndShrinkingByTwoAveragesThree) {
    const PixelBuffer source = Noise(6, 5, 11);
    for (int32_t factor : {3, 5}) {
        PixelBuffer large = PixelBuffer::Allocate(6 * factor, 5 * factor, 32);
        ASSERT_TRUE(Resample(ScaleFilterId::kBox, source, large, nullptr));
        for (int32_t y = 0; y < large.height(); ++y) {
            for (int32_t x = 0; x < large.width(); ++x) {
                const uint8_t* from =
                    At(source, std::min(5, (x + factor / 2) / factor), std::min(4, (y + factor / 2) / factor));
                ASSERT_EQ(std::memcmp(At(large, x, y), from, 3), 0) << factor << ": " << x << "," << y;
            }
        }
    }
    // Position i is centred on source 2i with a reach of 1 on both sides,
    // both ends included: 2i - 1, 2i and 2i + 1 weigh a third each, and the
    // first position has only 0 and 1.
    const PixelBuffer row = Noise(12, 1, 13);
    PixelBuffer half = PixelBuffer::Allocate(6, 1, 32);
    ASSERT_TRUE(Resample(ScaleFilterId::kBox, row, half, nullptr));
    for (int32_t c = 0; c < 3; ++c) {
        EXPECT_EQ(At(half, 0, 0)[c], (At(row, 0, 0)[c] + At(row, 1, 0)[c]) / 2);
        for (int32_t x = 1; x < 6; ++x) {
            const int32_t sum = At(row, 2 * x - 1, 0)[c] + At(row, 2 * x, 0)[c] + At(row, 2 * x + 1, 0)[c];
            EXPECT_EQ(At(half, x, 0)[c], sum / 3) << x << " " << c;
        }
    }
}

// Normalised float weights add up to 1 within a float step either way; where
// they fall short, a constant comes out one lower after truncation, in each
// pass that filters.
TEST(TwoPassScale, KeepsAConstantPictureWithinOneBelowPerPassAndNeverBlackAtTheFarBorders) {
    const PixelBuffer grey = Constant(7, 6, 200, 120, 37);
    for (ScaleFilterId id : kFilters) {
        for (auto [w, h] : {std::pair{21, 18}, {35, 30}, {3, 2}, {16, 13}, {7, 40}, {2, 6}}) {
            const int32_t passes = (w != 7) + (h != 6);
            PixelBuffer result = PixelBuffer::Allocate(w, h, 32);
            ASSERT_TRUE(Resample(id, grey, result, nullptr));
            for (int32_t y = 0; y < h; ++y) {
                for (int32_t x = 0; x < w; ++x) {
                    for (int32_t c = 0; c < 3; ++c) {
                        const int32_t below = At(grey, 0, 0)[c] - At(result, x, y)[c];
                        ASSERT_TRUE(below >= 0 && below <= passes)
                            << int(id) << " " << w << "x" << h << " at " << x << "," << y << ": " << below;
                    }
                }
            }
        }
    }
    // Without the nearest pixel, the last position of a 3x enlargement by a
    // kernel of half width 0.5 reaches no source pixel at all.
    const std::optional<ContributionTable> table = ContributionTable::Build(BoxFilter(), 4, 12);
    EXPECT_EQ((*table)[11].left, 3);
    EXPECT_EQ((*table)[11].right, 3);
    EXPECT_EQ(table->Weights(11)[0], 1.0f);
}

TEST(TwoPassScale, LeavesTheFourthByteAndPumpsPerRowThenPerColumn) {
    const PixelBuffer source = Noise(13, 11, 17);
    for (auto [w, h, pumps] : {std::tuple{13, 11, 0}, {13, 30, 13}, {5, 11, 11}, {29, 7, 11 + 29}, {4, 20, 11 + 4}}) {
        PixelBuffer result = PixelBuffer::Allocate(w, h, 32);
        for (size_t i = 3; i < result.byteCount(); i += 4) result.data()[i] = 0xA5;
        CountingHost host;
        ASSERT_TRUE(Resample(ScaleFilterId::kHamming, source, result, &host));
        EXPECT_EQ(host.pumps, pumps) << w << "x" << h;
        for (size_t i = 3; i < result.byteCount(); i += 4) ASSERT_EQ(result.data()[i], 0xA5) << i;
    }
}

TEST(TwoPassScale, FailsLeavingTheDestinationAloneWithoutTheWindowOfRows) {
    const PixelBuffer source = Noise(10, 100, 19);
    PixelBuffer result = Noise(100, 10, 23);
    const std::vector<uint8_t> before = Bytes(result);
    const size_t saved = PixelByteLimit();
    // Bilinear from 100 rows to 10 spans 21 rows: 100 x 21 pixels of 4 bytes.
    SetPixelByteLimit(8000);
    EXPECT_FALSE(Resample(ScaleFilterId::kBilinear, source, result, nullptr));
    SetPixelByteLimit(saved);
    EXPECT_EQ(Bytes(result), before);
}

TEST(FastAndDirty, CopiesThePixelsAtTheRunningFloatSums) {
    // Each source pixel names its own column and row.
    PixelBuffer source = PixelBuffer::Allocate(300, 7, 32);
    for (int32_t y = 0; y < 7; ++y) {
        for (int32_t x = 0; x < 300; ++x) {
            uint8_t* pixel = source.Row(y) + x * 4;
            pixel[0] = uint8_t(x), pixel[1] = uint8_t(x >> 8), pixel[2] = uint8_t(y);
        }
    }
    for (auto [w, h] : {std::pair{7, 3}, {299, 7}, {131, 20}, {1000, 9}}) {
        PixelBuffer result = PixelBuffer::Allocate(w, h, 32);
        ASSERT_TRUE(Resample(ScaleFilterId::kFastAndDirty, source, result, nullptr));
        EXPECT_EQ(std::memcmp(At(result, 0, 0), At(source, 0, 0), 3), 0);
        std::vector<int32_t> columns, rows;
        for (float sum = 0; int32_t(columns.size()) < w; sum += 300.0f / float(w)) columns.push_back(int32_t(sum));
        for (float sum = 0; int32_t(rows.size()) < h; sum += 7.0f / float(h)) rows.push_back(int32_t(sum));
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                ASSERT_EQ(At(result, x, y)[0] + 256 * At(result, x, y)[1], columns[x]) << w << ": " << x;
                ASSERT_EQ(At(result, x, y)[2], rows[y]) << h << ": " << y;
            }
        }
    }
}

TEST(FastAndDirty, StaysOnTheLastPixelWhenTheFloatSumsOvershoot) {
    // 8193 steps of 1/8194 add up to 1 in single precision: one past the
    // only column, and past the only row.
    const PixelBuffer source = Constant(1, 1, 9, 8, 7);
    for (auto [w, h] : {std::pair{8194, 1}, {1, 8194}}) {
        PixelBuffer result = PixelBuffer::Allocate(w, h, 32);
        ResampleFastAndDirty(source, result);
        EXPECT_EQ(std::memcmp(At(result, w - 1, h - 1), At(source, 0, 0), 3), 0);
    }
}

}  // namespace
}  // namespace marbleye
