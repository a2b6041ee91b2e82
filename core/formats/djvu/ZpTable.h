#pragma once

#include <array>
#include <cstdint>

namespace marbleye::djvu {

// One state of the ZP coder's probability adaptation. A context is a state
// number; its low bit is the value of the more probable symbol (MPS).
struct ZpState {
    uint16_t probability;   // the LPS interval added to the coder's register
    uint16_t mpsThreshold;  // an MPS coded while the register is at least this moves up
    uint8_t afterMps;
    uint8_t afterLps;
};

extern const std::array<ZpState, 256> kZpStates;

}  // namespace marbleye::djvu
