#include <algorithm>
#include <cstring>
#include <vector>

#include <libdjvu/ddjvuapi.h>

#include "canvas/DeclaredSize.h"
#include "canvas/PixelLimits.h"
#include "formats/djvu/Djvu.h"
#include "formats/djvu/DjvuLayout.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

constexpr const char* kNoInfo = "Cannot find INFO chunk. Aborting.";
constexpr const char* kNotWellFormed = "This is not a well formed DjVu image!";

// How many decoded bytes one byte of a DjVu file may stand for. A page is
// at most 65535 x 65535 pixels and its INFO chunk alone (a blank page) is a
// valid file, so no coding bound exists: JB2 and IW44 describe an empty
// scanned page of 300 dpi in a few hundred bytes. This bound lets a 100-byte
// file declare 25 MiB (an A4 page at 300 dpi in colour) and a 4 KiB file
// reach the pixel gate; a header alone cannot make the library allocate a
// gigabyte.
constexpr uint64_t kDjvuExpansion = uint64_t{1} << 18;

// The library renders each call's rectangle into a buffer of its own before
// copying it, so large pages are rendered in bands that keep that copy small.
// Its wavelet reconstruction of a band differs a little near the seams from
// that of the whole page, so pages up to this size are rendered in one call.
constexpr uint64_t kWholePageBytes = 64u << 20;
constexpr int32_t kBandRows = 1024;

// The library's objects, released however the load ends (the page before
// its document, the document before its context).
struct Session {
    ddjvu_context_t* context = nullptr;
    ddjvu_document_t* document = nullptr;
    ddjvu_page_t* page = nullptr;
    ddjvu_format_t* format = nullptr;
    bool libraryError = false;

    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session() {
        if (format) ddjvu_format_release(format);
        if (page) ddjvu_page_release(page);
        if (document) ddjvu_document_release(document);
        if (context) ddjvu_context_release(context);
    }

    // Handles the messages that are waiting. The file's own stream is
    // written when the document is created; others (the parts of an indirect
    // document, kept in other files) are refused.
    void HandleMessages() {
        while (const ddjvu_message_t* message = ddjvu_message_peek(context)) {
            if (message->m_any.tag == DDJVU_ERROR) libraryError = true;
            if (message->m_any.tag == DDJVU_NEWSTREAM && message->m_newstream.streamid != 0) {
                ddjvu_stream_close(document, message->m_newstream.streamid, 1);
            }
            ddjvu_message_pop(context);
        }
    }

    // Waits until the job has ended (done, failed or stopped). Every job
    // ends: all of the file's data was given and its stream closed, so the
    // decoding threads never wait for more.
    ddjvu_status_t WaitFor(ddjvu_job_t* job) {
        HandleMessages();
        while (ddjvu_job_status(job) < DDJVU_JOB_OK) {
            ddjvu_message_wait(context);
            HandleMessages();
        }
        return ddjvu_job_status(job);
    }
};

// The reduction for a thumbnail: the largest whole factor that keeps both
// sides at least as large as the thumbnail's.
uint32_t ThumbnailReduction(uint32_t width, uint32_t height, const LoadOptions& options) {
    if (!options.thumbnail || options.thumbnailWidth <= 0 || options.thumbnailHeight <= 0) return 1;
    const uint32_t byWidth = width / static_cast<uint32_t>(options.thumbnailWidth);
    const uint32_t byHeight = height / static_cast<uint32_t>(options.thumbnailHeight);
    return std::max<uint32_t>(1, std::min(byWidth, byHeight));
}

}  // namespace

Status ReadDjvu(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail(kNotWellFormed);
    // Only the stored page size is read first, so nothing is given to the
    // library before the size has passed the gates.
    std::vector<uint8_t> bytes(static_cast<size_t>(std::min<uint64_t>(file.size(), SIZE_MAX)));
    bytes.resize(file.Read(bytes.data(), bytes.size()));
    const djvu::PageLayout stored = djvu::FindPageLayout(bytes);
    if (stored.outcome == djvu::PageLayout::Outcome::kNotDjvu) return Status::Fail(kNotWellFormed);
    if (stored.outcome == djvu::PageLayout::Outcome::kNoInfo) return Status::Fail(kNoInfo);
    const int32_t storedDepth = stored.bitonal ? 1 : stored.gray ? 8 : 24;
    const auto storedLayout = CheckedLayout(stored.width, stored.height, storedDepth);
    if (!storedLayout || !FileCanHold(*storedLayout, bytes.size(), kDjvuExpansion)) return Status::Fail(kNotWellFormed);

    // A file cut short ends in a part of a chunk, which makes the library
    // refuse all of it: it is given the complete chunks, and told so.
    const bool cutShort = djvu::FormRunsPastEnd(bytes);
    const size_t wholeChunks = djvu::CutShortLength(bytes);
    if (wholeChunks > 0) {
        bytes.resize(wholeChunks);
        const uint32_t formLength = static_cast<uint32_t>(wholeChunks - 12);
        for (int i = 0; i < 4; ++i) bytes[8 + i] = static_cast<uint8_t>(formLength >> (24 - 8 * i));
    }

    Session session;
    session.context = ddjvu_context_create("marbleye");
    if (!session.context) return Status::Fail(kNotWellFormed);
    session.document = ddjvu_document_create(session.context, nullptr, 0);
    if (!session.document) return Status::Fail(kNotWellFormed);
    ddjvu_stream_write(session.document, 0, reinterpret_cast<const char*>(bytes.data()), bytes.size());
    ddjvu_stream_close(session.document, 0, 0);
    if (session.WaitFor(ddjvu_document_job(session.document)) != DDJVU_JOB_OK ||
        ddjvu_document_get_pagenum(session.document) < 1) {
        return Status::Fail(kNotWellFormed);
    }
    session.page = ddjvu_page_create_by_pageno(session.document, 0);
    if (!session.page) return Status::Fail(kNotWellFormed);
    const ddjvu_status_t pageStatus = session.WaitFor(ddjvu_page_job(session.page));
    if (pageStatus == DDJVU_JOB_STOPPED) return Status::Fail(kNotWellFormed);

    // The library turns the page by its INFO rotation: the sides may be
    // exchanged, the pixel count is the one checked above.
    const int pageWidth = ddjvu_page_get_width(session.page), pageHeight = ddjvu_page_get_height(session.page);
    if (pageWidth <= 0 || pageHeight <= 0 ||
        static_cast<uint64_t>(pageWidth) * static_cast<uint64_t>(pageHeight) > uint64_t{stored.width} * stored.height) {
        return Status::Fail(kNotWellFormed);
    }
    // A mask alone, or one the library found bitonal (its mask may be kept in
    // a shared file) with no layer of colour in the page.
    const bool bitonal =
        stored.bitonal || (ddjvu_page_get_type(session.page) == DDJVU_PAGETYPE_BITONAL && !stored.layered);
    const uint32_t reduction = ThumbnailReduction(pageWidth, pageHeight, context.options);
    const auto width = static_cast<int32_t>((pageWidth + reduction - 1) / reduction);
    const auto height = static_cast<int32_t>((pageHeight + reduction - 1) / reduction);
    // Bitonal pages at full size keep their one bit; reduced, they are
    // rendered in gray levels.
    const int32_t depth = bitonal ? (reduction == 1 ? 1 : 8) : stored.gray ? 8 : 24;

    CurrentImage& image = context.image;
    image.width = pageWidth;
    image.height = pageHeight;
    image.fileBitDepth = bitonal ? 1 : stored.gray ? 8 : 24;
    image.palette = depth == 8 ? GrayRamp() : Palette256{};
    if (depth == 1) image.palette[0] = image.palette[1] = image.palette[2] = 255;  // 0 white, 1 black
    if (!context.canvas.Create(width, height, depth, depth == 1 ? 0 : 255, image.palette)) {
        return Status::Fail(kNotWellFormed);
    }
    session.format = ddjvu_format_create(depth == 1   ? DDJVU_FORMAT_MSBTOLSB
                                         : depth == 8 ? DDJVU_FORMAT_GREY8
                                                      : DDJVU_FORMAT_BGR24,
                                         0, nullptr);
    if (!session.format) return Status::Fail(kNotWellFormed);
    // Rows from the bottom up in the buffer and in the page's coordinates,
    // as the canvas stores them; bands are rendered from the top down.
    ddjvu_format_set_row_order(session.format, 0);
    ddjvu_format_set_y_direction(session.format, 0);
    ddjvu_rect_t pageRect{0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height)};
    const uint64_t pageBytes = static_cast<uint64_t>(context.canvas.stride()) * static_cast<uint64_t>(height);
    const int32_t bandRows = pageBytes <= kWholePageBytes ? height : kBandRows;
    bool rendered = false;
    for (int32_t top = height; top > 0;) {
        const int32_t rows = std::min<int32_t>(top, bandRows);
        const int32_t bottom = top - rows;
        ddjvu_rect_t band{0, bottom, static_cast<unsigned>(width), static_cast<unsigned>(rows)};
        if (!ddjvu_page_render(session.page, DDJVU_RENDER_COLOR, &pageRect, &band, session.format,
                               static_cast<unsigned long>(context.canvas.stride()),
                               reinterpret_cast<char*>(context.canvas.Row(bottom)))) {
            break;
        }
        rendered = true;
        for (int32_t row = 0; row < rows; ++row) context.RowDone();
        top = bottom;
    }
    // A page the library could not decode to the end still shows what it
    // decoded; a failed one of which nothing could be drawn is refused. A
    // page without layers (its INFO chunk alone) is blank: the white fill.
    if (!rendered && pageStatus != DDJVU_JOB_OK) return Status::Fail(kNotWellFormed);
    if (cutShort || pageStatus != DDJVU_JOB_OK || session.libraryError) context.host.ReportError(kNotWellFormed);
    return Status::Ok();
}

}  // namespace marbleye
