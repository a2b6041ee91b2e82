#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace marbleye::test {

// FlashPix files written from the published layout: the compound document
// by libgsf's writer, every property set, header and tile byte by hand here.
struct FpxTile {
    uint32_t compression = 0;  // 0 stored, 1 single colour, 2 JPEG
    uint32_t subtype = 0;
    std::string bytes;
};

struct FpxResolution {
    uint32_t width = 0, height = 0;
    uint32_t tileWidth = 64, tileHeight = 64;
    uint32_t channels = 3;
    std::vector<FpxTile> tiles;  // row by row, left to right
};

struct FpxFile {
    std::vector<FpxResolution> resolutions;  // "Resolution 0000" first
    uint32_t colourSpace = 3;                // 1 monochrome, 2 PhotoYCC, 3 NIF RGB
    std::map<uint32_t, std::string> jpegTables;
    std::string imageStorage;                // "" puts the image object in the root
    bool summary = true;
    std::string summaryStream;               // replaces the written summary when not empty
    std::string thumbnailDib;                // a CF_DIB picture for the summary, or none
};

// The bytes of a FlashPix file; empty when the writer failed.
std::string BuildFlashPix(const FpxFile& file);

// A bitmap information header with its pixels, as a clipboard DIB holds it.
std::string Dib24(int32_t width, int32_t height, const std::vector<uint8_t>& bottomUpBgrRows);

// Little-endian 32-bit field.
std::string Le32(uint32_t value);

}  // namespace marbleye::test
