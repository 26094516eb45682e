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
    static std::unique_ptr<SaverRun> StartFullScreen(const SaverRun::Environment& environment = {}) {
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

TEST_F(SaverInput, Threshold200AllowsExactly200PixelsInXOrY) {
    settings.SetNumber("Mouse Threshold", 200);
    for (const POINT beyond : {POINT{kStartX + 201, kStartY}, POINT{kStartX, kStartY - 201}}) {
        auto saver = StartFullScreen();
        MoveTo(*saver, kStartX + 200, kStartY);
        MoveTo(*saver, kStartX - 200, kStartY + 200);
        EXPECT_TRUE(saver->Stays());
        MoveTo(*saver, beyond.x, beyond.y);
        EXPECT_EQ(saver->Exit(), 2) << beyond.x << ',' << beyond.y;
    }
}

TEST_F(SaverInput, KeyboardOnlyIgnoresTheMouseButNotKeysOrClicks) {
    settings.SetNumber("Mouse Threshold", 999999);
    for (const UINT input : {UINT{WM_KEYDOWN}, UINT{WM_LBUTTONDOWN}}) {
        auto saver = StartFullScreen();
        MoveTo(*saver, 0, 0);
        EXPECT_TRUE(saver->Stays());
        saver->Post(input, 'K');
        EXPECT_EQ(saver->Exit(), 2);
    }
}

TEST_F(SaverInput, ActiveConfigurationInputOpensTheDialogOnlyWhenAllowed) {
    struct Input {
        UINT message;
        WPARAM key;
    };
    // Shift, Ctrl, Scroll Lock and the right button; the middle button
    // closes like the left one.
    const Input inputs[] = {{WM_KEYDOWN, VK_SHIFT},
                            {WM_KEYDOWN, VK_CONTROL},
                            {WM_KEYDOWN, VK_SCROLL},
                            {WM_RBUTTONDOWN, 0},
                            {WM_MBUTTONDOWN, 0}};
    struct Case {
        const char* prefs;
        DWORD userAllows;
        bool allowed;
    };
    for (const Case c : {Case{"activeconfig", 1, true}, Case{"activeconfig", 0, false},
                         Case{"", 1, false}}) {
        settings.SetNumber("Active Config", c.userAllows);
        for (const Input& input : inputs) {
            auto saver = StartFullScreen({{"KITTEST_PREFS", c.prefs}, {"KITTEST_CONFIG", "1"}});
            saver->Post(input.message, input.key);
            const bool opens = c.allowed && input.message != WM_MBUTTONDOWN;
            if (opens) {
                EXPECT_TRUE(saver->Stays()) << input.message << ' ' << input.key;
                saver->Post(WM_KEYDOWN, 'A');  // the dialog is over: a key closes again
            }
            EXPECT_EQ(saver->Exit(), 2) << input.message << ' ' << input.key << ' ' << c.prefs;
            EXPECT_EQ(saver->Lines("config active=1").size(), opens ? 1u : 0u);
        }
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
    for (const char* line : {
             "trace full DefSaverProc: WM_CREATE..._________  <LF><CR>",
             "trace WM_KEYDOWN: Misc key pressed: sending Close___________  <LF><CR>",
             "trace Nope, we're within the delay...___________  <LF><CR>",
             "trace full DefSaverProc: WM_CLOSE: password OK, so doing a DestroyWindow_________  "
             "<LF><CR>",
             "trace full DefSaverProc: POSTQUITMESSAGE from WM_DESTROY!!_________  <LF><CR>"})
        EXPECT_TRUE(saver->Logged(line)) << line;
}

}  // namespace
