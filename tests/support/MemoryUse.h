#pragma once

#include <sys/resource.h>

#include <cstddef>
#include <functional>

#include "canvas/PixelLimits.h"

namespace marbleye::test {

// How much the process's peak resident memory grew while `work` ran, in
// kilobytes: a reader that allocates what a hostile header claims shows up
// here even when it fails with the right message. CTest runs every test in
// a process of its own, so earlier tests do not hide the growth.
inline long PeakMemoryGrowthKb(const std::function<void()>& work) {
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    work();
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    return after.ru_maxrss - before.ru_maxrss;
}

inline constexpr long kModestGrowthKb = 200 * 1024;

// What a reader may allocate for a file of less than 64 KiB, unless the
// format's own compression honestly describes more.
inline constexpr long kSmallFileGrowthLimitKb = 64 * 1024;
inline constexpr size_t kSmallFileBytes = 64 * 1024;

// Lowers the pixel gate for one test, so a picture a file honestly holds can
// pass it by a little without a test allocating a gigabyte.
class ScopedPixelByteLimit {
public:
    explicit ScopedPixelByteLimit(size_t bytes) : saved_(PixelByteLimit()) { SetPixelByteLimit(bytes); }
    ~ScopedPixelByteLimit() { SetPixelByteLimit(saved_); }
    ScopedPixelByteLimit(const ScopedPixelByteLimit&) = delete;
    ScopedPixelByteLimit& operator=(const ScopedPixelByteLimit&) = delete;

private:
    size_t saved_;
};

}  // namespace marbleye::test
