#include "formats/djvu/DjvuLayout.h"

#include <algorithm>
#include <cstring>

namespace marbleye::djvu {

namespace {

uint32_t U32BE(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}
uint32_t U16BE(const uint8_t* p) { return (uint32_t(p[0]) << 8) | p[1]; }
bool IdIs(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

// One chunk: its id and the part of its data the file holds.
struct Chunk {
    const uint8_t* id = nullptr;
    std::span<const uint8_t> data;
};

// The chunks one after another; data is padded to an even length.
class ChunkWalker {
public:
    explicit ChunkWalker(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    bool Next(Chunk& chunk) {
        if (position_ > bytes_.size() || bytes_.size() - position_ < 8) return false;
        chunk.id = bytes_.data() + position_;
        const uint64_t length = U32BE(chunk.id + 4);
        const size_t start = position_ + 8;
        const size_t held = static_cast<size_t>(std::min<uint64_t>(length, bytes_.size() - start));
        chunk.data = bytes_.subspan(start, held);
        position_ = start + held + (length & 1);
        return true;
    }

private:
    std::span<const uint8_t> bytes_;
    size_t position_ = 0;
};

// A FORM chunk's type and the chunks inside it.
bool IsForm(const Chunk& chunk) { return IdIs(chunk.id, "FORM") && chunk.data.size() >= 4; }

// INFO: width and height (16 bits, big-endian) first. The first BG44 chunk
// (serial 0) has the IW44 headers: serial, slices, major version (its top bit
// set for one gray component), minor version, width, height.
PageLayout ReadPage(std::span<const uint8_t> inner) {
    PageLayout layout;
    layout.outcome = PageLayout::Outcome::kNoInfo;
    bool info = false, mask = false, colour = false, grayBackground = false, background = false;
    ChunkWalker walker(inner);
    Chunk chunk;
    while (walker.Next(chunk)) {
        if (IdIs(chunk.id, "INFO") && !info) {
            if (chunk.data.size() < 4) return layout;
            info = true;
            layout.width = U16BE(chunk.data.data());
            layout.height = U16BE(chunk.data.data() + 2);
        } else if (IdIs(chunk.id, "Sjbz") || IdIs(chunk.id, "Smmr")) {
            mask = true;
        } else if (IdIs(chunk.id, "BG44")) {
            if (!background && chunk.data.size() >= 3 && chunk.data[0] == 0) {
                grayBackground = (chunk.data[2] & 0x80) != 0;
            }
            background = true;
        } else if (IdIs(chunk.id, "FG44") || IdIs(chunk.id, "FGbz") || IdIs(chunk.id, "BGjp") ||
                   IdIs(chunk.id, "FGjp") || IdIs(chunk.id, "BG2k") || IdIs(chunk.id, "FG2k")) {
            colour = true;
        }
    }
    if (!info) return layout;
    layout.outcome = PageLayout::Outcome::kPage;
    layout.bitonal = mask && !background && !colour;
    layout.gray = background && grayBackground && !mask && !colour;
    layout.layered = background || colour;
    return layout;
}

PageLayout ReadIw44(std::span<const uint8_t> inner, bool colourForm) {
    PageLayout layout;
    layout.outcome = PageLayout::Outcome::kNoInfo;
    ChunkWalker walker(inner);
    Chunk chunk;
    if (!walker.Next(chunk) || !(IdIs(chunk.id, "BM44") || IdIs(chunk.id, "PM44"))) return layout;
    const std::span<const uint8_t> data = chunk.data;
    if (data.size() < 8 || data[0] != 0) return layout;
    layout.outcome = PageLayout::Outcome::kPage;
    layout.gray = !colourForm || (data[2] & 0x80) != 0;
    layout.layered = true;
    layout.width = U16BE(data.data() + 4);
    layout.height = U16BE(data.data() + 6);
    return layout;
}

}  // namespace

PageLayout FindPageLayout(std::span<const uint8_t> file) {
    PageLayout notDjvu;
    if (file.size() < 16 || !IdIs(file.data(), "AT&T")) return notDjvu;
    ChunkWalker outer(file.subspan(4));
    Chunk form;
    if (!outer.Next(form) || !IsForm(form)) return notDjvu;
    const uint8_t* type = form.data.data();
    const std::span<const uint8_t> inner = form.data.subspan(4);
    if (IdIs(type, "DJVU")) return ReadPage(inner);
    if (IdIs(type, "BM44")) return ReadIw44(inner, false);
    if (IdIs(type, "PM44")) return ReadIw44(inner, true);
    if (IdIs(type, "DJVM")) {
        // A bundled document holds its pages as FORM:DJVU chunks in page
        // order; an indirect one holds only its directory.
        ChunkWalker walker(inner);
        Chunk chunk;
        while (walker.Next(chunk)) {
            if (IsForm(chunk) && IdIs(chunk.data.data(), "DJVU")) return ReadPage(chunk.data.subspan(4));
        }
        PageLayout none;
        none.outcome = PageLayout::Outcome::kNoInfo;
        return none;
    }
    if (IdIs(type, "DJVI") || IdIs(type, "THUM")) {
        PageLayout none;
        none.outcome = PageLayout::Outcome::kNoInfo;
        return none;
    }
    return notDjvu;
}

bool FormRunsPastEnd(std::span<const uint8_t> file) {
    return file.size() >= 12 && uint64_t{U32BE(file.data() + 8)} + 12 > file.size();
}

size_t CutShortLength(std::span<const uint8_t> file) {
    if (file.size() < 16 || !IdIs(file.data(), "AT&T") || !IdIs(file.data() + 4, "FORM")) return 0;
    const uint8_t* type = file.data() + 12;
    if (!IdIs(type, "DJVU") && !IdIs(type, "BM44") && !IdIs(type, "PM44")) return 0;
    if (uint64_t{U32BE(file.data() + 8)} + 12 <= file.size()) return 0;
    size_t end = 16;
    while (file.size() - end >= 8) {
        const uint64_t length = U32BE(file.data() + end + 4);
        if (length > file.size() - end - 8) break;
        end = std::min<size_t>(file.size(), end + 8 + length + (length & 1));
    }
    return end > 16 ? end : 0;
}

}  // namespace marbleye::djvu
