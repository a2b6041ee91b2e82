#include "imaging/DitherTables.h"

namespace marbleye::quantize {

namespace {

// The tables begin with these values; the rest comes from a fixed generator,
// so every run dithers alike.
constexpr int16_t kIndexStart[16] = {41, 35, 190, 900, 737, 364, 214, 686, 338, 912, 585, 497, 753, 443, 745, 491};
constexpr int8_t kThresholdStart[16] = {6, 3, 8, 0, 6, 7, 6, 8, 0, 4, 1, 6, 8, 8, 5, 0};
constexpr int8_t kOffsetStart[16] = {8, 8, 0, 8, -16, 0, 16, 8, -8, -16, 0, 0, 0, 0, -8, -16};
constexpr int8_t kOffsets[5] = {-16, -8, 0, 8, 16};

JitterTables MakeTables() {
    JitterTables tables;
    uint32_t state = 0x4D617262;  // a fixed seed
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    for (int i = 0; i < 1024; ++i) {
        if (i < 16) {
            tables.index[i] = kIndexStart[i];
            tables.threshold[i] = kThresholdStart[i];
            tables.offset[i] = kOffsetStart[i];
            continue;
        }
        tables.index[i] = static_cast<int16_t>(2 + next() % 1022);
        tables.threshold[i] = static_cast<int8_t>(next() % 9);
        tables.offset[i] = kOffsets[next() % 5];
    }
    return tables;
}

}  // namespace

const JitterTables& Jitter() {
    static const JitterTables tables = MakeTables();
    return tables;
}

}  // namespace marbleye::quantize
