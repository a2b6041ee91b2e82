#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace marbleye::djvu {

// What the file's own chunks say about the page the reader shows, read
// before the library is given the file so that its size is checked first.
struct PageLayout {
    enum class Outcome { kPage, kNotDjvu, kNoInfo };
    Outcome outcome = Outcome::kNotDjvu;
    uint32_t width = 0, height = 0;  // as stored, before the page's rotation
    bool bitonal = false;            // a mask and nothing else (no colour layer)
    bool gray = false;               // one gray IW44 layer and nothing else
    bool layered = false;            // a colour or background layer of its own
};

// Walks "AT&T" "FORM" files of type DJVU (a page), DJVM (a bundled document:
// its first page) and BM44/PM44 (an IW44 picture). Chunks that run past the
// end of the data are taken as far as they go.
PageLayout FindPageLayout(std::span<const uint8_t> file);

// For a one-page file (DJVU, BM44, PM44) whose FORM runs past the end of the
// data: the length up to the end of its last complete chunk, the FORM length
// to store for it being that length - 12. Zero when the file is whole or
// holds no complete chunk.
size_t CutShortLength(std::span<const uint8_t> file);

// Whether the outer FORM claims more data than the file holds.
bool FormRunsPastEnd(std::span<const uint8_t> file);

}  // namespace marbleye::djvu
