// The rules of a running saver window, seen through the test saver: which
// input closes it, active configuration, system commands, trace lines.
#include <gtest/gtest.h>

#include "kit/win32/dozekit.h"
#include "kit/win32/testing/saver_run.h"

namespace {

using kittest::SaverRun;

constexpr int kStartX = 500;
constexpr int kStartY = 400;

class SaverInput : public testing::Test {
protected:
    // A full-screen saver that started with the cursor at (500, 400).
    static std::unique_ptr<SaverRun> StartFullScreen(
        const SaverRun::Environment& environment = {}) {
        ::SetCursorPos(kStartX, kStartY);
        auto saver = std::make_unique<SaverRun>("/s", environment);
        EXPECT_TRUE(saver->Stays());
        return saver;
    }

    static void MoveTo(SaverRun& saver, int x, int y) {
        ::SetCursorPos(x, y);
        saver.Post(WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    }

    kittest::UserSettingsScope settings;
};

TEST_F(SaverInput, Threshold0ClosesOnTheFirstPixel) {
    auto saver = StartFullScreen();
    MoveTo(*saver, kStartX, kStartY);
    EXPECT_TRUE(saver->Stays());
    MoveTo(*saver, kStartX + 1, kStartY);
    EXPECT_EQ(saver->Exit(), 2);
    EXPECT_FALSE(saver->Logged("trace "));  // no debug output asked for
}

// (Which moves are beyond a threshold, in x or in y: the core's test.)
TEST_F(SaverInput, Threshold200AllowsExactly200Pixels) {
    settings.SetNumber("Mouse Threshold", 200);
    auto saver = StartFullScreen();
    MoveTo(*saver, kStartX + 200, kStartY);
    MoveTo(*saver, kStartX - 200, kStartY + 200);
    EXPECT_TRUE(saver->Stays());
    MoveTo(*saver, kStartX, kStartY - 201);
    EXPECT_EQ(saver->Exit(), 2);
}

TEST_F(SaverInput, KeyboardOnlyIgnoresTheMouseButNotClicks) {
    settings.SetNumber("Mouse Threshold", 999999);
    auto saver = StartFullScreen();
    MoveTo(*saver, 0, 0);
    EXPECT_TRUE(saver->Stays());
    saver->Post(WM_LBUTTONDOWN);
    EXPECT_EQ(saver->Exit(), 2);
}

TEST_F(SaverInput, ActiveConfigurationInputOpensTheDialogOnlyWhenAllowed) {
    // Allowed, Shift, Ctrl, Scroll Lock and the right button each open it
    // (the client's dialog answers at once) and the saver goes on; the
    // middle button closes like the left one.
    settings.SetNumber("Active Config", 1);
    auto saver = StartFullScreen({{"KITTEST_PREFS", "activeconfig"}, {"KITTEST_CONFIG", "1"}});
    const std::pair<UINT, WPARAM> opening[] = {{WM_KEYDOWN, VK_SHIFT},
                                               {WM_KEYDOWN, VK_CONTROL},
                                               {WM_KEYDOWN, VK_SCROLL},
                                               {WM_RBUTTONDOWN, 0}};
    for (const auto& [message, key] : opening) {
        saver->Post(message, key);
        EXPECT_TRUE(saver->Stays()) << message << ' ' << key;
    }
    EXPECT_EQ(saver->Lines("config active=1").size(), 4u);
    saver->Post(WM_MBUTTONDOWN);
    EXPECT_EQ(saver->Exit(), 2);

    // Not offered by the client, or not allowed by the user: Shift closes.
    for (const auto& [prefs, userAllows] : {std::pair{"activeconfig", 0u}, std::pair{"", 1u}}) {
        settings.SetNumber("Active Config", userAllows);
        auto refused = StartFullScreen({{"KITTEST_PREFS", prefs}, {"KITTEST_CONFIG", "1"}});
        refused->Post(WM_KEYDOWN, VK_SHIFT);
        EXPECT_EQ(refused->Exit(), 2) << prefs;
        EXPECT_FALSE(refused->Logged("config ")) << prefs;
    }
}

TEST_F(SaverInput, NothingClosesWhileADialogIsActiveAndKeyUpNever) {
    auto saver = StartFullScreen();
    saver->Post(SCRINTERNAL_DIALOGACTIVE, 1);
    saver->Post(WM_KEYDOWN, 'A');
    saver->Post(WM_LBUTTONDOWN);
    saver->Post(WM_ACTIVATE, WA_INACTIVE);
    MoveTo(*saver, 0, 0);
    saver->Post(WM_CLOSE);
    EXPECT_TRUE(saver->Stays());
    // Back at the start, so that a mouse move the system still has queued
    // closes nothing once the dialog is over.
    MoveTo(*saver, kStartX, kStartY);
    EXPECT_TRUE(saver->Stays());
    saver->Post(SCRINTERNAL_DIALOGACTIVE, 0);
    saver->Post(WM_KEYUP, 'A');
    EXPECT_TRUE(saver->Stays());
    saver->Post(WM_ACTIVATE, WA_INACTIVE);  // losing activation closes
    EXPECT_EQ(saver->Exit(), 2);
}

TEST_F(SaverInput, ScreenSaveAndCloseCommandsAreSwallowedInFullScreenOnly) {
    auto saver = StartFullScreen();
    saver->Post(WM_SYSCOMMAND, SC_SCREENSAVE);
    saver->Post(WM_SYSCOMMAND, SC_CLOSE);
    saver->Post(WM_SYSCOMMAND, SC_MINIMIZE);  // goes on to the system
    EXPECT_TRUE(saver->Stays());
    EXPECT_EQ(saver->Lines("system command"), std::vector<std::string>{"system command f020"});

    kittest::HostWindow host("KitTestHostClass", 200, 150);
    SaverRun preview("/p " + std::to_string(kittest::HandleValue(host.Get())));
    ASSERT_TRUE(preview.Window());
    preview.Post(WM_KEYDOWN, 'A');  // input does not close a preview
    preview.Post(WM_LBUTTONDOWN);
    preview.Post(WM_SYSCOMMAND, SC_SCREENSAVE);
    EXPECT_TRUE(preview.Stays());
    EXPECT_EQ(preview.Lines("system command"), std::vector<std::string>{"system command f140"});
}

TEST_F(SaverInput, TraceLinesCarryTheWindowKindWhenDebugOutputIsOn) {
    auto saver = StartFullScreen({{"KITTEST_PREFS", "debugoutput"}});
    saver->Post(WM_KEYDOWN, 'A');
    EXPECT_EQ(saver->Exit(), 2);
    for (const char* line :
         {"trace full DefSaverProc: WM_CREATE..._________  <LF><CR>",
          "trace WM_KEYDOWN: Misc key pressed: sending Close___________  <LF><CR>"})
        EXPECT_TRUE(saver->Logged(line)) << line;
}

}  // namespace
