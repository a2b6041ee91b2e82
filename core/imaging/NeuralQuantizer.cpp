#include "imaging/NeuralQuantizer.h"

#include <algorithm>
#include <cstdlib>

namespace marbleye::quantize {

namespace {

constexpr int kCycles = 100;
constexpr int kNetBiasShift = 4;  // colour values are kept with 4 extra bits
constexpr int kIntBiasShift = 16;
constexpr int kIntBias = 1 << kIntBiasShift;
constexpr int kGammaShift = 10;
constexpr int kBetaShift = 10;
constexpr int kBeta = kIntBias >> kBetaShift;                       // 1/1024
constexpr int kBetaGamma = kIntBias << (kGammaShift - kBetaShift);  // beta x gamma
constexpr int kInitialRadius = 256 >> 3;                            // 32 neurons
constexpr int kRadiusBiasShift = 6;
constexpr int kRadiusBias = 1 << kRadiusBiasShift;
constexpr int kRadiusDecrement = 30;
constexpr int kAlphaBiasShift = 10;
constexpr int kInitialAlpha = 1 << kAlphaBiasShift;
constexpr int kRadBiasShift = 8;
constexpr int kRadBias = 1 << kRadBiasShift;
constexpr int kAlphaRadBiasShift = kAlphaBiasShift + kRadBiasShift;
constexpr int kAlphaRadBias = 1 << kAlphaRadBiasShift;
constexpr int kPrimes[4] = {499, 491, 487, 503};

}  // namespace

NeuralQuantizer::NeuralQuantizer(const uint8_t* pixels, size_t length, int samplingFactor)
    : pixels_(pixels), length_(length), samplingFactor_(samplingFactor) {
    for (int i = 0; i < kNeurons; ++i) {
        const int start = (i << (kNetBiasShift + 8)) / kNeurons;
        network_[i] = {start, start, start, 0};
        frequency_[i] = kIntBias / kNeurons;
        bias_[i] = 0;
    }
}

// Finds the closest neuron (and, with the bias for rarely chosen neurons, the
// winner), updating frequencies and biases on the way.
void NeuralQuantizer::Contest(int b, int g, int r, int& biased) {
    int bestDistance = INT32_MAX, bestBiasedDistance = INT32_MAX;
    int best = -1;
    biased = -1;
    for (int i = 0; i < kNeurons; ++i) {
        const auto& n = network_[i];
        const int distance = std::abs(n[0] - b) + std::abs(n[1] - g) + std::abs(n[2] - r);
        if (distance < bestDistance) bestDistance = distance, best = i;
        const int biasedDistance = distance - (bias_[i] >> (kIntBiasShift - kNetBiasShift));
        if (biasedDistance < bestBiasedDistance) bestBiasedDistance = biasedDistance, biased = i;
        const int betaFrequency = frequency_[i] >> kBetaShift;
        frequency_[i] -= betaFrequency;
        bias_[i] += betaFrequency << kGammaShift;
    }
    frequency_[best] += kBeta;
    bias_[best] -= kBetaGamma;
}

void NeuralQuantizer::AlterSingle(int alpha, int i, int b, int g, int r) {
    auto& n = network_[i];
    n[0] -= (alpha * (n[0] - b)) / kInitialAlpha;
    n[1] -= (alpha * (n[1] - g)) / kInitialAlpha;
    n[2] -= (alpha * (n[2] - r)) / kInitialAlpha;
}

void NeuralQuantizer::AlterNeighbours(int radius, int i, int b, int g, int r) {
    const int low = std::max(i - radius, -1);
    const int high = std::min(i + radius, kNeurons);
    const auto pull = [&](int j, int a) {
        auto& n = network_[j];
        n[0] -= (a * (n[0] - b)) / kAlphaRadBias;
        n[1] -= (a * (n[1] - g)) / kAlphaRadBias;
        n[2] -= (a * (n[2] - r)) / kAlphaRadBias;
    };
    for (int up = i + 1, down = i - 1, m = 1; up < high || down > low; ++up, --down) {
        const int a = radiusPower_[m++];
        if (up < high) pull(up, a);
        if (down > low) pull(down, a);
    }
}

void NeuralQuantizer::Learn() {
    const int alphaDecrement = 30 + (samplingFactor_ - 1) / 3;
    const size_t samplePixels = length_ / (3 * static_cast<size_t>(samplingFactor_));
    const size_t delta = std::max<size_t>(samplePixels / kCycles, 1);
    int alpha = kInitialAlpha;
    int radius = kInitialRadius * kRadiusBias;
    int rad = radius >> kRadiusBiasShift;
    if (rad <= 1) rad = 0;
    const auto setRadiusPower = [&] {
        for (int i = 0; i < rad; ++i) radiusPower_[i] = alpha * (((rad * rad - i * i) * kRadBias) / (rad * rad));
    };
    setRadiusPower();

    size_t step = 3 * static_cast<size_t>(kPrimes[3]);
    for (int prime : {kPrimes[0], kPrimes[1], kPrimes[2]}) {
        if (length_ % prime != 0) {
            step = 3 * static_cast<size_t>(prime);
            break;
        }
    }
    // The buffer is read as whole byte triples; a length that is no multiple
    // of 3 (row padding) leaves its last bytes out.
    const size_t usable = length_ - length_ % 3;
    if (usable == 0) return;
    size_t position = 0;
    for (size_t i = 0; i < samplePixels;) {
        const int b = pixels_[position] << kNetBiasShift;
        const int g = pixels_[position + 1] << kNetBiasShift;
        const int r = pixels_[position + 2] << kNetBiasShift;
        int winner;
        Contest(b, g, r, winner);
        AlterSingle(alpha, winner, b, g, r);
        if (rad) AlterNeighbours(rad, winner, b, g, r);
        position += step;
        if (position >= usable) position %= usable;
        ++i;
        if (i % delta == 0) {
            alpha -= alpha / alphaDecrement;
            radius -= radius / kRadiusDecrement;
            rad = radius >> kRadiusBiasShift;
            if (rad <= 1) rad = 0;
            setRadiusPower();
        }
    }
}

void NeuralQuantizer::Finish(Palette256& palette) {
    for (int i = 0; i < kNeurons; ++i) {
        for (int c = 0; c < 3; ++c) network_[i][c] >>= kNetBiasShift;
        network_[i][3] = i;
        palette[i * 3] = static_cast<uint8_t>(std::clamp(network_[i][2], 0, 255));
        palette[i * 3 + 1] = static_cast<uint8_t>(std::clamp(network_[i][1], 0, 255));
        palette[i * 3 + 2] = static_cast<uint8_t>(std::clamp(network_[i][0], 0, 255));
    }
    BuildIndex();
}

// Sorts the network by green and records where each green value starts.
void NeuralQuantizer::BuildIndex() {
    int previousGreen = 0, start = 0;
    for (int i = 0; i < kNeurons; ++i) {
        int smallest = i;
        for (int j = i + 1; j < kNeurons; ++j) {
            if (network_[j][1] < network_[smallest][1]) smallest = j;
        }
        std::swap(network_[i], network_[smallest]);
        const int green = std::clamp(network_[i][1], 0, 255);
        if (green != previousGreen) {
            greenIndex_[previousGreen] = (start + i) >> 1;
            for (int j = previousGreen + 1; j < green; ++j) greenIndex_[j] = i;
            previousGreen = green;
            start = i;
        }
    }
    greenIndex_[previousGreen] = (start + kNeurons - 1) >> 1;
    for (int j = previousGreen + 1; j < 256; ++j) greenIndex_[j] = kNeurons - 1;
}

uint8_t NeuralQuantizer::Search(int blue, int green, int red) const {
    int bestDistance = 1000;
    int best = 0;
    int up = greenIndex_[green];
    int down = up - 1;
    while (up < kNeurons || down >= 0) {
        if (up < kNeurons) {
            const auto& n = network_[up];
            int distance = n[1] - green;
            if (distance >= bestDistance) {
                up = kNeurons;
            } else {
                ++up;
                distance = std::abs(distance) + std::abs(n[0] - blue);
                if (distance < bestDistance) {
                    distance += std::abs(n[2] - red);
                    if (distance < bestDistance) bestDistance = distance, best = n[3];
                }
            }
        }
        if (down >= 0) {
            const auto& n = network_[down];
            int distance = green - n[1];
            if (distance >= bestDistance) {
                down = -1;
            } else {
                --down;
                distance = std::abs(distance) + std::abs(n[0] - blue);
                if (distance < bestDistance) {
                    distance += std::abs(n[2] - red);
                    if (distance < bestDistance) bestDistance = distance, best = n[3];
                }
            }
        }
    }
    return static_cast<uint8_t>(best);
}

}  // namespace marbleye::quantize
