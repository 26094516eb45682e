#include "imagelib/win32/progress_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include "common/win32/system_library.h"

namespace imagelib {
namespace {

constexpr char kClassName[] = "TProgress";
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1Interval = 1000;
constexpr int kHideAtPercent = 98;
// A queue that never runs empty (a caller posting faster than it handles,
// a window that never validates) must not hold a load up for ever: each
// report dispatches for at most this long.
constexpr DWORD kDispatchBudgetMs = 20;

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

// Sizes and positions at 96 dots per inch.
constexpr SIZE kClientSize = {313, 67};
constexpr POINT kLabelAt = {9, 15};
constexpr RECT kBarBounds = {9, 33, 9 + 293, 33 + 19};
constexpr int kFontHeight = -11;  // 8 points

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    ::GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

}  // namespace

TProgress::~TProgress() {
    Release();
    if (classOwner_) ::UnregisterClassA(kClassName, classOwner_);
}

bool TProgress::RegisterWindowClass() {
    if (classOwner_) return true;
    ::win32::InitCommonControlsOnDemand(ICC_PROGRESS_CLASS);
    const HINSTANCE module = ThisModule();
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = module;
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    if (!::RegisterClassA(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;
    classOwner_ = module;
    return true;
}

void TProgress::Show(const std::string& caption, const std::string& line) {
    Release();
    if (!RegisterWindowClass()) return;
    {
        const win32::WindowDc screen;
        dpi_ = screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
    }
    RECT frame{0, 0, ::MulDiv(kClientSize.cx, dpi_, 96), ::MulDiv(kClientSize.cy, dpi_, 96)};
    ::AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    line_ = line;
    const HWND created = ::CreateWindowExA(kExStyle, kClassName, caption.c_str(), kStyle, left, top,
                                           width, height, nullptr, nullptr, classOwner_, this);
    if (!created) return;
    ::ShowWindow(created, SW_SHOWNORMAL);
    ::SetWindowPos(created, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::UpdateWindow(created);
}

void TProgress::SetPosition(std::int32_t percent) {
    if (progressBar1_) ::SendMessageA(progressBar1_, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

void TProgress::Release() {
    if (window_) ::DestroyWindow(window_);
}

void TProgress::DispatchPendingMessages() {
    const DWORD start = ::GetTickCount();
    MSG message;
    while (::GetTickCount() - start < kDispatchBudgetMs &&
           ::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The caller's own loop must still see it.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

LRESULT CALLBACK TProgress::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        auto* self = static_cast<TProgress*>(create->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    TProgress* self = reinterpret_cast<TProgress*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return ::DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        HANDLE_MSG(window, WM_CREATE, self->OnCreate);
        HANDLE_MSG(window, WM_TIMER, self->OnTimer);
        HANDLE_MSG(window, WM_CLOSE, self->OnClose);
        HANDLE_MSG(window, WM_CTLCOLORSTATIC, self->OnCtlColorStatic);
        HANDLE_MSG(window, WM_DESTROY, self->OnDestroy);
    default: return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

BOOL TProgress::OnCreate(HWND window, LPCREATESTRUCTA) {
    const auto scaled = [this](int value) { return ::MulDiv(value, dpi_, 96); };
    font_.Reset(::CreateFontA(scaled(kFontHeight), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                              DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                              DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "MS Sans Serif"));
    SIZE text{};
    {
        const win32::WindowDc dc(window);
        const win32::Selection font(dc.Get(), font_.Get());
        ::GetTextExtentPoint32A(dc.Get(), line_.c_str(), static_cast<int>(line_.size()), &text);
    }
    // The file name is shown as given: an ampersand in it is no accelerator.
    label1_ =
        ::CreateWindowExA(0, "STATIC", line_.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                          scaled(kLabelAt.x), scaled(kLabelAt.y), text.cx, text.cy, window, nullptr,
                          classOwner_, nullptr);
    progressBar1_ = ::CreateWindowExA(
        0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, scaled(kBarBounds.left),
        scaled(kBarBounds.top), scaled(kBarBounds.right - kBarBounds.left),
        scaled(kBarBounds.bottom - kBarBounds.top), window, nullptr, classOwner_, nullptr);
    if (!label1_ || !progressBar1_) return FALSE;
    for (const HWND control : {label1_, progressBar1_}) {
        ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    }
    ::SendMessageA(progressBar1_, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    ::SendMessageA(progressBar1_, PBM_SETPOS, 0, 0);
    ::SetTimer(window, kTimer1, kTimer1Interval, nullptr);
    return TRUE;
}

void TProgress::OnTimer(HWND, UINT id) {
    if (id == kTimer1) Timer1Timer();
}

void TProgress::Timer1Timer() {
    if (::SendMessageA(progressBar1_, PBM_GETPOS, 0, 0) >= kHideAtPercent) {
        ::SendMessageA(window_, WM_CLOSE, 0, 0);
    }
}

// Closing hides the window; the load goes on and releases it at its end.
void TProgress::OnClose(HWND window) {
    ::ShowWindow(window, SW_HIDE);
    FormClose();
}

void TProgress::FormClose() { ::KillTimer(window_, kTimer1); }

// Label1 is transparent, in the window-text colour.
HBRUSH TProgress::OnCtlColorStatic(HWND, HDC dc, HWND, int) {
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    return ::GetSysColorBrush(COLOR_BTNFACE);
}

void TProgress::OnDestroy(HWND window) {
    ::KillTimer(window, kTimer1);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    window_ = label1_ = progressBar1_ = nullptr;
    font_.Reset();
}

}  // namespace imagelib
