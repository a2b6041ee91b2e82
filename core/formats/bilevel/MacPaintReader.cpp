#include <cstring>

#include "formats/bilevel/Bilevel.h"
#include "formats/bilevel/BilevelPalettes.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

constexpr int32_t kWidth = 576, kHeight = 720;
constexpr size_t kRowBytes = kWidth / 8;

// Where the picture data starts: after a 128-byte Macintosh file header
// (file type "PNTG" at byte 65) and the 512-byte MacPaint header, after the
// MacPaint header alone (whose version word begins with a zero byte), or at
// once. Zero when the file is too short for the header it has.
uint64_t DataOffset(InputFile& file) {
    uint8_t start[69] = {};
    const size_t got = file.Read(start, sizeof start);
    if (got == 0) return 0;
    uint64_t offset = 0;
    if (got == sizeof start && std::memcmp(start + 65, "PNTG", 4) == 0) {
        offset = 640;
    } else if (start[0] == 0) {
        offset = 512;
    }
    return offset;
}

// PackBits: a code below 128 is followed by code + 1 literal bytes, a code
// above 128 repeats the next byte 257 - code times, 128 is skipped. Runs may
// go on into the next row, as some writers pack the picture as one stream.
class PackBitsRows {
public:
    explicit PackBitsRows(InputFile& file) : file_(file) {}

    // Fills one row; false when the file ended first.
    bool Read(uint8_t* row) {
        for (size_t i = 0; i < kRowBytes;) {
            if (literal_ > 0) {
                const int byte = file_.ReadByte();
                if (byte < 0) return false;
                row[i++] = static_cast<uint8_t>(byte);
                --literal_;
                continue;
            }
            if (repeat_ > 0) {
                row[i++] = value_;
                --repeat_;
                continue;
            }
            const int code = file_.ReadByte();
            if (code < 0) return false;
            if (code < 128) {
                literal_ = code + 1;
            } else if (code > 128) {
                const int value = file_.ReadByte();
                if (value < 0) return false;
                value_ = static_cast<uint8_t>(value);
                repeat_ = 257 - code;
            }
        }
        return true;
    }

private:
    InputFile& file_;
    int literal_ = 0;
    int repeat_ = 0;
    uint8_t value_ = 0;
};

}  // namespace

Status ReadMacPaint(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail("Couldn't open MAC File!");
    const uint64_t offset = DataOffset(file);
    if (file.size() == 0 || file.size() < offset || !file.Seek(offset)) return Status::Fail("Couldn't read MACHeader!");

    CurrentImage& image = context.image;
    image.width = kWidth;
    image.height = kHeight;
    image.fileBitDepth = 1;
    image.palette = WhiteBlackPalette();  // a set bit is black ink
    if (!context.canvas.Create(kWidth, kHeight, 1, 0, image.palette)) return Status::Fail("Couldn't read MACHeader!");

    // Rows the file does not reach stay white (index 0).
    PackBitsRows rows(file);
    for (int32_t y = 0; y < kHeight; ++y) {
        if (!rows.Read(context.canvas.Row(kHeight - 1 - y))) break;
        context.RowDone();
    }
    return Status::Ok();
}

}  // namespace marbleye
