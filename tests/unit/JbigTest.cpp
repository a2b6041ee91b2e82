#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "support/MemoryUse.h"
#include "support/ReaderTest.h"

namespace marbleye {
namespace {

class JbigReader : public test::ReaderTest {};

// A JBIG header (BIH) of 20 bytes, big-endian fields.
std::string Header(uint8_t planes, uint32_t width, uint32_t height) {
    std::string bih;
    bih += char(0), bih += char(0);  // lowest and highest resolution layer
    bih += char(planes);
    bih += char(0);  // reserved
    for (const uint32_t value : {width, height, height}) {  // sizes, then lines per stripe
        for (int shift = 24; shift >= 0; shift -= 8) bih += char((value >> shift) & 0xFF);
    }
    bih += char(8), bih += char(0);  // adaptive template offsets
    bih += char(0), bih += char(0);  // order and options
    return bih;
}

// The arithmetic coder describes a blank page of any size in a few bytes, so
// the pixel gate is what bounds a JBIG header: one beyond it costs nothing.
TEST_F(JbigReader, AHeaderBeyondThePixelGateCostsNothing) {
    for (const auto& [planes, side] : {std::pair{uint8_t{8}, 40000u}, std::pair{uint8_t{1}, 0xFFFFFFFFu}}) {
        test::LoadedPicture loaded;
        const std::string header = Header(planes, side, side);
        const long growth = test::PeakMemoryGrowthKb([&] { loaded = LoadBytes(header, "huge.jbg"); });
        EXPECT_EQ(loaded.message(), "Sorry, not enough memory available!") << side;
        EXPECT_LT(growth, test::kSmallFileGrowthLimitKb) << side;
    }
}

}  // namespace
}  // namespace marbleye
