// The decoders' progress reports.
#pragma once

#include <cmath>
#include <cstdint>

namespace imagelib {

// The decoders' progress report: phase 0 while the file is read, 1 while
// rows are converted; percent 0 to 100. The Win32 layer may install one
// (for the progress window); it answers 0.
using ProgressHook = std::int32_t (*)(std::uint16_t phase, std::int32_t percent);
inline constexpr std::uint16_t kPhaseReading = 0;
inline constexpr std::uint16_t kPhaseConverting = 1;

// Reports of one phase as shares of a whole: count * 100 / whole, rounded
// to the nearest integer.
class ProgressScale {
public:
    ProgressScale() = default;
    ProgressScale(ProgressHook hook, std::uint16_t phase, double whole)
        : hook_(hook),
          phase_(phase),
          factor_(whole > 0 ? 100.0f / static_cast<float>(whole) : 0.0f) {}

    void Report(double count) const {
        if (!hook_) return;
        const float percent = static_cast<float>(count) * factor_;
        hook_(phase_, static_cast<std::int32_t>(std::lround(percent)));
    }

private:
    ProgressHook hook_ = nullptr;
    std::uint16_t phase_ = kPhaseConverting;
    float factor_ = 0;
};

}  // namespace imagelib
