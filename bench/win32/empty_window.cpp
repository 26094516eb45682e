// The peer of the start-up measure: an empty full-screen window, white,
// topmost, as plain as a Win32 program gets. It runs until it is ended.
#include <windows.h>

namespace {

LRESULT CALLBACK EmptyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = EmptyProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = "EmptyWindow";
    ::RegisterClassA(&windowClass);
    ::CreateWindowExA(WS_EX_TOPMOST, "EmptyWindow", "", WS_POPUP | WS_VISIBLE, 0, 0,
                      ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), nullptr,
                      nullptr, instance, nullptr);
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return 0;
}
