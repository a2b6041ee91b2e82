#include <algorithm>
#include <optional>
#include <vector>

#include "canvas/DeclaredSize.h"
#include "formats/bilevel/Bilevel.h"
#include "formats/bilevel/BilevelPalettes.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

constexpr const char* kNotPbm = "Not a PBM File!";

// One raw byte holds eight pixels, each a byte of the canvas.
constexpr uint64_t kRawExpansion = 8;

// Netpbm's whitespace: blank, tab, line feed, vertical tab, form feed and
// carriage return.
bool IsNetpbmSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Characters of a Netpbm header with its comments taken out: a comment
// runs from "#" to the end of its line and reads as that line end.
class PbmText {
public:
    explicit PbmText(InputFile& file) : file_(file) {}

    int Next() {
        int c = file_.ReadByte();
        if (c == '#') {
            do c = file_.ReadByte();
            while (c >= 0 && c != '\n' && c != '\r');
        }
        return c;
    }

    // A decimal number after optional whitespace, with the one character
    // that ends it consumed; nothing when something else comes first.
    std::optional<uint32_t> Number() {
        int c;
        do c = Next();
        while (IsNetpbmSpace(c));
        if (c < '0' || c > '9') return std::nullopt;
        uint64_t value = 0;
        for (; c >= '0' && c <= '9'; c = Next()) value = std::min<uint64_t>(value * 10 + (c - '0'), UINT32_MAX);
        if (c >= 0 && !IsNetpbmSpace(c)) return std::nullopt;
        return static_cast<uint32_t>(value);
    }

private:
    InputFile& file_;
};

// Plain rows: one "0" or "1" per pixel, whitespace and comments between
// them optional. False at the end of the file or at anything else.
bool ReadPlainRow(PbmText& text, uint8_t* row, uint32_t width) {
    for (uint32_t x = 0; x < width; ++x) {
        int c;
        do c = text.Next();
        while (IsNetpbmSpace(c));
        if (c != '0' && c != '1') return false;
        row[x] = static_cast<uint8_t>(c - '0');
    }
    return true;
}

// Raw rows: eight pixels a byte, the first in the high bit, each row
// beginning on a new byte.
bool ReadRawRow(InputFile& file, std::vector<uint8_t>& packed, uint8_t* row, uint32_t width) {
    if (!file.ReadExact(packed.data(), packed.size())) return false;
    for (uint32_t x = 0; x < width; ++x) row[x] = (packed[x / 8] >> (7 - x % 8)) & 1;
    return true;
}

}  // namespace

Status ReadPbm(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail("Couldn't open PBM File!");
    const int p = file.ReadByte(), kind = file.ReadByte();
    if (p != 'P' || (kind != '1' && kind != '4')) return Status::Fail(kNotPbm);
    const bool plain = kind == '1';
    PbmText text(file);
    const auto width = text.Number();
    const auto height = width ? text.Number() : std::nullopt;
    if (!width || !height || *width == 0 || *height == 0) return Status::Fail(kNotPbm);

    CurrentImage& image = context.image;
    image.width = static_cast<int32_t>(std::min<uint32_t>(*width, INT32_MAX));
    image.height = static_cast<int32_t>(std::min<uint32_t>(*height, INT32_MAX));
    image.fileBitDepth = 1;
    image.palette = WhiteBlackPalette();  // 1 is black
    const auto layout = CheckedLayout(*width, *height, 8);
    if (!layout || !FileCanHold(*layout, file.size() - file.Tell(), plain ? expansion::kStored : kRawExpansion) ||
        !context.canvas.Create(image.width, image.height, 8, 0, image.palette)) {
        return Status::Fail(kNotPbm);
    }

    // A file that ends early keeps the rows it holds whole; the rest stays
    // white.
    std::vector<uint8_t> packed((static_cast<size_t>(*width) + 7) / 8), row(*width);
    for (int32_t y = 0; y < image.height; ++y) {
        const bool whole = plain ? ReadPlainRow(text, row.data(), *width) : ReadRawRow(file, packed, row.data(), *width);
        if (!whole) break;
        std::copy(row.begin(), row.end(), context.canvas.Row(image.height - 1 - y));
        context.RowDone();
    }
    return Status::Ok();
}

}  // namespace marbleye
