#include <vector>

#include "formats/eps/Eps.h"
#include "formats/metafile/Metafile.h"
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

// The bytes of a section, which must lie inside the file.
bool ReadSection(InputFile& file, const Section& section, std::vector<uint8_t>& bytes) {
    if (uint64_t{section.offset} + section.length > file.size()) return false;
    bytes.resize(section.length);
    return file.Seek(section.offset) && file.ReadExact(bytes.data(), bytes.size());
}

}  // namespace

Status ReadEpsPreview(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail("Unable to open file!");
    EpsHeader header;
    if (!ReadHeader(file, header)) return Status::Fail("NO Preview Image found!");
    // The metafile preview comes first where the system can play it; without
    // a metafile player a TIFF preview beside it is shown instead.
    const bool playMetafile =
        header.metafile.present() && (context.host.PlaysMetafiles() || !header.tiff.present());
    std::vector<uint8_t> preview;
    if (playMetafile) {
        if (!ReadSection(file, header.metafile, preview)) return Status::Fail("Unable to load Windows 3.x Metafile");
        return ShowMetafile(preview, context);
    }
    if (!header.tiff.present()) return Status::Fail("NO Preview Image found!");
    // The preview is copied out only when the file holds all of it.
    if (!ReadSection(file, header.tiff, preview)) return Status::Fail("Error getting TIFF!");
    return ReadTiffPreview(preview, context);
}

}  // namespace marbleye
