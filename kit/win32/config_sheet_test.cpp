// The kit's own configuration sheet, run by the test saver (which asks for
// the default) and driven by messages to the controls of its general page:
// the registry at every change, the notices, the hot-corner services
// (stand-ins beside a copy of the saver), the About item and help.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

#include "kit/win32/dozekit.h"
#include "kit/win32/testing/saver_run.h"
#include "resources/dozekit_res.h"

namespace {

using kittest::SaverRun;
using kittest::StagedSaver;

constexpr char kSettingsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers";

std::optional<std::vector<BYTE>> Stored(const char* name) {
    std::vector<BYTE> bytes(64);
    DWORD size = static_cast<DWORD>(bytes.size());
    if (::RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_ANY, nullptr, bytes.data(),
                       &size) != ERROR_SUCCESS)
        return std::nullopt;
    bytes.resize(size);
    return bytes;
}

std::optional<DWORD> StoredNumber(const char* name) {
    const auto bytes = Stored(name);
    if (!bytes || bytes->size() != 4) return std::nullopt;
    return DWORD{(*bytes)[0]} | DWORD{(*bytes)[1]} << 8 | DWORD{(*bytes)[2]} << 16 |
           DWORD{(*bytes)[3]} << 24;
}

// The sheet of a saver run and its general page.
class Sheet {
public:
    explicit Sheet(SaverRun& saver)
        : sheet_(saver.FindWindow("#32770", "Screen Saver Properties")) {
        // The kit's general page among the sheet's pages.
        while ((page_ = ::FindWindowExA(sheet_, page_, "#32770", nullptr)) != nullptr)
            if (::GetDlgItem(page_, IDC_DK_SENSITIVITY)) break;
    }
    HWND Get() const { return sheet_; }
    HWND Control(int id) const { return ::GetDlgItem(page_, id); }
    bool Shows(int id) const { return ::IsWindowVisible(Control(id)) != FALSE; }
    std::string Text(int id) const {
        char text[200] = {};
        ::SendMessageA(Control(id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        return text;
    }

    // Each returns once the page has handled the change.
    void Choose(int id, int row) {
        ::SendMessageA(Control(id), CB_SETCURSEL, static_cast<WPARAM>(row), 0);
        ::SendMessageA(page_, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(Control(id)));
    }
    void Type(int id, const char* text) {
        ::SendMessageA(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    }
    void Click(int id) { ::SendMessageA(Control(id), BM_CLICK, 0, 0); }
    void Send(UINT message, WPARAM wParam, LPARAM lParam) {
        ::SendMessageA(page_, message, wParam, lParam);
    }
    void Press(int button) { ::PostMessageA(sheet_, WM_COMMAND, static_cast<WPARAM>(button), 0); }

private:
    HWND sheet_;
    HWND page_ = nullptr;
};

// A top-level window of the test that records the change notices and the
// settings broadcasts it receives.
class Listener {
public:
    Listener()
        : window_("KitTestListenerClass", 200, 100, {.procedure = Proc, .background = nullptr}) {
        Heard().clear();
        ::SetForegroundWindow(window_.Get());
        kittest::Pump(100);
    }
    HWND Get() const { return window_.Get(); }
    static std::vector<std::string>& Heard() {
        static std::vector<std::string> heard;
        return heard;
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == SCRM_PREFSCHANGED) Heard().push_back("prefs " + std::to_string(wParam));
        if (message == WM_WININICHANGE)
            Heard().push_back(std::string("wininichange ") +
                              (lParam ? reinterpret_cast<const char*>(lParam) : "(none)"));
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
    kittest::HostWindow window_;
};

class ConfigSheet : public testing::Test {
protected:
    kittest::UserSettingsScope settings;
};

TEST_F(ConfigSheet, EveryChangeIsStoredAtOnceAndTheServicesAreToldOfIt) {
    StagedSaver stage({"agents\\Sage.dll", "agents\\Edgewake.dll"});
    SaverRun saver(
        "/c",
        {{"KITTEST_CONFIG", "default"}, {"KITTEST_PREFS", "activeconfig"}, {"KITTEST_SAGE", "0"}},
        stage.Path());
    Sheet sheet(saver);
    ASSERT_TRUE(sheet.Get());
    // Edgewake's answer, 1, replaces Sage's 0.
    EXPECT_EQ(saver.Lines("Sage "), std::vector<std::string>{"Sage detect"});
    EXPECT_EQ(saver.Lines("Edgewake "), std::vector<std::string>{"Edgewake detect"});
    EXPECT_TRUE(sheet.Shows(IDC_DK_SERVICE_FOUND));
    EXPECT_FALSE(sheet.Shows(IDC_DK_NO_SERVICE));
    EXPECT_EQ(sheet.Text(IDC_DK_DELAY), "60");
    EXPECT_FALSE(Stored("Mouse Corners"));  // opening writes nothing

    struct Step {
        std::function<void()> change;
        const char* name;
        DWORD value;
    };
    const Step steps[] = {
        {[&] { sheet.Choose(IDC_DK_SENSITIVITY, 2); }, "Mouse Threshold", 400},
        {[&] { sheet.Choose(IDC_DK_SENSITIVITY, 3); }, "Mouse Threshold Index", 3},
        {[&] { sheet.Type(IDC_DK_DELAY, "0x10"); }, "Password Delay", 16},
        {[&] { sheet.Choose(IDC_DK_DELAY_UNIT, 1); }, "Password Delay", 960},
        {[&] { sheet.Click(IDC_DK_MUTE); }, "Mute Sound", 1},
        {[&] { sheet.Click(IDC_DK_ACTIVE_CONFIG); }, "Active Config", 1},
    };
    std::size_t told = 0;
    for (const Step& step : steps) {
        step.change();
        EXPECT_EQ(StoredNumber(step.name), step.value) << step.name;
        EXPECT_EQ(saver.Lines("Sage changed").size(), ++told) << step.name;
        EXPECT_EQ(saver.Lines("Edgewake changed").size(), told) << step.name;
    }
    // A delay the page refuses stays out of the registry, and leaving the
    // field shows the delay in force again, in minutes.
    sheet.Type(IDC_DK_DELAY, "-5");
    EXPECT_EQ(StoredNumber("Password Delay"), 960u);
    EXPECT_EQ(sheet.Text(IDC_DK_DELAY), "-5");
    sheet.Send(WM_COMMAND, MAKEWPARAM(IDC_DK_DELAY, EN_KILLFOCUS),
               reinterpret_cast<LPARAM>(sheet.Control(IDC_DK_DELAY)));
    EXPECT_EQ(sheet.Text(IDC_DK_DELAY), "16");
    EXPECT_EQ(StoredNumber("Password Delay"), 960u);
    EXPECT_EQ(saver.Lines("Edgewake changed").size(), told);

    EXPECT_EQ(Stored("Mouse Corners"), (std::vector<BYTE>{'-', '-', '-', '-', 0}));
    // A corner chosen on the monitor, bottom-right Never: no warning, as a
    // service runs.
    ::SendMessageA(sheet.Control(IDC_DK_MONITOR), WM_COMMAND, 0x1202, 0);
    EXPECT_EQ(Stored("Mouse Corners"), (std::vector<BYTE>{'-', '-', 'N', '-', 0}));
    EXPECT_EQ(saver.Lines("Edgewake changed").size(), ++told);
    const auto log = saver.Log();
    EXPECT_LT(std::find(log.begin(), log.end(), "Sage changed"),
              std::find(log.begin(), log.end(), "Edgewake changed"));

    // Cancel writes the values the sheet opened with back and tells again.
    sheet.Press(IDCANCEL);
    EXPECT_EQ(saver.Exit(), 0);
    EXPECT_EQ(StoredNumber("Mouse Threshold"), 0u);
    EXPECT_EQ(StoredNumber("Password Delay"), 60u);
    EXPECT_EQ(StoredNumber("Mute Sound"), 0u);
    EXPECT_EQ(Stored("Mouse Corners"), (std::vector<BYTE>{'-', '-', '-', '-', 0}));
    EXPECT_EQ(saver.Lines("Edgewake changed").size(), told + 1);
}

TEST_F(ConfigSheet, WithoutMemoryNothingPassesThroughTheDialogCode) {
    {
        // The general page cannot be set up: it ignores its controls and
        // OK, and the sheet closes as ever.
        Listener listener;
        SaverRun saver("/c", {{"KITTEST_CONFIG", "default"}, {"KITTEST_NOMEMORY", "page"}});
        Sheet sheet(saver);
        ASSERT_TRUE(sheet.Get());
        sheet.Type(IDC_DK_DELAY, "30");
        EXPECT_FALSE(Stored("Password Delay"));
        sheet.Press(IDOK);
        EXPECT_EQ(saver.Exit(), 1);
        const auto again = saver.Lines("memory again");
        ASSERT_EQ(again.size(), 1u);
        EXPECT_NE(again[0], "memory again, 0 refused");
        kittest::Pump(300);
        EXPECT_TRUE(Listener::Heard().empty());
    }
    // Nothing of the configuration can be run: it ends as a dialog that
    // could not be made.
    SaverRun saver("/c", {{"KITTEST_CONFIG", "default"}, {"KITTEST_NOMEMORY", "host"}});
    EXPECT_EQ(saver.Exit(), -1);
    EXPECT_EQ(saver.Lines("memory again").size(), 1u);
    EXPECT_FALSE(saver.Logged("config "));
}

TEST_F(ConfigSheet, OkBroadcastsAndTheWindowThatOpenedTheConfigurationHearsNothing) {
    ASSERT_EQ(::SearchPathA(nullptr, "Edgewake.dll", nullptr, 0, nullptr, nullptr), 0u)
        << "an Edgewake.dll on the system's search path";
    StagedSaver stage({});
    Listener listener;
    SaverRun saver("/c", {{"KITTEST_CONFIG", "default"}, {"KITTEST_PREFS", "alwayspassword"}},
                   stage.Path());
    Sheet sheet(saver);
    ASSERT_TRUE(sheet.Get());
    // The listener, as the foreground window, owns the hidden host.
    EXPECT_EQ(::GetWindow(::GetWindow(sheet.Get(), GW_OWNER), GW_OWNER), listener.Get());
    EXPECT_FALSE(sheet.Shows(IDC_DK_SERVICE_FOUND));
    EXPECT_TRUE(sheet.Shows(IDC_DK_NO_SERVICE));
    EXPECT_EQ(sheet.Text(IDC_DK_PASSWORD_NOTE), "This screensaver always uses a password");
    EXPECT_TRUE(sheet.Shows(IDC_DK_PASSWORD_NOTE));

    sheet.Choose(IDC_DK_SENSITIVITY, 1);
    EXPECT_EQ(StoredNumber("Mouse Threshold"), 200u);
    EXPECT_EQ(StoredNumber("Password Delay"), 60u);

    // Without a service the first corner choice warns, once.
    HWND monitor = sheet.Control(IDC_DK_MONITOR);
    ::PostMessageA(monitor, WM_COMMAND, 0x1001, 0);  // top-left Now
    HWND warning = saver.FindWindow("#32770", "Warning");
    ASSERT_TRUE(warning);
    char text[200] = {};
    ::SendMessageA(::GetDlgItem(warning, 0xFFFF), WM_GETTEXT, sizeof text,
                   reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text,
                 "You must have the System Agent loaded in order for the mouse hot corners to be "
                 "active.");
    EXPECT_EQ(::GetWindow(warning, GW_OWNER), sheet.Get());
    ::PostMessageA(warning, WM_COMMAND, IDOK, 0);
    while (::IsWindow(warning)) kittest::Pump(20);
    ::SendMessageA(monitor, WM_NULL, 0, 0);          // the choice is through
    ::SendMessageA(monitor, WM_COMMAND, 0x1102, 0);  // top-right Never, no box
    EXPECT_EQ(Stored("Mouse Corners"), (std::vector<BYTE>{'Y', 'N', '-', '-', 0}));
    sheet.Press(IDOK);
    saver.Exit();
    kittest::Pump(300);  // the broadcast comes as a posted notification
    EXPECT_EQ(Listener::Heard(), std::vector<std::string>{"wininichange Windows"});
    EXPECT_EQ(StoredNumber("Mouse Threshold"), 200u);
}

TEST_F(ConfigSheet, OpenedOverTheRunningSaverItTellsTheSaverOfEachChange) {
    settings.SetNumber("Active Config", 1);
    auto saver = std::make_unique<SaverRun>(
        "/s",
        SaverRun::Environment{{"KITTEST_CONFIG", "default"}, {"KITTEST_PREFS", "activeconfig"}});
    ASSERT_TRUE(saver->Stays());
    saver->Post(WM_KEYDOWN, VK_SHIFT);
    Sheet sheet(*saver);
    ASSERT_TRUE(sheet.Get());
    sheet.Choose(IDC_DK_SENSITIVITY, 3);
    sheet.Type(IDC_DK_DELAY, "30");
    sheet.Press(IDOK);
    EXPECT_TRUE(saver->Stays());
    EXPECT_EQ(
        saver->Lines("prefs "),
        (std::vector<std::string>{"prefs code=d001 threshold=999999 delay=60 runtime=999999,60",
                                  "prefs code=d001 threshold=999999 delay=30 runtime=999999,30",
                                  "prefs code=e001 threshold=999999 delay=30 runtime=999999,30"}));
    saver->Post(WM_KEYDOWN, 'A');
    EXPECT_EQ(saver->Exit(), 2);
}

TEST_F(ConfigSheet, PreviewsInTheSheetsMonitorsHearEachChangeAndKeepTheirValues) {
    SaverRun saver("/c", {{"KITTEST_CONFIG", "preview"}});
    Sheet sheet(saver);
    ASSERT_TRUE(sheet.Get());
    ::SendMessageA(sheet.Get(), PSM_SETCURSEL, 1, 0);  // the page is made when first shown
    const auto previews = saver.Lines("preview page=");
    ASSERT_EQ(previews.size(), 1u);
    ASSERT_NE(previews[0].rfind("preview page=0 ", 0), 0u) << previews[0];
    sheet.Choose(IDC_DK_SENSITIVITY, 2);
    sheet.Press(IDOK);
    saver.Exit();
    EXPECT_EQ(saver.Lines("prefs "),
              (std::vector<std::string>{"prefs code=d001 threshold=400 delay=60 runtime=0,60",
                                        "prefs code=e001 threshold=400 delay=60 runtime=0,60"}));
}

TEST_F(ConfigSheet, HelpGoesToWinHelpAndTheAboutItemOpensTheKitsBox) {
    StagedSaver stage({});
    SaverRun saver("/c", {{"KITTEST_CONFIG", "default"}, {"KITTEST_PREFS", "activeconfig"}},
                   stage.Path());
    Sheet sheet(saver);
    ASSERT_TRUE(sheet.Get());
    const std::string table =
        " 3630,3101 3631,3101 3632,3101 3633,3102 3634,3102 3635,3102 3636,3102 3637,3102 "
        "3638,3100 3639,3100 3640,3100 3641,3105 3643,3106 0,0";
    const auto asked = [&](HWND window, const char* file, UINT command) {
        char line[400];
        std::snprintf(line, sizeof line, "winhelp window=%lx file=%s command=%u table=%s",
                      kittest::HandleValue(window), file, command, table.c_str());
        return std::string(line);
    };
    HWND activeConfig = sheet.Control(IDC_DK_ACTIVE_CONFIG);
    HWND sensitivity = sheet.Control(IDC_DK_SENSITIVITY);
    sheet.Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(activeConfig), 0);
    sheet.Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(sensitivity), 0);
    stage.AddEmptyFile("dozekit.hlp");  // from now on found beside the saver
    sheet.Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(sensitivity), 0);
    EXPECT_EQ(saver.Lines("winhelp "),
              (std::vector<std::string>{asked(activeConfig, "dozekit.hlp", HELP_CONTEXTMENU),
                                        asked(sensitivity, "Plus!.HLP", HELP_CONTEXTMENU),
                                        asked(sensitivity, "dozekit.hlp", HELP_CONTEXTMENU)}));

    ::PostMessageA(sheet.Get(), WM_SYSCOMMAND, IDM_DK_ABOUT, 0);
    HWND about = saver.FindWindow("#32770", "About DozeKit");
    ASSERT_TRUE(about);
    EXPECT_EQ(::GetWindow(about, GW_OWNER), sheet.Get());
    ::PostMessageA(about, WM_COMMAND, IDOK, 0);
    kittest::Pump(200);
    sheet.Press(IDCANCEL);
    EXPECT_EQ(saver.Exit(), 0);

    // A saver's own dialog asks through ScrHelp, with a table of one control.
    SaverRun own("/c", {{"KITTEST_CONFIG", "help"}}, stage.Path());
    EXPECT_EQ(own.Exit(), 1);
    const auto lines = own.Lines("winhelp ");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("file=dozekit.hlp command=10 table= 3638,3106 0,0"), std::string::npos);
    EXPECT_NE(lines[1].find("file=dozekit.hlp command=12 table= 3638,3100 0,0"), std::string::npos);
}

}  // namespace
