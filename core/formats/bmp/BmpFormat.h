#pragma once

#include <cstdint>
#include <string_view>

namespace marbleye::bmp {

// What reader and writer share of the format.
inline constexpr uint16_t kSignature = 0x4D42;  // "BM"
inline constexpr uint32_t kFileHeaderSize = 14;
inline constexpr uint32_t kInfoHeaderSize = 40;

enum Compression : uint32_t { kUncompressed = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

inline constexpr std::string_view kCouldNotOpen = "Couldn't open.";
inline constexpr std::string_view kNotABitmap = "is not a valid BitmapFile!";
inline constexpr std::string_view kUnknownHeaderSize = "Unkown HeaderSize!";
inline constexpr std::string_view kUnsupportedCompression = "This CompressionType is currently not supported";
inline constexpr std::string_view kUnsupportedBitCount = "This BitCount is currently not supported";
inline constexpr std::string_view kOutOfMemory = "Out of Memory!";
inline constexpr std::string_view kNoCopy = "no GetDIBits!";
inline constexpr std::string_view kCouldNotCreate = "Couldn't open file to write BMP Data!";
inline constexpr std::string_view kCouldNotWrite = "Couldn't write BMP Data!";

}  // namespace marbleye::bmp
