#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

namespace marbleye {

class ResampleFilter;

// What one destination position of an axis is made of: the source positions
// left..right, whose weights the table holds.
struct Contribution {
    int32_t left = 0;
    int32_t right = 0;
    // The part of left..right without zero weights at its ends; those taps
    // add nothing, so the sums in double leave them out.
    int32_t weightedLeft = 0;
    int32_t weightedRight = 0;
    // How far a sum of this record's products (weight x byte) taken in
    // double, in any order, can lie from the same sum taken in extended
    // precision. 0 when the double sum is exact: every weight is 0 or at
    // least 2^-21 and they add up to less than 2, so each product is a
    // multiple of 2^-44 and every partial sum stays below 2^9, within the 53
    // bits of a double.
    double roundingBound = 0;
};

// The weights of one axis, made once per pass. The numbers are single
// precision, as the method defines them.
class ContributionTable {
public:
    // Empty when memory cannot be had.
    static std::optional<ContributionTable> Build(const ResampleFilter& filter, int32_t sourceSize,
                                                  int32_t destinationSize);

    int32_t size() const { return size_; }
    // The number of weights each record has room for.
    int32_t windowSize() const { return windowSize_; }
    const Contribution& operator[](int32_t i) const { return records_[i]; }
    // The weights of source positions left..right of record i.
    const float* Weights(int32_t i) const { return weights_.get() + static_cast<size_t>(i) * windowSize_; }

private:
    ContributionTable() = default;

    int32_t size_ = 0;
    int32_t windowSize_ = 0;
    std::unique_ptr<Contribution[]> records_;
    std::unique_ptr<float[]> weights_;
};

}  // namespace marbleye
