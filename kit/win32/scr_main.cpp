// ScrMain: the command line, the run modes, the window-creation step, the
// message loop, the separate previewer, the About box and the wait for the
// timer threads at the end of a run.
#include <algorithm>
#include <new>
#include <vector>

#include "common/win32/guards.h"
#include "common/win32/system_info.h"
#include "kit/core/command_line.h"
#include "kit/core/saver_input.h"
#include "kit/core/version.h"
#include "kit/win32/kit_internal.h"
#include "resources/dozekit_res.h"

namespace kit::win32 {
namespace {

constexpr char kDummyClass[] = "DummyScreenSaverClass";
constexpr UINT kSetScreenSaverRunning = 97;  // SPI_SETSCREENSAVERRUNNING
constexpr DWORD kThreadWaitMs = 10000;

HWND AsWindow(std::uintptr_t value) { return reinterpret_cast<HWND>(value); }

// Shows one of the previewer's texts, if it loads.
void ShowPreviewerText(int id, const std::string& caption) {
    if (const auto text = LoadKitString(id, 200))
        ::MessageBoxA(nullptr, text->c_str(), caption.c_str(), MB_OK);
}

class DesktopWindows : public WindowQuery {
public:
    bool IsWindow(std::uintptr_t window) override { return ::IsWindow(AsWindow(window)) != FALSE; }
    std::uintptr_t ForegroundWindow() override {
        return reinterpret_cast<std::uintptr_t>(::GetForegroundWindow());
    }

    // The separate previewer program: its top-level window's class is its
    // name, and its first child hosts the preview.
    std::uintptr_t PreviewerWindow(std::string_view afterLetter) override {
        const auto name = LoadKitString(IDS_DK_GLIMPSER);
        if (!name) return 0;
        const std::string lower = LowerAscii(*name);
        if (!NamesPreviewer(afterLetter, lower)) return 0;

        HWND tool = ::FindWindowA(lower.c_str(), nullptr);
        if (!tool && !StartPreviewer(lower, *name)) return 0;
        if (!tool) tool = ::FindWindowA(lower.c_str(), nullptr);
        if (!tool) {
            ShowPreviewerText(IDS_DK_GLIMPSER_NOT_FOUND, *name);
            return 0;
        }
        HWND child = ::GetWindow(tool, GW_CHILD);
        if (!child) {
            ShowPreviewerText(IDS_DK_GLIMPSER_NO_CHILD, *name);
            return 0;
        }
        return reinterpret_cast<std::uintptr_t>(child);
    }

private:
    static bool StartPreviewer(const std::string& lower, const std::string& name) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        std::vector<char> commandLine(lower.begin(), lower.end());
        commandLine.push_back('\0');
        if (!::CreateProcessA(lower.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                              CREATE_DEFAULT_ERROR_MODE | CREATE_NEW_PROCESS_GROUP, nullptr,
                              nullptr, &startup, &started)) {
            ShowPreviewerText(IDS_DK_GLIMPSER_NOT_STARTED, name);
            return false;
        }
        const ::win32::UniqueKernelHandle process(started.hProcess);
        const ::win32::UniqueKernelHandle thread(started.hThread);
        const DWORD idle = ::WaitForInputIdle(process.Get(), 2000);
        if (idle == WAIT_TIMEOUT) {
            ShowPreviewerText(IDS_DK_GLIMPSER_NO_ANSWER, name);
            return false;
        }
        if (idle == WAIT_FAILED) {
            ShowPreviewerText(IDS_DK_GLIMPSER_INIT_FAILED, name);
            return false;
        }
        if (HWND tool = ::FindWindowA(lower.c_str(), nullptr)) ::SetForegroundWindow(tool);
        return true;
    }
};

void RegisterDummyClass(HINSTANCE instance) {
    // A second registration fails harmlessly.
    ::win32::RegisterRedrawnClass(instance, DefSaverProc, kDummyClass,
                                  static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)));
}

int RunMessageLoop() {
    MSG message{};
    for (;;) {
        const BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got == -1) return SCR_EXITCODE;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

int RunFullScreen() {
    if (!CreateSaverWindow(SCRMODE_FULL, nullptr)) return SCR_EXITCODE;
    BOOL previous = FALSE;
    ::SystemParametersInfoA(kSetScreenSaverRunning, TRUE, &previous, 0);
    const int code = RunMessageLoop();
    ::SystemParametersInfoA(kSetScreenSaverRunning, FALSE, &previous, 0);
    return code;
}

int RunPreview(HWND parent) {
    if (!CreateSaverWindow(SCRMODE_PREVIEW, parent)) return SCR_EXITCODE;
    return RunMessageLoop();
}

int RunChangePassword(HWND window) {
    KitState& kit = Kit();
    const int result = kit.changePassword ? kit.changePassword(window) : SCR_DODEFAULT;
    return result == SCR_DODEFAULT ? DoChangePwDialog(window) : result;
}

int RunCommand(const Command& command) {
    const HWND window = AsWindow(command.window);
    switch (command.mode) {
    case RunMode::Saver: return RunFullScreen();
    case RunMode::Preview: return RunPreview(window);
    case RunMode::Configure: return DoConfigDialog(window, FALSE);
    case RunMode::ChangePassword: return RunChangePassword(window);
    case RunMode::Invalid: break;
    }
    return SCR_EXITCODE;
}

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        if (kVersionText[0] != '\0') {
            if (HWND name = ::GetDlgItem(dialog, IDC_DK_ABOUT_NAME)) {
                char text[100] = {};
                ::GetWindowTextA(name, text, sizeof text);
                const std::string withVersion = std::string(text) + " v" + kVersionText;
                ::SetWindowTextA(name, withVersion.c_str());
            }
        }
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            ::EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

HWND CreateSaverWindow(UINT mode, HWND parent) {
    KitState& kit = Kit();
    const ScrPrefs& prefs = kit.prefs.Current();
    DWORD exStyle = 0;
    DWORD style = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    const char* title = "SaverPreview";
    if (mode == SCRMODE_FULL) {
        parent = nullptr;
        title = "SaverWindow";
        if (prefs.fDebugWindow) {
            style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
            width = ::GetSystemMetrics(SM_CXSCREEN) / 6;
            height = ::GetSystemMetrics(SM_CYSCREEN) / 6;
        } else {
            exStyle = WS_EX_TOPMOST;
            style = WS_POPUP | WS_VISIBLE;
            // Every monitor: input anywhere is the saver's.
            const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
            const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
            const Rect area =
                FullScreenWindow({::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)},
                                 {left, top, left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                                  top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)});
            x = area.left;
            y = area.top;
            width = area.right - area.left;
            height = area.bottom - area.top;
        }
    } else {
        RECT bounds{};
        ::GetWindowRect(parent, &bounds);
        width = bounds.right - bounds.left;
        height = bounds.bottom - bounds.top;
        style = WS_CHILD | WS_VISIBLE;
    }

    auto* data = new (std::nothrow) SCRCREATEDATA{0, mode};
    if (!data) return nullptr;
    kit.createRecords.insert(data);

    CREATESTRUCTA create{};
    create.lpCreateParams = data;
    create.hInstance = kit.clientInstance;
    create.hMenu = nullptr;
    create.hwndParent = parent;
    create.cy = height;
    create.cx = width;
    create.y = y;
    create.x = x;
    create.style = static_cast<LONG>(style);
    create.lpszName = title;
    create.lpszClass = kDummyClass;
    create.dwExStyle = exStyle;

    HWND window = kit.createWindow
                      ? kit.createWindow(mode, &create)
                      : ::CreateWindowExA(exStyle, kDummyClass, title, style, x, y, width, height,
                                          parent, nullptr, kit.clientInstance, data);
    // The record is released at WM_CREATE; when that never reached the kit
    // (no window, or a procedure that kept WM_CREATE), it is released here.
    if (kit.createRecords.erase(data) != 0) delete data;
    return window;
}

bool IsFullScreen(HWND window) { return ::GetParent(window) == nullptr; }

int RunAboutStep(HWND owner) {
    KitState& kit = Kit();
    const int result = kit.about ? kit.about(owner) : SCR_DODEFAULT;
    if (result != SCR_DODEFAULT) return result;
    return static_cast<int>(::DialogBoxParamA(kit.resourceModule, MAKEINTRESOURCEA(IDD_DK_ABOUT),
                                              owner, AboutDlgProc, 0));
}

void WarnOfMissingKitResources() {
    if (!::LoadIconA(Kit().resourceModule, MAKEINTRESOURCEA(IDI_DK_KIT)))
        ::MessageBoxA(nullptr, "You _MUST_ include the DozeKit resources (dozekit.res)", "DozeKit",
                      MB_OK);
}

// Waits for every timer thread of the run, in batches of what one wait
// takes, within one overall time limit.
void WaitForTimerThreads() {
    KitState& kit = Kit();
    std::vector<HANDLE> threads;
    {
        Locked lock(kit.threadListLock);
        for (const auto& thread : kit.timerThreads) threads.push_back(thread.Get());
    }
    if (threads.empty()) return;

    const DWORD start = ::GetTickCount();
    bool allEnded = true;
    for (std::size_t first = 0; first < threads.size(); first += MAXIMUM_WAIT_OBJECTS) {
        const std::size_t count =
            std::min<std::size_t>(MAXIMUM_WAIT_OBJECTS, threads.size() - first);
        const DWORD spent = ::GetTickCount() - start;
        const DWORD left = spent >= kThreadWaitMs ? 0 : kThreadWaitMs - spent;
        const DWORD result =
            ::WaitForMultipleObjects(static_cast<DWORD>(count), threads.data() + first, TRUE, left);
        if (result == WAIT_TIMEOUT || result == WAIT_FAILED) {
            allEnded = false;
            break;
        }
    }
    if (!allEnded) {
        Trace().Trace("Not all threads have terminated!");
        Trace().Box("Not all threads have terminated", "ThreadTimer error");
    }

    Locked lock(kit.threadListLock);
    kit.timerThreads.clear();
}

std::size_t TimerThreadCount() {
    KitState& kit = Kit();
    Locked lock(kit.threadListLock);
    return static_cast<std::size_t>(
        std::distance(kit.timerThreads.begin(), kit.timerThreads.end()));
}

}  // namespace kit::win32

using namespace kit::win32;

int WINAPI ScrMain(HINSTANCE instance, SCRCREATEWINDOWPROC pfnCreateWindow, SCRCONFIGPROC pfnConfig,
                   SCRABOUTPROC pfnAbout, SCRCHANGEPASSWORDPROC pfnChangePassword) {
    EnsureStarted();
    KitState& kit = Kit();
    if (kit.running) return SCR_EXITCODE;

    kit.createWindow = pfnCreateWindow;
    kit.config = pfnConfig;
    kit.about = pfnAbout;
    kit.changePassword = pfnChangePassword;
    RegisterDummyClass(instance);

    kit.running = true;
    kit.clientInstance = instance;
    DesktopWindows windows;
    const int code = RunCommand(kit::ParseCommandLine(::GetCommandLineA(), windows));
    kit.running = false;

    CloseProcess();
    WaitForTimerThreads();
    return code;
}
