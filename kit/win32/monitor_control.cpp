// The monitor control and its screen window. Every handler returns the
// message's result.
#include "kit/win32/monitor_control.h"

#include <windowsx.h>

#include <optional>
#include <string>

namespace kit::win32 {
namespace {

// The set the registered classes draw from. Window classes are
// process-wide, and each carrier links its own copy of this file, so one
// pointer per carrier module is all the state there is.
MonitorControls* g_controls = nullptr;

std::optional<std::string> LoadText(HMODULE module, int id) {
    if (id == 0) return std::nullopt;
    char text[100] = {};
    const int length = ::LoadStringA(module, static_cast<UINT>(id), text, sizeof text);
    if (length <= 0) return std::nullopt;
    return std::string(text, static_cast<std::size_t>(length));
}

Size BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !::GetObjectA(bitmap, sizeof info, &info)) return {};
    return {info.bmWidth, info.bmHeight};
}

std::uint32_t StyleOf(HWND window) {
    return static_cast<std::uint32_t>(::GetWindowLongA(window, GWL_STYLE));
}

}  // namespace

MonitorControls::MonitorControls(const MonitorSetup& setup) : setup_(setup) {
    const HMODULE module = setup.module;
    const MonitorResourceIds& ids = setup.ids;
    for (int corner = 0; corner < 4; ++corner) {
        menus_[corner].Reset(::CreatePopupMenu());
        for (int action = 0; action < 3; ++action) {
            const auto row = LoadText(module, ids.rowTexts[action]);
            if (!menus_[corner] || !row) continue;
            const CornerChoice choice{static_cast<Corner>(corner),
                                      static_cast<CornerState>(action)};
            ::AppendMenuA(menus_[corner].Get(), MF_STRING, CornerCommandId(choice), row->c_str());
        }
    }
    monitor_.Reset(::LoadBitmapA(module, MAKEINTRESOURCEA(ids.monitorBitmap)));
    for (int action = 0; action < 3; ++action)
        cornerPictures_[action].Reset(
            ::LoadBitmapA(module, MAKEINTRESOURCEA(ids.cornerBitmaps[action])));
    controlSize_ = ControlSizeOfBitmap(BitmapSize(monitor_.Get()));
    cornerSize_ = BitmapSize(cornerPictures_[0].Get());
    const auto anchors = LoadText(module, ids.anchorText);
    layout_ = LayoutFromAnchors(anchors ? ParseAnchorPoints(*anchors) : std::nullopt, cornerSize_);
}

MonitorControls::~MonitorControls() {
    if (g_controls == this) g_controls = nullptr;
}

// One message to a monitor control.
class MonitorControlWindow {
public:
    MonitorControlWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
        : window_(window), message_(message), wParam_(wParam), lParam_(lParam) {}

    LRESULT Dispatch() {
        if (!g_controls) return Unloaded();
        switch (message_) {
        case WM_CREATE: return OnCreate();
        case WM_PAINT: return OnPaint();
        case WM_COMMAND: return OnCommand();
        case WM_LBUTTONDOWN: return OnLeftButtonDown();
        default: return Default();
        }
    }

private:
    LRESULT Default() { return ::DefWindowProcA(window_, message_, wParam_, lParam_); }
    // The carrier has let its pictures go: paint nothing, ignore the rest.
    LRESULT Unloaded() {
        if (message_ != WM_PAINT) return Default();
        ::win32::PaintDc paint(window_);
        return 0;
    }

    LRESULT OnCreate();
    LRESULT OnPaint();
    LRESULT OnCommand();
    LRESULT OnLeftButtonDown();

    void TakePictureSize();
    void PaintContent(HDC dc);
    void WarnOnce();

    HWND window_;
    UINT message_;
    WPARAM wParam_;
    LPARAM lParam_;
    MonitorControls* controls_ = g_controls;
};

LRESULT MonitorControlWindow::OnCreate() {
    TakePictureSize();
    if (MonitorKind(StyleOf(window_)) == MS_PREVIEW) {
        const Rect& screen = controls_->layout_.screen;
        ::CreateWindowExA(0, DOZEKIT_MONITOR_WINDOW_CLASS, "Monitor window", WS_CHILD | WS_VISIBLE,
                          screen.left, screen.top, screen.right - screen.left,
                          screen.bottom - screen.top, window_,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(::GetDlgCtrlID(window_))),
                          controls_->setup_.module, nullptr);
    }
    return 0;
}

// Whatever size a dialog template gives it, the control keeps its centre
// and takes the picture's size.
void MonitorControlWindow::TakePictureSize() {
    const Size size = controls_->controlSize_;
    RECT bounds{};
    ::GetWindowRect(window_, &bounds);
    if (bounds.right - bounds.left == size.width && bounds.bottom - bounds.top == size.height)
        return;
    const Point centre = CentreOf({bounds.left, bounds.top, bounds.right, bounds.bottom});
    POINT inParent{centre.x, centre.y};
    ::MapWindowPoints(nullptr, ::GetAncestor(window_, GA_PARENT), &inParent, 1);
    const Point origin = CentredOrigin({inParent.x, inParent.y}, size);
    ::SetWindowPos(window_, nullptr, origin.x, origin.y, size.width, size.height,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

LRESULT MonitorControlWindow::OnPaint() {
    ::win32::PaintDc paint(window_);
    if (paint.Get()) PaintContent(paint.Get());
    return 0;
}

// Drawn off screen first, so the control never flickers: what the parent
// shows under it (the class paints no background), the picture through
// its mask, then the corner pictures.
void MonitorControlWindow::PaintContent(HDC dc) {
    const Size size = controls_->controlSize_;
    ::win32::UniqueMemoryDc offscreen(::CreateCompatibleDC(dc));
    ::win32::UniqueMemoryDc source(::CreateCompatibleDC(dc));
    ::win32::UniqueBitmap canvas(::CreateCompatibleBitmap(dc, size.width, size.height));
    if (!offscreen || !source || !canvas) return;
    const ::win32::Selection onCanvas(offscreen.Get(), canvas.Get());
    ::BitBlt(offscreen.Get(), 0, 0, size.width, size.height, dc, 0, 0, SRCCOPY);
    if (controls_->monitor_) {
        const ::win32::Selection picture(source.Get(), controls_->monitor_.Get());
        ::BitBlt(offscreen.Get(), 0, 0, size.width, size.height, source.Get(), size.width, 0,
                 SRCAND);
        ::BitBlt(offscreen.Get(), 0, 0, size.width, size.height, source.Get(), 0, 0, SRCINVERT);
    }
    if (MonitorKind(StyleOf(window_)) == MS_CORNERS) {
        const CornerActions actions = CornersFromStyle(StyleOf(window_));
        const Size corner = controls_->cornerSize_;
        for (int i = 0; i < 4; ++i) {
            const auto& picture = controls_->cornerPictures_[static_cast<int>(actions[i])];
            if (!picture) continue;
            const Rect& place = controls_->layout_.corners[i];
            const ::win32::Selection selected(source.Get(), picture.Get());
            ::BitBlt(offscreen.Get(), place.left, place.top, corner.width, corner.height,
                     source.Get(), 0, 0, SRCCOPY);
        }
    }
    ::BitBlt(dc, 0, 0, size.width, size.height, offscreen.Get(), 0, 0, SRCCOPY);
}

// Any kind answers a click on a corner: the kind only decides what is drawn.
LRESULT MonitorControlWindow::OnLeftButtonDown() {
    const Point point{GET_X_LPARAM(lParam_), GET_Y_LPARAM(lParam_)};
    const auto corner = CornerAt(controls_->layout_, point);
    if (!corner) return 0;
    HMENU menu = controls_->menus_[*corner].Get();
    if (!menu) return 0;
    // The menus are shared by every control: the mark is this one's only
    // while its menu runs.
    const auto row = static_cast<UINT>(CornersFromStyle(StyleOf(window_))[*corner]);
    ::CheckMenuItem(menu, row, MF_BYPOSITION | MF_CHECKED);
    POINT onScreen{point.x, point.y};
    ::ClientToScreen(window_, &onScreen);
    ::TrackPopupMenu(menu, TPM_LEFTBUTTON, onScreen.x, onScreen.y, 0, window_, nullptr);
    ::CheckMenuItem(menu, row, MF_BYPOSITION | MF_UNCHECKED);
    return 0;
}

// A row of a corner menu. Other commands change nothing and tell no one.
LRESULT MonitorControlWindow::OnCommand() {
    const auto choice = DecodeCornerCommand(LOWORD(wParam_));
    if (!choice) return 0;
    WarnOnce();
    CornerActions actions = CornersFromStyle(StyleOf(window_));
    actions[choice->corner] = choice->action;
    ::SetWindowLongA(window_, GWL_STYLE,
                     static_cast<LONG>(StyleWithCorners(StyleOf(window_), actions)));
    ::InvalidateRect(window_, nullptr, FALSE);
    ::UpdateWindow(window_);
    const int id = ::GetDlgCtrlID(window_);
    ::SendMessageA(::GetParent(window_), WM_COMMAND, MAKEWPARAM(id, 0),
                   reinterpret_cast<LPARAM>(window_));
    return 0;
}

// Hot corners do nothing without a service that watches them: say so at
// the first choice, once.
void MonitorControlWindow::WarnOnce() {
    if (controls_->serviceDetected_ || controls_->warningShown_) return;
    controls_->warningShown_ = true;
    const MonitorSetup& setup = controls_->setup_;
    const auto caption = LoadText(setup.module, setup.ids.warningCaption);
    const auto text = LoadText(setup.module, setup.ids.warningText);
    if (caption && text)
        ::MessageBoxA(::GetParent(window_), text->c_str(), caption->c_str(),
                      MB_OK | MB_ICONEXCLAMATION);
}

// One message to the screen window of an MS_PREVIEW control.
class MonitorScreenWindow {
public:
    MonitorScreenWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
        : window_(window), message_(message), wParam_(wParam), lParam_(lParam) {}

    LRESULT Dispatch() {
        switch (message_) {
        case WM_ERASEBKGND: return OnEraseBackground();
        case WM_DESTROY: return OnDestroy();
        default: return Default();
        }
    }

private:
    LRESULT Default() { return ::DefWindowProcA(window_, message_, wParam_, lParam_); }

    // The desktop's colour until a preview covers it.
    LRESULT OnEraseBackground() {
        RECT client{};
        ::GetClientRect(window_, &client);
        ::FillRect(reinterpret_cast<HDC>(wParam_), &client, ::GetSysColorBrush(COLOR_BACKGROUND));
        return 1;
    }

    // The preview goes with this window; its timer thread must not tick on.
    LRESULT OnDestroy() {
        HWND preview = ::GetWindow(window_, GW_CHILD);
        if (preview && g_controls && g_controls->setup_.stopPreviewTimer)
            g_controls->setup_.stopPreviewTimer(preview);
        return Default();
    }

    HWND window_;
    UINT message_;
    WPARAM wParam_;
    LPARAM lParam_;
};

namespace {

LRESULT CALLBACK MonitorControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return MonitorControlWindow(window, message, wParam, lParam).Dispatch();
}

LRESULT CALLBACK MonitorScreenProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return MonitorScreenWindow(window, message, wParam, lParam).Dispatch();
}

bool RegisterOne(HMODULE module, const char* name, UINT style, WNDPROC procedure) {
    WNDCLASSA windowClass{};
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = module;
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    windowClass.lpszClassName = name;
    return ::RegisterClassA(&windowClass) != 0;
}

}  // namespace

bool RegisterMonitorClasses(MonitorControls& controls) {
    g_controls = &controls;
    const MonitorSetup& setup = controls.Setup();
    Diagnostics& diagnostics = *setup.diagnostics;
    if (!RegisterOne(setup.module, DOZEKIT_MONITOR_CLASS, CS_GLOBALCLASS, MonitorControlProc)) {
        diagnostics.Trace("DozeKit: failed to register monitor class");
        diagnostics.Box("Failed to register monitor class", "Dozekit DLL");
        return false;
    }
    if (!RegisterOne(setup.module, DOZEKIT_MONITOR_WINDOW_CLASS,
                     CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW, MonitorScreenProc)) {
        diagnostics.Trace("DozeKit: Failed to register monitor window class");
        diagnostics.Box("Failed to register monitor window class", "Dozekit DLL");
        // The first class is process-wide: left behind, it would outlive
        // a carrier library that is unloaded, its procedure gone with it.
        ::UnregisterClassA(DOZEKIT_MONITOR_CLASS, setup.module);
        return false;
    }
    diagnostics.Trace("DozeKit: succesfully registered controls");
    return true;
}

bool UnregisterMonitorClasses(HMODULE module, Diagnostics& diagnostics) {
    bool unregistered = true;
    if (!::UnregisterClassA(DOZEKIT_MONITOR_WINDOW_CLASS, module)) {
        diagnostics.Trace("DozeKit: failed to unregister monitor window class");
        diagnostics.Box("Failed to unregister monitor window class", "Dozekit");
        unregistered = false;
    }
    if (!::UnregisterClassA(DOZEKIT_MONITOR_CLASS, module)) {
        diagnostics.Trace("DozeKit: failed to unregister monitor class");
        diagnostics.Box("Failed to unregister monitor class", "DozeKit");
        unregistered = false;
    }
    diagnostics.Trace(unregistered ? "Dozekit: successfully unregistered controls"
                                   : "Dozekit: error unregistering controls...");
    return unregistered;
}

}  // namespace kit::win32
