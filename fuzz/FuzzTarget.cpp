// One libFuzzer target, built once per reader family (MARBLEYE_FUZZ_FAMILY).
#include <cstdlib>

#include "FuzzInputs.h"
#include "canvas/PixelLimits.h"

// Pixel allocations are capped lower than in the program so every input
// stays fast, unless MARBLEYE_FUZZ_FULL_LIMIT asks for the program's own
// limit (the short run that checks what a file can make the program take).
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (!std::getenv("MARBLEYE_FUZZ_FULL_LIMIT")) marbleye::SetPixelByteLimit(16u << 20);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    (void)marbleye::fuzz::RunFuzzInput(MARBLEYE_FUZZ_FAMILY, data, size);
    return 0;
}
