#include <cstdio>

#include "FuzzFile.h"
#include "formats/jpeg/Jpeg.h"

// The JPEG family: plain files, the embedded previews, thumbnail decoding and
// the streams of the thumbnail cache.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using marbleye::fuzz::LoadAsFile;
    LoadAsFile(data, size, "jpg");
    LoadAsFile(data, size, "psp");
    marbleye::LoadOptions thumbnail;
    thumbnail.thumbnail = true;
    thumbnail.thumbnailWidth = thumbnail.thumbnailHeight = 16;
    LoadAsFile(data, size, "jpg", thumbnail);
    if (std::FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb")) {
        (void)marbleye::JpegDecodeFromStream(stream);
        std::fclose(stream);
    }
    return 0;
}
