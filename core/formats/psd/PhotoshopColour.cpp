#include "formats/psd/PhotoshopColour.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace marbleye {

namespace {

// The D50 white that Photoshop's Lab refers to.
constexpr double kWhiteX = 0.96422, kWhiteY = 1.0, kWhiteZ = 0.82521;

// The inverse of Lab's cube-root companding.
double LabInverse(double t) {
    constexpr double kDelta = 6.0 / 29.0;
    return t > kDelta ? t * t * t : 3.0 * kDelta * kDelta * (t - 4.0 / 29.0);
}

// Linear light to an sRGB byte, rounded to the nearest value.
uint8_t SrgbByte(double linear) {
    linear = std::clamp(linear, 0.0, 1.0);
    const double encoded = linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
    return static_cast<uint8_t>(std::clamp(encoded * 255.0 + 0.5, 0.0, 255.0));
}

}  // namespace

std::array<uint8_t, 3> LabToRgb(uint8_t lightness, uint8_t a, uint8_t b) {
    const double l = lightness * 100.0 / 255.0;
    const double fy = (l + 16.0) / 116.0;
    const double fx = fy + (a - 128) / 500.0;
    const double fz = fy - (b - 128) / 200.0;
    const double x = kWhiteX * LabInverse(fx), y = kWhiteY * LabInverse(fy), z = kWhiteZ * LabInverse(fz);
    // XYZ (D50) to linear sRGB, with the Bradford adaptation from D50 to D65
    // folded into the matrix.
    const double red = 3.1338561 * x - 1.6168667 * y - 0.4906146 * z;
    const double green = -0.9787684 * x + 1.9161415 * y + 0.0334540 * z;
    const double blue = 0.0719453 * x - 0.2289914 * y + 1.4052427 * z;
    return {SrgbByte(red), SrgbByte(green), SrgbByte(blue)};
}

uint8_t FloatSampleToByte(const uint8_t* bigEndian) {
    const uint32_t bits = (uint32_t{bigEndian[0]} << 24) | (uint32_t{bigEndian[1]} << 16) |
                          (uint32_t{bigEndian[2]} << 8) | bigEndian[3];
    float value;
    std::memcpy(&value, &bits, sizeof value);
    if (!(value > 0.0f)) return 0;  // negative, zero and not-a-number
    if (value >= 1.0f) return 255;
    return static_cast<uint8_t>(value * 255.0f + 0.5f);
}

}  // namespace marbleye
