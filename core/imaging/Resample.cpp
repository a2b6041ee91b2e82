#include "imaging/Resample.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <memory>
#include <new>
#include <optional>

#include "common/Host.h"
#include "imaging/ContributionTable.h"
#include "imaging/ResampleKernels.h"

namespace marbleye {

namespace {

constexpr int32_t kPixelBytes = 4;
constexpr int32_t kColourBytes = 3;  // blue, green, red; the fourth byte is not written

void CopyColours(const PixelBuffer& source, PixelBuffer& destination) {
    for (int32_t y = 0; y < source.height(); ++y) {
        const uint8_t* from = source.Row(y);
        uint8_t* to = destination.Row(y);
        for (int32_t x = 0; x < source.width(); ++x) {
            std::memcpy(to + x * kPixelBytes, from + x * kPixelBytes, kColourBytes);
        }
    }
}

// Rows y and y + 1 of the horizontal pass, or row y alone when it is the
// last one wanted; the host gets its turn after each.
int32_t BlendRows(const ResampleKernels& kernels, const ContributionTable& table, const PixelBuffer& source,
                  int32_t y, bool pair, uint8_t* first, uint8_t* second, Host* host) {
    if (pair) {
        const uint8_t* const sources[2] = {source.Row(y), source.Row(y + 1)};
        uint8_t* const destinations[2] = {first, second};
        kernels.blendRowPair(table, sources, destinations);
    } else {
        kernels.blendRow(table, source.Row(y), first);
    }
    for (int32_t i = 0; i < (pair ? 2 : 1); ++i) {
        if (host) host->PumpOneMessage();
    }
    return pair ? 2 : 1;
}

void ScaleRows(const ResampleKernels& kernels, const ContributionTable& table, const PixelBuffer& source,
               PixelBuffer& destination, Host* host) {
    for (int32_t y = 0; y < source.height();) {
        const bool pair = y + 1 < source.height();
        y += BlendRows(kernels, table, source, y, pair, destination.Row(y), pair ? destination.Row(y + 1) : nullptr,
                       host);
    }
}

// The vertical pass goes row by row, so that memory is read row by row; each
// sum still takes its taps in the order of the column-by-column definition.
// rowAt(j) gives source row j; each record asks for its rows in ascending
// order, and from record to record they never go back. The host gets as many
// turns as there are destination columns, spread over the rows.
template <typename RowAt>
bool ScaleColumns(const ResampleKernels& kernels, const ContributionTable& table, int32_t width, RowAt rowAt,
                  PixelBuffer& destination, Host* host) {
    const std::unique_ptr<double[]> sums(new (std::nothrow) double[static_cast<size_t>(width) * kPixelBytes]);
    const std::unique_ptr<const uint8_t*[]> rows(new (std::nothrow) const uint8_t*[table.windowSize()]);
    if (!sums || !rows) return false;
    int64_t pumped = 0;
    for (int32_t y = 0; y < table.size(); ++y) {
        const Contribution& record = table[y];
        for (int32_t j = record.left; j <= record.right; ++j) rows[j - record.left] = rowAt(j);
        kernels.blendColumns(record, table.Weights(y), rows.get(), width, sums.get(), destination.Row(y));
        for (const int64_t due = int64_t{y + 1} * width / table.size(); host && pumped < due; ++pumped) {
            host->PumpOneMessage();
        }
    }
    return true;
}

// Both passes at once: the rows of the horizontal pass are made, two at a
// time, as the vertical pass first needs them, into a window of one row more
// than a record can span (row j in slot j modulo their number), instead of a
// whole intermediate picture. Making the row after the one asked for never
// overwrites a row the record still needs.
bool ScaleBoth(const ResampleKernels& kernels, const ContributionTable& columns, const ContributionTable& rows,
               const PixelBuffer& source, PixelBuffer& destination, Host* host) {
    const int32_t height = source.height();
    const int32_t slots = std::min(rows.windowSize() + 1, height);
    PixelBuffer window = PixelBuffer::Allocate(destination.width(), slots, 32);
    if (window.empty()) return false;
    int32_t made = 0;
    auto rowAt = [&](int32_t j) -> const uint8_t* {
        while (made <= j) {
            const bool pair = made + 1 < height;
            made += BlendRows(kernels, columns, source, made, pair, window.Row(made % slots),
                              pair ? window.Row((made + 1) % slots) : nullptr, host);
        }
        return window.Row(j % slots);
    };
    return ScaleColumns(kernels, rows, destination.width(), rowAt, destination, host);
}

}  // namespace

void ResampleFastAndDirty(const PixelBuffer& source, PixelBuffer& destination) {
    assert(source.bitsPerPixel() == 32 && destination.bitsPerPixel() == 32);
    const float columnStep = static_cast<float>(source.width()) / static_cast<float>(destination.width());
    const float rowStep = static_cast<float>(source.height()) / static_cast<float>(destination.height());
    float sourceRow = 0.0f;
    for (int32_t y = 0; y < destination.height(); ++y, sourceRow += rowStep) {
        // The sums can pass the last source pixel by a float step on long sides.
        const uint8_t* from = source.Row(std::min(static_cast<int32_t>(sourceRow), source.height() - 1));
        uint8_t* to = destination.Row(y);
        float sourceColumn = 0.0f;
        for (int32_t x = 0; x < destination.width(); ++x, sourceColumn += columnStep, to += kPixelBytes) {
            const int32_t column = std::min(static_cast<int32_t>(sourceColumn), source.width() - 1);
            std::memcpy(to, from + column * kPixelBytes, kColourBytes);
        }
    }
}

bool TwoPassScaleWith(const ResampleKernels& kernels, const ResampleFilter& filter, const PixelBuffer& source,
                      PixelBuffer& destination, Host* host) {
    assert(source.bitsPerPixel() == 32 && destination.bitsPerPixel() == 32);
    assert(!source.empty() && !destination.empty());
    const bool sameWidth = source.width() == destination.width();
    const bool sameHeight = source.height() == destination.height();
    if (sameWidth && sameHeight) {
        CopyColours(source, destination);
        return true;
    }
    std::optional<ContributionTable> columns, rows;
    if (!sameWidth && !(columns = ContributionTable::Build(filter, source.width(), destination.width()))) return false;
    if (!sameHeight && !(rows = ContributionTable::Build(filter, source.height(), destination.height()))) return false;
    if (sameHeight) {
        ScaleRows(kernels, *columns, source, destination, host);
        return true;
    }
    if (sameWidth) {
        auto rowAt = [&source](int32_t j) { return source.Row(j); };
        return ScaleColumns(kernels, *rows, source.width(), rowAt, destination, host);
    }
    return ScaleBoth(kernels, *columns, *rows, source, destination, host);
}

bool TwoPassScale(const ResampleFilter& filter, const PixelBuffer& source, PixelBuffer& destination, Host* host) {
    const ResampleKernels* vector = VectorKernels();
    return TwoPassScaleWith(vector ? *vector : PlainKernels(), filter, source, destination, host);
}

bool Resample(ScaleFilterId method, const PixelBuffer& source, PixelBuffer& destination, Host* host) {
    assert(method != ScaleFilterId::kWindowsDefault);
    if (method == ScaleFilterId::kFastAndDirty) {
        ResampleFastAndDirty(source, destination);
        return true;
    }
    const ResampleFilter* filter = FilterOf(method);
    assert(filter);
    return filter && TwoPassScale(*filter, source, destination, host);
}

}  // namespace marbleye
