#pragma once

#include <cstdint>

#include "canvas/PixelBuffer.h"

namespace marbleye {

class Host;

// The stored numbers of the scaling methods (settings "ScaleType",
// "ThumbScaleType"). Windows Default is no resampling at all: the display
// then uses the system's stretch.
enum class ScaleFilterId : int32_t {
    kWindowsDefault = 0,
    kFastAndDirty = 1,
    kBox = 2,
    kBilinear = 3,
    kGaussian = 4,
    kHamming = 5,
    kBlackman = 6,
};

// A resampling kernel: its weight at distance x (in source pixels at scale
// 1), zero beyond the half width.
class ResampleFilter {
public:
    explicit ResampleFilter(float halfWidth) : halfWidth_(halfWidth) {}
    virtual ~ResampleFilter() = default;

    virtual double Evaluate(float x) const = 0;
    float halfWidth() const { return halfWidth_; }

private:
    float halfWidth_;
};

class BoxFilter final : public ResampleFilter {
public:
    explicit BoxFilter(float halfWidth = 0.5f) : ResampleFilter(halfWidth) {}
    double Evaluate(float x) const override;
};

class BilinearFilter final : public ResampleFilter {
public:
    explicit BilinearFilter(float halfWidth = 1.0f) : ResampleFilter(halfWidth) {}
    double Evaluate(float x) const override;
};

class GaussianFilter final : public ResampleFilter {
public:
    explicit GaussianFilter(float halfWidth = 3.0f) : ResampleFilter(halfWidth) {}
    double Evaluate(float x) const override;
};

class HammingFilter final : public ResampleFilter {
public:
    explicit HammingFilter(float halfWidth = 0.5f) : ResampleFilter(halfWidth) {}
    double Evaluate(float x) const override;
};

class BlackmanFilter final : public ResampleFilter {
public:
    explicit BlackmanFilter(float halfWidth = 0.5f) : ResampleFilter(halfWidth) {}
    double Evaluate(float x) const override;
};

// The kernel of a filter method (Box to Blackman) at its standard half
// width; nullptr for Windows Default and Fast'n'Dirty, which have none.
const ResampleFilter* FilterOf(ScaleFilterId method);

// Source and destination are 32-bit buffers (bytes blue, green, red, unused;
// rows of width x 4 bytes, bottom-up as the canvas stores them). Only the
// first three bytes of each destination pixel are written.

// Each destination pixel copies the source pixel at the integer parts of two
// running single-precision sums of srcWidth / dstWidth and srcHeight /
// dstHeight.
void ResampleFastAndDirty(const PixelBuffer& source, PixelBuffer& destination);

// A horizontal pass into a dstWidth x srcHeight picture, then a vertical pass
// into the destination; a pass whose sizes are equal is a plain copy. (The
// rows of the horizontal pass are made as the vertical pass needs them, into
// a window of rows.) False when a working buffer cannot be had; the
// destination is then unchanged. The host, when given, has its message queue
// pumped after each row the horizontal pass makes and once per destination
// column over the vertical pass.
bool TwoPassScale(const ResampleFilter& filter, const PixelBuffer& source, PixelBuffer& destination, Host* host);

// Fast'n'Dirty or the two-pass scale with the method's filter. Windows
// Default is not a resampler and must not be asked for.
bool Resample(ScaleFilterId method, const PixelBuffer& source, PixelBuffer& destination, Host* host);

}  // namespace marbleye
