#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "kit/core/saver_input.h"
#include "kit/core/timer_step.h"
#include "kit/core/version.h"

namespace kit {
namespace {

TEST(NextTimerStep, WaitsFromTheStartOfTheTick) {
    const struct {
        std::uint32_t t0, t1;
        std::int32_t answer;
        TimerAction action;
        std::uint32_t wait;
    } cases[] = {
        {1000, 1000, 40, TimerAction::Wait, 40},
        {1000, 1300, 1000, TimerAction::Wait, 700},  // 300 ms of work come off
        {1000, 1080, 50, TimerAction::Yield, 0},     // slower than its period
        {1000, 1050, 50, TimerAction::Yield, 0},     // due exactly now
        {1000, 1001, 0, TimerAction::TickNow, 0},
        {1000, 1001, -1, TimerAction::Stop, 0},
        {1000, 1001, -5, TimerAction::Yield, 0},
        {1000, 1001, INT_MIN, TimerAction::Yield, 0},
        {5, 6, -2, TimerAction::Yield, 0},  // not four billion ms away
        {1000, 1000, INT_MAX, TimerAction::Wait, 0x7FFFFFFFu},
        {0xFFFFFF00u, 0x00000100u, 1000, TimerAction::Wait, 488},  // across the wrap
        {0xFFFFFF00u, 0x00000100u, 300, TimerAction::Yield, 0},
    };
    for (const auto& c : cases) {
        const TimerStep step = NextTimerStep(c.t0, c.t1, c.answer);
        EXPECT_EQ(step.action, c.action) << c.t0 << ' ' << c.t1 << ' ' << c.answer;
        EXPECT_EQ(step.waitMs, c.wait) << c.t0 << ' ' << c.t1 << ' ' << c.answer;
    }
}

TEST(MovedBeyondThreshold, ClosesOnlyPastTheThresholdInXOrY) {
    const Point start{300, 300};
    const struct {
        Point now;
        std::int32_t threshold;
        bool beyond;
    } cases[] = {
        {{300, 300}, 0, false},    {{301, 300}, 0, true},   {{300, 299}, 0, true},
        {{500, 100}, 200, false},  {{501, 300}, 200, true}, {{300, 99}, 200, true},
        {{0, 767}, 999999, false}, {{300, 300}, -1, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MovedBeyondThreshold(start, c.now, c.threshold), c.beyond)
            << c.now.x << ',' << c.now.y << " threshold " << c.threshold;
    EXPECT_TRUE(MovedBeyondThreshold({INT_MIN, 0}, {INT_MAX, 0}, INT_MAX));  // no overflow
}

TEST(FullScreenWindow, CoversEveryMonitorOrThePrimaryScreenWhereNoneIsReported) {
    const Size primary{1024, 768};
    const Rect leftAndAbove{-800, -132, 1024, 768};  // monitors left of and above the primary
    EXPECT_EQ(FullScreenWindow(primary, leftAndAbove), leftAndAbove);
    EXPECT_EQ(FullScreenWindow(primary, {0, 0, 0, 0}), (Rect{0, 0, 1024, 768}));
    EXPECT_EQ(FullScreenWindow(primary, {-800, 0, -800, 768}), (Rect{0, 0, 1024, 768}));
}

TEST(CopyVersionText, CopiesWhatFitsAndTellsTheFullLength) {
    char buffer[8] = "#######";
    EXPECT_EQ(CopyVersionText(buffer, 3), 4);
    EXPECT_STREQ(buffer, "1.");
    buffer[0] = '#';
    EXPECT_EQ(CopyVersionText(buffer, 0), 4);
    EXPECT_EQ(buffer[0], '#');
    EXPECT_EQ(CopyVersionText(nullptr, 100), 4);
}

}  // namespace
}  // namespace kit
