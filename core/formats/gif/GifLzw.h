#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "io/InputFile.h"
#include "io/OutputFile.h"

namespace marbleye::gif {

enum class LzwEnd {
    kEndCode,       // the stream's end code, or a frame whose lines are all written
    kBadCodeSize,   // a minimum code size outside 2..9: the frame is abandoned
    kReadFailure,   // the file ended inside the data
    kLinesRefused,  // the line writer refused a line
};

// Decodes one frame's image data (the minimum code size, then data
// sub-blocks) into lines of `width` indices handed to writeLine (a last line
// may be shorter), which answers false to refuse a line. The remaining
// sub-blocks are skipped.
LzwEnd DecodeLzw(InputFile& file, int32_t width, const std::function<bool(const uint8_t*, size_t)>& writeLine);

// Encodes 8-bit indices with minimum code size 8 into data sub-blocks of at
// most 254 bytes, ending with the zero-length block.
void EncodeLzw(const std::vector<uint8_t>& indices, OutputFile& out);

}  // namespace marbleye::gif
