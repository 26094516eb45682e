#include "hotcorners/core/taskbar_icon.h"

#include <gtest/gtest.h>

namespace hotcorners {
namespace {

// A shell that takes icons only while `ready`, and holds at most one.
class FakeTray : public Tray {
public:
    bool AddIcon() override {
        ++adds;
        if (!ready || present) return false;
        present = true;
        return true;
    }
    bool UpdateIcon() override {
        ++updates;
        return present;
    }
    void RemoveIcon() override { present = false; }

    bool ready = true;
    bool present = false;
    int adds = 0;
    int updates = 0;
};

void PollTimes(TaskbarIcon& icon, int times) {
    for (int i = 0; i < times; ++i) icon.Poll();
}

// At log-on the service may start before the shell takes icons.
TEST(TaskbarIcon, AnAddTheShellRefusedIsTriedAgainUntilItTakes) {
    FakeTray tray;
    tray.ready = false;
    TaskbarIcon icon(tray);
    icon.SetShown(true);
    PollTimes(icon, TaskbarIcon::kRetryPolls);
    EXPECT_EQ(tray.adds, 2);
    icon.Update();  // an icon that is not there is not updated
    EXPECT_EQ(tray.updates, 0);

    tray.ready = true;
    PollTimes(icon, TaskbarIcon::kRetryPolls);
    EXPECT_TRUE(tray.present);
    PollTimes(icon, 20);  // nor tried again once it took
    EXPECT_EQ(tray.adds, 3);
    icon.Update();
    EXPECT_EQ(tray.updates, 1);

    // Switched off, it goes and is not tried again.
    icon.SetShown(false);
    EXPECT_FALSE(tray.present);
    tray.ready = false;
    icon.SetShown(true);
    icon.SetShown(false);
    PollTimes(icon, 20);
    EXPECT_EQ(tray.adds, 4);
}

TEST(TaskbarIcon, ARecreatedTaskBarGetsTheIconWhileTheOptionIsOn) {
    for (const bool firstAddTook : {true, false}) {
        FakeTray tray;
        tray.ready = firstAddTook;
        TaskbarIcon icon(tray);
        icon.SetShown(true);
        // The new task bar holds no icon.
        tray.present = false;
        tray.ready = true;
        icon.TaskbarCreated();
        EXPECT_TRUE(tray.present) << firstAddTook;
        icon.Update();
        EXPECT_EQ(tray.updates, 1) << firstAddTook;
    }

    FakeTray tray;
    TaskbarIcon icon(tray);
    icon.SetShown(false);
    icon.TaskbarCreated();
    PollTimes(icon, 20);
    EXPECT_EQ(tray.adds, 0);
}

}  // namespace
}  // namespace hotcorners
