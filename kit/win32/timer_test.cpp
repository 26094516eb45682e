// The timer thread of a saver window, timed from the test saver's log,
// where each tick is written with the tick count at which the client got
// it. Tolerances are generous: Wine on a loaded machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "kit/win32/testing/saver_run.h"

namespace {

using kittest::SaverRun;

std::vector<DWORD> Ticks(const SaverRun& saver) {
    std::vector<DWORD> ticks;
    for (const std::string& line : saver.Lines("tick ")) {
        unsigned long tick = 0;
        if (std::sscanf(line.c_str(), "tick %lu", &tick) == 1) ticks.push_back(tick);
    }
    return ticks;
}

// Waits until the saver has logged `count` ticks after its window came (a
// first start in a new Wine prefix is slow); answers the last one.
std::optional<DWORD> WaitForTicks(SaverRun& saver, std::size_t count, DWORD timeoutMs) {
    if (!saver.Window()) return std::nullopt;
    for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < timeoutMs;) {
        const auto ticks = Ticks(saver);
        if (ticks.size() >= count) return ticks[count - 1];
        kittest::Pump(10);
    }
    std::string log;
    for (const std::string& line : saver.Log()) log += line + "\n";
    ADD_FAILURE() << "fewer than " << count << " ticks; the saver's log:\n" << log;
    return std::nullopt;
}

// Runs a full-screen saver until it has had `count` ticks, then ends it.
// Its trace tells why, should it end before.
std::vector<DWORD> TicksOf(SaverRun::Environment environment, std::size_t count) {
    environment["KITTEST_PREFS"] = "debugoutput";
    SaverRun saver("/s", environment);
    EXPECT_TRUE(WaitForTicks(saver, count, 10000));
    saver.Post(WM_KEYDOWN, 'A');
    EXPECT_EQ(saver.Exit(), 2);
    return Ticks(saver);
}

double MeanInterval(const std::vector<DWORD>& ticks) {
    return ticks.size() < 2 ? 0.0 : double(ticks.back() - ticks.front()) / double(ticks.size() - 1);
}

class TimerThread : public testing::Test {
protected:
    kittest::UserSettingsScope settings;
};

TEST_F(TimerThread, TicksComeAtTheAnsweredPeriodFromTheStartOfEachTick) {
    const double mean40 = MeanInterval(TicksOf({{"KITTEST_TIMER", "40"}}, 25));
    EXPECT_GT(mean40, 35.0);
    EXPECT_LT(mean40, 70.0);

    // 1000 ms asked, 300 of them spent handling the tick: 1000 start to start.
    const auto ticks = TicksOf({{"KITTEST_TIMER", "1000:300"}}, 4);
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        EXPECT_GE(ticks[i] - ticks[i - 1], 950u);
        EXPECT_LT(ticks[i] - ticks[i - 1], 1250u);
    }
}

TEST_F(TimerThread, AClientThatHandsTheTickOnGetsExactlyOne) {
    SaverRun saver("/s", {{"KITTEST_PREFS", "debugoutput"}});
    ASSERT_TRUE(WaitForTicks(saver, 1, 5000));
    kittest::Pump(600);
    ASSERT_TRUE(saver.Stays());
    EXPECT_EQ(saver.Lines("pong "),
              std::vector<std::string>{"pong timer=0 threads=1 ticks=1 running=1"});
    EXPECT_TRUE(saver.Logged("trace Thread coming to an end. Deleting threaddata"));
}

TEST_F(TimerThread, WithTimersOffNoThreadStarts) {
    SaverRun saver("/s", {{"KITTEST_PREFS", "notimers"}, {"KITTEST_TIMER", "40"}});
    ASSERT_TRUE(saver.Window());
    kittest::Pump(400);
    ASSERT_TRUE(saver.Stays());
    EXPECT_EQ(saver.Lines("pong "),
              std::vector<std::string>{"pong timer=0 threads=0 ticks=0 running=1"});
}

TEST_F(TimerThread, ASettingsChangeCutsALongWaitShortAndAppliesAtOnce) {
    ::SetCursorPos(500, 400);
    SaverRun saver("/s", {{"KITTEST_TIMER", "5000"}});
    ASSERT_TRUE(WaitForTicks(saver, 1, 5000));
    const DWORD changed = ::GetTickCount();
    saver.Post(kittest::kChangePrefs, 300);
    const auto second = WaitForTicks(saver, 2, 4000);
    ASSERT_TRUE(second);
    EXPECT_LT(*second - changed, 1500u);

    ::SetCursorPos(800, 400);  // within the new threshold
    saver.Post(WM_MOUSEMOVE);
    EXPECT_TRUE(saver.Stays());
    ::SetCursorPos(801, 400);
    saver.Post(WM_MOUSEMOVE);
    EXPECT_EQ(saver.Exit(), 2);
}

TEST_F(TimerThread, ALongPeriodDoesNotHoldUpTheEndOfTheRun) {
    SaverRun saver("/s", {{"KITTEST_TIMER", "20000"}, {"KITTEST_PREFS", "debugoutput"}});
    ASSERT_TRUE(WaitForTicks(saver, 1, 5000));
    const DWORD closed = ::GetTickCount();
    saver.Post(WM_KEYDOWN, 'A');
    EXPECT_EQ(saver.Exit(), 2);
    EXPECT_LT(::GetTickCount() - closed, 5000u);
    EXPECT_FALSE(saver.Logged("trace Not all threads have terminated!"));
}

TEST_F(TimerThread, TheEndOfARunWaitsForMoreThan64Threads) {
    SaverRun saver(
        "/s",
        {{"KITTEST_TIMER", "100"}, {"KITTEST_CHILDREN", "70"}, {"KITTEST_PREFS", "debugoutput"}});
    ASSERT_TRUE(WaitForTicks(saver, 3, 8000));
    ASSERT_TRUE(saver.Stays());
    EXPECT_TRUE(saver.Logged("pong timer=1 threads=71 "));
    saver.Post(WM_KEYDOWN, 'A');
    EXPECT_EQ(saver.Exit(), 2);

    const auto log = saver.Log();
    const auto exitLine = std::find_if(log.begin(), log.end(), [](const std::string& line) {
        return line.rfind("exit ", 0) == 0;
    });
    EXPECT_EQ(std::count_if(log.begin(), exitLine,
                            [](const std::string& line) {
                                return line.rfind("trace Thread coming to an end", 0) == 0;
                            }),
              71);
    EXPECT_FALSE(saver.Logged("trace Not all threads have terminated!"));
}

}  // namespace
