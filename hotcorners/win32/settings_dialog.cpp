// The settings dialog 108 and its three ways to run: shown, shown for a
// new install, and silently (the install defaults applied at once). One
// dialog at a time across all processes: its handle is kept with the
// service's under the dialog mutex, and a second request brings the open
// one to the front.
#include <memory>

#include "hotcorners/win32/edgewake.h"
#include "hotcorners/win32/settings_panel.h"
#include "hotcorners/win32/shared_memory.h"
#include "resources/edgewake_res.h"

namespace edgewake {
namespace {

struct DialogRun {
    hotcorners::SettingsMode mode;
    HWND owner;
    DialogLock* lock;
    std::unique_ptr<SettingsPanel> panel;
};

DialogRun* RunOf(HWND dialog) {
    return reinterpret_cast<DialogRun*>(::GetWindowLongPtrA(dialog, DWLP_USER));
}

void BringForward(HWND dialog) {
    if (::IsIconic(dialog)) ::ShowWindow(dialog, SW_RESTORE);
    ::SetForegroundWindow(dialog);
}

BOOL OnInitDialog(HWND dialog, DialogRun* run) {
    ::SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(run));
    SetSettingsDialogWindow(dialog);
    run->lock->Unlock();
    run->panel = std::make_unique<SettingsPanel>(dialog);
    run->panel->Open(run->mode);
    if (run->mode == hotcorners::SettingsMode::Silent) {
        // Never shown: the defaults are applied and the dialog goes.
        run->panel->Apply(run->owner, true);
        ::EndDialog(dialog, IDOK);
    }
    return TRUE;
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogRun* run = message == WM_INITDIALOG ? nullptr : RunOf(dialog);
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog, reinterpret_cast<DialogRun*>(lParam));
    case WM_COMMAND:
        if (!run || !run->panel) return FALSE;
        if (LOWORD(wParam) == IDOK) {
            if (run->panel->Apply(dialog, false)) ::EndDialog(dialog, IDOK);
        } else if (LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(dialog, IDCANCEL);
        } else {
            run->panel->OnCommand(wParam);
        }
        return TRUE;
    case WM_TIMER:
        if (run && run->panel && wParam == SettingsPanel::kStatusTimer)
            run->panel->ShowServiceStatus();
        return TRUE;
    case WM_DESTROY: {
        ::KillTimer(dialog, SettingsPanel::kStatusTimer);
        const DialogLock lock;
        if (SettingsDialogWindow() == dialog) SetSettingsDialogWindow(nullptr);
        return TRUE;
    }
    default: return FALSE;
    }
}

hotcorners::SettingsMode ModeOf(DialogMode mode) {
    switch (mode) {
    case DialogMode::Install: return hotcorners::SettingsMode::Install;
    case DialogMode::Silent: return hotcorners::SettingsMode::Silent;
    case DialogMode::Normal: break;
    }
    return hotcorners::SettingsMode::Normal;
}

}  // namespace

void RunSettingsDialog(HWND owner, DialogMode mode) {
    // Held from the check for an open dialog until the new dialog's handle
    // is stored (or the dialog failed).
    DialogLock lock;
    if (HWND open = SettingsDialogWindow()) {
        BringForward(open);
        return;
    }
    const MonitorClassesInUse monitors;
    DialogRun run{ModeOf(mode), owner, &lock, nullptr};
    ::DialogBoxParamA(Module(), MAKEINTRESOURCEA(IDD_EW_SETTINGS), owner, SettingsDialogProc,
                      reinterpret_cast<LPARAM>(&run));
}

}  // namespace edgewake
