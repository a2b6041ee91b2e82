#include <vector>

#include "canvas/TrueColourRows.h"
#include "formats/classic/SunRaster.h"
#include "io/OutputFile.h"

namespace marbleye {

namespace {

// One run coder for all bytes of the picture: runs go on across rows and are
// cut at 256.
class ByteEncoder {
public:
    explicit ByteEncoder(std::vector<uint8_t>& out) : out_(out) {}
    void Put(uint8_t byte) {
        if (count_ > 0 && byte == value_ && count_ < 256) {
            ++count_;
            return;
        }
        Flush();
        value_ = byte;
        count_ = 1;
    }
    void Flush() {
        if (count_ == 0) return;
        if (count_ == 1) {
            if (value_ == 0x80) out_.insert(out_.end(), {0x80, 0});
            else out_.push_back(value_);
        } else if (count_ == 2 && value_ != 0x80) {
            out_.insert(out_.end(), {value_, value_});
        } else {
            out_.insert(out_.end(), {0x80, static_cast<uint8_t>(count_ - 1), value_});
        }
        count_ = 0;
    }

private:
    std::vector<uint8_t>& out_;
    uint8_t value_ = 0;
    int count_ = 0;
};

}  // namespace

// The header's length is the length of the data as stored, so that readers
// which take it literally find all of it.
Status WriteSunRaster(const std::string& path, const ImageCanvas& canvas, bool runLength, Host& host) {
    const TrueColourRows pixels(canvas);
    if (pixels.empty()) return Status::Fail("Couldn't open file to write RAS Data!");
    OutputFile out;
    if (!out.Open(path)) return Status::Fail("Couldn't open file to write RAS Data!");
    const size_t rowBytes = static_cast<size_t>(pixels.width()) * 3;
    const size_t paddedRow = rowBytes + (rowBytes & 1);
    std::vector<uint8_t> data;
    data.reserve(runLength ? paddedRow * 2 : paddedRow * pixels.height());
    ByteEncoder encoder(data);
    ProgressScope progress(host, pixels.height());
    for (int32_t y = pixels.height() - 1; y >= 0; --y) {
        const uint8_t* row = pixels.Row(y);
        for (size_t i = 0; i < paddedRow; ++i) {
            const uint8_t byte = i < rowBytes ? row[i] : 0;
            if (runLength) encoder.Put(byte);
            else data.push_back(byte);
        }
        progress.Step();
    }
    encoder.Flush();
    for (uint32_t word : {0x59A66A95u, static_cast<uint32_t>(pixels.width()), static_cast<uint32_t>(pixels.height()),
                          24u, static_cast<uint32_t>(data.size()), runLength ? 2u : 1u, 0u, 0u}) {
        out.U32BE(word);
    }
    out.Write(data.data(), data.size());
    if (!out.Commit()) return Status::Fail("Couldn't open file to write RAS Data!");
    return Status::Ok();
}

}  // namespace marbleye
