#include "setup/win32/backdrop.h"

#include "common/win32/guards.h"
#include "common/win32/system_info.h"
#include "setup/core/backdrop_bands.h"

namespace setup {
namespace {

constexpr char kClassName[] = "InstallClass";

LRESULT OnPaint(HWND window) {
    win32::PaintDc paint(window);
    RECT client{};
    ::GetClientRect(window, &client);
    for (const Band& band : BackdropBands(client.right, client.bottom)) {
        if (band.bottom <= band.top) continue;
        win32::UniqueBrush brush(::CreateSolidBrush(RGB(0, 0, band.blue)));
        const RECT area{band.left, band.top, band.right, band.bottom};
        ::FillRect(paint.Get(), &area, brush.Get());
    }
    return 0;
}

LRESULT CALLBACK BackdropProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: return OnPaint(window);
    case WM_DESTROY: ::PostQuitMessage(0); return 0;
    default: return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

HWND CreateBackdrop(HINSTANCE instance) {
    win32::RegisterRedrawnClass(instance, BackdropProc, kClassName);

    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return ::CreateWindowExA(0, kClassName, "Install Saver", WS_POPUP | WS_VISIBLE, work.left,
                             work.top, work.right - work.left, work.bottom - work.top, nullptr,
                             nullptr, instance, nullptr);
}

}  // namespace setup
