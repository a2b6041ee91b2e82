#include "support/IffBuilder.h"

namespace marbleye::test {

std::string IffBigEndian32(uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

std::string IffBigEndian16(uint16_t value) { return {static_cast<char>(value >> 8), static_cast<char>(value)}; }

std::string IffChunk(const std::string& name, const std::string& data) {
    std::string chunk = name + IffBigEndian32(static_cast<uint32_t>(data.size())) + data;
    if (data.size() % 2 == 1) chunk += '\0';
    return chunk;
}

std::string IffBitmapHeader(const IffPicture& p) {
    std::string data = IffBigEndian16(p.width) + IffBigEndian16(p.height);
    data += IffBigEndian16(0) + IffBigEndian16(0);  // x, y
    data += static_cast<char>(p.planes);
    data += static_cast<char>(p.masking);
    data += static_cast<char>(p.compress ? 1 : 0);
    data += '\0';                                    // pad
    data += IffBigEndian16(0);                       // transparent colour
    data += '\x0A';                                  // x aspect
    data += '\x0B';                                  // y aspect
    data += IffBigEndian16(p.width) + IffBigEndian16(p.height);  // page size
    return data;
}

std::string ByteRun1Row(const std::string& row) {
    std::string out;
    size_t i = 0;
    while (i < row.size()) {
        size_t run = 1;
        while (i + run < row.size() && run < 128 && row[i + run] == row[i]) ++run;
        if (run >= 3) {
            out += static_cast<char>(257 - run);  // -(run - 1) as a signed byte
            out += row[i];
            i += run;
            continue;
        }
        // Literals up to the next run of three or 128 bytes.
        size_t end = i;
        while (end < row.size() && end - i < 128) {
            if (end + 2 < row.size() && row[end] == row[end + 1] && row[end] == row[end + 2]) break;
            ++end;
        }
        out += static_cast<char>(end - i - 1);
        out += row.substr(i, end - i);
        i = end;
    }
    return out;
}

std::string IffBodyData(const IffPicture& p) {
    std::string body;
    const bool interleaved = p.formType == "ILBM";
    const size_t planeBytes = (p.width + 15u) / 16u * 2u;
    for (size_t y = 0; y < p.height; ++y) {
        const uint32_t* line = p.pixels.data() + y * p.width;
        std::string row;
        if (interleaved) {
            for (int plane = 0; plane < p.planes; ++plane) {
                std::string bits(planeBytes, '\0');
                for (size_t x = 0; x < p.width; ++x) {
                    if ((line[x] >> plane) & 1) bits[x / 8] = static_cast<char>(bits[x / 8] | (0x80 >> (x % 8)));
                }
                row += p.compress ? ByteRun1Row(bits) : bits;
            }
            if (p.masking == 1) {
                std::string mask(planeBytes, '\0');
                for (size_t i = 0; i < planeBytes && y * planeBytes + i < p.maskBits.size(); ++i) {
                    mask[i] = static_cast<char>(p.maskBits[y * planeBytes + i]);
                }
                row += p.compress ? ByteRun1Row(mask) : mask;
            }
        } else if (p.planes == 8) {
            for (size_t x = 0; x < p.width; ++x) row += static_cast<char>(line[x]);
        } else {
            for (size_t x = 0; x < p.width; x += 2) {
                const uint32_t right = x + 1 < p.width ? line[x + 1] : 0;
                row += static_cast<char>((line[x] << 4) | (right & 0x0F));
            }
        }
        if (interleaved) {
            body += row;
            continue;
        }
        if (row.size() % 2 == 1) row += '\0';
        body += p.compress ? ByteRun1Row(row) : row;
    }
    return body;
}

std::string IffFile(const IffPicture& p) {
    std::string inner = p.formType + IffChunk("BMHD", IffBitmapHeader(p));
    if (!p.palette.empty()) inner += IffChunk("CMAP", std::string(p.palette.begin(), p.palette.end()));
    if (p.viewModes) inner += IffChunk("CAMG", IffBigEndian32(p.modes));
    inner += IffChunk("BODY", IffBodyData(p));
    return "FORM" + IffBigEndian32(static_cast<uint32_t>(inner.size())) + inner;
}

}  // namespace marbleye::test
