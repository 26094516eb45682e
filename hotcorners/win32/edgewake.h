// What the parts of edgewake.dll offer each other. The service side
// (shared memory, exports, service window, task-bar icon, feedback, About
// box) and the settings side (settings dialog, start-up shortcut,
// registration, the Display Properties page) meet only here.
#pragma once

#include <windows.h>

#include <string>

namespace edgewake {

// The library's own module, set when it is loaded.
HMODULE Module();
// The library's full path ("" if it cannot be found; traced).
std::string LibraryPath();

// The running service's window, or null. Takes the service mutex.
HWND ServiceWindow();
// Asks a running service to end (WM_CLOSE); nothing when none runs.
void EndService();
// Starts the service as a process of its own: "rundll32 PATH,RunService".
bool StartServiceProcess();

// Re-reads "Mouse Corners" into the shared corner copy and, when it
// changed, tells every window of the notify list.
void CornersChanged();

// The two user options. While a service runs they go through its window
// (so that it shows or hides at once), else straight to the registry.
bool GetShowIcon();
void SetShowIcon(bool show);
bool GetShowFeedback();
void SetShowFeedback(bool show);

// The settings dialog 108, at most one at a time (a second request brings
// the open one to the front).
enum class DialogMode {
    Normal,   // RunDialog
    Install,  // RunInstallDialog: defaults for a new install, service started
    Silent,   // InstallSilently: applies the defaults and closes at once
};
void RunSettingsDialog(HWND owner, DialogMode mode);

// The About box 114.
void RunAboutBox(HWND owner);

// The settings dialog open in any process, or null: kept beside the
// service window in the memory every process shares, under
// "EdgewakeDialogWindowMutex". The settings side sets it while its dialog
// is open and clears it when the dialog goes.
HWND OpenSettingsDialog();
void SetOpenSettingsDialog(HWND dialog);

}  // namespace edgewake
