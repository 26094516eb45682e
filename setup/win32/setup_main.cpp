// The installer's entry: the backdrop and the introduction, then the
// Edgewake library and the saver written into the Windows directory, the
// saver made the desktop's saver, and its preview. Exit code 2 when nothing
// was installed, 1 after an installation run. The command line is not read.
#include <windows.h>

#include <string>

#include "common/win32/placement_files.h"
#include "resources/setup_res.h"
#include "setup/win32/backdrop.h"
#include "setup/win32/install_run.h"
#include "setup/win32/installer_files.h"
#include "setup/win32/preview_dialog.h"

namespace {

constexpr int kInstall = 1;

INT_PTR CALLBACK PrelimProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            ::EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    default: return FALSE;
    }
}

std::string LoadText(HINSTANCE instance, UINT id, const char* fallback) {
    char text[MAX_PATH];
    const int length = ::LoadStringA(instance, id, text, sizeof text);
    return length > 0 ? std::string(text, length) : fallback;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    HWND backdrop = setup::CreateBackdrop(instance);
    if (!backdrop) return 2;
    // Anything but Install (Cancel, the close box, a dialog that cannot be
    // shown) installs nothing.
    if (::DialogBoxParamA(instance, "DIALOG_PRELIM", backdrop, PrelimProc, 0) != kInstall) return 2;

    HCURSOR previous = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    ::InvalidateRect(backdrop, nullptr, FALSE);
    ::UpdateWindow(backdrop);

    const std::string saverFile = LoadText(instance, IDS_SETUP_SAVER_FILE, "Redira.scr");
    const std::string saverName = LoadText(instance, IDS_SETUP_SAVER_NAME, "the Veduza vozud");
    win32::PlacementFiles files("sci");
    setup::MessageBoxPrompts prompts(backdrop);
    setup::Win32InstallerSystem system(instance, backdrop);
    const setup::InstallResult result =
        setup::RunInstallation(files, prompts, system, saverFile, saverName);
    setup::RunPreviewDialog(instance, backdrop, result.saver, result.status, result.showSaver);

    ::SetCursor(previous);
    return 1;
}
