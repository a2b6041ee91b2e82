#pragma once

#include <cstdint>

#include "common/Host.h"

namespace marbleye::cli {

// Messages go to stderr; progress is a line on stderr that rewrites itself
// when stderr is a terminal.
class CliHost final : public Host {
public:
    CliHost();
    void BeginProgress(int32_t steps) override;
    void StepProgress() override;
    void EndProgress() override;
    void ReportError(const std::string& message) override;

private:
    bool showProgress_;
    int32_t steps_ = 0;
    int32_t done_ = 0;
    int32_t shownPercent_ = -1;
};

}  // namespace marbleye::cli
