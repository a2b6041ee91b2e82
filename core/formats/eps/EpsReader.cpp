#include <vector>

#include "formats/eps/Eps.h"
#include "formats/tiff/Tiff.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

uint32_t LittleEndian32(const uint8_t* bytes) {
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (uint32_t(bytes[3]) << 24);
}

}  // namespace

Status ReadEpsPreview(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail("Unable to open file!");
    // Magic, PostScript offset and length, metafile offset and length, TIFF
    // offset and length, checksum.
    uint8_t header[30] = {};
    if (!file.ReadExact(header, sizeof header) || header[0] != 0xC5 || header[1] != 0xD0 || header[2] != 0xD3 ||
        header[3] != 0xC6) {
        return Status::Fail("NO Preview Image found!");
    }
    const uint32_t metafileOffset = LittleEndian32(header + 12), metafileLength = LittleEndian32(header + 16);
    const uint32_t tiffOffset = LittleEndian32(header + 20), tiffLength = LittleEndian32(header + 24);
    const bool hasTiff = tiffOffset != 0 && tiffLength != 0;
    if (metafileOffset != 0 && metafileLength != 0 && !hasTiff) {
        return Status::Fail("Unable to load Windows 3.x Metafile");
    }
    if (!hasTiff) return Status::Fail("NO Preview Image found!");
    if (uint64_t(tiffOffset) + tiffLength > file.size()) return Status::Fail("Error getting TIFF!");
    std::vector<uint8_t> preview(tiffLength);
    if (!file.Seek(tiffOffset) || !file.ReadExact(preview.data(), preview.size())) {
        return Status::Fail("Error getting TIFF!");
    }
    return ReadTiffPreview(preview, context);
}

}  // namespace marbleye
