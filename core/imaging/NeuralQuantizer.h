#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "canvas/Palette.h"

namespace marbleye::quantize {

// The 1994 neural-network colour quantizer (Kohonen self-organising map of
// 256 neurons), written from the published description. Pixels are byte
// triples in blue, green, red order.
class NeuralQuantizer {
public:
    // samplingFactor 1 (best) to 30 (fastest).
    NeuralQuantizer(const uint8_t* pixels, size_t length, int samplingFactor);

    void Learn();
    // Ends learning: rounds the network and writes the palette in neuron order.
    void Finish(Palette256& palette);
    // The neuron nearest to a colour by the sum of absolute differences.
    uint8_t Search(int blue, int green, int red) const;

private:
    static constexpr int kNeurons = 256;
    void Contest(int b, int g, int r, int& biased);
    void AlterSingle(int alpha, int i, int b, int g, int r);
    void AlterNeighbours(int radius, int i, int b, int g, int r);
    void BuildIndex();

    const uint8_t* pixels_;
    size_t length_;
    int samplingFactor_;
    std::array<std::array<int, 4>, kNeurons> network_{};  // blue, green, red, original index
    std::array<int, kNeurons> bias_{};
    std::array<int, kNeurons> frequency_{};
    std::array<int, 32> radiusPower_{};
    std::array<int, 256> greenIndex_{};
};

}  // namespace marbleye::quantize
