// Draws the Win32 program's pictures: the toolbar strips in four sizes, the
// menu bitmaps, the program icon, the About picture and the two hand
// cursors. Buttons and menu pictures are coloured tiles with a glyph from a
// small built-in 5 x 7 font, so the set is our own and costs nothing to keep.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "canvas/ImageCanvas.h"
#include "formats/bmp/Bmp.h"

namespace {

using marbleye::ImageCanvas;

struct Rgb {
    uint8_t r, g, b;
};

// Rows of 5 bits, top first.
struct Glyph {
    char c;
    std::array<uint8_t, 7> rows;
};

constexpr Glyph kFont[] = {
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}}, {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'+', {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}}, {'?', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x00, 0x04}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}}, {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
    {'D', {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E}}, {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'>', {0x10, 0x08, 0x04, 0x02, 0x04, 0x08, 0x10}}, {'<', {0x01, 0x02, 0x04, 0x08, 0x04, 0x02, 0x01}},
    {'*', {0x00, 0x15, 0x0E, 0x1F, 0x0E, 0x15, 0x00}}, {'@', {0x0E, 0x11, 0x17, 0x15, 0x17, 0x10, 0x0E}},
    {'=', {0x00, 0x00, 0x1F, 0x00, 0x1F, 0x00, 0x00}}, {'#', {0x0A, 0x0A, 0x1F, 0x0A, 0x1F, 0x0A, 0x0A}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}}, {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}}, {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}},
    {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}}, {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}}, {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}}, {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}}, {'N', {0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}}, {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'/', {0x01, 0x01, 0x02, 0x04, 0x08, 0x10, 0x10}}, {'o', {0x00, 0x00, 0x0E, 0x11, 0x11, 0x11, 0x0E}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}}, {'Y', {0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x04}},
};

const Glyph& GlyphOf(char c) {
    for (const Glyph& glyph : kFont) {
        if (glyph.c == c) return glyph;
    }
    return kFont[7];  // '?'
}

// A top-down RGB drawing surface written out bottom-up through the canvas.
class Picture {
public:
    Picture(int width, int height, Rgb fill) : width_(width), height_(height), pixels_(width * height, fill) {}
    int width() const { return width_; }
    int height() const { return height_; }
    void Set(int x, int y, Rgb colour) {
        if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[y * width_ + x] = colour;
    }
    Rgb Get(int x, int y) const { return pixels_[y * width_ + x]; }

    // A tile with a rounded border and the glyph scaled to fit, at (left, 0).
    void DrawTile(int left, int size, int tileWidth, Rgb face, char c) {
        const Rgb dark{static_cast<uint8_t>(face.r / 2), static_cast<uint8_t>(face.g / 2), static_cast<uint8_t>(face.b / 2)};
        const int inset = size >= 20 ? 2 : 1;
        const int x0 = left + (tileWidth - size) / 2 + inset, y0 = inset, x1 = x0 + size - 2 * inset - 1,
                  y1 = height_ - inset - 1;
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const bool corner = (x == x0 || x == x1) && (y == y0 || y == y1);
                if (corner) continue;
                const bool edge = x == x0 || x == x1 || y == y0 || y == y1;
                Set(x, y, edge ? dark : face);
            }
        }
        const Glyph& glyph = GlyphOf(c);
        const int scale = std::max(1, (y1 - y0 - 1) / 8);
        const int gx = (x0 + x1 + 1) / 2 - (5 * scale) / 2, gy = (y0 + y1 + 1) / 2 - (7 * scale) / 2;
        for (int row = 0; row < 7; ++row) {
            for (int col = 0; col < 5; ++col) {
                if (!(glyph.rows[row] & (0x10 >> col))) continue;
                for (int dy = 0; dy < scale; ++dy) {
                    for (int dx = 0; dx < scale; ++dx) Set(gx + col * scale + dx, gy + row * scale + dy, Rgb{255, 255, 255});
                }
            }
        }
    }

    // Text in the glyph font, each dot a square of scale pixels.
    void DrawText(int left, int top, int scale, const char* text, Rgb colour) {
        for (int i = 0; text[i]; ++i) {
            const Glyph& glyph = GlyphOf(text[i]);
            for (int row = 0; row < 7; ++row) {
                for (int col = 0; col < 5; ++col) {
                    if (!(glyph.rows[row] & (0x10 >> col))) continue;
                    for (int dy = 0; dy < scale; ++dy) {
                        for (int dx = 0; dx < scale; ++dx) {
                            Set(left + (i * 6 + col) * scale + dx, top + row * scale + dy, colour);
                        }
                    }
                }
            }
        }
    }

    bool SaveBmp(const std::string& path) const {
        ImageCanvas canvas;
        if (!canvas.Create(width_, height_, 24, 0, marbleye::Palette256{})) return false;
        for (int y = 0; y < height_; ++y) {
            uint8_t* row = canvas.Row(height_ - 1 - y);
            for (int x = 0; x < width_; ++x) {
                const Rgb p = Get(x, y);
                row[x * 3] = p.b, row[x * 3 + 1] = p.g, row[x * 3 + 2] = p.r;
            }
        }
        return marbleye::WriteBmp(path, canvas, 24, marbleye::QuietHost()).ok();
    }

private:
    int width_, height_;
    std::vector<Rgb> pixels_;
};

// The background that the program maps to the button face colour.
constexpr Rgb kButtonFace{192, 192, 192};

struct ToolbarImage {
    char glyph;
    Rgb face;
};

// Indexed by the toolbar's image numbers.
constexpr ToolbarImage kToolbarImages[] = {
    {'O', {40, 110, 200}}, {'X', {190, 50, 50}},  {'S', {40, 140, 70}},  {'P', {90, 90, 120}},
    {'+', {30, 120, 160}}, {'1', {30, 120, 160}}, {'-', {30, 120, 160}}, {'?', {120, 80, 170}},
    {'C', {200, 130, 30}}, {'M', {200, 130, 30}}, {'D', {190, 50, 50}},  {'R', {200, 130, 30}},
    {'>', {60, 150, 60}},  {'<', {60, 150, 60}},  {'*', {170, 60, 150}}, {'@', {40, 110, 200}},
    {'=', {100, 100, 100}}, {'#', {40, 110, 200}}, {'V', {100, 100, 100}}, {'W', {100, 100, 100}},
    {'T', {100, 100, 100}}, {'K', {150, 100, 40}}, {'U', {90, 90, 120}},
};

struct StripSize {
    const char* file;
    int width, height;
};

constexpr StripSize kStrips[] = {
    {"toolbar16.bmp", 16, 16}, {"toolbar18.bmp", 18, 16}, {"toolbar24.bmp", 24, 24}, {"toolbar25.bmp", 25, 25}};

struct MenuImage {
    int id;
    char glyph;
    Rgb face;
};

// Menu item pictures by resource number.
constexpr MenuImage kMenuImages[] = {
    {146, 'C', {200, 130, 30}}, {147, 'M', {200, 130, 30}}, {148, 'D', {190, 50, 50}},  {149, 'R', {200, 130, 30}},
    {150, '+', {30, 120, 160}}, {151, '-', {30, 120, 160}}, {152, '1', {30, 120, 160}}, {153, '>', {60, 150, 60}},
    {154, '<', {60, 150, 60}},  {155, 'P', {90, 90, 120}},  {156, 'S', {40, 140, 70}},  {157, '*', {170, 60, 150}},
    {158, '@', {40, 110, 200}}, {160, 'O', {40, 110, 200}}, {161, 'X', {190, 50, 50}},  {162, 'U', {90, 90, 120}},
    {163, '#', {40, 110, 200}}, {164, 'K', {150, 100, 40}}, {166, 'B', {150, 100, 40}}, {167, 'D', {150, 100, 40}},
    {168, '=', {100, 100, 100}}, {169, 'T', {100, 100, 100}}, {170, '?', {120, 80, 170}}, {171, 'H', {40, 110, 200}},
    {172, 'L', {100, 100, 100}}, {173, 'o', {100, 100, 100}}, {174, 'N', {100, 100, 100}}, {175, 'C', {40, 140, 70}},
    {176, '/', {40, 140, 70}},  {177, 'X', {40, 140, 70}},  {178, 'V', {40, 140, 70}},  {179, 'A', {40, 140, 70}},
    {180, '*', {30, 30, 30}},   {181, '.', {200, 200, 200}}, {183, 'o', {200, 200, 200}}, {184, '*', {30, 30, 30}},
    {188, 'T', {100, 130, 60}}, {189, 'D', {190, 50, 50}},  {190, 'S', {100, 130, 60}}, {191, 'C', {100, 130, 60}},
};

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
    picture.DrawText(96, 31, 4, "MARBLEYE", Rgb{235, 240, 255});
    return picture.SaveBmp(path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-resources FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    std::filesystem::create_directories(folder);
    bool ok = true;
    const int imageCount = static_cast<int>(std::size(kToolbarImages));
    for (const StripSize& strip : kStrips) {
        Picture picture(strip.width * imageCount, strip.height, kButtonFace);
        for (int i = 0; i < imageCount; ++i) {
            picture.DrawTile(i * strip.width, std::min(strip.width, strip.height), strip.width, kToolbarImages[i].face,
                             kToolbarImages[i].glyph);
        }
        ok = picture.SaveBmp(folder + "/" + strip.file) && ok;
    }
    for (const MenuImage& image : kMenuImages) {
        Picture picture(13, 13, kButtonFace);
        picture.DrawTile(0, 13, 13, image.face, image.glyph);
        ok = picture.SaveBmp(folder + "/menu" + std::to_string(image.id) + ".bmp") && ok;
    }
    ok = WriteProgramIcon(folder + "/marbleye.ico") && ok;
    ok = WriteAboutPicture(folder + "/about.bmp") && ok;
    ok = WriteHandCursor(folder + "/hand-open.cur", true) && ok;
    ok = WriteHandCursor(folder + "/hand-closed.cur", false) && ok;
    if (!ok) std::fprintf(stderr, "make-resources: could not write into %s\n", folder.c_str());
    return ok ? 0 : 1;
}
