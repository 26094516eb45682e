// The rules of a running saver window: which input closes it, active
// configuration, system commands and the trace lines, seen through the
// test saver.
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
    std::unique_ptr<SaverRun> StartFullScreen(const SaverRun::Environment& environment = {}) {
        ::SetCursorPos(kStartX, kStartY);
        auto saver = std::make_unique<SaverRun>("/s", environment);
        EXPECT_TRUE(saver->Window());
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
        for (const POINT within : {POINT{kStartX + 200, kStartY}, POINT{kStartX - 200, kStartY},
                                   POINT{kStartX, kStartY + 200}, POINT{kStartX + 200, kStartY - 200}})
            MoveTo(*saver, within.x, within.y);
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
        MoveTo(*saver, ::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1);
        EXPECT_TRUE(saver->Stays());
        saver->Post(input, input == WM_KEYDOWN ? 'K' : 0);
        EXPECT_EQ(saver->Exit(), 2);
    }
}

// Shift, Ctrl, Scroll Lock and the right button.
struct ActiveConfigInput {
    UINT message;
    WPARAM key;
    const char* name;
};
constexpr ActiveConfigInput kActiveConfigInputs[] = {{WM_KEYDOWN, VK_SHIFT, "Shift"},
                                                     {WM_KEYDOWN, VK_CONTROL, "Ctrl"},
                                                     {WM_KEYDOWN, VK_SCROLL, "Scroll Lock"},
                                                     {WM_RBUTTONDOWN, 0, "right button"}};

TEST_F(SaverInput, ActiveConfigurationInputOpensTheDialogWhenAllowed) {
    settings.SetNumber("Active Config", 1);
    for (const ActiveConfigInput& input : kActiveConfigInputs) {
        auto saver = StartFullScreen({{"KITTEST_PREFS", "activeconfig"}, {"KITTEST_CONFIG", "1"}});
        saver->Post(input.message, input.key);
        EXPECT_TRUE(saver->Stays()) << input.name;
        EXPECT_EQ(saver->Lines("config active=1").size(), 1u) << input.name;
        // The dialog is over: another key closes again.
        saver->Post(WM_KEYDOWN, 'A');
        EXPECT_EQ(saver->Exit(), 2) << input.name;
    }
}

TEST_F(SaverInput, ActiveConfigurationInputClosesWhenNotAllowed) {
    struct Case {
        const char* prefs;
        DWORD userAllows;
    };
    for (const Case c : {Case{"activeconfig", 0}, Case{"", 1}}) {
        settings.SetNumber("Active Config", c.userAllows);
        for (const ActiveConfigInput& input : kActiveConfigInputs) {
            auto saver =
                StartFullScreen({{"KITTEST_PREFS", c.prefs}, {"KITTEST_CONFIG", "1"}});
            saver->Post(input.message, input.key);
            EXPECT_EQ(saver->Exit(), 2) << input.name << ' ' << c.prefs;
            EXPECT_FALSE(saver->Logged("config ")) << input.name << ' ' << c.prefs;
        }
    }
}

TEST_F(SaverInput, MiddleButtonClosesLikeTheLeftEvenWithActiveConfiguration) {
    settings.SetNumber("Active Config", 1);
    for (const UINT button : {UINT{WM_MBUTTONDOWN}, UINT{WM_LBUTTONDOWN}}) {
        auto saver = StartFullScreen({{"KITTEST_PREFS", "activeconfig"}, {"KITTEST_CONFIG", "1"}});
        saver->Post(button);
        EXPECT_EQ(saver->Exit(), 2);
        EXPECT_FALSE(saver->Logged("config "));
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
    saver->Post(SCRINTERNAL_DIALOGACTIVE, 0);
    saver->Post(WM_KEYUP, 'A');
    EXPECT_TRUE(saver->Stays());
    saver->Post(WM_KEYDOWN, 'A');
    EXPECT_EQ(saver->Exit(), 2);
}

TEST_F(SaverInput, LosingActivationCloses) {
    for (const UINT message : {UINT{WM_ACTIVATE}, UINT{WM_ACTIVATEAPP}, UINT{WM_NCACTIVATE}}) {
        auto saver = StartFullScreen();
        saver->Post(message, 0);
        EXPECT_EQ(saver->Exit(), 2) << std::hex << message;
    }
}

TEST_F(SaverInput, SystemCommandsToCloseOrStartASaverAreSwallowedInFullScreen) {
    auto saver = StartFullScreen();
    saver->Post(WM_SYSCOMMAND, SC_SCREENSAVE);
    saver->Post(WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_TRUE(saver->Stays());
    EXPECT_FALSE(saver->Logged("system command"));
    saver->Post(WM_SYSCOMMAND, SC_MINIMIZE);  // any other goes on to the system
    EXPECT_TRUE(saver->Stays());
    EXPECT_EQ(saver->Lines("system command"), std::vector<std::string>{"system command f020"});
}

TEST_F(SaverInput, PreviewLetsScreenSaveThroughAndIgnoresInput) {
    kittest::HostWindow host("KitTestHostClass", 200, 150);
    SaverRun saver("/p " + std::to_string(reinterpret_cast<std::uintptr_t>(host.Get())));
    ASSERT_TRUE(saver.Window());
    saver.Post(WM_KEYDOWN, 'A');
    saver.Post(WM_LBUTTONDOWN);
    saver.Post(WM_ACTIVATE, WA_INACTIVE);
    saver.Post(WM_SYSCOMMAND, SC_SCREENSAVE);
    EXPECT_TRUE(saver.Stays());
    EXPECT_EQ(saver.Lines("system command"), std::vector<std::string>{"system command f140"});
    saver.Post(WM_CLOSE);
    EXPECT_EQ(saver.Exit(), 2);
}

TEST_F(SaverInput, TraceLinesCarryTheWindowKindWhenDebugOutputIsOn) {
    auto saver = StartFullScreen({{"KITTEST_PREFS", "debugoutput"}});
    saver->Post(WM_KEYDOWN, 'A');
    EXPECT_EQ(saver->Exit(), 2);
    const char* const expected[] = {
        "trace full DefSaverProc: WM_CREATE..._________  <LF><CR>",
        "trace WM_KEYDOWN: Misc key pressed: sending Close___________  <LF><CR>",
        "trace full DefSaverProc: WM_CLOSE: maybe we need a password_________  <LF><CR>",
        "trace Nope, we're within the delay...___________  <LF><CR>",
        "trace full DefSaverProc: WM_CLOSE: password OK, so doing a DestroyWindow_________  "
        "<LF><CR>",
        "trace full DefSaverProc: POSTQUITMESSAGE from WM_DESTROY!!_________  <LF><CR>",
        "trace DozeKit: closing process...___________  <LF><CR>",
    };
    for (const char* line : expected) EXPECT_TRUE(saver->Logged(line)) << line;
}

}  // namespace
