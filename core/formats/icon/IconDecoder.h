#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "formats/LoadContext.h"
#include "formats/icon/IconDirectory.h"
#include "io/InputFile.h"

namespace marbleye::icon {

// The size the program asks the system for.
inline constexpr int32_t kIconSide = 32;
inline constexpr int32_t kIconPixels = kIconSide * kIconSide;

// Gathers the rows of an image of any size into 32 x 32 the way the system
// stretches an icon's bitmaps: a side that grows repeats the source pixel
// under each target pixel's centre; a side that shrinks puts each source
// pixel into the target pixel under its centre, and the pixels that meet in
// one target are combined bit by bit with AND (colour and alpha bytes alike;
// for the mask this keeps a pixel opaque when any of its pixels is).
class IconScaler {
public:
    IconScaler(int32_t sourceWidth, int32_t sourceHeight);

    // Begins source row y, counted from the top.
    void BeginRow(int32_t y) { row_ = Targets(y, sourceHeight_, rowGrowth_); }
    // Adds pixel x of the row begun: blue, green, red, alpha in the bytes of
    // the colour from the lowest; transparent is its mask bit (the screen
    // shows through).
    void Add(int32_t x, uint32_t colour, bool transparent) {
        const Span columns = Targets(x, sourceWidth_, columnGrowth_);
        for (int32_t ty = row_.first; ty < row_.end; ++ty) {
            for (int32_t tx = columns.first; tx < columns.end; ++tx) {
                colours_[ty * kIconSide + tx] &= colour;
                transparent_[ty * kIconSide + tx] &= transparent ? 1 : 0;
            }
        }
    }

    uint32_t colour(int32_t x, int32_t y) const { return colours_[y * kIconSide + x]; }
    bool transparent(int32_t x, int32_t y) const { return transparent_[y * kIconSide + x] != 0; }

private:
    // The target indices [first, end) one source index reaches.
    struct Span {
        int32_t first = 0, end = 0;
    };
    // For a side that grows, the targets of each source index (at most 32).
    static std::vector<Span> Growth(int32_t source);
    static Span Targets(int32_t index, int32_t source, const std::vector<Span>& growth) {
        if (source <= kIconSide) return growth[static_cast<size_t>(index)];
        const auto target =
            static_cast<int32_t>((2 * int64_t{index} * kIconSide + kIconSide - 1) / (2 * int64_t{source}));
        return Span{target, target + 1};
    }

    int32_t sourceWidth_, sourceHeight_;
    std::vector<Span> columnGrowth_, rowGrowth_;
    Span row_;
    std::array<uint32_t, kIconPixels> colours_;
    std::array<uint8_t, kIconPixels> transparent_;
};

// Draws the gathered icon on white, rows from the top, blue, green, red.
// With alpha the colours are blended over white by their alpha; without it
// the mask decides: the screen (white) is kept where it is set and the
// colour is laid over it with exclusive or, so a transparent black pixel
// shows white and a transparent coloured one inverts the screen.
void DrawOnWhite(const IconScaler& icon, bool alpha, uint8_t* bgr);

// The bitmap images of icons: a 40-byte (or larger) info header or a 12-byte
// core header, with twice the image's height; 1, 4 and 8 bits with a
// palette, 16 (5-5-5 or bit fields), 24 and 32 (alpha in the fourth byte, or
// bit fields); the colour rows, then the mask rows, both bottom-up and
// padded to 4 bytes. The whole image must lie inside the file. Draws it at
// 32 x 32 on white; false when it cannot be drawn.
bool DrawBitmapImage(InputFile& file, const IconCandidate& entry, LoadContext& context, uint8_t* bgr);

// A PNG image stored as the icon's image; its transparency is blended over
// white (unless its alpha is 0 throughout: then it is drawn opaque). False
// when it cannot be decoded.
bool DrawPngImage(InputFile& file, const IconCandidate& entry, LoadContext& context, uint8_t* bgr);

}  // namespace marbleye::icon
