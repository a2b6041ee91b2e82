#include <vector>

#include "formats/eps/Eps.h"
#include "formats/tiff/Tiff.h"
#include "io/ByteReader.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

constexpr uint32_t kMagic = 0xC6D3D0C5;  // C5 D0 D3 C6 read as a little-endian word
constexpr size_t kHeaderBytes = 30;

// Where a section of the file lies; absent when offset or length is 0.
struct Section {
    uint32_t offset = 0;
    uint32_t length = 0;
    bool present() const { return offset != 0 && length != 0; }
};

// The binary header: magic, then the PostScript, metafile and TIFF sections
// (offset and length each, little-endian), then a checksum.
struct EpsHeader {
    Section metafile;
    Section tiff;
};

bool ReadHeader(InputFile& file, EpsHeader& header) {
    uint8_t bytes[kHeaderBytes];
    ByteReader in(bytes, file.Read(bytes, sizeof bytes));
    const uint32_t magic = in.U32LE();
    in.Skip(8);  // PostScript section
    header.metafile.offset = in.U32LE(), header.metafile.length = in.U32LE();
    header.tiff.offset = in.U32LE(), header.tiff.length = in.U32LE();
    in.U16LE();  // checksum
    return !in.failed() && magic == kMagic;
}

}  // namespace

Status ReadEpsPreview(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail("Unable to open file!");
    EpsHeader header;
    if (!ReadHeader(file, header)) return Status::Fail("NO Preview Image found!");
    if (header.metafile.present() && !header.tiff.present()) return Status::Fail("Unable to load Windows 3.x Metafile");
    if (!header.tiff.present()) return Status::Fail("NO Preview Image found!");
    // The preview is copied out only when the file holds all of it.
    if (uint64_t{header.tiff.offset} + header.tiff.length > file.size()) return Status::Fail("Error getting TIFF!");
    std::vector<uint8_t> preview(header.tiff.length);
    if (!file.Seek(header.tiff.offset) || !file.ReadExact(preview.data(), preview.size())) {
        return Status::Fail("Error getting TIFF!");
    }
    return ReadTiffPreview(preview, context);
}

}  // namespace marbleye
