#pragma once

#include <cstddef>
#include <cstdint>

#include "canvas/Palette.h"
#include "io/InputFile.h"

namespace marbleye::iff {

// ByteRun1 at its best: a code byte and a value stand for 128 bytes.
inline constexpr uint64_t kByteRun1Expansion = 64;

// The bytes of a BODY chunk, stored as they are or ByteRun1-coded, read no
// further than the chunk's end. A run may go on into the next row, so rows
// coded one by one and files that run them together both decode.
class BodyBytes {
public:
    BodyBytes(InputFile& file, uint64_t end, bool byteRun1) : file_(file), end_(end), byteRun1_(byteRun1) {}

    // Fills count bytes; false when the chunk or the file ended first.
    bool Read(uint8_t* target, size_t count);

private:
    int NextByte() { return file_.Tell() < end_ ? file_.ReadByte() : -1; }

    InputFile& file_;
    uint64_t end_;
    bool byteRun1_;
    int literals_ = 0;  // bytes still to copy from the coded data
    int repeats_ = 0;   // times value_ is still to be given
    uint8_t value_ = 0;
};

// The pixel value of each of width pixels of a row of bit planes (planes of
// planeBytes bytes one after another, plane k giving bit k), for up to 32
// planes.
void MergePlanes(const uint8_t* row, size_t planeBytes, int planes, uint32_t width, uint32_t* values);

// Hold and modify: values of planes bits (5 or 6 for 4-bit data, 7 or 8
// for 6-bit data) become blue-green-red pixels. Each row starts from
// palette colour 0.
void HoldAndModify(const uint32_t* values, uint32_t width, int planes, const Palette256& palette, uint8_t* bgr);

}  // namespace marbleye::iff
