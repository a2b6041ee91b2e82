#pragma once

// The MNG library's C interface, configured as Debian builds it (shared
// library with write support and chunk access). Included by core units only.

#include <cstdio>  // its JPEG support includes jpeglib.h, which needs FILE

#ifndef MNG_USE_SO
#define MNG_USE_SO
#endif
#include <libmng.h>
