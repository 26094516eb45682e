// The run modes, seen from outside: the test saver is started with command
// lines and its windows, exit codes and log are checked.
#include <gtest/gtest.h>

#include <cstdio>

#include "kit/win32/dozekit.h"
#include "kit/win32/testing/saver_run.h"

namespace {

using kittest::HostWindow;
using kittest::SaverRun;

std::string Hex(HWND window) {
    char text[32];
    std::snprintf(text, sizeof text, "%lx",
                  static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(window)));
    return text;
}

std::string Decimal(HWND window) {
    return std::to_string(static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(window)));
}

class RunModes : public testing::Test {
protected:
    kittest::UserSettingsScope settings;
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
};

TEST_F(RunModes, FullScreenCoversTheScreenWhileTheSystemKnowsASaverRuns) {
    SaverRun saver("/s");
    ASSERT_TRUE(saver.Window());
    ASSERT_TRUE(saver.Stays());
    char expected[200];
    std::snprintf(expected, sizeof expected,
                  "create mode=0 ex=8 style=90000000 x=0 y=0 cx=%d cy=%d parent=0 "
                  "title=SaverWindow class=DummyScreenSaverClass data=0",
                  screenWidth, screenHeight);
    EXPECT_EQ(saver.Lines("create "), std::vector<std::string>{expected});
    EXPECT_EQ(::GetWindowLongA(saver.Window(), GWL_EXSTYLE) & WS_EX_TOPMOST, WS_EX_TOPMOST);
    const auto pongs = saver.Lines("pong ");
    ASSERT_EQ(pongs.size(), 1u);
    EXPECT_NE(pongs[0].find("running=1"), std::string::npos) << pongs[0];

    saver.Post(WM_KEYDOWN, 'A');
    EXPECT_EQ(saver.Exit(), 2);
    EXPECT_TRUE(saver.Logged("exit 2 running=0"));
}

TEST_F(RunModes, WithoutACreateCallbackTheKitMakesTheWindowItself) {
    SaverRun saver("/s", {{"KITTEST_CALLBACKS", "kit"}});
    HWND window = saver.FindWindow("DummyScreenSaverClass", "SaverWindow");
    ASSERT_TRUE(window);
    RECT bounds{};
    ::GetWindowRect(window, &bounds);
    EXPECT_EQ(bounds.right - bounds.left, screenWidth);
    EXPECT_EQ(bounds.bottom - bounds.top, screenHeight);
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(window, GWL_STYLE)) & (WS_POPUP | WS_VISIBLE),
              static_cast<DWORD>(WS_POPUP | WS_VISIBLE));
    saver.Post(WM_LBUTTONDOWN);
    EXPECT_EQ(saver.Exit(), 2);
}

TEST_F(RunModes, DebugWindowIsASmallWindowThatClosesOnlyOnRequest) {
    SaverRun saver("/s", {{"KITTEST_PREFS", "debugwindow"}});
    ASSERT_TRUE(saver.Window());
    char expected[200];
    std::snprintf(expected, sizeof expected,
                  "create mode=0 ex=0 style=10cf0000 x=0 y=0 cx=%d cy=%d parent=0 "
                  "title=SaverWindow class=DummyScreenSaverClass data=0",
                  screenWidth / 6, screenHeight / 6);
    EXPECT_EQ(saver.Lines("create "), std::vector<std::string>{expected});

    ::SetCursorPos(screenWidth - 1, screenHeight - 1);
    saver.Post(WM_MOUSEMOVE);
    saver.Post(WM_ACTIVATE, WA_INACTIVE);
    EXPECT_TRUE(saver.Stays());
    saver.Post(WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_EQ(saver.Exit(), 2);
}

TEST_F(RunModes, PreviewFillsTheGivenWindowAndEndsWithIt) {
    HostWindow host("KitTestHostClass", 200, 150);
    RECT bounds{};
    ::GetWindowRect(host.Get(), &bounds);
    SaverRun saver("/p " + Decimal(host.Get()));
    HWND preview = saver.Window();
    ASSERT_TRUE(preview);
    char expected[200];
    std::snprintf(expected, sizeof expected,
                  "create mode=2 ex=0 style=50000000 x=0 y=0 cx=%ld cy=%ld parent=%s "
                  "title=SaverPreview class=DummyScreenSaverClass data=2",
                  bounds.right - bounds.left, bounds.bottom - bounds.top, Hex(host.Get()).c_str());
    EXPECT_EQ(saver.Lines("create "), std::vector<std::string>{expected});
    EXPECT_EQ(::GetParent(preview), host.Get());
    EXPECT_TRUE(saver.Stays());

    host.Destroy();
    EXPECT_EQ(saver.Exit(), 2);
}

TEST_F(RunModes, PreviewWindowNumberMayBeHexadecimal) {
    HostWindow host("KitTestHostClass", 160, 120);
    SaverRun saver("/p:0x" + Hex(host.Get()));
    HWND preview = saver.Window();
    ASSERT_TRUE(preview);
    EXPECT_EQ(::GetParent(preview), host.Get());
    saver.Post(WM_CLOSE);
    EXPECT_EQ(saver.Exit(), 2);
}

TEST_F(RunModes, BadCommandLinesEndWithCode2AndNoWindow) {
    const std::string program = kittest::Quoted(kittest::TestSaverPath());
    const std::string unclosed = std::string(1, '"').append(kittest::TestSaverPath()).append(" /s");
    for (const std::string& commandLine :
         {program + " /x", program + " /", program + " -", program + " /p", program + " /p abc",
          program + " /p 0", program + " /p 1", unclosed}) {
        SaverRun saver(SaverRun::CommandLine{commandLine});
        EXPECT_EQ(saver.Exit(), 2) << commandLine;
        EXPECT_FALSE(saver.Logged("create ")) << commandLine;
        EXPECT_FALSE(saver.Logged("config ")) << commandLine;
    }
}

TEST_F(RunModes, ConfigurationRunsTheClientsDialogInTheHiddenHost) {
    for (const char* arguments : {"/c", "", "/c 1234", "-C:5678"}) {
        SaverRun saver(arguments, {{"KITTEST_CONFIG", "5"}});
        EXPECT_EQ(saver.Exit(), 5) << arguments;
        EXPECT_EQ(saver.Lines("config "),
                  std::vector<std::string>{"config active=0 visible=0 class=#32770 "
                                           "caption=Screen Saver Properties size=40 flags=8a "
                                           "icon=1 pages=0"})
            << arguments;
    }
}

TEST_F(RunModes, DefaultConfigurationShowsNothingYet) {
    SaverRun saver("/c", {{"KITTEST_CONFIG", "default"}});
    EXPECT_EQ(saver.Exit(), 0);
    EXPECT_TRUE(saver.Logged("config active=0"));
}

TEST_F(RunModes, ASecondScrMainAndScrSetPrefsAreRefusedWhileRunning) {
    SaverRun saver("/c", {{"KITTEST_CONFIG", "again"}});
    EXPECT_EQ(saver.Exit(), 3);
    EXPECT_TRUE(saver.Logged("again=2 about-item-off=0"));
}

TEST_F(RunModes, ChangePasswordUsesTheCallbackOrTheSystemsDialog) {
    HostWindow host("KitTestHostClass", 100, 100);
    {
        SaverRun saver("/a " + Decimal(host.Get()), {{"KITTEST_CHANGEPW", "7"}});
        EXPECT_EQ(saver.Exit(), 7);
        EXPECT_TRUE(saver.Logged("change-password callback " + Hex(host.Get())));
        EXPECT_FALSE(saver.Logged("change-password SCRSAVE"));
    }
    {
        SaverRun saver("-A:" + Decimal(host.Get()), {{"KITTEST_CHANGEPW", "default"}});
        EXPECT_EQ(saver.Exit(), 1);
        EXPECT_TRUE(saver.Logged("change-password SCRSAVE " + Hex(host.Get()) + " 0 0"));
    }
    {
        SaverRun saver("/a " + Decimal(host.Get()));  // no callback
        EXPECT_EQ(saver.Exit(), 1);
        EXPECT_FALSE(saver.Logged("change-password callback"));
        EXPECT_TRUE(saver.Logged("change-password SCRSAVE " + Hex(host.Get()) + " 0 0"));
    }
}

TEST_F(RunModes, ASaverThatNeverNeedsAPasswordSaysSoInsteadOfChangingIt) {
    SaverRun saver("/a", {{"KITTEST_PREFS", "neverpassword"}});
    HWND box = saver.FindWindow("#32770", "Password");
    ASSERT_TRUE(box);
    char text[200] = {};
    ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    EXPECT_STREQ(text, "This screensaver never requires a password");
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(saver.Exit(), IDOK);
    EXPECT_FALSE(saver.Logged("change-password"));
}

TEST_F(RunModes, TheAboutStepShowsTheKitsBoxWithItsVersion) {
    for (const int button : {IDOK, IDCANCEL}) {
        SaverRun saver("/c", {{"KITTEST_CONFIG", "about"}});
        HWND box = saver.FindWindow("#32770", "About DozeKit");
        ASSERT_TRUE(box);
        char name[100] = {};
        ::GetDlgItemTextA(box, 10, name, sizeof name);
        EXPECT_STREQ(name, "DozeKit v1.5s");
        ::PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
        EXPECT_EQ(saver.Exit(), button == IDOK ? 1 : 2);
    }
}

TEST_F(RunModes, ThePreviewerProgramsChildHostsThePreview) {
    HostWindow previewer("Glimpser", 300, 200);
    HWND screen = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, 120, 90,
                                    previewer.Get(), nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(screen);
    SaverRun saver("/p glimpser");
    HWND preview = saver.Window();
    ASSERT_TRUE(preview);
    EXPECT_EQ(::GetParent(preview), screen);
    EXPECT_TRUE(saver.Logged("create mode=2 ex=0 style=50000000 x=0 y=0 cx=120 cy=90 parent=" +
                             Hex(screen)));
    previewer.Destroy();
    EXPECT_EQ(saver.Exit(), 2);
}

TEST_F(RunModes, WithoutTheKitsResourcesConfigurationWarns) {
    SaverRun saver("/c", {{"KITTEST_CONFIG", "5"}}, kittest::BareSaverPath());
    HWND box = saver.FindWindow("#32770", "DozeKit");
    ASSERT_TRUE(box);
    char text[200] = {};
    ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    EXPECT_STREQ(text, "You _MUST_ include the DozeKit resources (dozekit.res)");
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    // Without the host dialog's template the dialog cannot run at all.
    EXPECT_EQ(saver.Exit(), -1);
}

TEST_F(RunModes, WithoutTheKitsResourcesTheSaverStillRuns) {
    SaverRun saver("/s", {}, kittest::BareSaverPath());
    ASSERT_TRUE(saver.Window());
    ASSERT_TRUE(saver.Stays());
    saver.Post(WM_KEYDOWN, 'A');
    EXPECT_EQ(saver.Exit(), 2);
}

}  // namespace
