#include <algorithm>
#include <cassert>
#include <vector>

#include "canvas/DeclaredSize.h"
#include "formats/classic/Sgi.h"
#include "io/ByteReader.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

constexpr std::string_view kNotSgi = "This is not an valid SGI Image!";
constexpr uint16_t kMagic = 474;
constexpr size_t kHeaderSize = 512;
constexpr uint8_t kRunLength = 1;

// A run-length row's runs cover at most 127 pixels each and take at least
// two bytes (a count and a value).
constexpr uint64_t kPixelsPerRun = 127;
constexpr uint64_t kBytesPerRun = 2;

struct SgiHeader {
    uint8_t storage = 0;
    int32_t width = 0, height = 0;
    int32_t channels = 0;

    bool runLength() const { return storage == kRunLength; }
    // The channels read: three for colour (a fourth is ignored), else the first as grey.
    int32_t used() const { return channels >= 3 ? 3 : 1; }
    size_t rowCount() const { return static_cast<size_t>(channels) * static_cast<size_t>(height); }
};

Status ReadHeader(InputFile& file, SgiHeader& header) {
    uint8_t bytes[kHeaderSize];
    ByteReader fields(bytes, file.Read(bytes, sizeof bytes));
    const uint16_t magic = fields.U16BE();
    header.storage = fields.U8();
    const uint8_t bytesPerChannel = fields.U8();
    fields.U16BE();  // dimension
    header.width = fields.U16BE(), header.height = fields.U16BE();
    header.channels = std::max<int32_t>(fields.U16BE(), 1);
    if (fields.failed() || magic != kMagic) return Status::Fail(std::string(kNotSgi));
    if (bytesPerChannel == 2) return Status::Fail("Sorry, WORD Version currently not supported!");
    if (bytesPerChannel != 1 || header.width == 0 || header.height == 0 || header.channels > 4) {
        return Status::Fail(std::string(kNotSgi));
    }
    return Status::Ok();
}

// Whether the file can hold the rows the header declares. Verbatim planes
// are stored as they are. Run-length rows come through two tables of a
// 4-byte offset and a 4-byte length per row of each channel, so the tables
// alone need 8 bytes per row; rows may share their data, so beyond the
// tables the file need only hold the runs of one row.
bool FileHoldsRows(const InputFile& file, const SgiHeader& header) {
    const uint64_t size = file.size();
    if (!header.runLength()) {
        const uint64_t decoded = static_cast<uint64_t>(header.width) * header.height * header.used();
        return FileCanHold(decoded, size - std::min<uint64_t>(size, kHeaderSize), expansion::kStored);
    }
    const uint64_t tablesEnd = kHeaderSize + header.rowCount() * 8;
    const uint64_t oneRow = (header.width + kPixelsPerRun - 1) / kPixelsPerRun * kBytesPerRun;
    return tablesEnd <= size && oneRow <= size - tablesEnd;
}

// The file offset of every run-length row, channel by channel, bottom row first.
std::vector<uint32_t> ReadRowStarts(InputFile& file, const SgiHeader& header) {
    std::vector<uint8_t> table(header.rowCount() * 4);
    file.Seek(kHeaderSize);
    ByteReader offsets(table.data(), file.Read(table.data(), table.size()));
    std::vector<uint32_t> starts(header.rowCount());
    for (uint32_t& start : starts) start = offsets.U32BE();
    return starts;
}

// One run-length row: a byte with bit 7 set copies the next (low 7 bits)
// bytes, otherwise the next byte is repeated; a count of 0 ends the row.
void DecodeRow(InputFile& file, uint8_t* row, int32_t width) {
    int32_t x = 0;
    while (x < width) {
        const int control = file.ReadByte();
        if (control <= 0) return;
        const int count = control & 0x7F;
        if (count == 0) return;
        if (control & 0x80) {
            for (int i = 0; i < count; ++i) {
                const int byte = file.ReadByte();
                if (byte < 0) return;
                if (x < width) row[x++] = static_cast<uint8_t>(byte);
            }
        } else {
            const int value = file.ReadByte();
            if (value < 0) return;
            for (int i = 0; i < count && x < width; ++i) row[x++] = static_cast<uint8_t>(value);
        }
    }
}

// Reads one row of one channel (index counts rows channel by channel);
// what the file does not hold stays 0.
void ReadRow(InputFile& file, const SgiHeader& header, const std::vector<uint32_t>& starts, size_t index,
             std::vector<uint8_t>& row) {
    std::fill(row.begin(), row.end(), 0);
    if (header.runLength()) {
        assert(index < starts.size());
        if (file.Seek(starts[index])) DecodeRow(file, row.data(), header.width);
    } else if (file.Seek(kHeaderSize + index * static_cast<size_t>(header.width))) {
        file.Read(row.data(), row.size());
    }
}

// Decodes the used channels into the canvas, each channel's rows bottom-up
// like the canvas.
void DecodeRows(InputFile& file, const SgiHeader& header, const std::vector<uint32_t>& starts, LoadContext& context) {
    const int32_t used = header.used();
    assert(context.canvas.bitsPerPixel() == (used == 1 ? 8 : 24));
    std::vector<uint8_t> row(static_cast<size_t>(header.width));
    for (int32_t channel = 0; channel < used; ++channel) {
        for (int32_t j = 0; j < header.height; ++j) {
            ReadRow(file, header, starts, static_cast<size_t>(channel) * header.height + j, row);
            uint8_t* target = context.canvas.Row(j);
            if (used == 1) {
                std::copy(row.begin(), row.end(), target);
            } else {
                for (int32_t x = 0; x < header.width; ++x) target[x * 3 + 2 - channel] = row[x];
            }
            context.RowDone();
        }
    }
}

}  // namespace

Status ReadSgi(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail("Couldn't open File!");
    SgiHeader header;
    if (Status status = ReadHeader(file, header); !status) return status;
    if (!FileHoldsRows(file, header)) return Status::Fail(std::string(kNotSgi));

    CurrentImage& image = context.image;
    image.width = header.width, image.height = header.height, image.fileBitDepth = header.channels * 8;
    image.palette = header.used() == 1 ? GrayRamp() : Palette256{};
    if (!context.canvas.Create(header.width, header.height, header.used() == 1 ? 8 : 24, 0, image.palette)) {
        return Status::Fail("Not enough Memory!");
    }
    const std::vector<uint32_t> starts = header.runLength() ? ReadRowStarts(file, header) : std::vector<uint32_t>();
    DecodeRows(file, header, starts, context);
    return Status::Ok();
}

}  // namespace marbleye
