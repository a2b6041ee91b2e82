#include "FuzzFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    marbleye::fuzz::LoadAsFile(data, size, "jbg");
    return 0;
}
