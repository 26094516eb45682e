// The About box 114: the library's icon, name and version.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "common/win32/guards.h"
#include "hotcorners/win32/edgewake.h"
#include "resources/edgewake_res.h"

namespace edgewake {
namespace {

// "Version 1.0.0.5" from the library's version record; empty without one.
std::string VersionText() {
    const std::string path = LibraryPath();
    DWORD ignored = 0;
    const DWORD size = path.empty() ? 0 : ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<char> record(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!::GetFileVersionInfoA(path.c_str(), 0, size, record.data()) ||
        !::VerQueryValueA(record.data(), "\\", reinterpret_cast<void**>(&fixed), &length) ||
        !fixed || length < sizeof *fixed)
        return {};
    char text[64];
    std::snprintf(text, sizeof text, "Version %lu.%lu.%lu.%lu",
                  static_cast<unsigned long>(HIWORD(fixed->dwFileVersionMS)),
                  static_cast<unsigned long>(LOWORD(fixed->dwFileVersionMS)),
                  static_cast<unsigned long>(HIWORD(fixed->dwFileVersionLS)),
                  static_cast<unsigned long>(LOWORD(fixed->dwFileVersionLS)));
    return text;
}

// The parameter is the box's small icon, or null.
INT_PTR CALLBACK AboutProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        ::SetDlgItemTextA(dialog, IDC_EW_ABOUT_VERSION, VersionText().c_str());
        if (lParam) ::SendMessageA(dialog, WM_SETICON, ICON_SMALL, lParam);
        ::SetForegroundWindow(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    default: break;
    }
    return FALSE;
}

}  // namespace

void RunAboutBox(HWND owner) {
    // Given back once the box has gone.
    const win32::UniqueIcon icon(static_cast<HICON>(
        ::LoadImageA(Module(), MAKEINTRESOURCEA(IDI_EW_LIBRARY), IMAGE_ICON, 16, 16, 0)));
    ::DialogBoxParamA(Module(), MAKEINTRESOURCEA(IDD_EW_ABOUT), owner, AboutProcedure,
                      reinterpret_cast<LPARAM>(icon.Get()));
}

}  // namespace edgewake
