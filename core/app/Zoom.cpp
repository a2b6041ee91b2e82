#include "app/Zoom.h"

#include <algorithm>
#include <array>

namespace marbleye {

namespace {

struct Step {
    int32_t percent;
    float zoom;
};

// First matching row wins. 69, not 70: 0.7 in single precision gives 69.
constexpr std::array<Step, 22> kZoomInSteps = {{
    {9000, 100}, {8000, 90}, {7000, 80}, {6000, 70}, {5000, 60}, {4000, 50}, {3000, 40}, {2000, 30},
    {1000, 20},  {700, 10},  {500, 7},   {300, 5},   {200, 3},   {150, 2},   {100, 1.5f}, {69, 1.0f},
    {50, 0.7f},  {30, 0.5f}, {20, 0.3f}, {15, 0.2f}, {10, 0.15f}, {5, 0.1f},
}};

constexpr std::array<Step, 22> kZoomOutSteps = {{
    {10, 0.05f}, {15, 0.1f}, {20, 0.15f}, {30, 0.2f}, {50, 0.3f}, {69, 0.5f}, {100, 0.7f}, {150, 1.0f},
    {200, 1.5f}, {300, 2},   {500, 3},    {700, 5},   {1000, 7},  {2000, 10}, {3000, 20},  {4000, 30},
    {5000, 40},  {6000, 50}, {7000, 60},  {8000, 70}, {9000, 80}, {10000, 90},
}};

constexpr int32_t kFitStyle = 1;
constexpr float kFitStep = 0.2f;

}  // namespace

// The float zoom is widened before the multiplication, so 0.7 (stored as
// 0.699999988) gives 69.
int32_t ZoomPercent(float zoom) { return static_cast<int32_t>(static_cast<double>(zoom) * 100.0); }

float ZoomIn(float zoom, int32_t viewStyle) {
    if (viewStyle == kFitStyle) return std::min(zoom + kFitStep, 100.0f);
    const int32_t percent = ZoomPercent(zoom);
    for (const Step& step : kZoomInSteps) {
        if (percent >= step.percent) return step.zoom;
    }
    return zoom;
}

float ZoomOut(float zoom, int32_t viewStyle) {
    if (viewStyle == kFitStyle) return std::max(zoom - kFitStep, 0.05f);
    const int32_t percent = ZoomPercent(zoom);
    for (const Step& step : kZoomOutSteps) {
        if (percent <= step.percent) return step.zoom;
    }
    return zoom;
}

}  // namespace marbleye
