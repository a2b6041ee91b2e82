#include "support/BmpBuilder.h"

namespace marbleye::test {

namespace {

void Put16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

std::string BmpBuilder::Bytes() const {
    std::string header;
    if (headerSize == 12) {
        Put16(header, static_cast<uint32_t>(width));
        Put16(header, static_cast<uint32_t>(height));
        Put16(header, 1);
        Put16(header, bitCount);
    } else {
        Put32(header, static_cast<uint32_t>(width));
        Put32(header, static_cast<uint32_t>(height));
        Put16(header, 1);
        Put16(header, bitCount);
        Put32(header, compression);
        Put32(header, 0);  // image size
        Put32(header, 0);  // resolutions
        Put32(header, 0);
        Put32(header, coloursUsed);
        Put32(header, 0);  // important colours
    }
    // Version 4 and 5 headers hold the masks inside; a 40-byte header is
    // followed by them.
    std::string maskBytes;
    for (uint32_t mask : masks) Put32(maskBytes, mask);
    const size_t fieldBytes = headerSize >= 4 ? headerSize - 4 : 0;
    if (headerSize > 40) {
        header += maskBytes;
        header.resize(fieldBytes, '\0');
    } else {
        header.resize(fieldBytes, '\0');
        header += maskBytes;
    }

    std::string body = header;
    body.append(palette.begin(), palette.end());
    const uint32_t offset = dataOffset ? dataOffset : static_cast<uint32_t>(18 + body.size());
    std::string file = "BM";
    Put32(file, static_cast<uint32_t>(offset + pixels.size()));
    Put32(file, 0);
    Put32(file, offset);
    Put32(file, headerSize);
    file += body;
    if (file.size() < offset) file.resize(offset, '\0');
    file.append(pixels.begin(), pixels.end());
    return file;
}

}  // namespace marbleye::test
