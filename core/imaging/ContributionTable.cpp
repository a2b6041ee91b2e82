#include "imaging/ContributionTable.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <new>

#include "canvas/PixelLimits.h"
#include "imaging/Resample.h"

namespace marbleye {

namespace {

template <typename T>
std::unique_ptr<T[]> ZeroedArray(size_t count) {
    return std::unique_ptr<T[]>(new (std::nothrow) T[count]());
}

// See Contribution::roundingBound. A product of a float and a byte is exact
// in double. A sum of n of them taken in double, in any order, lies within
// n x 2^-53 x (the sum of their magnitudes) of the exact sum, in extended
// precision within n x 2^-64 of it; the bound is twice the two together.
double RoundingBound(const float* weights, int32_t count) {
    constexpr float kSmallestExactWeight = 0x1p-21f;
    bool exact = true;
    double magnitude = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (weights[i] != 0.0f && !(weights[i] >= kSmallestExactWeight)) exact = false;
        magnitude += std::fabs(weights[i]);
    }
    if (exact && magnitude < 2.0) return 0.0;
    return count * 0x1p-51 * 255.0 * magnitude;
}

void TrimZeroWeights(const float* weights, Contribution& record) {
    record.weightedLeft = record.left;
    record.weightedRight = record.right;
    while (record.weightedLeft < record.weightedRight && weights[record.weightedLeft - record.left] == 0.0f) {
        ++record.weightedLeft;
    }
    while (record.weightedRight > record.weightedLeft && weights[record.weightedRight - record.left] == 0.0f) {
        --record.weightedRight;
    }
}

}  // namespace

std::optional<ContributionTable> ContributionTable::Build(const ResampleFilter& filter, int32_t sourceSize,
                                                          int32_t destinationSize) {
    assert(sourceSize > 0 && destinationSize > 0);
    const float scale = static_cast<float>(destinationSize) / static_cast<float>(sourceSize);
    // Shrinking widens the kernel by the inverse scale and lowers it in
    // proportion, so that every source pixel is seen.
    const bool shrinking = scale < 1.0f;
    const float width = shrinking ? filter.halfWidth() / scale : filter.halfWidth();
    const float factor = shrinking ? scale : 1.0f;
    const double window = 2.0 * std::ceil(static_cast<double>(width)) + 1.0;
    // The table of a huge shrink is refused like a pixel block of its size.
    const double bytes = static_cast<double>(destinationSize) * (window * sizeof(float) + sizeof(Contribution));
    if (window > INT32_MAX || bytes > static_cast<double>(PixelByteLimit())) return std::nullopt;

    ContributionTable table;
    table.size_ = destinationSize;
    table.windowSize_ = static_cast<int32_t>(window);
    table.records_ = ZeroedArray<Contribution>(destinationSize);
    table.weights_ = ZeroedArray<float>(static_cast<size_t>(destinationSize) * table.windowSize_);
    if (!table.records_ || !table.weights_) return std::nullopt;

    for (int32_t i = 0; i < destinationSize; ++i) {
        const float centre = static_cast<float>(i) / scale;
        int32_t left = std::max(0, static_cast<int32_t>(std::floor(centre - width)));
        const int32_t right = std::min(sourceSize - 1, static_cast<int32_t>(std::ceil(centre + width)));
        if (right - left + 1 > table.windowSize_) ++left;
        assert(left <= right && right - left + 1 <= table.windowSize_);
        float* weights = table.weights_.get() + static_cast<size_t>(i) * table.windowSize_;
        float sum = 0.0f;
        for (int32_t j = left; j <= right; ++j) {
            weights[j - left] = static_cast<float>(factor * filter.Evaluate(factor * (centre - static_cast<float>(j))));
            sum += weights[j - left];
        }
        Contribution& record = table.records_[i];
        if (sum > 0.0f) {
            for (int32_t j = left; j <= right; ++j) weights[j - left] /= sum;
            record.left = left, record.right = right;
        } else {
            // Enlarged more than twice by a kernel of half width 0.5, the
            // positions past the reach of the last source pixel get no weight
            // at all; they take their nearest source pixel instead of black.
            std::fill(weights, weights + table.windowSize_, 0.0f);
            weights[0] = 1.0f;
            record.left = record.right = std::clamp(static_cast<int32_t>(std::lround(centre)), left, right);
        }
        TrimZeroWeights(weights, record);
        record.roundingBound = RoundingBound(weights, record.right - record.left + 1);
    }
    return table;
}

}  // namespace marbleye
