#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace marbleye::djvu {

// The format's adaptive binary arithmetic coder (the ZP coder), encoding
// side. A context is one byte holding a state of `kZpStates`, starting at 0;
// the coder moves it as it learns. Bytes appear as the coder settles them;
// Finish writes the tail the decoder needs.
class ZpEncoder {
public:
    void Encode(bool bit, uint8_t& context);
    // A bit without a context, coded at a probability near one half (the
    // signs and the large refinements of wavelet coefficients).
    void EncodeRaw(bool bit);
    std::vector<uint8_t> Finish();

    size_t byteCount() const { return bytes_.size(); }

private:
    void EncodeMps(uint8_t& context, uint32_t z);
    void EncodeLps(uint8_t& context, uint32_t z);
    void RawMps(uint32_t z);
    void RawLps(uint32_t z);
    void ShiftOut();
    void Settle(uint32_t bit);
    void Output(bool bit);

    uint32_t a_ = 0;             // the interval register, below 0x8000 between calls
    uint32_t subend_ = 0;        // the code value's offset inside the interval
    uint32_t window_ = 0xFFFFFF; // the last 24 bits, which a carry may still change
    uint32_t pendingRun_ = 0;    // settled bits waiting to learn whether a carry reaches them
    int32_t skipBits_ = 25;      // the leading bits of the window are not part of the code
    uint32_t byte_ = 0;
    int32_t bitsInByte_ = 0;
    std::vector<uint8_t> bytes_;
};

}  // namespace marbleye::djvu
