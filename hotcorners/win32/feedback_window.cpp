#include "hotcorners/win32/feedback_window.h"

#include "common/win32/guards.h"
#include "hotcorners/win32/library_internal.h"
#include "resources/edgewake_res.h"

namespace edgewake {
namespace {

using hotcorners::FeedbackState;

constexpr COLORREF kBackground = RGB(46, 52, 64);
constexpr COLORREF kTitleColour = RGB(255, 255, 255);
constexpr COLORREF kHintColour = RGB(196, 204, 216);
constexpr BYTE kOpacity = 235;

// The state's colour, as in its icon.
COLORREF Accent(FeedbackState state) {
    switch (state) {
    case FeedbackState::HeldOff: return RGB(232, 168, 48);
    case FeedbackState::Arming: return RGB(70, 140, 230);
    case FeedbackState::Starting: return RGB(80, 190, 110);
    case FeedbackState::NoSaver: return RGB(220, 80, 70);
    case FeedbackState::Idle: break;
    }
    return RGB(120, 170, 230);
}

std::string LoadText(HINSTANCE module, int id) {
    char text[128] = {};
    const int length = ::LoadStringA(module, static_cast<UINT>(id), text, sizeof text);
    return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

}  // namespace

POINT FeedbackPosition(int corner, const hotcorners::CornerPoints& points) {
    if (corner < 0 || corner >= hotcorners::kNoCorner) corner = 2;
    const hotcorners::Point p = points[static_cast<std::size_t>(corner)];
    const bool right = corner == 1 || corner == 2;
    const bool bottom = corner == 2 || corner == 3;
    return POINT{
        right ? p.x - FeedbackWindow::kGap - FeedbackWindow::kWidth : p.x + FeedbackWindow::kGap,
        bottom ? p.y - FeedbackWindow::kGap - FeedbackWindow::kHeight : p.y + FeedbackWindow::kGap};
}

bool FeedbackWindow::Create(HINSTANCE module) {
    module_ = module;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = module;
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kFeedbackClass;
    if (!::RegisterClassA(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;
    window_ = ::CreateWindowExA(
        WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TRANSPARENT,
        kFeedbackClass, "Edgewake", WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr, module,
        this);
    if (!window_) return false;
    ::SetLayeredWindowAttributes(window_, 0, kOpacity, LWA_ALPHA);
    return true;
}

void FeedbackWindow::Destroy() {
    if (window_) ::DestroyWindow(window_);
    window_ = nullptr;
}

void FeedbackWindow::Show(FeedbackState state, int corner, const hotcorners::CornerPoints& points) {
    if (!window_) return;
    if (state == FeedbackState::Idle) {
        Hide();
        return;
    }
    state_ = state;
    const POINT at = FeedbackPosition(corner, points);
    ::SetWindowPos(window_, HWND_TOPMOST, at.x, at.y, kWidth, kHeight,
                   SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ::InvalidateRect(window_, nullptr, TRUE);
    ::UpdateWindow(window_);
}

void FeedbackWindow::Hide() {
    state_ = FeedbackState::Idle;
    if (window_ && ::IsWindowVisible(window_)) ::ShowWindow(window_, SW_HIDE);
}

void FeedbackWindow::Paint(HDC dc) const {
    RECT client{};
    ::GetClientRect(window_, &client);
    const win32::UniqueBrush background(::CreateSolidBrush(kBackground));
    ::FillRect(dc, &client, background.Get());
    // The state's colour: a bar along the left edge and a thin frame.
    const win32::UniqueBrush accent(::CreateSolidBrush(Accent(state_)));
    RECT bar{0, 0, 6, client.bottom};
    ::FillRect(dc, &bar, accent.Get());
    ::FrameRect(dc, &client, accent.Get());

    const int state = static_cast<int>(state_);
    if (const win32::UniqueIcon icon(static_cast<HICON>(::LoadImageA(
            module_, MAKEINTRESOURCEA(hotcorners::StateIcon(state_)), IMAGE_ICON, 32, 32, 0)));
        icon)
        ::DrawIconEx(dc, 16, (client.bottom - 32) / 2, icon.Get(), 32, 32, 0, nullptr, DI_NORMAL);

    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTA titleFace = metrics.lfMessageFont;
    titleFace.lfWeight = FW_BOLD;
    const win32::UniqueFont titleFont(::CreateFontIndirectA(&titleFace));
    const win32::UniqueFont hintFont(::CreateFontIndirectA(&metrics.lfMessageFont));

    ::SetBkMode(dc, TRANSPARENT);
    const std::string title = LoadText(module_, IDS_EW_TITLE_BASE + state);
    const std::string hint = LoadText(module_, IDS_EW_HINT_BASE + state);
    RECT titleRect{58, 8, client.right - 8, client.bottom / 2 + 2};
    RECT hintRect{58, client.bottom / 2, client.right - 8, client.bottom - 6};
    {
        const win32::Selection font(dc, titleFont.Get());
        ::SetTextColor(dc, kTitleColour);
        ::DrawTextA(dc, title.c_str(), -1, &titleRect,
                    DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    }
    const win32::Selection font(dc, hintFont.Get());
    ::SetTextColor(dc, kHintColour);
    ::DrawTextA(dc, hint.c_str(), -1, &hintRect,
                DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
}

LRESULT CALLBACK FeedbackWindow::Procedure(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<FeedbackWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_PAINT:
        if (self) {
            const win32::PaintDc paint(window);
            self->Paint(paint.Get());
            return 0;
        }
        break;
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_NCHITTEST: return HTTRANSPARENT;
    default: break;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace edgewake
