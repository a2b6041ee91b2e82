#include "imaging/Effects.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <random>
#include <utility>

#include "imaging/EffectResult.h"

namespace marbleye {

namespace {

// A source row widened by one pixel on each side, its edge pixels repeated,
// so that every pixel has a left and a right neighbour.
void WidenRow(const uint8_t* row, int32_t width, uint8_t* wide) {
    std::memcpy(wide, row, 3);
    std::memcpy(wide + 3, row, static_cast<size_t>(width) * 3);
    std::memcpy(wide + (static_cast<size_t>(width) + 1) * 3, row + (static_cast<size_t>(width) - 1) * 3, 3);
}

// The previous, current and next source rows of the row being blurred, in
// three widened rows that take turns.
class RowWindow {
public:
    RowWindow(const PixelBuffer& source, PixelBuffer& rows) : source_(source) {
        for (int32_t i = 0; i < 3; ++i) rows_[i] = rows.Row(i);
        Widen(0, rows_[0]);
        Widen(0, rows_[1]);
        Widen(1, rows_[2]);
    }

    // Moves the window down to the source row after the current one.
    void Advance(int32_t current) {
        std::rotate(rows_.begin(), rows_.begin() + 1, rows_.end());
        Widen(current + 2, rows_[2]);
    }

    const uint8_t* previous() const { return rows_[0]; }
    const uint8_t* current() const { return rows_[1]; }
    const uint8_t* next() const { return rows_[2]; }

private:
    void Widen(int32_t row, uint8_t* wide) const {
        WidenRow(source_.Row(std::min(row, source_.height() - 1)), source_.width(), wide);
    }

    const PixelBuffer& source_;
    std::array<uint8_t*, 3> rows_{};
};

struct BlurChoice {
    int32_t randomization;
    std::minstd_rand& random;

    bool Blurs() { return static_cast<int32_t>(random() % 100) <= randomization; }
};

void BlurRow(const RowWindow& window, int32_t width, BlurChoice& choice, uint8_t* target) {
    const uint8_t* above = window.previous();
    const uint8_t* middle = window.current();
    const uint8_t* below = window.next();
    for (int32_t i = 3; i < (width + 1) * 3; ++i) {
        if (!choice.Blurs()) {
            target[i - 3] = middle[i];
            continue;
        }
        const int32_t sum = above[i - 3] + above[i] + above[i + 3] + middle[i - 3] + middle[i] + middle[i + 3] +
                            below[i - 3] + below[i] + below[i + 3];
        target[i - 3] = static_cast<uint8_t>(sum / 9);
    }
}

void BlurPass(const PixelBuffer& source, PixelBuffer& target, PixelBuffer& rows, BlurChoice& choice,
              ProgressScope& progress) {
    RowWindow window(source, rows);
    for (int32_t y = 0; y < source.height(); ++y) {
        BlurRow(window, source.width(), choice, target.Row(y));
        window.Advance(y);
        progress.Step();
    }
}

}  // namespace

bool BlurImage(ImageCanvas& canvas, int32_t randomization, int32_t repeatCount, uint32_t seed, Host* host) {
    PixelBuffer source = canvas.CopyBits(24);
    if (source.empty()) return false;
    const int32_t width = source.width(), height = source.height();
    PixelBuffer target = PixelBuffer::Allocate(width, height, 24);
    PixelBuffer rows = PixelBuffer::Allocate(int64_t{width} + 2, 3, 24);
    if (target.empty() || rows.empty()) return false;

    const int32_t passes = std::clamp(repeatCount, 1, 100);
    std::minstd_rand random(seed);
    BlurChoice choice{std::clamp(randomization, 1, 100), random};
    // A picture one pixel wide can be tall enough for its steps to pass int32.
    const int64_t steps = std::min<int64_t>(int64_t{height} * passes, std::numeric_limits<int32_t>::max());
    ProgressScope progress(ProgressHost(host), static_cast<int32_t>(steps));
    for (int32_t pass = 0; pass < passes; ++pass) {
        BlurPass(source, target, rows, choice, progress);
        std::swap(source, target);
    }
    return StoreEffectResult(canvas, source);
}

}  // namespace marbleye
