#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace marbleye::fuzz {

// The reader families with a fuzz target, named as their folders in
// fuzz/corpus.
std::span<const std::string_view> FuzzFamilies();

// Feeds one input to every way the family's readers are reached (each
// extension of the family, thumbnail loads, embedded previews, streams) and
// returns what each load said: empty for a picture, else its message.
std::vector<std::string> RunFuzzInput(std::string_view family, const uint8_t* data, size_t size);

}  // namespace marbleye::fuzz
