#include "support/LibgdPictures.h"

namespace marbleye::test {

RgbImage RgbOfGdImage(gdImagePtr image) {
    RgbImage rgb{gdImageSX(image), gdImageSY(image), {}};
    for (int y = 0; y < rgb.height; ++y) {
        for (int x = 0; x < rgb.width; ++x) {
            const int colour = gdImageGetTrueColorPixel(image, x, y);
            rgb.rgb.push_back(static_cast<uint8_t>(gdTrueColorGetRed(colour)));
            rgb.rgb.push_back(static_cast<uint8_t>(gdTrueColorGetGreen(colour)));
            rgb.rgb.push_back(static_cast<uint8_t>(gdTrueColorGetBlue(colour)));
        }
    }
    return rgb;
}

std::optional<RgbImage> DecodeGdWithLibgd(const std::string& bytes, bool gd2) {
    void* data = const_cast<char*>(bytes.data());
    const int size = static_cast<int>(bytes.size());
    const GdImage image(gd2 ? gdImageCreateFromGd2Ptr(size, data) : gdImageCreateFromGdPtr(size, data));
    if (!image) return std::nullopt;
    return RgbOfGdImage(image.get());
}

bool LibgdHasGdFormats() {
    const GdImage probe(gdImageCreateTrueColor(1, 1));
    int size = 0;
    void* data = gdImageGdPtr(probe.get(), &size);
    gdFree(data);
    return data != nullptr;
}

}  // namespace marbleye::test
