#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/LoadContext.h"

namespace marbleye::fuzz {

// Readers take paths: each input is written to one file per process (named
// with the extension that picks the reader) and loaded through the dispatcher.
// Pixel allocations are capped lower than in the program so every input
// stays fast.
void LoadAsFile(const uint8_t* data, size_t size, const std::string& extension,
                const LoadOptions& options = LoadOptions());

}  // namespace marbleye::fuzz
