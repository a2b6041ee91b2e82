#include "formats/djvu/ZpEncoder.h"

#include "formats/djvu/ZpTable.h"

namespace marbleye::djvu {

namespace {

// The decoder never lets an MPS interval pass this bound, so that the LPS
// interval stays large enough when the register is near its top.
uint32_t Clamped(uint32_t z, uint32_t a) {
    const uint32_t bound = 0x6000 + ((z + a) >> 2);
    return z > bound ? bound : z;
}

}  // namespace

void ZpEncoder::Encode(bool bit, uint8_t& context) {
    const uint32_t z = a_ + kZpStates[context].probability;
    if (bit != static_cast<bool>(context & 1)) {
        EncodeLps(context, z);
    } else if (z >= 0x8000) {
        EncodeMps(context, z);
    } else {
        a_ = z;
    }
}

void ZpEncoder::EncodeRaw(bool bit) {
    const uint32_t z = 0x8000 + ((a_ + a_ + a_) >> 3);
    if (bit) {
        RawLps(z);
    } else {
        RawMps(z);
    }
}

void ZpEncoder::EncodeMps(uint8_t& context, uint32_t z) {
    z = Clamped(z, a_);
    if (a_ >= kZpStates[context].mpsThreshold) context = kZpStates[context].afterMps;
    RawMps(z);
}

void ZpEncoder::EncodeLps(uint8_t& context, uint32_t z) {
    z = Clamped(z, a_);
    context = kZpStates[context].afterLps;
    RawLps(z);
}

void ZpEncoder::RawMps(uint32_t z) {
    a_ = z;
    if (a_ >= 0x8000) ShiftOut();
}

void ZpEncoder::RawLps(uint32_t z) {
    z = 0x10000 - z;
    subend_ += z;
    a_ += z;
    while (a_ >= 0x8000) ShiftOut();
}

// Renormalises by one bit: the top bit of the code value leaves the register.
// The value may have passed 0x10000 (a carry), which Settle propagates.
void ZpEncoder::ShiftOut() {
    Settle(1 - (subend_ >> 15));
    subend_ = (subend_ << 1) & 0xFFFF;
    a_ = (a_ << 1) & 0xFFFF;
}

// The coder keeps its code bits inverted: a carry out of the register is a
// borrow here, seen as the window's top turning into 0xFF.
void ZpEncoder::Settle(uint32_t bit) {
    window_ = (window_ << 1) + bit;
    const uint32_t leaving = window_ >> 24;
    window_ &= 0xFFFFFF;
    if (leaving == 1) {
        Output(true);
        for (; pendingRun_ > 0; --pendingRun_) Output(false);
    } else if (leaving == 0xFF) {
        Output(false);
        for (; pendingRun_ > 0; --pendingRun_) Output(true);
    } else {
        ++pendingRun_;
    }
}

void ZpEncoder::Output(bool bit) {
    if (skipBits_ > 0) {
        --skipBits_;
        return;
    }
    byte_ = (byte_ << 1) | (bit ? 1u : 0u);
    if (++bitsInByte_ == 8) {
        bytes_.push_back(static_cast<uint8_t>(byte_));
        byte_ = 0;
        bitsInByte_ = 0;
    }
}

// Writes enough bits that every later read of the decoder (which pads the
// data with 0xFF bytes) lands inside the final interval.
std::vector<uint8_t> ZpEncoder::Finish() {
    if (subend_ > 0x8000) {
        subend_ = 0x10000;
    } else if (subend_ > 0) {
        subend_ = 0x8000;
    }
    while (window_ != 0xFFFFFF || subend_ != 0) {
        Settle(1 - (subend_ >> 15));
        subend_ = (subend_ << 1) & 0xFFFF;
    }
    Output(true);
    for (; pendingRun_ > 0; --pendingRun_) Output(false);
    while (bitsInByte_ > 0) Output(true);
    return std::move(bytes_);
}

}  // namespace marbleye::djvu
