#pragma once

#include <cstdint>
#include <string_view>

namespace marbleye::gif {

inline constexpr std::string_view kCouldNotOpen = "Couldn't open file!";
inline constexpr std::string_view kNotGif = "Not a valid GIF-File!";
inline constexpr std::string_view kNotGifForConversion = "Not a valid GIFFile!";
inline constexpr std::string_view kFileError = "GIFDecoder: Fileerror!";
inline constexpr std::string_view kUnexpectedEnd = "GIFDecoder: unexpected end of file!";
inline constexpr std::string_view kInvalidSize = "Invalid Width/Height found";
inline constexpr std::string_view kTooBig = "Sorry, Width/Height too big";
inline constexpr std::string_view kNoFrameMemory = "Unable to allocate Memory for single Frame";
inline constexpr std::string_view kNoFirstStrip = "Out of memory for first frame!";
inline constexpr std::string_view kNoGrowCopy = "Out of memory for realloc tmp!";
inline constexpr std::string_view kNoGrownStrip = "Out of memory for realloc dest!";
inline constexpr std::string_view kCouldNotCreate = "Couldn't open GIF for writing";
inline constexpr std::string_view kWriteError = "Write Error in GIF file";
inline constexpr std::string_view kNoCopy = "Not enough Memory available for Saving! Skipping...";

inline constexpr int32_t kMaxFirstFrameSide = 10000;
inline constexpr int32_t kMaxLaterFrameSide = 1000;
inline constexpr size_t kMaxStripBytes = 20480000;
inline constexpr size_t kDelayEntries = 200;
inline constexpr int32_t kRestoreBackground = 2;  // the disposal method that starts a frame from the background

}  // namespace marbleye::gif
