#include "formats/mng/MngPlayer.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

#include "canvas/DeclaredSize.h"
#include "canvas/PixelLimits.h"
#include "formats/mng/MngStream.h"
#include "formats/png/MngLibrary.h"

namespace marbleye {

namespace {

constexpr const char* kNoLibrary = "Unable to allocate MNG struct!";
constexpr const char* kNoSetup = "MNG Initialize Error!";
constexpr const char* kNoFile = "Unable to open file!";
constexpr const char* kMissingProfile = "Need file \"sRGB.icm\" !";

// The library's own buffers: an image object takes up to 8 bytes a pixel
// (16-bit samples with alpha) and deflate describes up to 1032 bytes with
// one, so a file's data honestly asks for its size times this much.
constexpr uint64_t kLibraryBytesPerFileByte = expansion::kDeflate * 8;
constexpr uint64_t kLibraryBytesAlwaysAllowed = uint64_t{16} << 20;
// Canvas rows the library may draw before the first frame is complete (or
// for one frame while playing), in canvases: a frame of more layers than
// this is cut off with the file's message.
constexpr uint64_t kLayersPerFrame = 64;
// The shortest wait before a repeating stream starts again, so that one
// whose frames take no time still leaves the window time to answer.
constexpr uint32_t kShortestRestart = 10;

// The library's allocations are counted against the budget of the session
// that runs the library call in progress; each block remembers its budget.
struct MemoryBudget {
    uint64_t limit = kLibraryBytesAlwaysAllowed;
    uint64_t used = 0;
};
thread_local MemoryBudget* tCurrentBudget = nullptr;

struct alignas(std::max_align_t) BlockHeader {
    MemoryBudget* budget;
};

mng_ptr MNG_DECL Allocate(mng_size_t length) {
    MemoryBudget* budget = tCurrentBudget;
    if (!budget || length > budget->limit - budget->used) return nullptr;
    void* block = std::calloc(1, sizeof(BlockHeader) + length);
    if (!block) return nullptr;
    budget->used += length;
    static_cast<BlockHeader*>(block)->budget = budget;
    return static_cast<BlockHeader*>(block) + 1;
}

void MNG_DECL Release(mng_ptr pointer, mng_size_t length) {
    if (!pointer) return;
    BlockHeader* header = static_cast<BlockHeader*>(pointer) - 1;
    header->budget->used -= std::min<uint64_t>(length, header->budget->used);
    std::free(header);
}

// Makes a session's budget the one the library's allocations count against
// while a library call runs; calls may nest (a quiet load letting a message
// through that loads another picture).
class BudgetScope {
public:
    explicit BudgetScope(MemoryBudget& budget) : previous_(tCurrentBudget) { tCurrentBudget = &budget; }
    ~BudgetScope() { tCurrentBudget = previous_; }
    BudgetScope(const BudgetScope&) = delete;
    BudgetScope& operator=(const BudgetScope&) = delete;

private:
    MemoryBudget* previous_;
};

bool FileExists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string ChunkName(mng_chunkid chunk) {
    std::string name;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char letter = static_cast<char>((static_cast<uint32_t>(chunk) >> shift) & 0xFF);
        name += (letter >= 0x21 && letter <= 0x7E) ? letter : '?';
    }
    return name;
}

std::string ChunkError(mng_chunkid chunk, mng_int32 code) {
    char text[64];
    std::snprintf(text, sizeof text, "Error in chunk %s (%d)", ChunkName(chunk).c_str(), static_cast<int>(code));
    return text;
}

}  // namespace

struct MngSession {
    enum class Mode { kFirstFrame, kPlaying };

    MngSession(Mode mode, ImageCanvas& canvas) : mode(mode), canvas(canvas) {}
    ~MngSession() {
        if (!handle) return;
        BudgetScope scope(budget);
        mng_cleanup(&handle);
    }

    Mode mode;
    ImageCanvas& canvas;
    CurrentImage* image = nullptr;        // the reader's variables
    const LoadContext* context = nullptr;  // the reader's rows
    MngPlayerHost* host = nullptr;        // while playing
    mng_handle handle = nullptr;
    MngStream stream;
    MemoryBudget budget;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    uint64_t rowBytesDrawn = 0;  // in the current frame
    uint64_t rowBytesPerFrame = 0;
    bool frameShown = false;
    bool ended = false;      // played through, to start again at the next timer
    bool finished = false;   // played through for good
    uint32_t repeats = 0;
    std::string error;  // the first the library reported

    Status Open(const std::string& path, const std::string& outputProfile);
    Status Failure(mng_retcode code);
    void AtStreamEnd();
    bool TooMuchDrawn() const { return rowBytesPerFrame > 0 && rowBytesDrawn > rowBytesPerFrame; }
};

namespace {

MngSession& SessionOf(mng_handle handle) {
    return *static_cast<MngSession*>(mng_get_userdata(handle));
}

mng_bool MNG_DECL StreamReady(mng_handle) { return MNG_TRUE; }

mng_bool MNG_DECL ReadStream(mng_handle handle, mng_ptr buffer, mng_uint32 length, mng_uint32p read) {
    MngSession& session = SessionOf(handle);
    *read = session.TooMuchDrawn() ? 0 : static_cast<mng_uint32>(session.stream.Read(static_cast<uint8_t*>(buffer), length));
    return MNG_TRUE;
}

mng_bool MNG_DECL ProcessHeader(mng_handle handle, mng_uint32 width, mng_uint32 height) {
    MngSession& session = SessionOf(handle);
    const bool alpha = mng_get_alphadepth(handle) > 0;
    const int32_t depth = alpha ? 32 : 24;
    const auto layout = CheckedLayout(width, height, depth);
    if (!layout) return MNG_FALSE;
    if (mng_set_canvasstyle(handle, alpha ? MNG_CANVAS_BGRA8 : MNG_CANVAS_BGR8) != MNG_NOERROR) return MNG_FALSE;
    if (session.image) {
        session.image->width = static_cast<int32_t>(width);
        session.image->height = static_cast<int32_t>(height);
        session.image->fileBitDepth = depth;
        session.image->palette = Palette256{};
    }
    if (!session.canvas.Create(layout->width, layout->height, depth, 0, Palette256{})) return MNG_FALSE;
    session.rowBytesPerFrame = std::max<uint64_t>(layout->byteCount, 1) * kLayersPerFrame;
    return MNG_TRUE;
}

mng_ptr MNG_DECL CanvasLine(mng_handle handle, mng_uint32 line) {
    MngSession& session = SessionOf(handle);
    ImageCanvas& canvas = session.canvas;
    const auto row = static_cast<int32_t>(std::min<mng_uint32>(line, static_cast<mng_uint32>(canvas.height() - 1)));
    session.rowBytesDrawn += static_cast<uint64_t>(canvas.stride());
    if (session.context) session.context->RowDone();
    return canvas.Row(canvas.height() - 1 - row);
}

mng_bool MNG_DECL Refresh(mng_handle handle, mng_uint32, mng_uint32, mng_uint32, mng_uint32) {
    MngSession& session = SessionOf(handle);
    session.frameShown = true;
    if (session.host) session.host->Refresh();
    return MNG_TRUE;
}

mng_uint32 MNG_DECL TickCount(mng_handle handle) {
    const auto elapsed = std::chrono::steady_clock::now() - SessionOf(handle).start;
    return static_cast<mng_uint32>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

mng_bool MNG_DECL SetTimer(mng_handle handle, mng_uint32 milliseconds) {
    MngSession& session = SessionOf(handle);
    session.frameShown = true;
    if (session.host) session.host->SetTimer(milliseconds);
    return MNG_TRUE;
}

mng_bool MNG_DECL ReportError(mng_handle handle, mng_int32 code, mng_int8, mng_chunkid chunk, mng_uint32, mng_int32,
                              mng_int32, mng_pchar) {
    MngSession& session = SessionOf(handle);
    if (session.error.empty()) session.error = ChunkError(chunk, code);
    return MNG_FALSE;
}

}  // namespace

Status MngSession::Open(const std::string& path, const std::string& outputProfile) {
    if (!outputProfile.empty() && !FileExists(outputProfile)) return Status::Fail(kMissingProfile);
    if (!stream.Open(path, mode == Mode::kFirstFrame)) return Status::Fail(kNoFile);
    budget.limit = std::clamp(stream.fileSize() * kLibraryBytesPerFileByte, kLibraryBytesAlwaysAllowed,
                              std::max<uint64_t>(PixelByteLimit(), kLibraryBytesAlwaysAllowed));
    BudgetScope scope(budget);
    handle = mng_initialize(this, Allocate, Release, MNG_NULL);
    if (!handle) return Status::Fail(kNoLibrary);
    const mng_retcode results[] = {
        mng_setcb_openstream(handle, StreamReady),
        mng_setcb_closestream(handle, StreamReady),
        mng_setcb_readdata(handle, ReadStream),
        mng_setcb_processheader(handle, ProcessHeader),
        mng_setcb_getcanvasline(handle, CanvasLine),
        mng_setcb_refresh(handle, Refresh),
        mng_setcb_gettickcount(handle, TickCount),
        mng_setcb_settimer(handle, SetTimer),
        mng_setcb_errorproc(handle, ReportError),
        // Partial refreshes would end the reader's first frame early.
        mng_set_doprogressive(handle, MNG_FALSE),
        // The canvas gate decides the size.
        mng_set_maxcanvassize(handle, 0x7FFFFFFF, 0x7FFFFFFF),
        outputProfile.empty() ? MNG_NOERROR : mng_set_outputprofile(handle, const_cast<char*>(outputProfile.c_str())),
    };
    for (const mng_retcode result : results) {
        if (result != MNG_NOERROR) return Status::Fail(kNoSetup);
    }
    return Status::Ok();
}

Status MngSession::Failure(mng_retcode code) {
    if (!error.empty()) return Status::Fail(error);
    mng_int8 severity = 0;
    mng_chunkid chunk = 0;
    mng_uint32 sequence = 0;
    mng_int32 extra1 = 0, extra2 = 0;
    mng_pchar text = nullptr;
    mng_getlasterror(handle, &severity, &chunk, &sequence, &extra1, &extra2, &text);
    return Status::Fail(ChunkError(chunk, code));
}

// The last frame has been shown: a stream whose TERM asks for it starts
// again after the TERM's delay; any other ends there, its last frame
// staying.
void MngSession::AtStreamEnd() {
    const MngTermination& termination = stream.termination();
    if (termination.repeat && repeats < termination.iterations) {
        ++repeats;
        ended = true;
        host->SetTimer(std::max(termination.delayMilliseconds, kShortestRestart));
        return;
    }
    finished = true;
    host->SetTimer(kShortestRestart);
}

MngPlayer::MngPlayer() = default;
MngPlayer::~MngPlayer() = default;

Status MngPlayer::ShowFirstFrame(const std::string& path, LoadContext& context) {
    session_ = std::make_unique<MngSession>(MngSession::Mode::kFirstFrame, context.canvas);
    MngSession& session = *session_;
    session.image = &context.image;
    session.context = &context;
    context.canvas.Clear();
    Status opened = session.Open(path, context.options.mngOutputProfile);
    if (!opened) {
        session_.reset();
        return opened;
    }
    mng_retcode result = MNG_NOERROR;
    {
        BudgetScope scope(session.budget);
        result = mng_readdisplay(session.handle);
    }
    // Stopping at the first frame ends the stream for the library: what it
    // says about that is no failure.
    const bool shown = session.stream.endedAfterFirstFrame() || session.frameShown || result == MNG_NOERROR ||
                       result == MNG_NEEDTIMERWAIT;
    Status status = shown && !session.TooMuchDrawn() && context.canvas.valid() ? Status::Ok() : session.Failure(result);
    if (status) context.image.mngCounts = CountFramesAndLayers(path);
    session_.reset();
    return status;
}

Status MngPlayer::Play(const std::string& path, const std::string& outputProfile, ImageCanvas& canvas,
                       MngPlayerHost& host) {
    session_ = std::make_unique<MngSession>(MngSession::Mode::kPlaying, canvas);
    MngSession& session = *session_;
    session.host = &host;
    Status opened = session.Open(path, outputProfile);
    if (!opened) {
        session_.reset();
        return opened;
    }
    mng_retcode result = MNG_NOERROR;
    {
        BudgetScope scope(session.budget);
        result = mng_readdisplay(session.handle);
    }
    if (result == MNG_NEEDTIMERWAIT) return Status::Ok();
    if (result == MNG_NOERROR && canvas.valid()) {
        session.AtStreamEnd();
        return Status::Ok();
    }
    Status failed = session.Failure(result);
    session_.reset();
    return failed;
}

bool MngPlayer::ShowNextFrame() {
    if (!session_ || session_->finished) {
        session_.reset();
        return false;
    }
    MngSession& session = *session_;
    session.rowBytesDrawn = 0;
    mng_retcode result = MNG_NOERROR;
    {
        BudgetScope scope(session.budget);
        if (session.ended) {
            session.ended = false;
            result = mng_display_reset(session.handle);
            if (result == MNG_NOERROR) result = mng_display(session.handle);
        } else {
            result = mng_display_resume(session.handle);
        }
    }
    if (result == MNG_NOERROR) session.AtStreamEnd();
    if (result == MNG_NOERROR || result == MNG_NEEDTIMERWAIT) return true;
    session_.reset();
    return false;
}

}  // namespace marbleye
