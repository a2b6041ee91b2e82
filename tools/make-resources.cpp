// Makes the Win32 program's pictures: the toolbar strips in four sizes and
// the menu bitmaps from the Tango icon theme (see Artwork.cpp for which icon
// each picture shows), the toolbar band's pattern, and our own drawn program
// icon, About picture and two hand cursors.
#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "Artwork.h"
#include "IconLayer.h"
#include "Picture.h"

namespace {

using namespace marbleye::artwork;

// Rows of 5 bits, top first: the letters of the About picture's name.
struct Glyph {
    char c;
    std::array<uint8_t, 7> rows;
};

constexpr Glyph kFont[] = {
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}}, {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}}, {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}}, {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
    {'Y', {0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x04}},
};

const Glyph& GlyphOf(char c) {
    for (const Glyph& glyph : kFont) {
        if (glyph.c == c) return glyph;
    }
    assert(!"letter missing from the font");
    return kFont[0];
}

// Text in the glyph font, each dot a square of scale pixels.
void DrawText(Picture& picture, int left, int top, int scale, const char* text, Rgb colour) {
    for (int i = 0; text[i]; ++i) {
        const Glyph& glyph = GlyphOf(text[i]);
        for (int row = 0; row < 7; ++row) {
            for (int col = 0; col < 5; ++col) {
                if (!(glyph.rows[row] & (0x10 >> col))) continue;
                for (int dy = 0; dy < scale; ++dy) {
                    for (int dx = 0; dx < scale; ++dx) {
                        picture.Set(left + (i * 6 + col) * scale + dx, top + row * scale + dy, colour);
                    }
                }
            }
        }
    }
}

void Report(const std::string& message) { std::fprintf(stderr, "make-resources: %s\n", message.c_str()); }

bool Saved(const Picture& picture, const std::string& path, int bits) {
    if (picture.SaveBmp(path, bits)) return true;
    Report("could not write " + path);
    return false;
}

// The theme icon at one of its sizes, with its sign; the reason in error
// when the theme lacks it.
std::optional<Layer> ThemeIcon(const std::string& theme, const char* icon, int size, Sign sign, std::string& error) {
    const std::string path = theme + "/" + std::to_string(size) + "x" + std::to_string(size) + "/" + icon + ".png";
    std::optional<Layer> layer = LoadPngIcon(path, size, error);
    if (layer) StampSign(*layer, sign);
    return layer;
}

std::optional<Layer> ToolbarLayer(const std::string& theme, const ToolbarImage& image, int size, std::string& error) {
    if (!image.icon) return LayerFromArt(size == 16 ? *image.drawn16 : *image.drawn24);
    return ThemeIcon(theme, image.icon, size, image.sign, error);
}

std::optional<Layer> MenuLayer(const std::string& theme, const MenuImage& image, std::string& error) {
    if (!image.icon) return LayerFromArt(*image.drawn13);
    std::optional<Layer> icon = ThemeIcon(theme, image.icon, 16, Sign::kNone, error);
    if (!icon) return std::nullopt;
    Layer scaled = Downscaled(*icon, 13);
    StampSign(scaled, image.sign);
    return scaled;
}

// A strip holds one button image after another, each icon at (left, 0) of
// its button: the 16-pixel icons centred in the 18-pixel buttons, the
// 24-pixel ones in the top left corner of the 25-pixel buttons.
struct StripSize {
    const char* file;
    int width, height, iconSize, left;
};

constexpr StripSize kStrips[] = {{"toolbar16.bmp", 16, 16, 16, 0},
                                 {"toolbar18.bmp", 18, 16, 16, 1},
                                 {"toolbar24.bmp", 24, 24, 24, 0},
                                 {"toolbar25.bmp", 25, 25, 24, 0}};

bool WriteStrip(const std::string& folder, const std::string& theme, const StripSize& strip) {
    const auto images = ToolbarImages();
    Picture picture(strip.width * static_cast<int>(images.size()), strip.height, kButtonFace);
    for (size_t i = 0; i < images.size(); ++i) {
        std::string error;
        const std::optional<Layer> layer = ToolbarLayer(theme, images[i], strip.iconSize, error);
        if (!layer) {
            Report(error + " (the tango-icon-theme package installs the theme)");
            return false;
        }
        picture.Composite(*layer, static_cast<int>(i) * strip.width + strip.left, 0);
    }
    return Saved(picture, folder + "/" + strip.file, 8);
}

bool WriteMenuPicture(const std::string& folder, const std::string& theme, const MenuImage& image) {
    std::string error;
    const std::optional<Layer> layer = MenuLayer(theme, image, error);
    if (!layer) {
        Report(error + " (the tango-icon-theme package installs the theme)");
        return false;
    }
    Picture picture(13, 13, kButtonFace);
    picture.Composite(*layer, 0, 0);
    return Saved(picture, folder + "/menu" + std::to_string(image.id) + ".bmp", 8);
}

// The tile behind the toolbar band when its background is the pattern: small
// raised dots on the button face, drawn only in the greys the program maps to
// the face, light and shadow colours, so it follows the desktop scheme.
bool WriteToolbarPattern(const std::string& path) {
    Picture picture(32, 32, kButtonFace);
    for (int y = 0; y < 32; y += 8) {
        for (int x = (y % 16 == 0) ? 0 : 8; x < 32; x += 16) {
            picture.Set(x, y, kMappedLight);
            picture.Set(x + 1, y + 1, kMappedShadow);
        }
    }
    return Saved(picture, path, 8);
}

void Put16(std::vector<uint8_t>& out, uint32_t v) { out.push_back(v & 0xFF), out.push_back((v >> 8) & 0xFF); }
void Put32(std::vector<uint8_t>& out, uint32_t v) { Put16(out, v & 0xFFFF), Put16(out, v >> 16); }

// One 32-bit image of an icon or cursor file: header, colours, AND mask.
std::vector<uint8_t> IconImage(int size, const std::vector<uint32_t>& argb, const std::vector<bool>& opaque) {
    std::vector<uint8_t> image;
    Put32(image, 40), Put32(image, size), Put32(image, size * 2), Put16(image, 1), Put16(image, 32);
    for (int i = 0; i < 6; ++i) Put32(image, 0);
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) Put32(image, argb[y * size + x]);
    }
    const int maskStride = ((size + 31) / 32) * 4;
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(maskStride, 0);
        for (int x = 0; x < size; ++x) {
            if (!opaque[y * size + x]) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
        image.insert(image.end(), row.begin(), row.end());
    }
    return image;
}

// An icon (type 1) or cursor (type 2, with hot spot) file of one image.
bool WriteIconFile(const std::string& path, int type, int size, const std::vector<uint32_t>& argb,
                   const std::vector<bool>& opaque, int hotX = 0, int hotY = 0) {
    const std::vector<uint8_t> image = IconImage(size, argb, opaque);
    std::vector<uint8_t> file;
    Put16(file, 0), Put16(file, type), Put16(file, 1);
    file.push_back(static_cast<uint8_t>(size)), file.push_back(static_cast<uint8_t>(size));
    file.push_back(0), file.push_back(0);
    Put16(file, type == 1 ? 1 : hotX), Put16(file, type == 1 ? 32 : hotY);
    Put32(file, static_cast<uint32_t>(image.size())), Put32(file, 22);
    file.insert(file.end(), image.begin(), image.end());
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    const bool ok = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && ok;
}

// A blue marble with a highlight.
bool WriteProgramIcon(const std::string& path) {
    const int size = 32;
    std::vector<uint32_t> argb(size * size, 0);
    std::vector<bool> opaque(size * size, false);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double dx = x - 15.5, dy = y - 15.5, r = std::sqrt(dx * dx + dy * dy);
            if (r > 15) continue;
            const double light = std::max(0.0, 1.0 - std::hypot(x - 11.0, y - 10.0) / 20.0);
            const auto channel = [&](double base) { return static_cast<uint32_t>(std::min(255.0, base + 200 * light * light)); };
            argb[y * size + x] = 0xFF000000u | channel(30) << 16 | channel(80) << 8 | channel(190);
            opaque[y * size + x] = true;
        }
    }
    return WriteIconFile(path, 1, size, argb, opaque);
}

// A hand: a palm with four fingers raised (open) or folded (closed).
bool WriteHandCursor(const std::string& path, bool open) {
    const int size = 32;
    std::vector<uint32_t> argb(size * size, 0);
    std::vector<bool> opaque(size * size, false);
    const auto fill = [&](int x0, int y0, int x1, int y1) {
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const bool edge = x == x0 || x == x1 || y == y0 || y == y1;
                argb[y * size + x] = edge ? 0xFF000000u : 0xFFFFFFFFu;
                opaque[y * size + x] = true;
            }
        }
    };
    const int fingerTop = open ? 6 : 12;
    for (int finger = 0; finger < 4; ++finger) fill(9 + finger * 4, fingerTop, 12 + finger * 4, 17);
    fill(6, 14, 9, 20);  // thumb
    fill(9, 16, 24, 25);
    return WriteIconFile(path, 2, size, argb, opaque, 16, 16);
}

// The About dialog's picture: a marble on a dark blue ground and the name.
bool WriteAboutPicture(const std::string& path) {
    const int width = 324, height = 90;
    Picture picture(width, height, Rgb{0, 0, 0});
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto shade = static_cast<uint8_t>(20 + 40 * y / height);
            picture.Set(x, y, Rgb{static_cast<uint8_t>(shade / 3), static_cast<uint8_t>(shade / 2), shade});
        }
    }
    const double cx = 45, cy = 45, radius = 34;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (std::hypot(x - cx, y - cy) > radius) continue;
            const double light = std::max(0.0, 1.0 - std::hypot(x - (cx - 11), y - (cy - 12)) / (radius * 1.3));
            const auto channel = [&](double base) { return static_cast<uint8_t>(std::min(255.0, base + 210 * light * light)); };
            picture.Set(x, y, Rgb{channel(30), channel(80), channel(190)});
        }
    }
    DrawText(picture, 96, 31, 4, "MARBLEYE", Rgb{235, 240, 255});
    return Saved(picture, path, 24);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-resources FOLDER TANGO-THEME-FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1], theme = argv[2];
    std::filesystem::create_directories(folder);
    bool ok = true;
    for (const StripSize& strip : kStrips) ok = WriteStrip(folder, theme, strip) && ok;
    for (const MenuImage& image : MenuImages()) ok = WriteMenuPicture(folder, theme, image) && ok;
    ok = WriteToolbarPattern(folder + "/toolbar-pattern.bmp") && ok;
    ok = WriteAboutPicture(folder + "/about.bmp") && ok;
    const bool filesOk = WriteProgramIcon(folder + "/marbleye.ico") && WriteHandCursor(folder + "/hand-open.cur", true) &&
                         WriteHandCursor(folder + "/hand-closed.cur", false);
    if (!filesOk) Report("could not write the icon or the cursors into " + folder);
    return ok && filesOk ? 0 : 1;
}
