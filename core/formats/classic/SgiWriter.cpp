#include <map>
#include <vector>

#include "canvas/TrueColourRows.h"
#include "formats/classic/Sgi.h"
#include "io/OutputFile.h"

namespace marbleye {

namespace {

constexpr int kMaxPacket = 126;

// A literal packet wherever the next three values are not all equal, a
// repeat packet otherwise; the row ends with a 0 byte.
std::vector<uint8_t> EncodeRow(const std::vector<uint8_t>& row) {
    std::vector<uint8_t> out;
    const size_t n = row.size();
    size_t i = 0;
    const auto runStarts = [&](size_t at) { return at + 2 < n && row[at] == row[at + 1] && row[at] == row[at + 2]; };
    while (i < n) {
        const size_t start = i;
        while (i < n && !runStarts(i)) ++i;
        for (size_t at = start; at < i;) {
            const size_t count = std::min<size_t>(i - at, kMaxPacket);
            out.push_back(static_cast<uint8_t>(count | 0x80));
            out.insert(out.end(), row.begin() + static_cast<std::ptrdiff_t>(at),
                       row.begin() + static_cast<std::ptrdiff_t>(at + count));
            at += count;
        }
        if (i < n) {
            const uint8_t value = row[i];
            size_t count = 0;
            while (i < n && row[i] == value && count < kMaxPacket) ++i, ++count;
            out.push_back(static_cast<uint8_t>(count));
            out.push_back(value);
        }
    }
    out.push_back(0);
    return out;
}

}  // namespace

// The whole file is put together in memory: the offset tables come before
// the row data. Aggressive coding finds identical rows through a map of the
// rows already stored, instead of decoding them all again for every row.
Status WriteSgi(const std::string& path, const ImageCanvas& canvas, int32_t compression, Host& host) {
    const TrueColourRows pixels(canvas);
    if (pixels.empty()) return Status::Fail("can't create image file\n");
    OutputFile out;
    if (!out.Open(path)) return Status::Fail("can't create image file\n");
    const int32_t width = pixels.width(), height = pixels.height();
    const bool runLength = compression != 0;

    uint8_t header[512] = {};
    const auto put16 = [&](size_t at, uint32_t v) { header[at] = static_cast<uint8_t>(v >> 8), header[at + 1] = static_cast<uint8_t>(v); };
    put16(0, 474);
    header[2] = runLength ? 1 : 0;
    header[3] = 1;
    put16(4, 3);
    put16(6, static_cast<uint32_t>(width));
    put16(8, static_cast<uint32_t>(height));
    put16(10, 3);
    header[19] = 255;  // pixmax, after pixmin 0
    out.Write(header, sizeof header);

    const size_t tableBytes = static_cast<size_t>(height) * 3 * 4;
    std::vector<uint32_t> starts, lengths;
    std::vector<uint8_t> data;
    std::map<std::vector<uint8_t>, uint32_t> stored;
    std::vector<uint8_t> channelRow(static_cast<size_t>(width));
    ProgressScope progress(host, height);
    for (int32_t channel = 0; channel < 3; ++channel) {  // red, green, blue
        for (int32_t j = 0; j < height; ++j) {
            const uint8_t* row = pixels.Row(j);
            for (int32_t x = 0; x < width; ++x) channelRow[x] = row[x * 3 + 2 - channel];
            if (!runLength) {
                data.insert(data.end(), channelRow.begin(), channelRow.end());
                continue;
            }
            std::vector<uint8_t> encoded = EncodeRow(channelRow);
            const uint32_t offset = static_cast<uint32_t>(512 + 2 * tableBytes + data.size());
            auto found = compression == 2 ? stored.find(encoded) : stored.end();
            if (found != stored.end()) {
                starts.push_back(found->second);
            } else {
                starts.push_back(offset);
                if (compression == 2) stored.emplace(encoded, offset);
                data.insert(data.end(), encoded.begin(), encoded.end());
            }
            lengths.push_back(static_cast<uint32_t>(encoded.size()));
        }
        if (channel == 0) {
            for (int32_t j = 0; j < height; ++j) progress.Step();
        }
    }
    for (const std::vector<uint32_t>* table : {&starts, &lengths}) {
        for (uint32_t value : *table) out.U32BE(value);
    }
    out.Write(data.data(), data.size());
    if (!out.Commit()) return Status::Fail("can't create image file\n");
    return Status::Ok();
}

}  // namespace marbleye
