#include "kit/core/timer_step.h"

namespace kit {

TimerStep NextTimerStep(std::uint32_t t0, std::uint32_t t1, std::int32_t answer) {
    if (answer == 0) return {TimerAction::TickNow};
    if (answer == -1) return {TimerAction::Stop};
    if (answer < 0) return {TimerAction::Yield};
    const std::uint32_t elapsed = t1 - t0;  // wrap-safe
    const std::int64_t ahead = std::int64_t{answer} - std::int64_t{elapsed};
    if (ahead > 0) return {TimerAction::Wait, static_cast<std::uint32_t>(ahead)};
    return {TimerAction::Yield};
}

}  // namespace kit
