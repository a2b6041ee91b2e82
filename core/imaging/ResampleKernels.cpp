#include "imaging/ResampleKernels.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define MARBLEYE_HAS_VECTOR_KERNELS 1
#endif

namespace marbleye {

namespace {

constexpr int32_t kPixelBytes = 4;
constexpr int32_t kColourBytes = 3;

// Sums are truncated toward zero. Normalised weights add up to 1 within a few
// float steps, so a sum never reaches 256; a tiny negative one becomes 0.
template <typename Real>
uint8_t Truncated(Real sum) {
    return static_cast<uint8_t>(static_cast<int32_t>(sum));
}

// One destination pixel as the method defines it: the taps from left to
// right, each a weight times a byte, summed in extended precision. tapAt(t)
// is the source pixel of tap record.left + t.
template <typename TapAt>
void BlendDefined(const Contribution& record, const float* weights, TapAt tapAt, uint8_t* pixel) {
    for (int32_t channel = 0; channel < kColourBytes; ++channel) {
        long double sum = 0;
        for (int32_t t = 0; t <= record.right - record.left; ++t) {
            sum += static_cast<long double>(weights[t]) * tapAt(t)[channel];
        }
        pixel[channel] = Truncated(sum);
    }
}

// Along a row: first is the source pixel at record.left.
void BlendDefinedAcross(const Contribution& record, const float* weights, const uint8_t* first, uint8_t* pixel) {
    BlendDefined(record, weights, [first](int32_t t) { return first + t * kPixelBytes; }, pixel);
}

// Down a column: rows[t] is source row record.left + t, offset the pixel's.
void BlendDefinedDown(const Contribution& record, const float* weights, const uint8_t* const* rows, size_t offset,
                      uint8_t* pixel) {
    BlendDefined(record, weights, [rows, offset](int32_t t) { return rows[t] + offset; }, pixel);
}

void BlendPixelPlain(const Contribution& record, const float* weights, const uint8_t* row, uint8_t* pixel) {
    const float* weight = weights + (record.weightedLeft - record.left);
    const uint8_t* tap = row + static_cast<size_t>(record.weightedLeft) * kPixelBytes;
    double sums[kColourBytes] = {};
    for (int32_t j = record.weightedLeft; j <= record.weightedRight; ++j, ++weight, tap += kPixelBytes) {
        for (int32_t channel = 0; channel < kColourBytes; ++channel) sums[channel] += *weight * double(tap[channel]);
    }
    for (int32_t channel = 0; channel < kColourBytes; ++channel) {
        if (MayTruncateOtherwise(sums[channel], record.roundingBound)) {
            BlendDefinedAcross(record, weights, row + static_cast<size_t>(record.left) * kPixelBytes, pixel);
            return;
        }
        pixel[channel] = Truncated(sums[channel]);
    }
}

void BlendRowPlain(const ContributionTable& table, const uint8_t* source, uint8_t* destination) {
    for (int32_t x = 0; x < table.size(); ++x, destination += kPixelBytes) {
        BlendPixelPlain(table[x], table.Weights(x), source, destination);
    }
}

void BlendRowPairPlain(const ContributionTable& table, const uint8_t* const sources[2],
                       uint8_t* const destinations[2]) {
    BlendRowPlain(table, sources[0], destinations[0]);
    BlendRowPlain(table, sources[1], destinations[1]);
}

// The taps of the vertical pass go over the row in groups of up to this
// many source rows, each pixel's sum kept in a register meanwhile.
constexpr int32_t kRowsPerSweep = 4;

void BlendColumnsPlain(const Contribution& record, const float* weights, const uint8_t* const* rows, int32_t width,
                       double* sums, uint8_t* destination) {
    for (int32_t first = record.weightedLeft; first <= record.weightedRight; first += kRowsPerSweep) {
        const int32_t last = std::min(first + kRowsPerSweep - 1, record.weightedRight);
        for (size_t k = 0; k < static_cast<size_t>(width) * kPixelBytes; k += kPixelBytes) {
            for (int32_t channel = 0; channel < kColourBytes; ++channel) {
                double sum = first == record.weightedLeft ? 0.0 : sums[k + channel];
                for (int32_t j = first; j <= last; ++j) {
                    sum += weights[j - record.left] * double(rows[j - record.left][k + channel]);
                }
                sums[k + channel] = sum;
            }
        }
    }
    for (size_t k = 0; k < static_cast<size_t>(width) * kPixelBytes; k += kPixelBytes) {
        if (MayTruncateOtherwise(sums[k], record.roundingBound) ||
            MayTruncateOtherwise(sums[k + 1], record.roundingBound) ||
            MayTruncateOtherwise(sums[k + 2], record.roundingBound)) {
            BlendDefinedDown(record, weights, rows, k, destination + k);
            continue;
        }
        for (int32_t channel = 0; channel < kColourBytes; ++channel) {
            destination[k + channel] = Truncated(sums[k + channel]);
        }
    }
}

#ifdef MARBLEYE_HAS_VECTOR_KERNELS

#define MARBLEYE_VECTOR_TARGET __attribute__((target("avx2,fma")))

// One pixel's four bytes as four doubles.
MARBLEYE_VECTOR_TARGET inline __m256d Widened(const uint8_t* pixel) {
    int32_t bytes;
    std::memcpy(&bytes, pixel, sizeof(bytes));
    return _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(bytes)));
}

// Truncates four sums in [0, 256) and writes the first three as bytes.
MARBLEYE_VECTOR_TARGET inline void StoreColours(__m256d sums, uint8_t* pixel) {
    const __m128i ints = _mm256_cvttpd_epi32(sums);
    const int32_t bytes = _mm_cvtsi128_si32(_mm_packus_epi16(_mm_packus_epi32(ints, ints), ints));
    std::memcpy(pixel, &bytes, kColourBytes);
}

MARBLEYE_VECTOR_TARGET inline bool AnyMayTruncateOtherwise(__m256d sums, double roundingBound) {
    double lanes[4];
    _mm256_storeu_pd(lanes, sums);
    return MayTruncateOtherwise(lanes[0], roundingBound) || MayTruncateOtherwise(lanes[1], roundingBound) ||
           MayTruncateOtherwise(lanes[2], roundingBound);
}

// Ends a pixel of the horizontal pass: its sums, unless the record's bound
// leaves the truncation in doubt.
MARBLEYE_VECTOR_TARGET inline void FinishPixel(const ContributionTable& table, int32_t x, __m256d sums,
                                               const uint8_t* source, uint8_t* pixel) {
    const Contribution& record = table[x];
    if (record.roundingBound > 0 && AnyMayTruncateOtherwise(sums, record.roundingBound)) {
        BlendDefinedAcross(record, table.Weights(x), source + static_cast<size_t>(record.left) * kPixelBytes, pixel);
    } else {
        StoreColours(sums, pixel);
    }
}

MARBLEYE_VECTOR_TARGET void BlendRowVector(const ContributionTable& table, const uint8_t* source,
                                           uint8_t* destination) {
    for (int32_t x = 0; x < table.size(); ++x, destination += kPixelBytes) {
        const Contribution& record = table[x];
        const float* weight = table.Weights(x) + (record.weightedLeft - record.left);
        const uint8_t* tap = source + static_cast<size_t>(record.weightedLeft) * kPixelBytes;
        // Two chains of sums keep the multiply-adds from waiting for each
        // other; the rounding bound holds for any order of the taps.
        __m256d even = _mm256_setzero_pd(), odd = _mm256_setzero_pd();
        int32_t j = record.weightedLeft;
        for (; j < record.weightedRight; j += 2, weight += 2, tap += 2 * kPixelBytes) {
            even = _mm256_fmadd_pd(_mm256_set1_pd(weight[0]), Widened(tap), even);
            odd = _mm256_fmadd_pd(_mm256_set1_pd(weight[1]), Widened(tap + kPixelBytes), odd);
        }
        if (j == record.weightedRight) even = _mm256_fmadd_pd(_mm256_set1_pd(*weight), Widened(tap), even);
        FinishPixel(table, x, _mm256_add_pd(even, odd), source, destination);
    }
}

// Two rows through the same records share the loading of the weights.
MARBLEYE_VECTOR_TARGET void BlendRowPairVector(const ContributionTable& table, const uint8_t* const sources[2],
                                               uint8_t* const destinations[2]) {
    for (int32_t x = 0; x < table.size(); ++x) {
        const Contribution& record = table[x];
        const float* weight = table.Weights(x) + (record.weightedLeft - record.left);
        size_t offset = static_cast<size_t>(record.weightedLeft) * kPixelBytes;
        __m256d first = _mm256_setzero_pd(), second = _mm256_setzero_pd();
        for (int32_t j = record.weightedLeft; j <= record.weightedRight; ++j, ++weight, offset += kPixelBytes) {
            const __m256d w = _mm256_set1_pd(*weight);
            first = _mm256_fmadd_pd(w, Widened(sources[0] + offset), first);
            second = _mm256_fmadd_pd(w, Widened(sources[1] + offset), second);
        }
        FinishPixel(table, x, first, sources[0], destinations[0] + x * kPixelBytes);
        FinishPixel(table, x, second, sources[1], destinations[1] + x * kPixelBytes);
    }
}

// One sweep of Taps source rows over the row of sums; the first sweep starts
// the sums, the last one stores the bytes.
template <int32_t Taps>
MARBLEYE_VECTOR_TARGET inline void SweepRows(const Contribution& record, const float* weights,
                                             const uint8_t* const* rows, int32_t width, int32_t first, double* sums,
                                             uint8_t* destination) {
    const bool starts = first == record.weightedLeft, ends = first + Taps - 1 == record.weightedRight;
    __m256d w[Taps];
    const uint8_t* tap[Taps];
    for (int32_t t = 0; t < Taps; ++t) {
        w[t] = _mm256_set1_pd(weights[first + t - record.left]);
        tap[t] = rows[first + t - record.left];
    }
    for (size_t k = 0; k < static_cast<size_t>(width) * kPixelBytes; k += kPixelBytes) {
        __m256d sum = starts ? _mm256_setzero_pd() : _mm256_loadu_pd(sums + k);
        for (int32_t t = 0; t < Taps; ++t) sum = _mm256_fmadd_pd(w[t], Widened(tap[t] + k), sum);
        if (!ends) {
            _mm256_storeu_pd(sums + k, sum);
        } else if (record.roundingBound > 0 && AnyMayTruncateOtherwise(sum, record.roundingBound)) {
            BlendDefinedDown(record, weights, rows, k, destination + k);
        } else {
            StoreColours(sum, destination + k);
        }
    }
}

MARBLEYE_VECTOR_TARGET void BlendColumnsVector(const Contribution& record, const float* weights,
                                               const uint8_t* const* rows, int32_t width, double* sums,
                                               uint8_t* destination) {
    int32_t first = record.weightedLeft;
    for (; record.weightedRight - first + 1 >= kRowsPerSweep; first += kRowsPerSweep) {
        SweepRows<kRowsPerSweep>(record, weights, rows, width, first, sums, destination);
    }
    switch (record.weightedRight - first + 1) {
        case 3: SweepRows<3>(record, weights, rows, width, first, sums, destination); break;
        case 2: SweepRows<2>(record, weights, rows, width, first, sums, destination); break;
        case 1: SweepRows<1>(record, weights, rows, width, first, sums, destination); break;
        default: break;
    }
}

#endif

}  // namespace

const ResampleKernels& PlainKernels() {
    static const ResampleKernels kernels{&BlendRowPlain, &BlendRowPairPlain, &BlendColumnsPlain};
    return kernels;
}

const ResampleKernels* VectorKernels() {
#ifdef MARBLEYE_HAS_VECTOR_KERNELS
    static const ResampleKernels kernels{&BlendRowVector, &BlendRowPairVector, &BlendColumnsVector};
    static const bool supported = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    return supported ? &kernels : nullptr;
#else
    return nullptr;
#endif
}

}  // namespace marbleye
