#include "FuzzFile.h"

// GD and GD2 (picked by the name's last character), and X bitmaps, which the
// GD library reads.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    marbleye::fuzz::LoadAsFile(data, size, "gd");
    marbleye::fuzz::LoadAsFile(data, size, "gd2");
    marbleye::fuzz::LoadAsFile(data, size, "xbm");
    return 0;
}
