// A small saver that links the kit, for the kit's Windows-side tests. What
// it does comes from KITTEST_ environment variables; what happens is
// written to the file named by KITTEST_LOG (test_log.h).
//
//   KITTEST_PREFS      words: activeconfig, notimers, debugwindow, debugoutput,
//                      neverpassword, alwayspassword
//   KITTEST_CALLBACKS  "kit": no create-window callback, the kit makes the window
//   KITTEST_TIMER      "P" or "P:W": answer SCRM_TIMER with P after W ms of
//                      work; unset: hand SCRM_TIMER on to the kit
//   KITTEST_CONFIG     a number to answer, "default" (the kit's sheet),
//                      "about" (the kit's About step), "help" (ScrHelp on the
//                      host's control), "again" (ScrMain while running) or
//                      "monitor" (a window of monitor controls with previews,
//                      below); "preview": the kit's sheet with a second page
//                      of the saver's own, a preview in a monitor control
//   KITTEST_CHANGEPW   unset: no callback; a number to answer, or "default"
//   KITTEST_CHILDREN   saver windows to create inside the first one
//   KITTEST_AGENT      "detected": a hot-corner service runs
//   KITTEST_NOMEMORY   "page" or "host": every allocation of the main thread
//                      fails while the configuration's general page, or its
//                      hidden host, handles WM_INITDIALOG
//
// The monitor window ("Monitor controls") holds controls 101 (MS_NOTHING),
// 102 (MS_PREVIEW) and 103 (MS_CORNERS, top-right Now and bottom-left
// Never) and a plain window 104, and asks CreatePreview for a preview in
// 102 and in 104. It logs each control, each preview, each WM_COMMAND it
// gets and the rows of each menu that opens; kDestroyChild destroys one of
// its children.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "kit/win32/dozekit.h"
#include "kit/win32/kit_internal.h"
#include "kit/win32/testing/test_log.h"
#include "resources/dozekit_res.h"

namespace {

constexpr char kClassName[] = "KitTestSaverClass";
constexpr char kMonitorHostClass[] = "KitTestMonitorHostClass";

// While set, this thread's allocations fail (KITTEST_NOMEMORY).
DWORD g_starvedThread = 0;
unsigned g_refusedAllocations = 0;

struct Options {
    std::string prefs;
    bool kitCreates = false;
    bool handlesTimer = false;
    int period = 0;
    int work = 0;
    std::string config;
    std::string changePassword;
    int children = 0;
    std::string noMemory;
};

Options g_options;
HINSTANCE g_instance = nullptr;
HWND g_main = nullptr;
unsigned g_mainTicks = 0;

Options ReadOptions() {
    Options options;
    options.prefs = kittest::Environment("KITTEST_PREFS");
    options.kitCreates = kittest::Environment("KITTEST_CALLBACKS") == "kit";
    const std::string timer = kittest::Environment("KITTEST_TIMER");
    options.handlesTimer = !timer.empty();
    options.period = std::atoi(timer.c_str());
    if (const auto colon = timer.find(':'); colon != std::string::npos)
        options.work = std::atoi(timer.c_str() + colon + 1);
    options.config = kittest::Environment("KITTEST_CONFIG");
    options.changePassword = kittest::Environment("KITTEST_CHANGEPW");
    options.children = std::atoi(kittest::Environment("KITTEST_CHILDREN").c_str());
    options.noMemory = kittest::Environment("KITTEST_NOMEMORY");
    return options;
}

bool Wants(const char* pref) { return g_options.prefs.find(pref) != std::string::npos; }

std::string Format(const char* format, ...) {
    char text[400];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

// Trace lines and boxes go to the log; the line ends are spelled out.
class LogSink : public kit::DiagnosticSink {
public:
    void Write(const std::string& line) override {
        std::string shown;
        for (char c : line) {
            if (c == '\n')
                shown += "<LF>";
            else if (c == '\r')
                shown += "<CR>";
            else
                shown += c;
        }
        kittest::LogLine("trace " + shown);
    }
    void ShowBox(std::uintptr_t, const std::string& text, const std::string& caption) override {
        kittest::LogLine("box " + caption + ": " + text);
    }
};

// Logs the system commands that reach DefWindowProcA, and keeps the
// system from acting on any but SC_CLOSE.
HHOOK g_hook = nullptr;
HHOOK g_menuHook = nullptr;
LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_SYSCOMMAND) {
        kittest::LogLine(Format("system command %x", static_cast<unsigned>(wParam)));
        if (wParam != SC_CLOSE) return 1;
    }
    return ::CallNextHookEx(g_hook, code, wParam, lParam);
}

LRESULT OnPong(HWND window) {
    BOOL running = FALSE;
    ::SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    kittest::LogLine(Format("pong timer=%d threads=%u ticks=%u running=%d",
                            kit::win32::GetTimerSlot(window) != nullptr ? 1 : 0,
                            static_cast<unsigned>(kit::win32::TimerThreadCount()), g_mainTicks,
                            running));
    if (HANDLE pong = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, kittest::kPongEvent)) {
        ::SetEvent(pong);
        ::CloseHandle(pong);
    }
    return 0;
}

LRESULT OnChangePrefs(HWND window, WPARAM threshold) {
    PrefsChangeBlock block{};
    block.size = sizeof block;
    ScrGetSettings(&block);
    block.mouseThreshold = static_cast<std::int32_t>(threshold);
    ::SendMessageA(window, SCRM_PREFSCHANGED, 0xE001, reinterpret_cast<LPARAM>(&block));
    return 0;
}

// What a change notice carried, and what the kit took from it.
LRESULT OnPrefsChanged(HWND window, WPARAM code, LPARAM blockParam) {
    const LRESULT result = DefSaverProc(window, SCRM_PREFSCHANGED, code, blockParam);
    const auto* block = reinterpret_cast<const PrefsChangeBlock*>(blockParam);
    const kit::win32::RuntimeState& runtime = kit::win32::Kit().runtime;
    kittest::LogLine(Format("prefs code=%x threshold=%d delay=%d runtime=%ld,%lu",
                            static_cast<unsigned>(code), block ? block->mouseThreshold : -1,
                            block ? block->passwordDelay : -1, runtime.mouseThreshold,
                            runtime.passwordDelay));
    return result;
}

// Stands in for WinHelpA, which the tests cannot see at work.
BOOL WINAPI RecordWinHelp(HWND window, LPCSTR file, UINT command, ULONG_PTR data) {
    std::string table;
    const auto* pairs = reinterpret_cast<const DWORD*>(data);
    for (int i = 0; pairs && i < 20; ++i) {
        table += Format(" %lu,%lu", pairs[2 * i], pairs[2 * i + 1]);
        if (pairs[2 * i] == 0 && pairs[2 * i + 1] == 0) break;
    }
    kittest::LogLine(Format("winhelp window=%lx file=%s command=%u table=%s",
                            kittest::HandleValue(window), file, command, table.c_str()));
    return TRUE;
}

LRESULT CALLBACK SaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case SCRM_PREFSCHANGED: return OnPrefsChanged(window, wParam, lParam);
    case WM_CREATE: {
        const LRESULT result = DefSaverProc(window, message, wParam, lParam);
        if (!g_main) {
            g_main = window;
            kittest::LogLine(Format("window %lx", kittest::HandleValue(window)));
            for (int i = 0; i < g_options.children; ++i)
                ::CreateWindowExA(0, kClassName, "child", WS_CHILD, 0, 0, 1, 1, window, nullptr,
                                  g_instance, nullptr);
        }
        return result;
    }
    case SCRM_TIMER:
        if (window == g_main) {
            ++g_mainTicks;
            kittest::LogLine(Format("tick %lu", ::GetTickCount()));
        } else if (g_options.config == "monitor") {
            kittest::LogLine(Format("preview tick %lx", kittest::HandleValue(window)));
        }
        if (!g_options.handlesTimer) break;
        if (g_options.work > 0) ::Sleep(static_cast<DWORD>(g_options.work));
        return g_options.period;
    case kittest::kPing: ::PostMessageA(window, kittest::kPong, 0, 0); return 0;
    case kittest::kPong: return OnPong(window);
    case kittest::kChangePrefs: return OnChangePrefs(window, wParam);
    }
    return DefSaverProc(window, message, wParam, lParam);
}

HWND CALLBACK CreateSaver(UINT mode, LPCREATESTRUCTA create) {
    kittest::LogLine(
        Format("create mode=%u ex=%lx style=%lx x=%d y=%d cx=%d cy=%d parent=%lx "
               "title=%s class=%s data=%d",
               mode, create->dwExStyle, static_cast<unsigned long>(create->style), create->x,
               create->y, create->cx, create->cy, kittest::HandleValue(create->hwndParent),
               create->lpszName, create->lpszClass,
               create->lpCreateParams
                   ? static_cast<int>(static_cast<SCRCREATEDATA*>(create->lpCreateParams)->mode)
                   : -1));
    return ::CreateWindowExA(create->dwExStyle, kClassName, create->lpszName,
                             static_cast<DWORD>(create->style), create->x, create->y, create->cx,
                             create->cy, create->hwndParent, nullptr, create->hInstance,
                             create->lpCreateParams);
}

// The rows of a menu as it opens, the checked one marked with '*'.
LRESULT CALLBACK MenuHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_INITMENUPOPUP) {
        const auto menu = reinterpret_cast<HMENU>(sent->wParam);
        std::string rows;
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
            char text[100] = {};
            ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            rows += std::string(" ") + text;
            if (::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) rows += '*';
        }
        kittest::LogLine(Format("menu %lx rows%s", kittest::HandleValue(sent->hwnd), rows.c_str()));
    }
    return ::CallNextHookEx(g_menuHook, code, wParam, lParam);
}

// The dialog of KITTEST_NOMEMORY: the general page has the sensitivity
// list, the hidden host only its one static control.
bool IsStarvedDialog(HWND dialog) {
    const bool page = ::GetDlgItem(dialog, IDC_DK_SENSITIVITY) != nullptr;
    if (g_options.noMemory == "page") return page;
    return g_options.noMemory == "host" && !page && ::GetDlgItem(dialog, IDC_DK_HOST_CHILD);
}

HHOOK g_starveHook = nullptr;
HHOOK g_starveEndHook = nullptr;
LRESULT CALLBACK StarveHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_INITDIALOG && IsStarvedDialog(sent->hwnd)) {
        kittest::LogLine("no memory");
        g_starvedThread = ::GetCurrentThreadId();
    }
    return ::CallNextHookEx(g_starveHook, code, wParam, lParam);
}

LRESULT CALLBACK StarveEndHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_INITDIALOG && g_starvedThread) {
        g_starvedThread = 0;
        kittest::LogLine(Format("memory again, %u refused", g_refusedAllocations));
    }
    return ::CallNextHookEx(g_starveEndHook, code, wParam, lParam);
}

LRESULT CALLBACK MonitorHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        const auto control = reinterpret_cast<HWND>(lParam);
        kittest::LogLine(Format("command %x %lx style=%lx", static_cast<unsigned>(wParam),
                                kittest::HandleValue(control),
                                static_cast<unsigned long>(::GetWindowLongA(control, GWL_STYLE))));
        return 0;
    }
    case kittest::kDestroyChild:
        ::DestroyWindow(::GetDlgItem(window, static_cast<int>(wParam)));
        return 0;
    case kittest::kPing: ::PostMessageA(window, kittest::kPong, 0, 0); return 0;
    case kittest::kPong: return OnPong(window);
    case WM_CLOSE: ::DestroyWindow(window); return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

HWND AddChild(HWND host, const char* className, DWORD style, int id, int x) {
    HWND child =
        ::CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, x, 10, 185, 170, host,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_instance, nullptr);
    RECT bounds{};
    ::GetWindowRect(child, &bounds);
    kittest::LogLine(Format("control %d %lx at %ld %ld %ld %ld", id, kittest::HandleValue(child),
                            bounds.left, bounds.top, bounds.right, bounds.bottom));
    return child;
}

void LogPreview(const char* what, HWND preview) {
    kittest::LogLine(Format("preview %s=%lx parent=%lx", what, kittest::HandleValue(preview),
                            kittest::HandleValue(preview ? ::GetParent(preview) : nullptr)));
}

// Monitor controls of each kind and a plain window, previews in the preview
// control and the plain window, until the window is closed.
int RunMonitorHost() {
    if (kittest::Environment("KITTEST_AGENT") == "detected")
        kit::win32::Kit().monitors->SetServiceDetected(true);

    WNDCLASSA hostClass{};
    hostClass.lpfnWndProc = MonitorHostProc;
    hostClass.hInstance = g_instance;
    hostClass.hbrBackground = ::CreateSolidBrush(RGB(0xE4, 0xE0, 0xD8));
    hostClass.lpszClassName = kMonitorHostClass;
    ::RegisterClassA(&hostClass);
    HWND host = ::CreateWindowExA(0, kMonitorHostClass, "Monitor controls",
                                  WS_POPUP | WS_BORDER | WS_VISIBLE, 100, 100, 790, 192, nullptr,
                                  nullptr, g_instance, nullptr);
    g_main = host;
    kittest::LogLine(Format("window %lx", kittest::HandleValue(host)));
    AddChild(host, DOZEKIT_MONITOR_CLASS, MS_NOTHING, 101, 10);
    HWND preview = AddChild(host, DOZEKIT_MONITOR_CLASS, MS_PREVIEW, 102, 205);
    AddChild(host, DOZEKIT_MONITOR_CLASS, MS_CORNERS | MS_CTOPRIGHTNOW | MS_CBOTLEFTNEV, 103, 400);
    HWND plain = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 612, 27, 153, 113, host,
                                   reinterpret_cast<HMENU>(104), g_instance, nullptr);
    kittest::LogLine(Format("control 104 %lx", kittest::HandleValue(plain)));
    LogPreview("monitor", CreatePreview(preview));
    LogPreview("plain", CreatePreview(plain));
    kittest::LogLine(
        Format("monitor window %lx", kittest::HandleValue(::GetWindow(preview, GW_CHILD))));

    g_menuHook = ::SetWindowsHookExA(WH_CALLWNDPROC, MenuHook, nullptr, ::GetCurrentThreadId());
    MSG message{};
    while (::IsWindow(host) && ::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    if (g_menuHook) ::UnhookWindowsHookEx(g_menuHook);
    return 4;
}

// A second ScrMain while one runs is refused.
int TryAgainWhileRunning() {
    kittest::LogLine(
        Format("again=%d", ScrMain(g_instance, CreateSaver, nullptr, nullptr, nullptr)));
    return 3;
}

INT_PTR CALLBACK PreviewPageProc(HWND page, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    LogPreview("page", CreatePreview(::GetDlgItem(page, 201)));
    return TRUE;
}

// The kit leaves room for a second entry of the first version's size.
int AddPreviewPage(LPPROPSHEETHEADERA header) {
    PROPSHEETPAGEA page{};
    page.dwSize = PROPSHEETPAGEA_V1_SIZE;
    page.hInstance = g_instance;
    page.pszTemplate = MAKEINTRESOURCEA(200);
    page.pfnDlgProc = PreviewPageProc;
    auto* entries = reinterpret_cast<unsigned char*>(const_cast<PROPSHEETPAGEA*>(header->ppsp));
    std::memcpy(entries + PROPSHEETPAGEA_V1_SIZE, &page, PROPSHEETPAGEA_V1_SIZE);
    header->nPages = 2;
    return SCR_DODEFAULT;
}

int CALLBACK Configure(HWND host, LPPROPSHEETHEADERA header, BOOL active) {
    char hostClass[64] = {};
    ::GetClassNameA(host, hostClass, sizeof hostClass);
    kittest::LogLine(
        Format("config active=%d visible=%d class=%s caption=%s size=%lu flags=%lx "
               "icon=%d pages=%u",
               active, ::IsWindowVisible(host) ? 1 : 0, hostClass,
               header->pszCaption ? header->pszCaption : "(none)", header->dwSize, header->dwFlags,
               header->hIcon ? 1 : 0, header->nPages));
    if (g_options.config == "default") return SCR_DODEFAULT;
    if (g_options.config == "preview") return AddPreviewPage(header);
    if (g_options.config == "about") return kit::win32::RunAboutStep(host);
    if (g_options.config == "help") {
        HWND control = ::GetDlgItem(host, IDC_DK_HOST_CHILD);
        ScrHelp(control, HELP_CONTEXTMENU, IDH_DK_ACTIVE_CONFIG);
        ScrHelp(control, HELP_WM_HELP, IDH_DK_CORNERS);
        return 1;
    }
    if (g_options.config == "again") return TryAgainWhileRunning();
    if (g_options.config == "monitor") return RunMonitorHost();
    return std::atoi(g_options.config.c_str());
}

int CALLBACK ChangePassword(HWND parent) {
    kittest::LogLine(Format("change-password callback %lx", kittest::HandleValue(parent)));
    if (g_options.changePassword == "default") return SCR_DODEFAULT;
    return std::atoi(g_options.changePassword.c_str());
}

void SetPrefs() {
    LPSCRPREFS prefs = ScrGetPrefs();
    prefs->fActiveConfig = Wants("activeconfig");
    prefs->fNoTimers = Wants("notimers");
    prefs->fDebugWindow = Wants("debugwindow");
    prefs->fDebugOutput = Wants("debugoutput");
    prefs->fNeverRequirePassword = Wants("neverpassword");
    prefs->fAlwaysRequirePassword = Wants("alwayspassword");
    ScrSetPrefs(prefs);
}

}  // namespace

void* operator new(std::size_t size) {
    if (g_starvedThread && ::GetCurrentThreadId() == g_starvedThread) {
        ++g_refusedAllocations;
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    g_instance = instance;
    g_options = ReadOptions();
    LogSink sink;
    kit::win32::SetDiagnosticSinkForTests(&sink);
    kit::win32::SetWinHelpForTests(RecordWinHelp);
    g_hook = ::SetWindowsHookExA(WH_CBT, CbtHook, nullptr, ::GetCurrentThreadId());
    if (!g_options.noMemory.empty()) {
        g_starveHook =
            ::SetWindowsHookExA(WH_CALLWNDPROC, StarveHook, nullptr, ::GetCurrentThreadId());
        g_starveEndHook =
            ::SetWindowsHookExA(WH_CALLWNDPROCRET, StarveEndHook, nullptr, ::GetCurrentThreadId());
    }

    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = SaverProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = ::CreateSolidBrush(RGB(0x1d, 0x35, 0x57));
    windowClass.lpszClassName = kClassName;
    ::RegisterClassA(&windowClass);

    SetPrefs();
    const int code = ScrMain(instance, g_options.kitCreates ? nullptr : CreateSaver, Configure,
                             nullptr, g_options.changePassword.empty() ? nullptr : ChangePassword);
    PrefsChangeBlock settings{};
    ScrGetSettings(&settings);
    kittest::LogLine(Format("settings mute=%d threshold=%d delay=%d", settings.muteSound,
                            settings.mouseThreshold, settings.passwordDelay));
    BOOL running = TRUE;
    ::SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    kittest::LogLine(Format("exit %d running=%d", code, running));
    if (g_hook) ::UnhookWindowsHookEx(g_hook);
    for (HHOOK hook : {g_starveHook, g_starveEndHook})
        if (hook) ::UnhookWindowsHookEx(hook);
    kit::win32::SetDiagnosticSinkForTests(nullptr);
    return code;
}
