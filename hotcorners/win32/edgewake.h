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

// Added by the service side: what the settings side needs besides.

// The private message of the service window and of the windows in the
// notify and feedback lists; the operation is in wParam.
inline constexpr UINT kServiceMessage = 0x8000;
inline constexpr WPARAM kServiceEnds = 0x64;     // to the notify list: the service ends
inline constexpr WPARAM kCornersChanged = 0x65;  // to the notify list: corners read anew,
                                                 // also when a service starts
inline constexpr WPARAM kShowState = 0x66;       // to the feedback list: lParam, a state 0-4
inline constexpr WPARAM kSetShowIcon = 0x68;     // to the service: lParam 0 or 1
inline constexpr WPARAM kSetShowFeedback = 0x69;
inline constexpr WPARAM kGetShowIcon = 0x6A;  // the service answers 0 or 1
inline constexpr WPARAM kGetShowFeedback = 0x6B;

// Windows to tell (kServiceMessage) when the corners change or a service
// starts or ends. Windows that no longer exist are dropped first; false
// when the list is full or its mutex could not be taken.
bool JoinNotifyList(HWND window);
void LeaveNotifyList(HWND window);

// The open settings dialog of whichever process opened it, or null (under
// the dialog mutex). Set it when the dialog opens and to null when it
// closes; one whose process ended without closing it reads as null until
// the next dialog takes its place.
HWND SettingsDialogWindow();
void SetSettingsDialogWindow(HWND dialog);

}  // namespace edgewake
