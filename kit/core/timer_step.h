// What a window's timer thread does after one tick, from the client's
// answer to SCRM_TIMER and the tick counts before and after the tick.
#pragma once

#include <cstdint>

namespace kit {

enum class TimerAction {
    TickNow,  // answer 0: the next tick at once
    Stop,     // answer -1: the client has had enough
    Wait,     // wait `waitMs` (cut short by the wake event)
    Yield,    // the next tick is already due: give up the processor once
};

struct TimerStep {
    TimerAction action;
    std::uint32_t waitMs = 0;
};

// The period counts from the start of the tick (t0), so the time the
// client took (until t1) comes off the wait. Ticks wrap after 2^32 ms;
// the time taken is their wrapping difference, so the wrap never makes a
// tick early or late. Any negative answer but -1 is due at once.
TimerStep NextTimerStep(std::uint32_t t0, std::uint32_t t1, std::int32_t answer);

}  // namespace kit
