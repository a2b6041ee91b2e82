#include "formats/mng/MngWriter.h"

#include <algorithm>
#include <optional>
#include <cstdlib>
#include <sys/stat.h>
#include <vector>

#include "formats/png/MngChunkWriter.h"
#include <zlib.h>

#include "canvas/PixelLimits.h"
#include "canvas/TrueColourRows.h"
#include "formats/FormatId.h"
#include "formats/png/Png.h"
#include "io/OutputFile.h"

namespace marbleye {

namespace {

constexpr std::string_view kNoDataBuffer = "Cannot allocate data buffer.";
constexpr std::string_view kNoLibrary = "Cannot initialize libmng.";
constexpr std::string_view kOutOfMemory = "Out of Memory!";
constexpr std::string_view kWriteError = "write error";
constexpr std::string_view kNoCompression = "Unable to compress imagedata!";

// Header and loop of an animation converted from GIF: delays are GIF's
// hundredths of a second, so a tick is one of them.
constexpr mng_uint32 kTicksPerSecond = 100;
constexpr mng_uint32 kSimplicityProfile = 15;  // valid, simple, complex, transparency
constexpr mng_uint8 kTermRepeat = 3;
constexpr mng_uint8 kTermShowFirstFrameAfterLast = 2;
constexpr mng_uint32 kTermIterationMax = 0x7FFFFFFF;
// Framing modes: each layer a frame over the previous one, or over a freshly
// drawn background (GIF's disposal 2, "restore to background").
constexpr mng_uint8 kFramingLayers = 1;
constexpr mng_uint8 kFramingRestoreBackground = 3;
constexpr mng_uint8 kGifRestoreBackground = 2;
constexpr mng_uint8 kFramChangeDefault = 2;  // the new delay holds until changed again
constexpr int kDeflateLevel = 9;

// An output file with a library handle that writes into it; the chunks are
// queued with Put and go to the file in Finish.
class MngOutput {
public:
    Status Open(const std::string& path) {
        if (!out_.Open(path)) return Status::Fail(std::string(kWriteError));
        writer_.emplace(out_);
        if (!writer_->valid()) return Status::Fail(std::string(kNoLibrary));
        return Status::Ok();
    }

    mng_handle handle() const { return writer_->handle(); }

    // Remembers the first failure of a chunk call.
    void Put(mng_retcode code) {
        if (code != MNG_NOERROR && error_ == MNG_NOERROR) error_ = code;
    }

    Status Finish() {
        if (error_ == MNG_NOERROR) Put(mng_write(writer_->handle()));
        if (error_ == MNG_OUTOFMEMORY) return Status::Fail(std::string(kOutOfMemory));
        if (error_ != MNG_NOERROR || !out_.Commit()) return Status::Fail(std::string(kWriteError));
        return Status::Ok();
    }

private:
    OutputFile out_;
    std::optional<MngChunkWriter> writer_;  // after out_: it goes first
    mng_retcode error_ = MNG_NOERROR;
};

// Rows of `bytesPerRow` bytes, each behind filter byte 0, deflated at level 9.
// `rowAt(y)` gives row y counted from the top.
template <typename RowAt>
bool DeflateRows(int32_t bytesPerRow, int32_t rows, RowAt rowAt, std::vector<uint8_t>& packed) {
    const size_t line = static_cast<size_t>(bytesPerRow) + 1;
    std::vector<uint8_t> raw(line * static_cast<size_t>(rows));
    for (int32_t y = 0; y < rows; ++y) {
        const uint8_t* row = rowAt(y);
        std::copy(row, row + bytesPerRow, raw.begin() + static_cast<std::ptrdiff_t>(line * y + 1));
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    packed.resize(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), kDeflateLevel) != Z_OK) {
        return false;
    }
    packed.resize(packedSize);
    return true;
}

// A region of a cell; right and bottom are exclusive.
struct Rectangle {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
};

// The smallest rectangle that holds every pixel differing between two cells.
// Cells without a difference give the top-left pixel, so that the frame
// still has an image.
Rectangle ChangedRectangle(const uint8_t* previous, const uint8_t* current, int32_t width, int32_t height) {
    Rectangle changed{width, height, 0, 0};
    for (int32_t y = 0; y < height; ++y) {
        const size_t start = static_cast<size_t>(y) * width;
        for (int32_t x = 0; x < width; ++x) {
            if (previous[start + x] == current[start + x]) continue;
            changed.left = std::min(changed.left, x);
            changed.right = std::max(changed.right, x + 1);
            changed.top = std::min(changed.top, y);
            changed.bottom = std::max(changed.bottom, y + 1);
        }
    }
    if (changed.right == 0) return Rectangle{0, 0, 1, 1};
    return changed;
}

// The delays are GIF's; a delay of 0 after the first frame plays as 1.
mng_uint32 PlayTime(const std::vector<int32_t>& delaysFirstToLast) {
    uint64_t total = 0;
    for (size_t f = 0; f < delaysFirstToLast.size(); ++f) {
        const int32_t delay = std::max<int32_t>(delaysFirstToLast[f], 0);
        total += (f > 0 && delay == 0) ? 1 : static_cast<uint64_t>(delay);
    }
    return static_cast<mng_uint32>(std::min<uint64_t>(total, 0xFFFFFFFFu));
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// One PNG image of 24-bit RGB rows (the canvas's blue-green-red reordered).
Status WriteRgbImage(const std::string& path, const ImageCanvas& canvas, Host& host) {
    ProgressScope progress(host, 2);
    const TrueColourRows pixels(canvas);
    if (pixels.empty()) return Status::Fail(std::string(kOutOfMemory));
    const int32_t width = pixels.width(), height = pixels.height();
    if (!CheckedLayout(static_cast<int64_t>(width) * 3 + 1, height, 8)) return Status::Fail(std::string(kNoDataBuffer));
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * 3);
    std::vector<uint8_t> packed;
    const bool deflated = DeflateRows(width * 3, height, [&](int32_t y) {
        const uint8_t* source = pixels.Row(height - 1 - y);
        for (int32_t x = 0; x < width; ++x) {
            rgb[x * 3] = source[x * 3 + 2];
            rgb[x * 3 + 1] = source[x * 3 + 1];
            rgb[x * 3 + 2] = source[x * 3];
        }
        return static_cast<const uint8_t*>(rgb.data());
    }, packed);
    if (!deflated) return Status::Fail(std::string(kNoCompression));
    progress.Step();

    MngOutput output;
    if (Status opened = output.Open(path); !opened) return opened;
    const mng_handle mng = output.handle();
    output.Put(mng_putchunk_ihdr(mng, static_cast<mng_uint32>(width), static_cast<mng_uint32>(height), 8,
                                 MNG_COLORTYPE_RGB, MNG_COMPRESSION_DEFLATE, MNG_FILTER_ADAPTIVE, MNG_INTERLACE_NONE));
    output.Put(mng_putchunk_idat(mng, static_cast<mng_uint32>(packed.size()), packed.data()));
    output.Put(mng_putchunk_iend(mng));
    Status finished = output.Finish();
    progress.Step();
    return finished;
}

Status WriteSingleImage(const std::string& path, const ImageCanvas& canvas, const CurrentImage& image, Host& host) {
    if (!canvas.valid()) return Status::Fail(std::string(kOutOfMemory));
    if (canvas.bitsPerPixel() > 8 && image.fileBitDepth > 8) return WriteRgbImage(path, canvas, host);
    return WriteCanvasAsPalettePng(path, canvas, host);
}

}  // namespace

std::string SingleImagePathFor(const std::string& path) {
    return path.substr(0, path.size() >= 3 ? path.size() - 3 : 0) + "png";
}

Status WriteMngAnimation(const std::string& path, const GifFrames& frames, Host& host) {
    const int32_t count = frames.frameCount, width = frames.width, height = frames.height;
    const size_t cellBytes = static_cast<size_t>(width) * height;
    if (count < 1 || width < 1 || height < 1 || frames.indices.size() < cellBytes * count ||
        frames.delays.size() < static_cast<size_t>(count) || frames.disposals.size() < static_cast<size_t>(count) ||
        frames.transparents.size() < static_cast<size_t>(count)) {
        return Status::Fail(std::string(kNoDataBuffer));
    }
    // The frames come last first: `cell(f)` and `at(table, f)` give frame f
    // counted from the first.
    const auto cell = [&](int32_t f) { return frames.indices.data() + cellBytes * (count - 1 - f); };
    const auto at = [&](const auto& table, int32_t f) { return table[count - 1 - f]; };
    if (!CheckedLayout(static_cast<int64_t>(width) + 1, height, 8)) return Status::Fail(std::string(kNoDataBuffer));

    ProgressScope progress(host, count);
    MngOutput output;
    if (Status opened = output.Open(path); !opened) return opened;
    const mng_handle mng = output.handle();

    std::vector<int32_t> delays(count);
    for (int32_t f = 0; f < count; ++f) delays[f] = std::max<int32_t>(at(frames.delays, f), 0);
    output.Put(mng_putchunk_mhdr(mng, static_cast<mng_uint32>(width), static_cast<mng_uint32>(height),
                                 kTicksPerSecond, static_cast<mng_uint32>(count) + 1, static_cast<mng_uint32>(count),
                                 PlayTime(delays), kSimplicityProfile));
    output.Put(mng_putchunk_term(mng, kTermRepeat, kTermShowFirstFrameAfterLast, static_cast<mng_uint32>(delays[0]),
                                 kTermIterationMax));

    mng_palette8 palette = {};
    for (int i = 0; i < 256; ++i) {
        palette[i].iRed = frames.palette[i * 3];
        palette[i].iGreen = frames.palette[i * 3 + 1];
        palette[i].iBlue = frames.palette[i * 3 + 2];
    }
    output.Put(mng_putchunk_plte(mng, 256, palette));
    mng_uint8arr alphas = {};
    std::fill(std::begin(alphas), std::end(alphas), mng_uint8{255});
    int32_t alphaCount = 0;
    for (int32_t f = 0; f < count; ++f) {
        const int32_t transparent = at(frames.transparents, f);
        if (transparent < 0 || transparent > 255) continue;
        alphas[transparent] = 0;
        alphaCount = std::max(alphaCount, transparent + 1);
    }
    if (alphaCount > 0) {
        output.Put(mng_putchunk_trns(mng, MNG_FALSE, MNG_TRUE, MNG_COLORTYPE_INDEXED,
                                     static_cast<mng_uint32>(alphaCount), alphas, 0, 0, 0, 0,
                                     static_cast<mng_uint32>(alphaCount), alphas));
    }

    std::vector<uint8_t> packed;
    int32_t previousDelay = -1, previousMode = -1;
    for (int32_t f = 0; f < count; ++f) {
        const int32_t mode =
            at(frames.disposals, f) == kGifRestoreBackground ? kFramingRestoreBackground : kFramingLayers;
        const bool newDelay = delays[f] != previousDelay, newMode = mode != previousMode;
        if (!newDelay && !newMode) {
            output.Put(mng_putchunk_fram(mng, MNG_TRUE, 0, 0, nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, nullptr));
        } else {
            output.Put(mng_putchunk_fram(mng, MNG_FALSE, newMode ? static_cast<mng_uint8>(mode) : 0, 0, nullptr,
                                         newDelay ? kFramChangeDefault : 0, 0, 0, 0,
                                         static_cast<mng_uint32>(delays[f]), 0, 0, 0, 0, 0, 0, 0, nullptr));
        }
        previousDelay = delays[f], previousMode = mode;

        const Rectangle area =
            f == 0 ? Rectangle{0, 0, width, height} : ChangedRectangle(cell(f - 1), cell(f), width, height);
        if (f > 0) {
            output.Put(mng_putchunk_defi(mng, 0, 0, 0, MNG_TRUE, area.left, area.top, MNG_FALSE, 0, 0, 0, 0));
        }
        const uint8_t* pixels = cell(f);
        const bool deflated = DeflateRows(area.width(), area.height(), [&](int32_t y) {
            return pixels + static_cast<size_t>(area.top + y) * width + area.left;
        }, packed);
        if (!deflated) return Status::Fail(std::string(kNoCompression));
        output.Put(mng_putchunk_ihdr(mng, static_cast<mng_uint32>(area.width()), static_cast<mng_uint32>(area.height()),
                                     8, MNG_COLORTYPE_INDEXED, MNG_COMPRESSION_DEFLATE, MNG_FILTER_ADAPTIVE,
                                     MNG_INTERLACE_NONE));
        // An empty palette: the image takes the global one.
        output.Put(mng_putchunk_plte(mng, 0, palette));
        output.Put(mng_putchunk_idat(mng, static_cast<mng_uint32>(packed.size()), packed.data()));
        output.Put(mng_putchunk_iend(mng));
        progress.Step();
    }
    output.Put(mng_putchunk_mend(mng));
    return output.Finish();
}

Status WriteMng(const std::string& path, const ImageCanvas& canvas, const CurrentImage& image, Host& host) {
    if (image.formatId == format_id::kGif && FileExists(image.path)) {
        const GifFrames frames = LoadGifFramesForConversion(image.path);
        if (!frames.status) return frames.status;
        if (frames.frameCount > 1) return WriteMngAnimation(path, frames, host);
    }
    return WriteSingleImage(SingleImagePathFor(path), canvas, image, host);
}

}  // namespace marbleye
