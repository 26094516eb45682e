// The service: the hidden window "EdgewakeService", its 500 ms poll that
// drives hotcorners::HotCorners through the real desktop, the private
// message's operations, the task-bar icon and its menu, and the feedback
// window.
#include <windows.h>
#include <shellapi.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <vector>

#include "common/win32/guards.h"
#include "common/win32/system_info.h"
#include "hotcorners/core/hot_corners.h"
#include "hotcorners/core/service_rules.h"
#include "hotcorners/core/taskbar_icon.h"
#include "hotcorners/win32/edgewake.h"
#include "hotcorners/win32/feedback_window.h"
#include "hotcorners/win32/library_internal.h"
#include "hotcorners/win32/shared_memory.h"
#include "hotcorners/win32/user_registry.h"
#include "kit/win32/current_user_registry.h"
#include "resources/edgewake_res.h"

namespace edgewake {
namespace {

using hotcorners::FeedbackState;

constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollMs = 500;
// Posted to itself once created: the start-up work that tells other
// windows, done after RunService has let the service mutex go.
constexpr UINT kAnnounce = WM_USER + 1;
constexpr UINT kTrayCallback = 0x8001;
constexpr UINT kTrayIconId = 100;
constexpr char kTrayTip[] = "Hot Corners";

// The tray menu's commands.
constexpr UINT kCommandProperties = 100;
constexpr UINT kCommandSaveNow = 0x65;
constexpr UINT kCommandSaverConfig = 0x66;
constexpr UINT kCommandAbout = 0x67;
constexpr UINT kCommandQuit = 0x68;

// The desktop window, or the shell's window that draws the icons on it.
bool IsDesktop(HWND window) {
    if (window == ::GetDesktopWindow() || window == ::GetShellWindow()) return true;
    char name[16] = {};
    ::GetClassNameA(window, name, sizeof name);
    return std::strcmp(name, "Progman") == 0 || std::strcmp(name, "WorkerW") == 0;
}

// The primary screen's corners.
hotcorners::CornerPoints ScreenCorners() {
    return hotcorners::ScreenCorners(::GetSystemMetrics(SM_CXSCREEN),
                                     ::GetSystemMetrics(SM_CYSCREEN));
}

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM list) {
    reinterpret_cast<std::vector<hotcorners::Rect>*>(list)->push_back(
        {rect->left, rect->top, rect->right, rect->bottom});
    return TRUE;
}

class Service final : public hotcorners::SaverDesktop, public hotcorners::Tray {
public:
    explicit Service(HWND window) : window_(window) {}

    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    // SaverDesktop.
    bool ScreenSaverActive() override;
    void SetScreenSaverActive(bool active) override;
    bool HeldOffMark() override;
    void SetHeldOffMark(bool held) override;
    bool NtFamily() override { return win32::IsNtFamily(); }
    std::optional<std::string> DesktopSaverSetting() override;
    std::string IniSaverSetting() override;
    bool FileExists(const std::string& path) override;
    bool SaverRunning() override;
    void StartSaver() override;
    void ShowState(FeedbackState state) override;

    // Tray.
    bool AddIcon() override;
    bool UpdateIcon() override { return TrayIcon(NIM_MODIFY); }
    void RemoveIcon() override { TrayIcon(NIM_DELETE); }

private:
    void Create();
    void ReadScreens();
    void Announce();
    void Destroy();
    void Poll();
    void Paint();
    LRESULT Operation(WPARAM operation, LPARAM value);
    void Display(FeedbackState state);
    void SetShowIcon(bool show);
    void SetShowFeedback(bool show);
    bool TrayIcon(DWORD action);
    HICON SmallIcon(FeedbackState state);
    void OpenMenu();
    void Command(UINT id);

    HWND window_;
    hotcorners::HotCorners corners_{*this};
    hotcorners::TaskbarIcon icon_{*this};
    hotcorners::CornerPoints points_{};
    bool severalMonitors_ = false;
    bool showFeedback_ = false;
    bool ended_ = false;
    UINT taskbarCreated_ = 0;
    win32::UniqueMenu menu_;
    FeedbackWindow feedback_;
    std::array<win32::UniqueIcon, 5> icons_;  // the states' small icons, loaded when first shown
};

void Service::Create() {
    // A saver that a killed service left off is switched back on.
    corners_.Begin();
    ReadScreens();
    menu_.Reset(::CreatePopupMenu());
    ::AppendMenuA(menu_.Get(), MF_STRING, kCommandProperties, "&Properties");
    ::AppendMenuA(menu_.Get(), MF_STRING, kCommandSaverConfig, "Saver &config");
    ::AppendMenuA(menu_.Get(), MF_STRING, kCommandSaveNow, "&Save now");
    ::AppendMenuA(menu_.Get(), MF_STRING, kCommandAbout, "&About");
    ::AppendMenuA(menu_.Get(), MF_STRING, kCommandQuit, "&Quit");
    ::SetMenuDefaultItem(menu_.Get(), kCommandProperties, FALSE);
    feedback_.Create(Module());
    taskbarCreated_ = ::RegisterWindowMessageA("TaskbarCreated");
    ::SetTimer(window_, kPollTimer, kPollMs, nullptr);
    ::PostMessageA(window_, kAnnounce, 0, 0);
}

void Service::ReadScreens() {
    severalMonitors_ = ::GetSystemMetrics(SM_CMONITORS) > 1;
    points_ = ScreenCorners();
}

void Service::Announce() {
    UpdateSharedCorners();
    if (const auto corners = SharedCorners()) corners_.SetActions(*corners);
    if (!JoinList(Listed::Notify, window_))
        ::OutputDebugStringA("Edgewake: the notify list is full\n");
    Tell(Listed::Notify, kCornersChanged, 0);
    SetShowIcon(ReadOptionFromRegistry(hotcorners::kShowIconOption));
    SetShowFeedback(ReadOptionFromRegistry(hotcorners::kShowFeedbackOption));
}

void Service::Destroy() {
    // A saver held off for a Never corner would otherwise stay off.
    corners_.End();
    ::KillTimer(window_, kPollTimer);
    icon_.SetShown(false);
    feedback_.Destroy();
    LeaveList(Listed::Feedback, window_);
    // Whoever is told that the service ends finds it gone.
    if (ServiceWindow() == window_) SetServiceWindow(nullptr);
    Tell(Listed::Notify, kServiceEnds, 0);
    LeaveList(Listed::Notify, window_);
    menu_.Reset();
    ::PostQuitMessage(0);
}

void Service::Poll() {
    if (severalMonitors_) {
        std::vector<hotcorners::Rect> monitors;
        ::EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
        points_ = monitors.empty() ? ScreenCorners() : hotcorners::MonitorCorners(monitors);
    }
    hotcorners::PollInput input;
    // Fails while another desktop has the input (a locked workstation).
    if (POINT cursor{}; ::GetCursorPos(&cursor))
        input.cursor = hotcorners::Point{cursor.x, cursor.y};
    input.corners = points_;
    input.zone = ::GetSystemMetrics(SM_CYHSCROLL);
    input.screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    input.screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    if (const HWND foreground = ::GetForegroundWindow()) {
        RECT rect{};
        ::GetWindowRect(foreground, &rect);
        const LONG_PTR style = ::GetWindowLongPtrA(foreground, GWL_STYLE);
        input.foreground = hotcorners::WindowShape{::IsWindowVisible(foreground) != FALSE,
                                                   (style & WS_POPUP) != 0, rect.right - rect.left,
                                                   rect.bottom - rect.top, IsDesktop(foreground)};
    }
    corners_.Poll(input);
    icon_.Poll();
    // The diagnostic text; a hidden window is never painted.
    if (::IsWindowVisible(window_)) ::InvalidateRect(window_, nullptr, TRUE);
}

void Service::Paint() {
    const win32::PaintDc paint(window_);
    char line[64];
    int y = 4;
    const auto write = [&](int length) {
        ::TextOutA(paint.Get(), 4, y, line, length);
        y += 18;
    };
    write(std::snprintf(line, sizeof line, "LastCorner=%i", corners_.LastCorner()));
    write(std::snprintf(line, sizeof line, "CornerCount=%i", corners_.DwellCount()));
    if (corners_.Suppressed()) write(std::snprintf(line, sizeof line, "IsSuppressed"));
}

bool Service::ScreenSaverActive() {
    BOOL active = FALSE;
    ::SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
    return active != FALSE;
}

void Service::SetScreenSaverActive(bool active) {
    ::SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, active ? TRUE : FALSE, nullptr,
                            SPIF_UPDATEINIFILE);
}

bool Service::HeldOffMark() {
    return hotcorners::ReadOption(kit::win32::CurrentUserRegistry{}, hotcorners::kHeldOffMark,
                                  false);
}

void Service::SetHeldOffMark(bool held) {
    if (held)
        WriteUserNumber(hotcorners::kOptionsKey, hotcorners::kHeldOffMark, 1);
    else
        DeleteUserValue(hotcorners::kOptionsKey, hotcorners::kHeldOffMark);
}

std::optional<std::string> Service::DesktopSaverSetting() {
    return ReadUserText("Control Panel\\Desktop", "SCRNSAVE.EXE");
}

std::string Service::IniSaverSetting() {
    char saver[MAX_PATH + 1] = {};
    ::GetPrivateProfileStringA("boot", "SCRNSAVE.EXE", "", saver, MAX_PATH, "system.ini");
    return saver;
}

bool Service::FileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Service::SaverRunning() {
    if (win32::IsNtFamily()) {
        // A running saver has its own desktop; one we may not open runs too.
        for (const char* name : {"screen-saver", "Screen-Saver", "screen saver", "Screen Saver"}) {
            if (HDESK desktop = ::OpenDesktopA(name, 0, FALSE, 0x81)) {
                ::CloseDesktop(desktop);
                return true;
            }
            if (::GetLastError() == ERROR_ACCESS_DENIED) return true;
        }
        return false;
    }
    BOOL previous = FALSE;
    ::SystemParametersInfoA(SPI_SCREENSAVERRUNNING, TRUE, &previous, 0);
    ::SystemParametersInfoA(SPI_SCREENSAVERRUNNING, previous, nullptr, 0);
    return previous != FALSE;
}

void Service::StartSaver() {
    if (const HWND foreground = ::GetForegroundWindow())
        ::PostMessageA(foreground, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    else
        ::DefWindowProcA(window_, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
}

void Service::ShowState(FeedbackState state) {
    Tell(Listed::Feedback, kShowState, static_cast<LPARAM>(state));
}

HICON Service::SmallIcon(FeedbackState state) {
    win32::UniqueIcon& icon = icons_[static_cast<std::size_t>(state)];
    if (!icon)
        icon.Reset(static_cast<HICON>(::LoadImageA(
            Module(), MAKEINTRESOURCEA(hotcorners::StateIcon(state)), IMAGE_ICON, 16, 16, 0)));
    if (!icon)
        icon.Reset(static_cast<HICON>(
            ::LoadImageA(Module(), MAKEINTRESOURCEA(IDI_EW_LIBRARY), IMAGE_ICON, 16, 16, 0)));
    return icon.Get();
}

bool Service::TrayIcon(DWORD action) {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = window_;
    data.uID = kTrayIconId;
    if (action != NIM_DELETE) {
        data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
        data.uCallbackMessage = kTrayCallback;
        data.hIcon = SmallIcon(corners_.State());
        lstrcpynA(data.szTip, kTrayTip, sizeof data.szTip);
    }
    return ::Shell_NotifyIconA(action, &data) != FALSE;
}

// An icon the shell holds already (a task bar announced anew that kept
// it) counts as added.
bool Service::AddIcon() { return TrayIcon(NIM_ADD) || TrayIcon(NIM_MODIFY); }

// The state shown is the service's own (HotCorners::State): an icon or a
// card switched on later shows the state it missed.
void Service::Display(FeedbackState state) {
    icon_.Update();
    if (showFeedback_) feedback_.Show(state, corners_.LastCorner(), points_);
}

void Service::SetShowIcon(bool show) {
    WriteOptionToRegistry(hotcorners::kShowIconOption, show);
    icon_.SetShown(show);
    if (show)
        JoinList(Listed::Feedback, window_);
    else if (!showFeedback_)
        LeaveList(Listed::Feedback, window_);
}

void Service::SetShowFeedback(bool show) {
    WriteOptionToRegistry(hotcorners::kShowFeedbackOption, show);
    showFeedback_ = show;
    if (show) {
        JoinList(Listed::Feedback, window_);
        feedback_.Show(corners_.State(), corners_.LastCorner(), points_);
    } else {
        if (!icon_.Shown()) LeaveList(Listed::Feedback, window_);
        feedback_.Hide();
    }
}

LRESULT Service::Operation(WPARAM operation, LPARAM value) {
    switch (operation) {
    case kCornersChanged:
        if (const auto corners = SharedCorners()) corners_.SetActions(*corners);
        return 0;
    case kShowState:
        if (value >= 0 && value <= static_cast<LPARAM>(FeedbackState::NoSaver))
            Display(static_cast<FeedbackState>(value));
        return 0;
    case kSetShowIcon: SetShowIcon(value != 0); return 0;
    case kSetShowFeedback: SetShowFeedback(value != 0); return 0;
    case kGetShowIcon: return icon_.Shown() ? 1 : 0;
    case kGetShowFeedback: return showFeedback_ ? 1 : 0;
    default: return 0;
    }
}

void Service::OpenMenu() {
    POINT at{};
    ::GetCursorPos(&at);
    // The menu closes when the user clicks elsewhere only if its owner is
    // in the foreground.
    ::SetForegroundWindow(window_);
    ::TrackPopupMenu(menu_.Get(), TPM_RIGHTBUTTON, at.x, at.y, 0, window_, nullptr);
    ::PostMessageA(window_, WM_NULL, 0, 0);
}

void Service::Command(UINT id) {
    switch (id) {
    case kCommandProperties: RunLibraryEntry("RunDialog"); break;
    case kCommandSaveNow: corners_.StartSaver(true); break;
    case kCommandSaverConfig:
        if (const std::string saver = hotcorners::ConfiguredSaver(*this); !saver.empty())
            RunCommand("rundll32 desk.cpl,InstallScreenSaver " + saver);
        break;
    case kCommandAbout: RunLibraryEntry("RunAboutDialog"); break;
    case kCommandQuit: ::SendMessageA(window_, WM_CLOSE, 0, 0); break;
    default: break;
    }
}

LRESULT Service::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: Create(); return 0;
    case kAnnounce: Announce(); return 0;
    case WM_TIMER:
        if (wParam == kPollTimer) Poll();
        return 0;
    case WM_PAINT: Paint(); return 0;
    case kServiceMessage: return Operation(wParam, lParam);
    case kTrayCallback:
        if (lParam == WM_LBUTTONDOWN)
            Command(kCommandProperties);
        else if (lParam == WM_RBUTTONDOWN || lParam == WM_MBUTTONDOWN)
            OpenMenu();
        return 0;
    case WM_COMMAND: Command(LOWORD(wParam)); return 0;
    case WM_DISPLAYCHANGE: ReadScreens(); break;
    case WM_ENDSESSION:
        // The session ends without WM_DESTROY: switch a held-off saver back
        // on, and poll no more, or the next poll would hold it off again.
        if (wParam) {
            ::KillTimer(window_, kPollTimer);
            corners_.End();
        }
        return 0;
    case WM_DESTROY: Destroy(); return 0;
    default:
        if (message == taskbarCreated_ && taskbarCreated_ != 0) {
            // A task bar (re)started without icons.
            icon_.TaskbarCreated();
            return 0;
        }
        break;
    }
    return ::DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT CALLBACK ServiceProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* service = reinterpret_cast<Service*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        service = new Service(window);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(service));
    }
    if (!service) return ::DefWindowProcA(window, message, wParam, lParam);
    const LRESULT result = service->Handle(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        delete service;
    }
    return result;
}

bool RegisterServiceClass() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ServiceProcedure;
    windowClass.hInstance = Module();
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kServiceClass;
    return ::RegisterClassA(&windowClass) || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

void RunServiceLoop(HWND) {
    HWND window = nullptr;
    {
        const ServiceLock lock;
        if (!lock.Held()) return;
        if (const HWND running = ServiceWindow()) {
            ::SetForegroundWindow(running);
            return;
        }
        if (!RegisterServiceClass()) return;
        window = ::CreateWindowExA(0, kServiceClass, "EdgewakeService", WS_OVERLAPPEDWINDOW,
                                   CW_USEDEFAULT, CW_USEDEFAULT, 240, 120, nullptr, nullptr,
                                   Module(), nullptr);
        if (!window || !SetServiceWindow(window)) {
            if (window) ::DestroyWindow(window);
            return;
        }
    }
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    if (ServiceWindow() == window) SetServiceWindow(nullptr);
    ::UnregisterClassA(kServiceClass, Module());
    ::UnregisterClassA(kFeedbackClass, Module());
}

}  // namespace edgewake
