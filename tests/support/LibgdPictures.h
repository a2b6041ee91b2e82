#pragma once

#include <memory>
#include <optional>
#include <string>

#include <gd.h>

#include "support/TestPictures.h"

namespace marbleye::test {

// libgd, the authority on GD files, as the tests use it.
struct GdImageDestroyer {
    void operator()(gdImage* image) const { gdImageDestroy(image); }
};
using GdImage = std::unique_ptr<gdImage, GdImageDestroyer>;

// Every pixel of a libgd image (palette or true colour) as red, green, blue.
RgbImage RgbOfGdImage(gdImagePtr image);

// A GD or GD2 file as libgd decodes it; nothing when libgd refuses it.
std::optional<RgbImage> DecodeGdWithLibgd(const std::string& bytes, bool gd2);

// Debian's libgd is built without its GD formats: its GD functions then
// write and read nothing, and the comparisons with it are skipped.
bool LibgdHasGdFormats();

}  // namespace marbleye::test
