#include "imaging/Resample.h"

#include <cmath>

namespace marbleye {

namespace {

// The constants are single precision; the kernels are evaluated in double.
constexpr float kPi = 3.1415927f;
constexpr float kTwoPi = 6.2831855f;

}  // namespace

double BoxFilter::Evaluate(float x) const { return std::fabs(x) <= halfWidth() ? 1.0 : 0.0; }

double BilinearFilter::Evaluate(float x) const {
    const float distance = std::fabs(x);
    return distance < halfWidth() ? halfWidth() - distance : 0.0;
}

double GaussianFilter::Evaluate(float x) const {
    if (std::fabs(x) > halfWidth()) return 0.0;
    return std::exp(-double(x) * x / 2.0) / std::sqrt(double(kTwoPi));
}

double HammingFilter::Evaluate(float x) const {
    if (std::fabs(x) > halfWidth()) return 0.0;
    const double sinc = x == 0.0f ? 1.0 : std::sin(double(kPi) * x) / (double(kPi) * x);
    return (0.54 + 0.46 * std::cos(double(kTwoPi) * x)) * sinc;
}

double BlackmanFilter::Evaluate(float x) const {
    if (std::fabs(x) > halfWidth()) return 0.0;
    const double span = 2.0 * halfWidth();  // N - 1 with N = 2W + 1
    return 0.42 + 0.5 * std::cos(double(kTwoPi) * x / span) + 0.08 * std::cos(2.0 * double(kTwoPi) * x / span);
}

const ResampleFilter* FilterOf(ScaleFilterId method) {
    static const BoxFilter box;
    static const BilinearFilter bilinear;
    static const GaussianFilter gaussian;
    static const HammingFilter hamming;
    static const BlackmanFilter blackman;
    switch (method) {
        case ScaleFilterId::kBox: return &box;
        case ScaleFilterId::kBilinear: return &bilinear;
        case ScaleFilterId::kGaussian: return &gaussian;
        case ScaleFilterId::kHamming: return &hamming;
        case ScaleFilterId::kBlackman: return &blackman;
        case ScaleFilterId::kWindowsDefault:
        case ScaleFilterId::kFastAndDirty: break;
    }
    return nullptr;
}

}  // namespace marbleye
