#include "formats/mng/MngStream.h"

#include <algorithm>
#include <cstring>

namespace marbleye {

namespace {

constexpr size_t kSignatureSize = 8;
constexpr size_t kChunkHeaderSize = 8;  // length and name
constexpr uint64_t kCrcSize = 4;
constexpr uint8_t kMngSignature[kSignatureSize] = {0x8A, 'M', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr uint8_t kPngSignature[kSignatureSize] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr uint8_t kJngSignature[kSignatureSize] = {0x8B, 'J', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

uint32_t BigEndian32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
           static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
}

bool NameIs(const uint8_t* header, const char* name) { return std::memcmp(header + 4, name, 4) == 0; }

bool LeftOut(const uint8_t* header) {
    return NameIs(header, "LOOP") || NameIs(header, "ENDL") || NameIs(header, "TERM");
}

bool IsImageStart(const uint8_t* header) {
    return NameIs(header, "IHDR") || NameIs(header, "JHDR") || NameIs(header, "BASI");
}

}  // namespace

bool MngStream::Open(const std::string& path, bool firstFrameOnly) {
    *this = MngStream();
    firstFrameOnly_ = firstFrameOnly;
    return file_.Open(path);
}

void MngStream::ReadTermination(uint64_t length) {
    uint8_t fields[10] = {};
    const size_t got = file_.Read(fields, static_cast<size_t>(std::min<uint64_t>(length, sizeof fields)));
    termination_ = MngTermination();
    termination_.repeat = got >= 10 && fields[0] == 3;
    if (!termination_.repeat) return;
    const uint64_t ticks = BigEndian32(fields + 2);
    termination_.delayMilliseconds = ticksPerSecond_ == 0
        ? 0 : static_cast<uint32_t>(std::min<uint64_t>(ticks * 1000 / ticksPerSecond_, UINT32_MAX));
    termination_.iterations = BigEndian32(fields + 6);
}

// Called with the header of the next chunk in header_; false while the
// chunk still belongs to the first frame. Under framing modes 1 and 3 an
// image's end ends the frame, under 2 and 4 the FRAM after an image.
bool MngStream::FirstFrameComplete(uint64_t length) {
    if (imageEnded_ && (framingMode_ == 1 || framingMode_ == 3)) return true;
    if (NameIs(header_, "FRAM")) {
        if (subframeHasImage_ && (framingMode_ == 2 || framingMode_ == 4)) return true;
        if (length > 0) {
            const uint64_t data = file_.Tell();
            const int mode = file_.ReadByte();
            if (mode >= 1 && mode <= 4) framingMode_ = mode;
            file_.Seek(data);
        }
    }
    if (IsImageStart(header_)) subframeHasImage_ = true;
    imageEnded_ = NameIs(header_, "IEND") && subframeHasImage_;
    return false;
}

void MngStream::StartNextChunk() {
    headerUsed_ = headerSize_ = 0;
    passing_ = 0;
    while (!ended_) {
        const size_t got = file_.Read(header_, kChunkHeaderSize);
        if (got < kChunkHeaderSize) {
            headerSize_ = got;  // the library is to see the file end where it ends
            ended_ = true;
            return;
        }
        const uint64_t length = BigEndian32(header_);
        if (NameIs(header_, "MHDR") && length >= 12) {
            const uint64_t data = file_.Tell();
            uint8_t fields[12] = {};
            if (file_.ReadExact(fields, sizeof fields)) ticksPerSecond_ = BigEndian32(fields + 8);
            file_.Seek(data);
        }
        if (firstFrameOnly_ && FirstFrameComplete(length)) {
            endedAfterFirstFrame_ = ended_ = true;
            return;
        }
        if (!LeftOut(header_)) {
            headerSize_ = kChunkHeaderSize;
            passing_ = length + kCrcSize;
            return;
        }
        const uint64_t next = file_.Tell() + length + kCrcSize;
        if (NameIs(header_, "TERM")) ReadTermination(length);
        if (next > file_.size() || !file_.Seek(next)) ended_ = true;
    }
}

size_t MngStream::Read(uint8_t* target, size_t count) {
    size_t done = 0;
    if (!signaturePassed_) {
        signaturePassed_ = true;
        passing_ = kSignatureSize;
    }
    while (done < count) {
        if (headerUsed_ < headerSize_) {
            const size_t part = std::min(count - done, headerSize_ - headerUsed_);
            std::memcpy(target + done, header_ + headerUsed_, part);
            headerUsed_ += part;
            done += part;
            continue;
        }
        if (passing_ == 0) {
            if (ended_) break;
            StartNextChunk();
            continue;
        }
        const size_t wanted = static_cast<size_t>(std::min<uint64_t>(count - done, passing_));
        const size_t got = file_.Read(target + done, wanted);
        done += got;
        passing_ -= got;
        if (got < wanted) {
            ended_ = true;
            break;
        }
    }
    return done;
}

MngCounts CountFramesAndLayers(const std::string& path) {
    InputFile file;
    uint8_t signature[kSignatureSize] = {};
    if (!file.Open(path) || !file.ReadExact(signature, kSignatureSize)) return MngCounts();
    if (std::memcmp(signature, kPngSignature, kSignatureSize) == 0 ||
        std::memcmp(signature, kJngSignature, kSignatureSize) == 0) {
        return MngCounts{1, 1};
    }
    if (std::memcmp(signature, kMngSignature, kSignatureSize) != 0) return MngCounts();

    int64_t frames = 0, images = 0;
    int framingMode = 1;
    bool subframeHasImage = false;
    const auto closeSubframe = [&] {
        if ((framingMode == 2 || framingMode == 4) && subframeHasImage) ++frames;
        subframeHasImage = false;
    };
    uint8_t header[kChunkHeaderSize] = {};
    // Every chunk takes at least 12 bytes of the file, so the walk ends.
    while (file.ReadExact(header, kChunkHeaderSize)) {
        const uint64_t length = BigEndian32(header);
        const uint64_t next = file.Tell() + length + kCrcSize;
        if (NameIs(header, "MEND")) break;
        if (NameIs(header, "FRAM")) {
            closeSubframe();
            const int mode = length > 0 ? file.ReadByte() : 0;
            if (mode >= 1 && mode <= 4) framingMode = mode;
        } else if (IsImageStart(header)) {
            ++images;
            if (framingMode == 1 || framingMode == 3) ++frames;
            else subframeHasImage = true;
        }
        if (next > file.size() || !file.Seek(next)) break;
    }
    closeSubframe();
    constexpr int64_t kMost = INT32_MAX;
    return MngCounts{static_cast<int32_t>(std::min(frames, kMost)), static_cast<int32_t>(std::min(images + 1, kMost))};
}

}  // namespace marbleye
