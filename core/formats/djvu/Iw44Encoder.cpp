#include "formats/djvu/Iw44Encoder.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "canvas/PixelLimits.h"
#include "formats/djvu/Iw44Wavelet.h"
#include "formats/djvu/ZpEncoder.h"

namespace marbleye::djvu {

namespace {

constexpr int32_t kBlockSide = 32;
constexpr int32_t kBlockSize = kBlockSide * kBlockSide;
constexpr int32_t kBandCount = 10;
// Samples enter the transform with six fractional bits.
constexpr int32_t kSampleShift = 6;
// Coefficients are coded once their step has fallen below this.
constexpr int32_t kLargestCodedStep = 0x8000;
constexpr uint8_t kMajorVersion = 1;
constexpr uint8_t kMinorVersion = 2;
constexpr uint8_t kGreyFlag = 0x80;
// Chroma decoded at full resolution rather than reconstructed at half size
// and enlarged; the low bits give the chroma delay.
constexpr uint8_t kChromaAtFullSize = 0x80;
constexpr int32_t kLongestChromaDelay = 0x7F;

struct Band {
    int32_t firstBucket;
    int32_t bucketCount;
};
// The buckets of 16 coefficients that make up each band, coarse to fine.
constexpr std::array<Band, kBandCount> kBands = {
    {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 4}, {8, 4}, {12, 4}, {16, 16}, {32, 16}, {48, 16}}};

// The starting quantiser steps: the low band coefficient by coefficient
// (the picture's mean, then the horizontal, vertical and diagonal details of
// scales 16 and 8), then bands 1 to 9.
constexpr std::array<int32_t, 16> kFirstLowSteps = {0x004000, 0x008000, 0x008000, 0x010000, 0x010000, 0x010000,
                                                    0x010000, 0x010000, 0x010000, 0x010000, 0x010000, 0x010000,
                                                    0x020000, 0x020000, 0x020000, 0x020000};
constexpr std::array<int32_t, kBandCount> kFirstBandSteps = {0,        0x020000, 0x020000, 0x040000, 0x040000,
                                                             0x040000, 0x080000, 0x040000, 0x040000, 0x080000};

// What the decoder knows of a coefficient (or, or-ed, of a bucket) before a
// slice codes it.
enum State : uint8_t {
    kNotCoded = 1,     // its step is not yet, or no longer, in the coded range
    kSignificant = 2,  // nonzero already: the slice refines it
    kBecomes = 4,      // zero so far and at least the step: the slice makes it significant
    kUnknown = 8,      // zero so far: the slice says whether it stays zero
};

bool StepIsCoded(int32_t step) { return step > 0 && step < kLargestCodedStep; }

class ComponentCoder {
public:
    ComponentCoder(std::vector<int16_t> coefficients, int32_t blockCount)
        : original_(std::move(coefficients)), decoded_(original_.size(), 0), blockCount_(blockCount) {}

    bool finished() const { return finished_; }

    void CodeSlice(ZpEncoder& zp) {
        if (finished_) return;
        if (SliceHasSteps()) {
            for (int32_t block = 0; block < blockCount_; ++block) CodeBlock(zp, block);
        }
        bandSteps_[band_] >>= 1;
        if (band_ == 0) {
            for (int32_t& step : lowSteps_) step >>= 1;
        }
        if (++band_ == kBandCount) {
            band_ = 0;
            finished_ = bandSteps_[kBandCount - 1] == 0;
        }
    }

private:
    bool SliceHasSteps() const {
        if (band_ > 0) return StepIsCoded(bandSteps_[band_]);
        return std::any_of(lowSteps_.begin(), lowSteps_.end(), StepIsCoded);
    }

    int32_t Step(int32_t coefficient) const { return band_ == 0 ? lowSteps_[coefficient] : bandSteps_[band_]; }

    void CodeBlock(ZpEncoder& zp, int32_t block) {
        const Band band = kBands[band_];
        const int16_t* original = original_.data() + static_cast<size_t>(block) * kBlockSize + band.firstBucket * 16;
        int16_t* decoded = decoded_.data() + static_cast<size_t>(block) * kBlockSize;
        int16_t* bandDecoded = decoded + band.firstBucket * 16;

        std::array<uint8_t, 256> states{};
        std::array<uint8_t, 16> bucketStates{};
        uint8_t blockState = 0;
        for (int32_t bucket = 0; bucket < band.bucketCount; ++bucket) {
            uint8_t bucketState = 0;
            for (int32_t i = 0; i < 16; ++i) {
                const int32_t k = bucket * 16 + i;
                const int32_t step = Step(i);
                uint8_t state = kUnknown;
                if (band_ == 0 && !StepIsCoded(step)) {
                    state = kNotCoded;
                } else if (bandDecoded[k] != 0) {
                    state = kSignificant;
                } else if (std::abs(original[k]) >= step) {
                    state = kBecomes | kUnknown;
                }
                states[k] = state;
                bucketState |= state;
            }
            bucketStates[bucket] = bucketState;
            blockState |= bucketState;
        }

        // Whether anything becomes significant in the block: said outright
        // only for the large bands of a block that has no significant
        // coefficient in them yet.
        bool announced = band.bucketCount < 16 || (blockState & kSignificant);
        if (!announced && (blockState & kUnknown)) {
            announced = (blockState & kBecomes) != 0;
            zp.Encode(announced, rootContext_);
        }
        if (announced) {
            for (int32_t bucket = 0; bucket < band.bucketCount; ++bucket) {
                if (!(bucketStates[bucket] & kUnknown)) continue;
                // The bucket's parent: the four coefficients at four times
                // its number, in the coarser level of the same block.
                int32_t context = 0;
                if (band_ > 0) {
                    const int16_t* parent = decoded + (band.firstBucket + bucket) * 4;
                    context = (parent[0] != 0) + (parent[1] != 0) + (parent[2] != 0);
                    if (context < 3 && parent[3] != 0) ++context;
                }
                if (blockState & kSignificant) context |= 4;
                zp.Encode((bucketStates[bucket] & kBecomes) != 0, bucketContexts_[band_][context]);
            }
            for (int32_t bucket = 0; bucket < band.bucketCount; ++bucket) {
                if (bucketStates[bucket] & kBecomes) {
                    CodeNewCoefficients(zp, bucket, states, bucketStates, original, bandDecoded);
                }
            }
        }
        if (blockState & kSignificant) RefineCoefficients(zp, band, states, bucketStates, original, bandDecoded);
    }

    void CodeNewCoefficients(ZpEncoder& zp, int32_t bucket, const std::array<uint8_t, 256>& states,
                             const std::array<uint8_t, 16>& bucketStates, const int16_t* original,
                             int16_t* decoded) {
        const uint8_t* state = states.data() + bucket * 16;
        // The context is the number of candidates in the bucket (at most 7),
        // counted down as they are coded and cleared by a significant one.
        auto candidate = [](uint8_t s) { return (s & kUnknown) != 0; };
        int32_t undecided = static_cast<int32_t>(std::count_if(state, state + 16, candidate));
        const int32_t activeFlag = (bucketStates[bucket] & kSignificant) ? 8 : 0;
        for (int32_t i = 0; i < 16; ++i) {
            if (!(state[i] & kUnknown)) continue;
            const int32_t k = bucket * 16 + i;
            const bool becomes = (state[i] & kBecomes) != 0;
            zp.Encode(becomes, startContexts_[std::min(undecided, 7) | activeFlag]);
            if (becomes) {
                const bool negative = original[k] < 0;
                zp.EncodeRaw(negative);
                const int32_t step = Step(i);
                const int32_t half = step >> 1;
                const int32_t value = step + half - (half >> 2);
                decoded[k] = static_cast<int16_t>(negative ? -value : value);
                undecided = 0;
            } else if (undecided > 0) {
                --undecided;
            }
        }
    }

    // One more bit of every coefficient that was significant before the
    // slice: whether it lies in the upper or lower half of its interval.
    void RefineCoefficients(ZpEncoder& zp, Band band, const std::array<uint8_t, 256>& states,
                            const std::array<uint8_t, 16>& bucketStates, const int16_t* original, int16_t* decoded) {
        for (int32_t bucket = 0; bucket < band.bucketCount; ++bucket) {
            if (!(bucketStates[bucket] & kSignificant)) continue;
            for (int32_t i = 0; i < 16; ++i) {
                const int32_t k = bucket * 16 + i;
                if (!(states[k] & kSignificant)) continue;
                const int32_t step = Step(i);
                const int32_t actual = std::abs(original[k]);
                int32_t value = std::abs(decoded[k]);
                bool upper;
                if (value <= 3 * step) {
                    value += step >> 2;
                    upper = actual >= value;
                    zp.Encode(upper, mantissaContext_);
                } else {
                    upper = actual >= value;
                    zp.EncodeRaw(upper);
                }
                value = upper ? value + (step >> 1) : value - step + (step >> 1);
                decoded[k] = static_cast<int16_t>(decoded[k] < 0 ? -value : value);
            }
        }
    }

    std::vector<int16_t> original_;
    std::vector<int16_t> decoded_;
    int32_t blockCount_;
    std::array<int32_t, 16> lowSteps_ = kFirstLowSteps;
    std::array<int32_t, kBandCount> bandSteps_ = kFirstBandSteps;
    int32_t band_ = 0;
    bool finished_ = false;
    std::array<uint8_t, 16> startContexts_{};
    std::array<std::array<uint8_t, 8>, kBandCount> bucketContexts_{};
    uint8_t mantissaContext_ = 0;
    uint8_t rootContext_ = 0;
};

struct BlockGrid {
    int32_t columns;
    int32_t rows;
    int32_t count() const { return columns * rows; }
};

// The wavelet coefficients of one plane, block by block in the coder's order.
// Positions past the picture's right and bottom edges stay zero: the decoder
// ignores them.
std::optional<std::vector<int16_t>> Coefficients(const std::vector<int8_t>& samples, int32_t width, int32_t height,
                                                 BlockGrid grid) {
    const int32_t paddedWidth = grid.columns * kBlockSide;
    const int32_t paddedHeight = grid.rows * kBlockSide;
    if (!CheckedLayout(paddedWidth, paddedHeight, 32)) return std::nullopt;
    std::vector<int32_t> plane(static_cast<size_t>(paddedWidth) * paddedHeight, 0);
    for (int32_t y = 0; y < height; ++y) {
        const int8_t* from = samples.data() + static_cast<size_t>(y) * width;
        int32_t* to = plane.data() + static_cast<size_t>(y) * paddedWidth;
        for (int32_t x = 0; x < width; ++x) to[x] = int32_t{from[x]} * (1 << kSampleShift);
    }
    ForwardWavelet(plane.data(), width, height, paddedWidth);

    std::array<int32_t, kBlockSize> positions;
    for (int32_t i = 0; i < kBlockSize; ++i) positions[i] = BlockPosition(i);
    std::vector<int16_t> coefficients(static_cast<size_t>(grid.count()) * kBlockSize, 0);
    int16_t* out = coefficients.data();
    for (int32_t blockRow = 0; blockRow < grid.rows; ++blockRow) {
        for (int32_t blockColumn = 0; blockColumn < grid.columns; ++blockColumn, out += kBlockSize) {
            const int32_t* corner = plane.data() + static_cast<size_t>(blockRow) * kBlockSide * paddedWidth +
                                    blockColumn * kBlockSide;
            for (int32_t i = 0; i < kBlockSize; ++i) {
                const int32_t position = positions[i];
                const int32_t value = corner[(position / kBlockSide) * paddedWidth + position % kBlockSide];
                out[i] = static_cast<int16_t>(std::clamp(value, -32767, 32767));
            }
        }
    }
    return coefficients;
}

void AppendHeader(std::vector<uint8_t>& chunk, int32_t serial, int32_t slices, const Iw44Picture& picture,
                  int32_t chromaDelay) {
    chunk.push_back(static_cast<uint8_t>(serial));
    chunk.push_back(static_cast<uint8_t>(slices));
    if (serial != 0) return;
    chunk.push_back(picture.grey() ? kMajorVersion | kGreyFlag : kMajorVersion);
    chunk.push_back(kMinorVersion);
    for (int32_t side : {picture.width, picture.height}) {
        chunk.push_back(static_cast<uint8_t>(side >> 8));
        chunk.push_back(static_cast<uint8_t>(side));
    }
    chunk.push_back(static_cast<uint8_t>(kChromaAtFullSize | chromaDelay));
}

}  // namespace

std::optional<std::vector<std::vector<uint8_t>>> EncodeIw44(const Iw44Picture& picture, const Iw44Options& options,
                                                            Host& host) {
    const BlockGrid grid{(picture.width + kBlockSide - 1) / kBlockSide, (picture.height + kBlockSide - 1) / kBlockSide};
    const int32_t componentCount = picture.grey() ? 1 : 3;
    // Each component keeps its coefficients and what the decoder has of
    // them, 16 bits each.
    if (!CheckedLayout(int64_t{grid.columns} * kBlockSide * componentCount, int64_t{grid.rows} * kBlockSide, 32)) {
        return std::nullopt;
    }
    std::vector<ComponentCoder> coders;
    coders.reserve(componentCount);
    const std::vector<int8_t>* planes[] = {&picture.luma, &picture.blueChroma, &picture.redChroma};
    for (int32_t component = 0; component < componentCount; ++component) {
        auto coefficients = Coefficients(*planes[component], picture.width, picture.height, grid);
        if (!coefficients) return std::nullopt;
        coders.emplace_back(std::move(*coefficients), grid.count());
    }

    const int32_t chromaDelay = std::clamp(options.chromaDelay, 0, kLongestChromaDelay);
    int32_t totalSlices = 0;
    for (int32_t slices : options.slicesPerChunk) totalSlices += slices;
    ProgressScope progress(host, totalSlices);
    std::vector<std::vector<uint8_t>> chunks;
    int32_t slice = 0;
    for (int32_t slices : options.slicesPerChunk) {
        if (coders.front().finished()) break;
        ZpEncoder zp;
        int32_t coded = 0;
        for (; coded < slices && !coders.front().finished(); ++coded, ++slice) {
            coders.front().CodeSlice(zp);
            if (slice >= chromaDelay) {
                for (size_t chroma = 1; chroma < coders.size(); ++chroma) coders[chroma].CodeSlice(zp);
            }
            progress.Step();
        }
        std::vector<uint8_t> chunk;
        AppendHeader(chunk, static_cast<int32_t>(chunks.size()), coded, picture, chromaDelay);
        const std::vector<uint8_t> data = zp.Finish();
        chunk.insert(chunk.end(), data.begin(), data.end());
        chunks.push_back(std::move(chunk));
    }
    return chunks;
}

}  // namespace marbleye::djvu
