#pragma once

#include <cstdint>

namespace marbleye::format_id {

// The dispatcher's format codes, as settings, catalogs and the thumbnail
// cache store them. Code 20 is not used.
inline constexpr int32_t kUnknown = -1;
inline constexpr int32_t kBmp = 0;
inline constexpr int32_t kHaloCut = 1;
inline constexpr int32_t kCamera = 2;
inline constexpr int32_t kDirectDrawSurface = 3;
inline constexpr int32_t kDjvu = 4;
inline constexpr int32_t kGif = 5;
inline constexpr int32_t kJpeg = 6;
inline constexpr int32_t kJbig = 7;
inline constexpr int32_t kTarga = 8;
inline constexpr int32_t kMetafile = 9;
inline constexpr int32_t kEps = 10;
inline constexpr int32_t kFlashPix = 11;
inline constexpr int32_t kFits = 12;
inline constexpr int32_t kGd = 13;
inline constexpr int32_t kHrz = 14;
inline constexpr int32_t kIff = 15;
inline constexpr int32_t kGem = 16;
inline constexpr int32_t kLviewPro = 17;
inline constexpr int32_t kMsPaint = 18;
inline constexpr int32_t kMng = 19;
inline constexpr int32_t kMacPaint = 21;
inline constexpr int32_t kIcon = 22;
inline constexpr int32_t kPng = 23;
inline constexpr int32_t kPpm = 24;
inline constexpr int32_t kPgm = 25;
inline constexpr int32_t kPbm = 26;
inline constexpr int32_t kVkp = 27;
inline constexpr int32_t kTiff = 28;
inline constexpr int32_t kPic = 29;
inline constexpr int32_t kPhotoshop = 30;
inline constexpr int32_t kPhotoCd = 31;
inline constexpr int32_t kPcx = 32;
inline constexpr int32_t kAliasPix = 33;
inline constexpr int32_t kPaintShopPro = 34;
inline constexpr int32_t kSunRaster = 35;
inline constexpr int32_t kSgi = 36;
inline constexpr int32_t kCatalog = 37;
inline constexpr int32_t kMedia = 38;
inline constexpr int32_t kWirelessBitmap = 39;
inline constexpr int32_t kZbr = 40;
inline constexpr int32_t kXbm = 41;

}  // namespace marbleye::format_id
