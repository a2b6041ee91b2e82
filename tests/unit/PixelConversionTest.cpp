#include <gtest/gtest.h>

#include "canvas/PixelBuffer.h"
#include "canvas/PixelConversion.h"
#include "canvas/PixelLimits.h"

namespace marbleye {
namespace {

TEST(PixelLimits, GateRefusesNonsenseAndOverflow) {
    EXPECT_FALSE(CheckedLayout(0, 1, 24));
    EXPECT_FALSE(CheckedLayout(1, -1, 24));
    EXPECT_FALSE(CheckedLayout(100000, 100000, 8));
    EXPECT_FALSE(CheckedLayout(INT32_MAX, 1, 32)) << "the stride would overflow";
    const auto layout = CheckedLayout(3, 5, 24);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->stride, 12);
    EXPECT_EQ(layout->byteCount, 60u);
}

TEST(PixelLimits, TheLimitCanBeLowered) {
    const size_t saved = PixelByteLimit();
    SetPixelByteLimit(1000);
    EXPECT_TRUE(CheckedLayout(10, 10, 32));
    EXPECT_FALSE(CheckedLayout(20, 20, 24));
    EXPECT_TRUE(PixelBuffer::Allocate(40, 40, 8).empty());
    SetPixelByteLimit(saved);
    EXPECT_FALSE(PixelBuffer::Allocate(40, 40, 8).empty());
}

TEST(NearestPaletteIndex, TiesGoToTheLowestIndexAndOnlyTheGivenEntriesCount) {
    PaletteBgr palette{};
    palette[3 * 1 + 2] = 100;  // entry 1: red 100
    palette[3 * 2 + 2] = 100;  // entry 2: the same colour
    palette[3 * 3 + 2] = 255;  // entry 3: red 255, outside a two-entry table
    NearestPaletteIndex twoEntries(palette, 2);
    EXPECT_EQ(twoEntries(0, 0, 250), 1);
    NearestPaletteIndex fourEntries(palette, 4);
    EXPECT_EQ(fourEntries(0, 0, 101), 1);
    EXPECT_EQ(fourEntries(0, 0, 250), 3);
    EXPECT_EQ(fourEntries(0, 0, 250), 3) << "answered from the cache";
}

}  // namespace
}  // namespace marbleye
