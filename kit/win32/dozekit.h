// DozeKit's client interface: what a screen saver program that links the
// kit uses.
//
// A client's WinMain registers its own window class, takes the kit's
// preferences with ScrGetPrefs, changes what it needs, hands the record
// back with ScrSetPrefs and returns the result of ScrMain. ScrMain reads
// the command line, runs one mode (full screen, preview, configuration,
// change password) and returns the program's exit code.
//
// The client's window procedure sees every message of a saver window
// first and hands what it does not consume to DefSaverProc; WM_CREATE and
// WM_DESTROY must always reach it. Around any dialog of its own over a
// running saver it sends SCRINTERNAL_DIALOGACTIVE 1 before and 0 after
// (ScrDialogActive does both).
#pragma once

#include <windows.h>
#include <prsht.h>

#include "kit/core/monitor_styles.h"
#include "kit/core/prefs.h"

// Private window messages of saver windows.
#define SCRM_VERIFYPW 0x8000             // TRUE lets the saver close
#define SCRM_ACTIVECONFIG 0x8001         // open configuration over the running saver
#define SCRM_PREFSCHANGED 0x8002         // changed settings (wParam routing, lParam block)
#define SCRM_TIMER 0x8003                // a tick; answer ms to the next, -1 to stop
#define SCRINTERNAL_DIALOGACTIVE 0x8004  // wParam 1 while a dialog is up, 0 after
#define SCRINTERNAL_TIMER 0x8009         // from the kit's timer thread

// Sub-codes of SCRINTERNAL_TIMER (its wParam).
#define SCRINTERNAL_TICK 0
#define SCRINTERNAL_HADENOUGH 1
#define SCRINTERNAL_STARTTIMER 2

// Answer of a client callback asking for the kit's default action.
#define SCR_DODEFAULT 9

// ScrMain's exit code for a saver or preview that ends (the code of the
// quit message DefSaverProc posts), a bad command line, a window that
// cannot be created, and a password change that cannot be made.
#define SCR_EXITCODE 2

// Modes of SCRCREATEDATA, the creation parameter of every saver window.
#define SCRMODE_FULL 0
#define SCRMODE_MONITOR 1
#define SCRMODE_PREVIEW 2

// The client's preferences (556 bytes); see kit/core/prefs.h for the fields.
typedef kit::ScrPrefs SCRPREFS;
typedef SCRPREFS* LPSCRPREFS;

// The user's settings as SCRM_PREFSCHANGED carries them (24 bytes).
using kit::CornerState;
using kit::PrefsChangeBlock;

// The creation parameter of every saver window the kit asks for. The kit
// allocates it and DefSaverProc releases it at WM_CREATE: the client passes
// it on unchanged and never frees it.
struct SCRCREATEDATA {
    DWORD reserved;  // always 0
    DWORD mode;      // SCRMODE_
};

// Creates the saver window from the filled-in structure (its own class and
// title allowed); lpCreateParams goes on unchanged. None for failure.
typedef HWND(CALLBACK* SCRCREATEWINDOWPROC)(UINT mode, LPCREATESTRUCTA create);
// Runs the configuration: the kit's hidden host dialog, the sheet header the
// kit prepared, 1 when opened over a running saver. SCR_DODEFAULT asks for
// the kit's own sheet.
typedef int(CALLBACK* SCRCONFIGPROC)(HWND host, LPPROPSHEETHEADERA header, BOOL active);
// Shows the client's About box; SCR_DODEFAULT asks for the kit's.
typedef int(CALLBACK* SCRABOUTPROC)(HWND owner);
// Changes the password; the result is the exit code. SCR_DODEFAULT asks
// for the system's password change.
typedef int(CALLBACK* SCRCHANGEPASSWORDPROC)(HWND parent);

// Runs the mode the command line names and returns the exit code: 2 for a
// bad command line, a window that cannot be created, or a second ScrMain
// while one runs. Any callback may be null for the kit's default.
int WINAPI ScrMain(HINSTANCE instance, SCRCREATEWINDOWPROC pfnCreateWindow, SCRCONFIGPROC pfnConfig,
                   SCRABOUTPROC pfnAbout, SCRCHANGEPASSWORDPROC pfnChangePassword);

// A new copy of the current preferences, owned by the caller until it is
// handed to ScrSetPrefs. Null when out of memory.
LPSCRPREFS WINAPI ScrGetPrefs(void);
// Installs every field but cbSize and releases a record that ScrGetPrefs
// gave out. Refused (record left with the caller) while ScrMain runs.
void WINAPI ScrSetPrefs(LPSCRPREFS prefs);

// Copies the kit's version text ("1.5s") into the buffer as lstrcpynA does
// and returns the version text's length; with no buffer only the length.
int WINAPI ScrGetVersion(LPSTR buffer, int capacity);

// Fills the block's corners, mute, threshold, delay and active-configuration
// fields from the user's settings; its size stays as the caller set it.
void WINAPI ScrGetSettings(PrefsChangeBlock* block);

// Context help for a control of a saver's own dialog: WinHelpA with the
// table {control's id, context, 0, 0} and the kit's help file ("dozekit.hlp",
// the saver's own name for it first). For any context but 3106 a help file
// that is not there gives way to "Plus!.HLP". FALSE when no file name loads.
BOOL WINAPI ScrHelp(HWND control, UINT command, DWORD context);

// The kit's default window procedure of saver windows.
LRESULT CALLBACK DefSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Start and stop the window's timer thread (DefSaverProc does both itself).
void WINAPI ScrStartTimer(HWND window);
void WINAPI ScrStopTimer(HWND window);

// Starts the saver's preview (a saver window in SCRMODE_MONITOR) inside a
// monitor control of kind MS_PREVIEW (in its screen window), or directly
// inside any other window. None for no window, for a monitor control of
// another kind, or when the window cannot be created. The preview lives
// until its parent goes; inside a monitor control its end does not end
// the message loop. The classes DozekitMonitorClass and
// DozekitMonitorWindowClass (kit/win32/monitor_control.h) are registered
// from the kit's start-up, at its first call, to the end of ScrMain.
HWND WINAPI CreatePreview(HWND window);

// SCRINTERNAL_DIALOGACTIVE 1 to the window now and 0 when the scope ends,
// so that the kit does not close the saver while a dialog is up. No
// window: nothing is sent.
class ScrDialogActive {
public:
    explicit ScrDialogActive(HWND window) : window_(window) {
        if (window_) ::SendMessageA(window_, SCRINTERNAL_DIALOGACTIVE, 1, 0);
    }
    ~ScrDialogActive() {
        if (window_) ::SendMessageA(window_, SCRINTERNAL_DIALOGACTIVE, 0, 0);
    }
    ScrDialogActive(const ScrDialogActive&) = delete;
    ScrDialogActive& operator=(const ScrDialogActive&) = delete;

private:
    HWND window_;
};
