#include "hotcorners/core/hot_corners.h"

#include <gtest/gtest.h>

#include "hotcorners/core/testing/test_fakes.h"

namespace hotcorners {
namespace {

using FS = FeedbackState;
constexpr int kWidth = 1024, kHeight = 768, kZone = 16;

TEST(CornerZone, IsATriangleOnTheScreenSideOfEachPoint) {
    struct Case {
        Point cursor;
        int corner;
    };
    const CornerPoints screen = ScreenCorners(kWidth, kHeight);
    for (const Case c : {Case{{8, 8}, 0}, Case{{10, 10}, kNoCorner}, Case{{16, 0}, 0},
                         Case{{17, 0}, kNoCorner}, Case{{-1, 0}, kNoCorner}, Case{{1023, 0}, 1},
                         Case{{1008, 0}, 1}, Case{{1025, 0}, kNoCorner}, Case{{1023, 767}, 2},
                         Case{{1016, 760}, 2}, Case{{0, 767}, 3}, Case{{512, 0}, kNoCorner}})
        EXPECT_EQ(CornerAt(c.cursor, screen, kZone), c.corner) << c.cursor.x << "," << c.cursor.y;
    // On a screen smaller than the zones the last corner tested wins:
    // top-left, top-right, bottom-left, then bottom-right.
    EXPECT_EQ(CornerAt({10, 0}, ScreenCorners(20, 200), kZone), 1);
    EXPECT_EQ(CornerAt({5, 5}, ScreenCorners(10, 10), kZone), 2);
}

TEST(CornerZone, SeveralMonitorsGiveTheOutermostCornerOfAny) {
    const struct {
        const char* layout;
        std::vector<Rect> monitors;
        CornerPoints corners;
    } cases[] = {
        {"one", {{0, 0, 1024, 768}}, ScreenCorners(1024, 768)},
        {"side by side",
         {{0, 0, 1024, 768}, {1024, 0, 2048, 768}},
         {{{0, 0}, {2048, 0}, {2048, 768}, {0, 768}}}},
        // Of a taller right-hand monitor, the bottom-left is its own
        // corner, which the cursor reaches; the bounding box's is off-screen.
        {"L-shape",
         {{0, 0, 1024, 768}, {1024, 0, 2048, 1536}},
         {{{0, 0}, {2048, 0}, {2048, 1536}, {0, 768}}}},
        {"left of the primary",
         {{0, 0, 1024, 768}, {-1280, 0, 0, 1024}},
         {{{-1280, 0}, {1024, 0}, {1024, 768}, {-1280, 1024}}}},
        {"none", {}, ScreenCorners(0, 0)},
    };
    for (const auto& c : cases) EXPECT_EQ(MonitorCorners(c.monitors), c.corners) << c.layout;
}

// The service as the window runs it, polling twice a second; At() is a
// poll's input with the cursor at a point.
class PollTest : public testing::Test {
protected:
    PollTest() { corners.SetActions({'Y', 'N', '-', '-'}); }

    PollInput At(Point cursor) const {
        return {cursor, ScreenCorners(kWidth, kHeight), kZone, kWidth, kHeight, foreground};
    }
    void PollAt(Point cursor, int times = 1) {
        for (int i = 0; i < times; ++i) corners.Poll(At(cursor));
    }

    FakeDesktop desktop;
    HotCorners corners{desktop};
    std::optional<WindowShape> foreground = WindowShape{true, false, 800, 600};
    static constexpr Point kTopLeft{2, 3}, kTopRight{1020, 1}, kMiddle{500, 400};
};

TEST_F(PollTest, NowCornerStartsOnceOnTheThirdPollAndAgainAfterLeaving) {
    PollAt(kTopLeft, 2);
    EXPECT_EQ(desktop.starts, 0);
    EXPECT_EQ(corners.State(), FS::Arming);
    PollAt(kTopLeft);
    EXPECT_EQ(desktop.starts, 1);
    PollAt(kTopLeft, 40);  // resting there twenty seconds
    EXPECT_EQ(desktop.starts, 1);
    EXPECT_EQ(corners.DwellCount(), 4);
    PollAt(kMiddle);
    PollAt(kTopLeft, 3);
    EXPECT_EQ(desktop.starts, 2);
    PollAt(kMiddle);
    EXPECT_EQ(desktop.shown, (std::vector{FS::Arming, FS::Starting, FS::Idle, FS::Arming,
                                          FS::Starting, FS::Idle}));
}

TEST_F(PollTest, NeverCornerHoldsTheSaverOffWhileTheCursorStays) {
    PollAt(kTopRight, 10);
    EXPECT_FALSE(desktop.active);
    EXPECT_TRUE(corners.Suppressed());
    PollAt(kMiddle);
    EXPECT_TRUE(desktop.active);
    EXPECT_EQ(desktop.switches, 2);
    EXPECT_EQ(desktop.shown, (std::vector{FS::HeldOff, FS::Idle}));

    // Only a saver that was on comes back on.
    desktop.active = false;
    PollAt(kTopRight);
    PollAt(kMiddle);
    EXPECT_FALSE(desktop.active);
    EXPECT_EQ(desktop.switches, 2);
}

TEST_F(PollTest, EndingTheServiceSwitchesAHeldOffSaverBackOn) {
    PollAt(kTopRight);
    EXPECT_TRUE(desktop.heldOffMark);
    corners.End();
    EXPECT_TRUE(desktop.active);
    EXPECT_FALSE(corners.Suppressed());
    EXPECT_FALSE(desktop.heldOffMark);
    corners.End();
    EXPECT_EQ(desktop.switches, 2);
}

// Ended without a word (End task, a crash), the service cannot switch the
// saver back on; its next start does, unless it was switched back on
// meanwhile. A saver that was off when the corner held it stays off.
TEST_F(PollTest, AServiceKilledWhileHoldingOffIsMendedAtTheNextStart) {
    const struct {
        const char* what;
        bool wasOn, onMeanwhile;
        int switches;
    } cases[] = {
        {"held off", true, false, 2},
        {"switched on meanwhile", true, true, 1},
        {"off when held", false, false, 0},
    };
    for (const auto& c : cases) {
        FakeDesktop fresh;
        fresh.active = c.wasOn;
        HotCorners killed(fresh);
        killed.SetActions({'N', '-', '-', '-'});
        killed.Poll(At(kTopLeft));
        ASSERT_TRUE(killed.Suppressed()) << c.what;
        if (c.onMeanwhile) fresh.active = true;
        HotCorners(fresh).Begin();
        EXPECT_EQ(fresh.active, c.wasOn) << c.what;
        EXPECT_FALSE(fresh.heldOffMark) << c.what;
        EXPECT_EQ(fresh.switches, c.switches) << c.what;
    }
}

// While another desktop has the input (a locked workstation) the cursor
// cannot be read; read as (0, 0) it would sit in the top-left corner.
TEST_F(PollTest, APollThatCannotSeeTheCursorChangesNothing) {
    PollInput unseen = At(kMiddle);
    unseen.cursor.reset();
    for (const CornerActions actions :
         {CornerActions{'Y', '-', '-', '-'}, CornerActions{'N', '-', '-', '-'}}) {
        corners.SetActions(actions);
        for (int i = 0; i < 10; ++i) corners.Poll(unseen);
        EXPECT_EQ(desktop.starts, 0);
        EXPECT_TRUE(desktop.active);
        EXPECT_EQ(corners.LastCorner(), kNoCorner);
        EXPECT_TRUE(desktop.shown.empty());
    }

    // A saver held off stays held until the cursor is seen elsewhere.
    PollAt(kTopLeft);
    for (int i = 0; i < 4; ++i) corners.Poll(unseen);
    EXPECT_FALSE(desktop.active);
    PollAt(kMiddle);
    EXPECT_TRUE(desktop.active);
}

TEST_F(PollTest, FullScreenProgramCancelsBothActions) {
    const struct {
        const char* what;
        WindowShape shape;
        bool cancels;
    } cases[] = {
        {"full-screen pop-up", {true, true, kWidth, kHeight}, true},
        {"maximised window", {true, false, kWidth, kHeight}, false},
        {"smaller pop-up", {true, true, kWidth, kHeight - 1}, false},
        {"hidden pop-up", {false, true, kWidth, kHeight}, false},
        {"the desktop", {true, true, kWidth, kHeight, true}, false},
    };
    for (const auto& c : cases) {
        FakeDesktop fresh;
        HotCorners service(fresh);
        service.SetActions({'Y', 'N', '-', '-'});
        foreground = c.shape;
        for (const Point p : {kTopLeft, kTopLeft, kTopLeft, kTopRight}) service.Poll(At(p));
        EXPECT_EQ(fresh.starts, c.cancels ? 0 : 1) << c.what;
        EXPECT_EQ(fresh.active, c.cancels) << c.what;
    }
}

TEST_F(PollTest, ChoosesTheSaverAsTheSystemDoes) {
    const std::string present = "C:\\WINDOWS\\CORVANE.SCR", missing = "C:\\WINDOWS\\GONE.SCR";
    const std::optional<std::string> unreadable;
    struct Case {
        const char* what;
        bool nt;
        std::optional<std::string> desktopSaver;
        std::string iniSaver;
        bool starts;
    };
    const Case cases[] = {
        {"registry", true, present, "", true},
        {"registry first", true, present, missing, true},
        {"registry's file missing", true, missing, present, false},
        // The user chose "(None)": system.ini still names the saver.
        {"no value", true, "", present, false},
        {"no desktop key", true, unreadable, present, true},
        {"no desktop key, no system.ini", true, unreadable, "", false},
        {"no desktop key, system.ini's file missing", true, unreadable, missing, false},
        {"older system: system.ini", false, "", present, true},
        {"older system: no desktop key", false, unreadable, present, true},
        {"older system: registry first", false, present, missing, true},
        {"older system: none", false, "", "", false},
    };
    for (const Case& c : cases) {
        FakeDesktop fresh;
        fresh.nt = c.nt;
        fresh.desktopSaver = c.desktopSaver;
        fresh.iniSaver = c.iniSaver;
        HotCorners service(fresh);
        service.StartSaver(true);
        EXPECT_EQ(service.State(), c.starts ? FS::Starting : FS::NoSaver) << c.what;
        EXPECT_EQ(fresh.starts, c.starts ? 1 : 0) << c.what;
    }
}

TEST_F(PollTest, ASaverRunningAlreadyIsNotStartedAgain) {
    desktop.running = true;
    PollAt(kTopLeft, 3);
    EXPECT_EQ(desktop.starts, 0);
    EXPECT_EQ(corners.State(), FS::Starting);
}

TEST_F(PollTest, StartingFromANeverCornerSwitchesTheSaverBackOnFirst) {
    PollAt(kTopRight);
    corners.StartSaver(true);  // "Save now" from the menu
    EXPECT_TRUE(desktop.active);
    EXPECT_EQ(desktop.starts, 1);
    EXPECT_EQ(desktop.shown, (std::vector{FS::HeldOff, FS::Starting}));
}

}  // namespace
}  // namespace hotcorners
