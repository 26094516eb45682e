// The run modes, seen from outside: the test saver is started with command
// lines, and its windows, exit codes and log are checked.
#include <gtest/gtest.h>

#include <cstdio>

#include <windows.h>
#include <prsht.h>

#include "kit/win32/dozekit.h"
#include "kit/win32/testing/saver_run.h"

namespace {

using kittest::HostWindow;
using kittest::SaverRun;

std::string Hex(HWND window) {
    char text[32];
    std::snprintf(text, sizeof text, "%lx", kittest::HandleValue(window));
    return text;
}

std::string Decimal(HWND window) { return std::to_string(kittest::HandleValue(window)); }

std::string BoxText(HWND box) {
    char text[200] = {};
    ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}

class RunModes : public testing::Test {
protected:
    kittest::UserSettingsScope settings;
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    // The full-screen window covers every monitor.
    const RECT everyMonitor{
        ::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
        ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
        ::GetSystemMetrics(SM_YVIRTUALSCREEN) + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
};

TEST_F(RunModes, FullScreenCoversEveryMonitorWhileTheSystemKnowsASaverRuns) {
    SaverRun saver("/s");
    ASSERT_TRUE(saver.Window());
    ASSERT_TRUE(saver.Stays());
    char expected[200];
    std::snprintf(expected, sizeof expected,
                  "create mode=0 ex=8 style=90000000 x=%d y=%d cx=%d cy=%d parent=0 "
                  "title=SaverWindow class=DummyScreenSaverClass data=0",
                  static_cast<int>(everyMonitor.left), static_cast<int>(everyMonitor.top),
                  static_cast<int>(everyMonitor.right - everyMonitor.left),
                  static_cast<int>(everyMonitor.bottom - everyMonitor.top));
    EXPECT_EQ(saver.Lines("create "), std::vector<std::string>{expected});
    EXPECT_NE(saver.Lines("pong ").at(0).find("running=1"), std::string::npos);
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
    EXPECT_EQ(bounds.left, everyMonitor.left);
    EXPECT_EQ(bounds.top, everyMonitor.top);
    EXPECT_EQ(bounds.right, everyMonitor.right);
    EXPECT_EQ(bounds.bottom, everyMonitor.bottom);
    saver.Post(WM_LBUTTONDOWN);
    EXPECT_EQ(saver.Exit(), 2);
}

TEST_F(RunModes, DebugWindowIsASmallWindowThatClosesOnlyOnRequest) {
    SaverRun saver("/s", {{"KITTEST_PREFS", "debugwindow"}});
    ASSERT_TRUE(saver.Window());
    char expected[200];
    std::snprintf(expected, sizeof expected,
                  "create mode=0 ex=0 style=10cf0000 x=0 y=0 cx=%d cy=%d parent=0 ",
                  screenWidth / 6, screenHeight / 6);
    EXPECT_TRUE(saver.Logged(expected));
    ::SetCursorPos(screenWidth - 1, screenHeight - 1);
    saver.Post(WM_MOUSEMOVE);
    saver.Post(WM_ACTIVATE, WA_INACTIVE);
    EXPECT_TRUE(saver.Stays());
    saver.Post(WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_EQ(saver.Exit(), 2);
}

// (The command line's forms are the core's test.)
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

    // A command line the kit refuses: code 2 and no window.
    SaverRun bad("/p 0");
    EXPECT_EQ(bad.Exit(), 2);
    EXPECT_FALSE(bad.Logged("create "));
}

TEST_F(RunModes, ConfigurationRunsTheClientsDialogInTheHiddenHost) {
    SaverRun saver("/c", {{"KITTEST_CONFIG", "5"}});
    EXPECT_EQ(saver.Exit(), 5);
    // The header of the first version: 40 bytes in a 32-bit program.
    EXPECT_EQ(saver.Lines("config "),
              std::vector<std::string>{"config active=0 visible=0 class=#32770 "
                                       "caption=Screen Saver Properties size=" +
                                       std::to_string(PROPSHEETHEADERA_V1_SIZE) +
                                       " flags=18a icon=1 pages=1"});
    SaverRun again("/c", {{"KITTEST_CONFIG", "again"}});
    EXPECT_EQ(again.Exit(), 3);
    EXPECT_TRUE(again.Logged("again=2"));  // no second ScrMain while one runs
}

TEST_F(RunModes, ChangePasswordUsesTheCallbackOrTheSystemsDialogOrSaysItIsNeverNeeded) {
    HostWindow host("KitTestHostClass", 100, 100);
    const std::string changed = "change-password SCRSAVE " + Hex(host.Get()) + " 0 0";
    SaverRun answered("/a " + Decimal(host.Get()), {{"KITTEST_CHANGEPW", "7"}});
    EXPECT_EQ(answered.Exit(), 7);
    EXPECT_TRUE(answered.Logged("change-password callback " + Hex(host.Get())));
    EXPECT_FALSE(answered.Logged(changed));
    for (const char* callback : {"default", ""}) {
        SaverRun saver("-A:" + Decimal(host.Get()), {{"KITTEST_CHANGEPW", callback}});
        EXPECT_EQ(saver.Exit(), 1) << callback;
        EXPECT_TRUE(saver.Logged(changed)) << callback;
    }

    SaverRun never("/a", {{"KITTEST_PREFS", "neverpassword"}});
    HWND box = never.FindWindow("#32770", "Password");
    ASSERT_TRUE(box);
    EXPECT_EQ(BoxText(box), "This screensaver never requires a password");
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(never.Exit(), IDOK);
    EXPECT_FALSE(never.Logged("change-password"));
}

TEST_F(RunModes, TheAboutStepShowsTheKitsBoxWithItsVersion) {
    SaverRun saver("/c", {{"KITTEST_CONFIG", "about"}});
    HWND box = saver.FindWindow("#32770", "About DozeKit");
    ASSERT_TRUE(box);
    char name[100] = {};
    ::GetDlgItemTextA(box, 10, name, sizeof name);
    EXPECT_STREQ(name, "DozeKit v1.5s");
    ::PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(saver.Exit(), IDCANCEL);  // the box's answer is the step's
}

TEST_F(RunModes, ThePreviewerProgramsChildHostsThePreview) {
    HostWindow previewer("Glimpser", 300, 200);
    HWND screen = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, 120, 90,
                                    previewer.Get(), nullptr, ::GetModuleHandleA(nullptr), nullptr);
    SaverRun saver("/p glimpser");
    ASSERT_TRUE(saver.Window());
    EXPECT_EQ(::GetParent(saver.Window()), screen);
    EXPECT_TRUE(saver.Logged("create mode=2 ex=0 style=50000000 x=0 y=0 cx=120 cy=90 parent=" +
                             Hex(screen)));
    previewer.Destroy();
    EXPECT_EQ(saver.Exit(), 2);
}

TEST_F(RunModes, WithoutTheKitsResourcesTheSaverRunsButConfigurationWarns) {
    SaverRun saver("/s", {}, kittest::BareSaverPath());
    ASSERT_TRUE(saver.Window());
    saver.Post(WM_KEYDOWN, 'A');
    EXPECT_EQ(saver.Exit(), 2);

    SaverRun configure("/c", {{"KITTEST_CONFIG", "5"}}, kittest::BareSaverPath());
    HWND box = configure.FindWindow("#32770", "DozeKit");
    ASSERT_TRUE(box);
    EXPECT_EQ(BoxText(box), "You _MUST_ include the DozeKit resources (dozekit.res)");
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(configure.Exit(), -1);  // the host dialog's template is missing too
}

}  // namespace
