#include "imaging/Effects.h"

#include <algorithm>

#include "imaging/EffectResult.h"

namespace marbleye {

namespace {

// One direction of the picture: its first half (half pixels), an odd
// size's middle pixel, and its second half (from rest on, as long as the
// first). The distance of a pixel runs from 0 beside the middle to span at
// the picture's edge.
struct Axis {
    explicit Axis(int32_t length) : size(length), half(length / 2), rest(length - length / 2), span(length / 2 - 1) {}

    bool IsMiddle(int32_t i) const { return size % 2 == 1 && i == half; }
    int64_t Distance(int32_t i) const { return i < half ? half - 1 - i : i - rest; }
    // Where the copy shifted by half the size puts i; -1 for the middle.
    int32_t Shifted(int32_t i) const { return i >= rest ? i - rest : i < half ? i + rest : -1; }

    int32_t size, half, rest, span;
};

// The weighted value of a channel value v: v x numerator / denominator,
// taken from v itself when fromWhole is set.
struct Weight {
    bool fromWhole;
    int64_t numerator, denominator;

    int64_t Apply(int64_t v) const {
        const int64_t part = v * numerator / denominator;
        return fromWhole ? v - part : part;
    }
};

constexpr Weight kWholeValue{false, 1, 1};

// The diagonal from the middle to the corner of a quarter parts it in two,
// each part with its own formula; the diagonal's pixels go by the parity of
// dx. The weight is 1 beside the middle and falls to 0 at the edges.
Weight WeightAt(int64_t dx, int64_t dy, int64_t a, int64_t b) {
    if (b * dx < a * dy || (b * dx == a * dy && dx % 2 == 1)) {
        if (dx == 0) return kWholeValue;
        return {true, b * dx, a * b - a * dy + b * dx};
    }
    if (dx == a) return {false, 0, 1};
    return {false, b * (a - dx), a * dy + a * b - b * dx};
}

// Each output byte receives a pixel and the pixel that the shift brings onto
// it, whose weights add up to 1: the sum stays within a byte, except where
// both lie on the diagonal and both take their weight rounded up (an even
// span, odd dx), where two near-white pixels give 256 and wrap.
// Two rounded-up weights on a quarter's diagonal can pass 255 together;
// they stop at white rather than wrapping round to black.
void AddTo(uint8_t& byte, int64_t value) { byte = static_cast<uint8_t>(std::min<int64_t>(byte + value, 255)); }

void BlendRow(const PixelBuffer& source, int32_t y, const Axis& columns, const Axis& rows, PixelBuffer& output) {
    const bool middleRow = rows.IsMiddle(y);
    const int64_t dy = rows.Distance(y);
    const int32_t shiftedY = rows.Shifted(y);
    const uint8_t* from = source.Row(y);
    uint8_t* here = output.Row(y);
    uint8_t* there = shiftedY >= 0 ? output.Row(shiftedY) : nullptr;
    for (int32_t x = 0; x < columns.size; ++x) {
        const Weight weight = middleRow || columns.IsMiddle(x)
                                  ? kWholeValue
                                  : WeightAt(columns.Distance(x), dy, columns.span, rows.span);
        const int32_t shiftedX = columns.Shifted(x);
        for (int32_t c = 0; c < 3; ++c) {
            const int64_t value = weight.Apply(from[x * 3 + c]);
            AddTo(here[x * 3 + c], value);
            if (there && shiftedX >= 0) AddTo(there[shiftedX * 3 + c], value);
        }
    }
}

}  // namespace

bool SeamlessImage(ImageCanvas& canvas, Host* host) {
    if (!canvas.valid()) return false;
    // A span of 0 would leave the weights without a denominator.
    if (canvas.width() < 4 || canvas.height() < 4) return true;
    const PixelBuffer source = canvas.CopyBits(24);
    if (source.empty()) return false;
    PixelBuffer output = PixelBuffer::Allocate(source.width(), source.height(), 24);
    if (output.empty()) return false;

    const Axis columns(source.width()), rows(source.height());
    ProgressScope progress(ProgressHost(host), source.height());
    for (int32_t y = 0; y < source.height(); ++y) {
        BlendRow(source, y, columns, rows, output);
        progress.Step();
    }
    return StoreEffectResult(canvas, output);
}

}  // namespace marbleye
