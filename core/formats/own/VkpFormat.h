#pragma once

#include <cstdint>
#include <string_view>

namespace marbleye::vkp {

inline constexpr std::string_view kTextMagic = "Vesk";
inline constexpr char kBinaryMagic[2] = {'V', 'K'};
inline constexpr uint32_t kBinaryHeaderSize = 15;
inline constexpr uint32_t kMaxBinarySide = 65535;

inline constexpr std::string_view kNoFile = "No File found!";
inline constexpr std::string_view kNotVkp = "Not a valid VKP File!";
inline constexpr std::string_view kNoMemoryForCopy = "Not enough Memory available for Saving! Skipping...";
inline constexpr std::string_view kNoMemoryForCompression = "Not enough Memory available for saving! Skipping...";
inline constexpr std::string_view kCannotCreate = "Couldn't save Vesk File!";
inline constexpr std::string_view kCompressionError = "An error occured during Compression! Skipping...";
inline constexpr std::string_view kWriteError = "Couldn't write the Vesk File!";

}  // namespace marbleye::vkp
