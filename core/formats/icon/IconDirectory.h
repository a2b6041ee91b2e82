#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "io/InputFile.h"

namespace marbleye::icon {

// One image of an icon file as the lookup sees it.
struct IconCandidate {
    // Bitmap images: the directory's width and height bytes (0 stays 0), and
    // the bitmap header's bit count. PNG images: the size from their header,
    // 32 bits with an alpha channel and 24 without.
    int32_t width = 0;
    int32_t height = 0;
    int32_t bits = 0;
    uint32_t offset = 0;  // where the image's data begins in the file
    bool png = false;
};

// The icon directory: reserved and type words (not checked: the system takes
// cursors and other types alike), the count, then 16-byte entries of width,
// height, colour count, reserved, planes, bit count, byte count and offset.
// The candidates are the entries up to the first whose data does not begin
// with a readable header; nothing when the file is shorter than its
// directory or not even the first entry is readable.
std::optional<std::vector<IconCandidate>> ReadIconDirectory(InputFile& file);

// The candidate the system takes for a request of width x height at depth
// bits per pixel: the smallest sum of the width and height differences (the
// first entry that reaches it fixes both differences), then among the
// entries with exactly those differences the closest bit count, the first
// one on a tie. -1 for an empty list.
int32_t PickIconEntry(const std::vector<IconCandidate>& candidates, int32_t width, int32_t height, int32_t depth);

}  // namespace marbleye::icon
