#pragma once

#include <cmath>
#include <cstdint>

#include "imaging/ContributionTable.h"

namespace marbleye {

class Host;
class PixelBuffer;
class ResampleFilter;

// The inner loops of the two-pass scale over 32-bit pixels, whose first three
// bytes they compute. The method defines each sum tap by tap in extended
// precision; the kernels take it in double, which gives the same byte unless
// the sum lies within the record's rounding bound of a whole number (see
// Contribution::roundingBound). Such a pixel is taken again as defined, so
// every set of kernels gives the same bytes.
struct ResampleKernels {
    // One row of the horizontal pass: destination pixel x from the source
    // row through record x of the table.
    void (*blendRow)(const ContributionTable& table, const uint8_t* source, uint8_t* destination);
    // The same for two rows at once.
    void (*blendRowPair)(const ContributionTable& table, const uint8_t* const sources[2],
                         uint8_t* const destinations[2]);
    // One destination row of the vertical pass through one record:
    // rows[t] is source row record.left + t; sums has room for 4 x width
    // doubles.
    void (*blendColumns)(const Contribution& record, const float* weights, const uint8_t* const* rows, int32_t width,
                         double* sums, uint8_t* destination);
};

// Plain C++, for any processor.
const ResampleKernels& PlainKernels();
// Four doubles at once with AVX2 and FMA; nullptr when the processor has
// not got them.
const ResampleKernels* VectorKernels();

// True when a channel sum taken in double might truncate otherwise in
// extended precision. Truncation changes only at whole numbers; sums are
// never below minus a tiny amount, and truncation makes 0 of both sides of 0.
inline bool MayTruncateOtherwise(double sum, double roundingBound) {
    const int32_t nearest = static_cast<int32_t>(sum + 0.5);
    return roundingBound > 0 && nearest >= 1 && std::fabs(sum - nearest) <= roundingBound;
}

// TwoPassScale with the given kernels (it takes the fastest the processor
// has).
bool TwoPassScaleWith(const ResampleKernels& kernels, const ResampleFilter& filter, const PixelBuffer& source,
                      PixelBuffer& destination, Host* host);

}  // namespace marbleye
