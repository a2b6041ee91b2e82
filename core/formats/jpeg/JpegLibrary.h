#pragma once

// The JPEG library's C interface and what every use of it shares. Included by
// the JPEG units of the core only.

#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

namespace marbleye::jpeg {

// Turns the library's fatal errors into a jump back to the caller's setjmp
// with the library's message in `message`, and keeps its warnings quiet.
// The code between setjmp and the library calls holds no object with a
// destructor: the jump skips them.
struct ErrorTrap {
    jpeg_error_mgr manager;
    jpeg_progress_mgr progress;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

jpeg_error_mgr* Install(ErrorTrap& trap);

// Bounds what one decode may cost: the library's own memory (coefficient
// buffers of progressive pictures) and the number of scans.
void LimitDecoder(jpeg_decompress_struct& info, ErrorTrap& trap);

}  // namespace marbleye::jpeg
