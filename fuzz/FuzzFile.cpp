#include "FuzzFile.h"

#include <cstdio>
#include <unistd.h>

#include "canvas/CurrentImage.h"
#include "canvas/ImageCanvas.h"
#include "canvas/PixelLimits.h"
#include "formats/LoadImage.h"

namespace marbleye::fuzz {

void LoadAsFile(const uint8_t* data, size_t size, const std::string& extension, const LoadOptions& options) {
    const std::string path = "/tmp/marbleye-fuzz-" + std::to_string(getpid()) + "." + extension;
    SetPixelByteLimit(16u << 20);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    ImageCanvas canvas;
    CurrentImage image;
    LoadContext context{canvas, image, options, QuietHost()};
    (void)LoadImageFile(path, context);
}

}  // namespace marbleye::fuzz
