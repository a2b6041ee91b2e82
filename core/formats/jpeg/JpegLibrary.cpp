#include "formats/jpeg/JpegLibrary.h"

#include <cstring>

#include "canvas/PixelLimits.h"

namespace marbleye::jpeg {

namespace {

// Progressive files may hold any number of scans; each one costs a pass over
// the whole coefficient buffer, so a hostile file could take minutes.
constexpr int kMaximumScans = 1000;

ErrorTrap& TrapOf(j_common_ptr info) { return *reinterpret_cast<ErrorTrap*>(info->err); }

[[noreturn]] void ExitWithMessage(j_common_ptr info) {
    ErrorTrap& trap = TrapOf(info);
    trap.manager.format_message(info, trap.message);
    std::longjmp(trap.jump, 1);
}

void KeepQuiet(j_common_ptr) {}

void CountScans(j_common_ptr info) {
    if (!info->is_decompressor) return;
    const auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number <= kMaximumScans) return;
    ErrorTrap& trap = TrapOf(info);
    std::snprintf(trap.message, sizeof trap.message, "Too many scans in progressive JPEG file");
    std::longjmp(trap.jump, 1);
}

}  // namespace

jpeg_error_mgr* Install(ErrorTrap& trap) {
    std::memset(trap.message, 0, sizeof trap.message);
    jpeg_std_error(&trap.manager);
    trap.manager.error_exit = ExitWithMessage;
    trap.manager.output_message = KeepQuiet;
    return &trap.manager;
}

void LimitDecoder(jpeg_decompress_struct& info, ErrorTrap& trap) {
    // Twice the canvas limit holds the 16-bit coefficients of a picture the
    // canvas could take; without backing store the library refuses more.
    info.mem->max_memory_to_use = static_cast<long>(PixelByteLimit() * 2 + (16u << 20));
    trap.progress.progress_monitor = CountScans;
    info.progress = &trap.progress;
}

}  // namespace marbleye::jpeg
