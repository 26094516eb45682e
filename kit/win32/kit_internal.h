// The kit's process-wide state and the operations its Win32 files share.
// Not part of the client interface.
#pragma once

#include <windows.h>

#include <cstddef>
#include <forward_list>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "common/win32/guards.h"
#include "kit/core/diagnostics.h"
#include "kit/core/prefs.h"
#include "kit/core/settings_store.h"
#include "kit/win32/dozekit.h"
#include "kit/win32/monitor_control.h"

namespace kit::win32 {

using ::win32::CriticalSection;
using ::win32::Locked;

// What saver windows share while they run; touched on the main thread only.
struct RuntimeState {
    POINT start{};        // cursor when watching began
    DWORD startTime = 0;  // tick when the saver began
    bool dialogActive = false;
    DWORD passwordDelay = 60;  // seconds
    LONG mouseThreshold = 0;   // pixels
    bool activeConfigAllowed = false;
};

// WinHelpA, or a stand-in that records what it was asked.
using WinHelpProc = BOOL(WINAPI*)(HWND window, LPCSTR file, UINT command, ULONG_PTR data);

struct KitState {
    HMODULE resourceModule = nullptr;  // where the kit's strings, dialogs and icon are
    HINSTANCE clientInstance = nullptr;
    bool initialized = false;
    bool running = false;  // inside ScrMain

    SCRCREATEWINDOWPROC createWindow = nullptr;
    SCRCONFIGPROC config = nullptr;
    SCRABOUTPROC about = nullptr;
    SCRCHANGEPASSWORDPROC changePassword = nullptr;

    Preferences prefs;
    RuntimeState runtime;

    // Records the kit gave out and takes back: only these are released.
    std::set<const void*> prefsRecords;
    std::set<const void*> createRecords;

    // Every timer thread started, newest first.
    CriticalSection threadListLock;
    std::forward_list<::win32::UniqueKernelHandle> timerThreads;

    // The monitor control's pictures, menus and warning state, from
    // start-up to teardown; its classes are registered meanwhile. The
    // general page tells it whether a hot-corner service runs.
    std::unique_ptr<MonitorControls> monitors;
    WinHelpProc winHelp = ::WinHelpA;
};

KitState& Kit();
Diagnostics& Trace();

// Start-up at the first kit call (once per process) and teardown at the
// end of ScrMain.
void EnsureStarted();
void CloseProcess();

// A text of the kit's resources, read into a buffer of `capacity`
// characters; nothing when it does not load.
std::optional<std::string> LoadKitString(int id, int capacity = 100);
// A text the client may override: its own module first, then the kit's.
std::optional<std::string> LoadClientString(int id, int capacity = 100);
const StringTable& KitStrings();
const Registry& UserRegistry();
RegistryWriter& UserRegistryWriter();

// Saver windows and modes.
HWND CreateSaverWindow(UINT mode, HWND parent);
bool IsFullScreen(HWND window);
int DoConfigDialog(HWND parent, BOOL active);
int RunAboutStep(HWND owner);
// The configuration sheet's general page.
INT_PTR CALLBACK GeneralDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// Nonzero when a hot-corner service answers: Sage.DLL's, then
// Edgewake.dll's answer, the later replacing the earlier.
int DetectSystemAgent();
void WarnOfMissingKitResources();

// Password check and change.
bool NeedPassword();
int DoVerifyPwDialog(HWND window);
int DoChangePwDialog(HWND parent);

// A window's timer.
struct TimerRecord;
void AttachTimerSlot(HWND window);
TimerRecord* GetTimerSlot(HWND window);
void SetTimerSlot(HWND window, TimerRecord* record);
void RemoveTimerSlot(HWND window);
void WakeTimer(TimerRecord* record);
// Clears the record's running flag and tells its thread to end. The
// record belongs to the thread from then on.
void EndTimer(TimerRecord* record);
void WaitForTimerThreads();

// For the kit's own tests.
void SetDiagnosticSinkForTests(DiagnosticSink* sink);
void SetWinHelpForTests(WinHelpProc winHelp);
std::size_t TimerThreadCount();

}  // namespace kit::win32
