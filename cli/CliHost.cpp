#include "CliHost.h"

#include <cstdio>
#include <unistd.h>

namespace marbleye::cli {

CliHost::CliHost() : showProgress_(isatty(STDERR_FILENO) != 0) {}

void CliHost::BeginProgress(int32_t steps) {
    steps_ = steps;
    done_ = 0;
    shownPercent_ = -1;
}

void CliHost::StepProgress() {
    ++done_;
    if (!showProgress_ || steps_ <= 0) return;
    const int32_t percent = static_cast<int32_t>(int64_t{done_} * 100 / steps_);
    if (percent == shownPercent_) return;
    shownPercent_ = percent;
    std::fprintf(stderr, "\r%3d%%", percent);
    std::fflush(stderr);
}

void CliHost::EndProgress() {
    if (showProgress_ && shownPercent_ >= 0) std::fputs("\r    \r", stderr);
    steps_ = 0;
}

void CliHost::ReportError(const std::string& message) { std::fprintf(stderr, "%s\n", message.c_str()); }

}  // namespace marbleye::cli
