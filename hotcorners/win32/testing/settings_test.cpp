// The settings side in this program, with the service side's stand-ins:
// the silent install's writes read back (the shortcut through the shell
// link object), the dialog reflecting "Mouse Corners" and writing a
// changed corner, the status following the service, the uninstall
// question, one dialog at a time, the page from DllGetClassObject in a
// property sheet with DllCanUnloadNow's answers, and the monitor control's
// classes when their registration fails half-way.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "hotcorners/core/settings_rules.h"
#include "hotcorners/win32/edgewake.h"
#include "hotcorners/win32/settings_panel.h"
#include "hotcorners/win32/shared_memory.h"
#include "hotcorners/win32/startup_shortcut.h"
#include "kit/core/monitor_rules.h"
#include "kit/core/monitor_styles.h"
#include "resources/edgewake_res.h"

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID, REFIID, void**);
extern "C" HRESULT WINAPI DllCanUnloadNow();

namespace {

using namespace std::chrono_literals;
using kit::CornerState;

constexpr char kCornersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers";
constexpr CLSID kPageClass = {
    0x6F1C2B7E, 0x3D54, 0x4A8B, {0x9E, 0x21, 0x5C, 0x7D, 0x0A, 0x4F, 0x93, 0xB6}};

struct ComScope {
    ComScope() { ::CoInitialize(nullptr); }
    ~ComScope() { ::CoUninitialize(); }
};

std::optional<std::string> ReadText(HKEY root, const char* subkey, const char* name) {
    char text[MAX_PATH * 2] = "";
    DWORD size = sizeof text;
    if (::RegGetValueA(root, subkey, name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::string(text);
}

std::optional<DWORD> ReadNumber(HKEY root, const char* subkey, const char* name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (::RegGetValueA(root, subkey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

void WriteCorners(const char* text) {
    ASSERT_EQ(::RegSetKeyValueA(HKEY_CURRENT_USER, kCornersKey, "Mouse Corners", REG_SZ, text,
                                static_cast<DWORD>(std::strlen(text) + 1)),
              ERROR_SUCCESS);
}

std::optional<std::string> Corners() {
    return ReadText(HKEY_CURRENT_USER, kCornersKey, "Mouse Corners");
}

bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Pumps this thread's messages until the condition holds or time is up.
template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds limit = 10s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

HWND FindDialog(const char* title) { return ::FindWindowA("#32770", title); }

// Every text of a window's children (a message box's question).
BOOL CALLBACK AddText(HWND child, LPARAM texts) {
    char text[1024] = "";
    ::GetWindowTextA(child, text, sizeof text);
    *reinterpret_cast<std::string*>(texts) += std::string(text) + "|";
    return TRUE;
}

std::string ChildTexts(HWND window) {
    std::string texts;
    ::EnumChildWindows(window, AddText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

bool Checked(HWND dialog, int id) { return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
bool Shown(HWND dialog, int id) { return ::IsWindowVisible(::GetDlgItem(dialog, id)) != FALSE; }
bool Enabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }

// The status text and the two buttons of a service running or not.
void ExpectServiceStatus(HWND dialog, bool running) {
    EXPECT_EQ(Shown(dialog, IDC_EW_RUNNING), running);
    EXPECT_EQ(Shown(dialog, IDC_EW_NOT_RUNNING), !running);
    EXPECT_EQ(Enabled(dialog, IDC_EW_START), !running);
    EXPECT_EQ(Enabled(dialog, IDC_EW_TERMINATE), running);
}
void Click(HWND dialog, int id) { ::SendMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

kit::CornerActions MonitorCorners(HWND dialog) {
    return kit::CornersFromStyle(static_cast<std::uint32_t>(
        ::GetWindowLongA(::GetDlgItem(dialog, IDC_EW_MONITOR), GWL_STYLE)));
}

// A corner chosen on the control, as its menu does it.
void ChooseCorner(HWND dialog, kit::Corner corner, CornerState action) {
    ::SendMessageA(::GetDlgItem(dialog, IDC_EW_MONITOR), WM_COMMAND,
                   kit::CornerCommandId({corner, action}), 0);
}

// The settings dialog, run on a thread of its own as rundll32 would.
class DialogRun {
public:
    explicit DialogRun(edgewake::DialogMode mode)
        : thread_([mode] {
              ComScope com;
              edgewake::RunSettingsDialog(nullptr, mode);
          }) {}
    ~DialogRun() {
        if (HWND dialog = FindDialog("Hot Corners"))
            ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        thread_.join();
    }
    HWND Wait() {
        HWND dialog = nullptr;
        WaitFor([&] {
            dialog = FindDialog("Hot Corners");
            return dialog && ::IsWindowVisible(dialog);
        });
        // Let WM_INITDIALOG finish before the controls are read.
        if (dialog) ::SendMessageA(dialog, WM_NULL, 0, 0);
        return dialog;
    }
    bool Ended() {
        return WaitFor([] { return FindDialog("Hot Corners") == nullptr; });
    }

private:
    std::thread thread_;
};

// A box of the dialog's thread, answered with OK or Cancel.
std::string AnswerBox(int answer) {
    HWND box = nullptr;
    if (!WaitFor([&] { return (box = FindDialog("Edgewake")) != nullptr; })) return "(no box)";
    const std::string texts = ChildTexts(box);
    ::PostMessageA(box, WM_COMMAND, answer, 0);
    WaitFor([&] { return !::IsWindow(box); });
    return texts;
}

class SettingsTest : public testing::Test {
protected:
    // The dialog mutex, as the library takes it at its start.
    static void SetUpTestSuite() { edgewake::AttachShared(); }
    static void TearDownTestSuite() { edgewake::DetachShared(); }
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }

    static void Clean() {
        edgewake::EndService();
        ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kCornersKey, "Mouse Corners");
        ::RegDeleteKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "Edgewake Tray Icon");
        ::RegDeleteKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "Edgewake Feedback");
        ::RegDeleteTreeA(HKEY_CLASSES_ROOT, hotcorners::kClassKey);
        ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, hotcorners::kPageKey);
        ::DeleteFileA(Shortcut().c_str());
    }
    static std::string Shortcut() {
        ComScope com;
        return edgewake::StartupShortcutPath();
    }
    static bool PageKey() {
        return ReadText(HKEY_LOCAL_MACHINE, hotcorners::kPageKey, nullptr) ==
               std::string(hotcorners::kClassId);
    }

    ComScope com_;
};

TEST_F(SettingsTest, SilentInstallWritesEverythingAndLeavesAServiceRunning) {
    edgewake::RunSettingsDialog(nullptr, edgewake::DialogMode::Silent);

    const std::string shortcut = edgewake::StartupShortcutPath();
    ASSERT_FALSE(shortcut.empty());
    EXPECT_TRUE(shortcut.ends_with("\\Edgewake.lnk")) << shortcut;
    edgewake::ShortcutTarget target;
    ASSERT_TRUE(edgewake::ReadShortcut(shortcut, target));
    std::string program = target.path;
    std::transform(program.begin(), program.end(), program.begin(), ::tolower);
    EXPECT_TRUE(program.ends_with("rundll32.exe")) << target.path;
    EXPECT_EQ(target.arguments, edgewake::LibraryPath() + ",RunService");

    EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, hotcorners::kClassKey, nullptr), "Edgewake");
    EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, hotcorners::kServerKey, nullptr),
              edgewake::LibraryPath());
    EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, hotcorners::kServerKey, "ThreadingModel"), "Apartment");
    EXPECT_TRUE(PageKey());
    EXPECT_EQ(Corners(), "YN--");
    EXPECT_EQ(ReadNumber(HKEY_CURRENT_USER, "Control Panel\\Desktop", "Edgewake Tray Icon"), 1u);
    EXPECT_EQ(ReadNumber(HKEY_CURRENT_USER, "Control Panel\\Desktop", "Edgewake Feedback"), 1u);
    EXPECT_NE(edgewake::ServiceWindow(), nullptr);
    EXPECT_EQ(FindDialog("Hot Corners"), nullptr);

    // Corners and options the user has set survive a second install (an
    // upgrade); the service is not started twice.
    const HWND service = edgewake::ServiceWindow();
    WriteCorners("--N-");
    edgewake::SetShowFeedback(false);
    edgewake::RunSettingsDialog(nullptr, edgewake::DialogMode::Silent);
    EXPECT_EQ(Corners(), "--N-");
    EXPECT_EQ(ReadNumber(HKEY_CURRENT_USER, "Control Panel\\Desktop", "Edgewake Feedback"), 0u);
    EXPECT_EQ(ReadNumber(HKEY_CURRENT_USER, "Control Panel\\Desktop", "Edgewake Tray Icon"), 1u);
    EXPECT_EQ(edgewake::ServiceWindow(), service);
}

TEST_F(SettingsTest, TheDialogShowsMouseCornersAndOkNotCancelWritesAChangedCorner) {
    WriteCorners("N--Y");
    {
        DialogRun cancelled(edgewake::DialogMode::Normal);
        HWND dialog = cancelled.Wait();
        ASSERT_NE(dialog, nullptr);
        ChooseCorner(dialog, kit::BottomLeft, CornerState::Never);
        Click(dialog, IDC_EW_PAGE);
        ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(cancelled.Ended());
        EXPECT_EQ(Corners(), "N--Y");
        EXPECT_FALSE(PageKey());
    }
    DialogRun run(edgewake::DialogMode::Normal);
    HWND dialog = run.Wait();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(MonitorCorners(dialog), (kit::CornerActions{CornerState::Never, CornerState::Default,
                                                          CornerState::Default, CornerState::Now}));
    EXPECT_FALSE(Checked(dialog, IDC_EW_PAGE));
    EXPECT_FALSE(Checked(dialog, IDC_EW_STARTUP));
    EXPECT_TRUE(Checked(dialog, IDC_EW_ICON));  // the options read as on when missing
    EXPECT_TRUE(Checked(dialog, IDC_EW_FEEDBACK));

    // A second request brings this one forward and opens no other.
    std::thread second([] { edgewake::RunSettingsDialog(nullptr, edgewake::DialogMode::Normal); });
    second.join();
    const HWND first = FindDialog("Hot Corners");
    EXPECT_EQ(::FindWindowExA(nullptr, first, "#32770", "Hot Corners"), nullptr);

    ChooseCorner(dialog, kit::TopRight, CornerState::Now);
    Click(dialog, IDC_EW_PAGE);
    EXPECT_EQ(Corners(), "N--Y");  // nothing before OK
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(run.Ended());
    EXPECT_EQ(Corners(), "NY-Y");
    EXPECT_TRUE(PageKey());
    EXPECT_FALSE(FileExists(edgewake::StartupShortcutPath()));
    // A normal dialog starts no service of its own.
    EXPECT_EQ(edgewake::ServiceWindow(), nullptr);
}

TEST_F(SettingsTest, TheStatusFollowsTheService) {
    DialogRun run(edgewake::DialogMode::Normal);
    HWND dialog = run.Wait();
    ASSERT_NE(dialog, nullptr);
    ExpectServiceStatus(dialog, false);

    Click(dialog, IDC_EW_START);
    EXPECT_NE(edgewake::ServiceWindow(), nullptr);
    ExpectServiceStatus(dialog, true);

    Click(dialog, IDC_EW_TERMINATE);
    EXPECT_EQ(edgewake::ServiceWindow(), nullptr);
    EXPECT_TRUE(Shown(dialog, IDC_EW_NOT_RUNNING));

    // A service that starts or ends by other means shows at the next tick.
    edgewake::StartServiceProcess();
    EXPECT_TRUE(WaitFor([&] { return Shown(dialog, IDC_EW_RUNNING); }, 3s));
    edgewake::EndService();
    EXPECT_TRUE(WaitFor([&] { return Shown(dialog, IDC_EW_NOT_RUNNING); }, 3s));
}

TEST_F(SettingsTest, TheInstallDialogStartsTheServiceAndTicksEverything) {
    DialogRun run(edgewake::DialogMode::Install);
    HWND dialog = run.Wait();
    ASSERT_NE(dialog, nullptr);
    EXPECT_NE(edgewake::ServiceWindow(), nullptr);
    for (const int id : {IDC_EW_FEEDBACK, IDC_EW_PAGE, IDC_EW_ICON, IDC_EW_STARTUP})
        EXPECT_TRUE(Checked(dialog, id)) << id;
    EXPECT_EQ(MonitorCorners(dialog),
              (kit::CornerActions{CornerState::Now, CornerState::Never, CornerState::Default,
                                  CornerState::Default}));
}

TEST_F(SettingsTest, NoWayBackAsksFirstAndThenUninstalls) {
    edgewake::RunSettingsDialog(nullptr, edgewake::DialogMode::Silent);
    const std::string shortcut = edgewake::StartupShortcutPath();
    ASSERT_TRUE(FileExists(shortcut));
    ASSERT_NE(edgewake::ServiceWindow(), nullptr);

    DialogRun run(edgewake::DialogMode::Normal);
    HWND dialog = run.Wait();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(Checked(dialog, IDC_EW_PAGE));
    EXPECT_TRUE(Checked(dialog, IDC_EW_STARTUP));
    Click(dialog, IDC_EW_PAGE);
    Click(dialog, IDC_EW_STARTUP);  // the icon alone is no way back
    ChooseCorner(dialog, kit::TopLeft, CornerState::Default);

    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_NE(AnswerBox(IDCANCEL).find("This will uninstall Edgewake."), std::string::npos);
    EXPECT_TRUE(::IsWindow(dialog));
    EXPECT_TRUE(FileExists(shortcut));
    EXPECT_TRUE(PageKey());
    EXPECT_EQ(Corners(), "YN--");
    EXPECT_NE(edgewake::ServiceWindow(), nullptr);

    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_NE(AnswerBox(IDOK).find("You can never access it again!"), std::string::npos);
    ASSERT_TRUE(run.Ended());
    EXPECT_FALSE(FileExists(shortcut));
    EXPECT_FALSE(PageKey());
    EXPECT_EQ(Corners(), "-N--");
    EXPECT_EQ(edgewake::ServiceWindow(), nullptr);
    // The server's own keys stay; nothing names them any more.
    EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, hotcorners::kClassKey, nullptr), "Edgewake");
}

BOOL CALLBACK CollectPage(HPROPSHEETPAGE page, LPARAM pages) {
    reinterpret_cast<std::vector<HPROPSHEETPAGE>*>(pages)->push_back(page);
    return TRUE;
}

TEST_F(SettingsTest, ThePageFromTheServerShowsInASheetAndApplies) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    WriteCorners("-Y--");
    EXPECT_EQ(DllCanUnloadNow(), S_OK);

    IClassFactory* factory = nullptr;
    EXPECT_EQ(
        DllGetClassObject(CLSID_ShellLink, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
        CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(factory, nullptr);
    ASSERT_EQ(DllGetClassObject(kPageClass, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
              S_OK);
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
    IShellPropSheetExt* extension = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IShellPropSheetExt,
                                      reinterpret_cast<void**>(&extension)),
              S_OK);
    factory->LockServer(TRUE);
    IShellExtInit* init = nullptr;
    ASSERT_EQ(extension->QueryInterface(IID_IShellExtInit, reinterpret_cast<void**>(&init)), S_OK);
    EXPECT_EQ(init->Initialize(nullptr, nullptr, nullptr), S_OK);
    init->Release();
    std::vector<HPROPSHEETPAGE> pages;
    ASSERT_EQ(extension->AddPages(CollectPage, reinterpret_cast<LPARAM>(&pages)), S_OK);
    ASSERT_EQ(pages.size(), 1u);
    extension->Release();
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);  // the factory, locked, and a page
    factory->LockServer(FALSE);
    factory->Release();
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);  // the page alone

    PROPSHEETHEADERA header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_MODELESS;
    header.pszCaption = "Display Properties";
    header.nPages = 1;
    header.phpage = pages.data();
    HWND sheet = reinterpret_cast<HWND>(::PropertySheetA(&header));
    ASSERT_NE(sheet, nullptr);
    HWND page = PropSheet_GetCurrentPageHwnd(sheet);
    ASSERT_NE(page, nullptr);
    char className[64] = "";
    ::GetClassNameA(::GetDlgItem(page, IDC_EW_MONITOR), className, sizeof className);
    EXPECT_STREQ(className, "DozekitMonitorClass");
    EXPECT_EQ(MonitorCorners(page),
              (kit::CornerActions{CornerState::Default, CornerState::Now, CornerState::Default,
                                  CornerState::Default}));

    ChooseCorner(page, kit::BottomRight, CornerState::Never);
    Click(page, IDC_EW_PAGE);
    Click(page, IDC_EW_FEEDBACK);
    PropSheet_Apply(sheet);
    EXPECT_EQ(Corners(), "-YN-");
    EXPECT_TRUE(PageKey());
    EXPECT_EQ(ReadNumber(HKEY_CURRENT_USER, "Control Panel\\Desktop", "Edgewake Feedback"), 0u);
    EXPECT_TRUE(::IsWindow(sheet));

    ::DestroyWindow(sheet);
    EXPECT_TRUE(WaitFor([] { return DllCanUnloadNow() == S_OK; }, 3s));
}

BOOL CALLBACK RefusePage(HPROPSHEETPAGE, LPARAM) { return FALSE; }

TEST_F(SettingsTest, AddedPagesTheSheetRefusesAreReleased) {
    IShellPropSheetExt* extension = nullptr;
    IClassFactory* factory = nullptr;
    ASSERT_EQ(DllGetClassObject(kPageClass, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
              S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IShellPropSheetExt,
                                      reinterpret_cast<void**>(&extension)),
              S_OK);
    IUnknown* outer = factory;
    void* aggregated = nullptr;
    EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, &aggregated), CLASS_E_NOAGGREGATION);
    factory->Release();
    EXPECT_EQ(extension->AddPages(RefusePage, 0), S_OK);
    extension->Release();
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

// The monitor control's classes are process-wide: one left behind by a
// registration that failed half-way would outlive the library that holds
// its procedure (in the Display Properties' process, say).
TEST(MonitorClasses, ARegistrationThatFailsHalfWayLeavesNoClassBehind) {
    WNDCLASSA taken{};
    taken.style = CS_GLOBALCLASS;
    taken.lpfnWndProc = ::DefWindowProcA;
    taken.hInstance = ::GetModuleHandleA(nullptr);
    taken.lpszClassName = DOZEKIT_MONITOR_WINDOW_CLASS;
    ASSERT_NE(::RegisterClassA(&taken), 0);
    WNDCLASSA found{};
    {
        const edgewake::MonitorClassesInUse monitors;
        EXPECT_EQ(edgewake::MonitorClassesInUse::Controls(), nullptr);
        EXPECT_FALSE(::GetClassInfoA(edgewake::Module(), DOZEKIT_MONITOR_CLASS, &found));
    }
    EXPECT_FALSE(::GetClassInfoA(edgewake::Module(), DOZEKIT_MONITOR_CLASS, &found));
    ::UnregisterClassA(DOZEKIT_MONITOR_WINDOW_CLASS, taken.hInstance);

    // Once the other class has gone, the dialogs have their control again.
    const edgewake::MonitorClassesInUse monitors;
    EXPECT_NE(edgewake::MonitorClassesInUse::Controls(), nullptr);
}

}  // namespace
