// DefSaverProc: the kit's rules for saver windows. Which input closes a
// full-screen saver, when closing needs the password, which keys open the
// configuration over the running saver, when the window's timer starts
// and stops, and that destroying the window ends the message loop.
//
// Every handler returns the message's result. "Close" means: unless a
// dialog is active, post WM_CLOSE to the window; WM_CLOSE then follows the
// password rules.
#include <cstring>
#include <string>

#include "kit/core/general_dialog.h"
#include "kit/core/saver_input.h"
#include "kit/core/user_settings.h"
#include "kit/win32/kit_internal.h"

namespace kit::win32 {
namespace {

class SaverWindow {
public:
    SaverWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
        : window_(window),
          message_(message),
          wParam_(wParam),
          lParam_(lParam),
          kind_(IsFullScreen(window) ? WindowKind::Full : WindowKind::Preview),
          kit_(Kit()),
          prefs_(kit_.prefs.Current()),
          runtime_(kit_.runtime),
          trace_(Trace()) {}

    LRESULT Dispatch();

private:
    bool Full() const { return kind_ == WindowKind::Full; }
    bool FullNotDebug() const { return Full() && !prefs_.fDebugWindow; }
    LRESULT Default() { return ::DefWindowProcA(window_, message_, wParam_, lParam_); }

    // Posts WM_CLOSE unless a dialog is active; the lines are the reason's.
    template <typename Ignoring, typename Sending>
    void Close(const Ignoring& ignoring, const Sending& sending) {
        if (runtime_.dialogActive) {
            Emit(ignoring);
            return;
        }
        Emit(sending);
        ::PostMessageA(window_, WM_CLOSE, 0, 0);
    }
    // Lines of the saver window procedure carry the window kind; the few
    // plain ones are passed as Plain.
    struct Plain {
        const char* text;
    };
    void Emit(const char* line) { trace_.Trace(kind_, line); }
    void Emit(Plain line) { trace_.Trace(line.text); }

    void ResetStartPoint() {
        POINT cursor{};
        if (::GetCursorPos(&cursor)) runtime_.start = cursor;
    }

    LRESULT OnCreate();
    LRESULT OnDestroy();
    LRESULT OnActivate();
    LRESULT OnClose();
    LRESULT OnSetCursor();
    LRESULT OnKeyDown();
    LRESULT OnKeyUp();
    LRESULT OnLeftOrMiddleButtonDown();
    LRESULT OnRightButtonDown();
    LRESULT OnMouseMove();
    LRESULT OnSysCommand();
    LRESULT OnVerifyPassword();
    LRESULT OnActiveConfig();
    LRESULT OnPrefsChanged();
    LRESULT OnTimerMessage();
    LRESULT OnDialogActive();
    LRESULT OnInternalTimer();

    void ClosePassingThePassword();
    void ActiveConfiguration();

    HWND window_;
    UINT message_;
    WPARAM wParam_;
    LPARAM lParam_;
    WindowKind kind_;
    KitState& kit_;
    const ScrPrefs& prefs_;
    RuntimeState& runtime_;
    Diagnostics& trace_;
};

LRESULT SaverWindow::Dispatch() {
    switch (message_) {
    case WM_CREATE: return OnCreate();
    case WM_DESTROY: return OnDestroy();
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE: return OnActivate();
    case WM_CLOSE: return OnClose();
    case WM_SETCURSOR: return OnSetCursor();
    case WM_KEYDOWN: return OnKeyDown();
    case WM_KEYUP: return OnKeyUp();
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN: return OnLeftOrMiddleButtonDown();
    case WM_RBUTTONDOWN: return OnRightButtonDown();
    case WM_MOUSEMOVE: return OnMouseMove();
    case WM_SYSCOMMAND: return OnSysCommand();
    case SCRM_VERIFYPW: return OnVerifyPassword();
    case SCRM_ACTIVECONFIG: return OnActiveConfig();
    case SCRM_PREFSCHANGED: return OnPrefsChanged();
    case SCRM_TIMER: return OnTimerMessage();
    case SCRINTERNAL_DIALOGACTIVE: return OnDialogActive();
    case SCRINTERNAL_TIMER: return OnInternalTimer();
    default: return Default();
    }
}

LRESULT SaverWindow::OnCreate() {
    Emit("WM_CREATE...");
    const UserSettings settings = ReadUserSettings(UserRegistry(), KitStrings(), prefs_);
    runtime_.passwordDelay = settings.passwordDelay;
    runtime_.mouseThreshold = settings.mouseThreshold;
    runtime_.activeConfigAllowed = settings.activeConfig != 0;
    ResetStartPoint();
    runtime_.startTime = ::GetTickCount();
    runtime_.dialogActive = false;

    // Release the kit's creation record; a parameter the kit did not
    // allocate is left alone.
    if (auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam_)) {
        if (kit_.createRecords.erase(create->lpCreateParams) != 0) {
            delete static_cast<SCRCREATEDATA*>(create->lpCreateParams);
            create->lpCreateParams = nullptr;
        }
    }
    AttachTimerSlot(window_);
    if (!prefs_.fNoTimers) ::PostMessageA(window_, SCRINTERNAL_TIMER, SCRINTERNAL_STARTTIMER, 0);
    return Default();
}

LRESULT SaverWindow::OnDestroy() {
    Emit("WM_DESTROY: tidying up");
    ScrStopTimer(window_);
    RemoveTimerSlot(window_);
    bool endLoop = Full();
    if (!endLoop) {
        // A preview inside the kit's monitor control leaves the dialog's
        // message loop running.
        char className[64] = {};
        ::GetClassNameA(::GetParent(window_), className, sizeof className);
        endLoop = std::strcmp(className, DOZEKIT_MONITOR_WINDOW_CLASS) != 0;
    }
    if (endLoop) {
        Emit("POSTQUITMESSAGE from WM_DESTROY!!");
        ::PostQuitMessage(SCR_EXITCODE);
    }
    return Default();
}

LRESULT SaverWindow::OnActivate() {
    if (FullNotDebug() && LOWORD(wParam_) == 0)
        Close("WM_ACTIVATE: but a dialog is active, so ignoring it.",
              "WM_ACTIVATE: about to inactivate window, so sending Close");
    return Default();
}

LRESULT SaverWindow::OnClose() {
    if (!Full()) {
        ::DestroyWindow(window_);
        return 0;
    }
    ClosePassingThePassword();
    return 0;
}

void SaverWindow::ClosePassingThePassword() {
    if (runtime_.dialogActive) {
        Emit("WM_CLOSE: active dialog, so ignoring close request");
        return;
    }
    Emit("WM_CLOSE: maybe we need a password");
    bool mayClose = true;
    if (NeedPassword()) {
        {
            const ScrDialogActive dialog(window_);
            Emit("WM_CLOSE: starting verify-password message");
            mayClose = ::SendMessageA(window_, SCRM_VERIFYPW, 0, 0) != 0;
            Emit("WM_CLOSE: ending verify-password message");
        }
        ResetStartPoint();
    }
    if (mayClose) {
        Emit("WM_CLOSE: password OK, so doing a DestroyWindow");
        ::DestroyWindow(window_);
    } else {
        Emit("WM_CLOSE: not OK, so doing nothing");
    }
}

LRESULT SaverWindow::OnSetCursor() {
    ::SetCursor(FullNotDebug() ? nullptr : ::LoadCursorA(nullptr, IDC_ARROW));
    return Default();
}

LRESULT SaverWindow::OnKeyDown() {
    if (!Full()) return Default();
    if (IsActiveConfigKey(static_cast<unsigned>(wParam_))) {
        Emit(Plain{"WM_KEYDOWN: active-config key pressed. Checking..."});
        ActiveConfiguration();
    } else {
        Close(Plain{"WM_KEYDOWN: Misc. key pressed, but active dialog, so ignoring it."},
              Plain{"WM_KEYDOWN: Misc key pressed: sending Close"});
    }
    return Default();
}

LRESULT SaverWindow::OnKeyUp() {
    if (Full()) Emit("WM_KEYUP: ignoring it");
    return Default();
}

LRESULT SaverWindow::OnLeftOrMiddleButtonDown() {
    if (Full())
        Close("WM_LBUTTONDOWN: but a dialog is active, so ignoring it.",
              "WM_LBUTTONDOWN: sending Close");
    return Default();
}

LRESULT SaverWindow::OnRightButtonDown() {
    if (Full()) {
        Emit(Plain{"WM_RBUTTONDOWN: active-config. checking..."});
        ActiveConfiguration();
    }
    return Default();
}

LRESULT SaverWindow::OnMouseMove() {
    if (FullNotDebug()) {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        if (MovedBeyondThreshold({runtime_.start.x, runtime_.start.y}, {cursor.x, cursor.y},
                                 runtime_.mouseThreshold))
            Close("WM_MOUSEMOVE: but dialog active, so ignoring",
                  "WM_MOUSEMOVE: gone beyond threshold, sending Close");
    }
    return Default();
}

LRESULT SaverWindow::OnSysCommand() {
    if (Full()) {
        if (wParam_ == SC_SCREENSAVE) {
            Emit("WM_SYSCOMMAND: gobbling up a SC_SCREENSAVE to stop a new saver from running.");
            return 0;
        }
        if (wParam_ == SC_CLOSE) {
            if (!prefs_.fDebugWindow) {
                Emit("WM_SYSCOMMAND: gobbling up a SC_CLOSE");
                return 0;
            }
            Emit(
                "WM_SYSCOMMAND: should be gobbling up a SC_CLOSE, but am not because we're in "
                "debug mode.");
        }
    }
    return Default();
}

LRESULT SaverWindow::OnVerifyPassword() {
    Emit("SCRM_VERIFYPW: going to DoVerifyPwDialog");
    if (DoVerifyPwDialog(window_) == IDOK) {
        Emit(Plain{"SCRM_VERIFYPW: DoVerifyPw returned IDOK: returning TRUE!"});
        return 1;
    }
    Emit(Plain{"SCRM_VERIFYPW: DoVerifyPw returned IDCANCEL: returning FALSE"});
    return 0;
}

LRESULT SaverWindow::OnActiveConfig() {
    Emit("SCRM_ACTIVECONFIG: going to pop up activeconfig");
    DoConfigDialog(window_, TRUE);
    return 1;
}

LRESULT SaverWindow::OnPrefsChanged() {
    const auto* block = reinterpret_cast<const PrefsChangeBlock*>(lParam_);
    if (!Full() || (wParam_ & kNoticeKindMask) != kNoticeKitValues || !block) return 1;
    runtime_.mouseThreshold = block->mouseThreshold;
    runtime_.passwordDelay = static_cast<DWORD>(block->passwordDelay);
    runtime_.activeConfigAllowed = block->activeConfig != 0;
    WakeTimer(GetTimerSlot(window_));
    return 1;
}

LRESULT SaverWindow::OnTimerMessage() {
    const std::string stars(78, '*');
    Emit(Plain{stars.c_str()});
    Emit(
        Plain{"** SCRM_TIMER: being turned off. If you want it to keep going, you must return "
              "its period."});
    Emit(Plain{stars.c_str()});
    return -1;
}

LRESULT SaverWindow::OnDialogActive() {
    runtime_.dialogActive = wParam_ != 0;
    return 0;
}

LRESULT SaverWindow::OnInternalTimer() {
    switch (wParam_) {
    case SCRINTERNAL_TICK:
        if (!prefs_.fNoTimers && GetTimerSlot(window_))
            return ::SendMessageA(window_, SCRM_TIMER, 0, lParam_);
        return Default();
    case SCRINTERNAL_HADENOUGH:
        if (!prefs_.fNoTimers) {
            Emit(Plain{"SCRINTERNAL_HADENOUGH: closing down thread..."});
            if (TimerRecord* record = GetTimerSlot(window_)) {
                EndTimer(record);
            } else {
                trace_.TraceAndBox("SCRINTERNAL_HADENOUGH: strangely, the timer has disappeared!",
                                   "SCRTIMER error", reinterpret_cast<std::uintptr_t>(window_));
            }
            SetTimerSlot(window_, nullptr);
        }
        return 0;
    case SCRINTERNAL_STARTTIMER: ScrStartTimer(window_); return 0;
    default: return Default();
    }
}

// Shift, Ctrl, Scroll Lock and the right button: the configuration over the
// running saver when the client offers it and the user allows it, else a
// close.
void SaverWindow::ActiveConfiguration() {
    if (runtime_.dialogActive) {
        Emit(Plain{"WM_ACTIVE: but dialog is active, so ignoring"});
        return;
    }
    if (!prefs_.fActiveConfig || !runtime_.activeConfigAllowed) {
        Emit(Plain{"WM_ACTIVE: but it's not enabled, so sending close"});
        ::PostMessageA(window_, WM_CLOSE, 0, 0);
        return;
    }
    Emit("Starting active config dialog");
    {
        const ScrDialogActive dialog(window_);
        ::SendMessageA(window_, SCRM_ACTIVECONFIG, 0, 0);
    }
    Emit("Finished active config dialog");
    ResetStartPoint();
}

}  // namespace
}  // namespace kit::win32

LRESULT CALLBACK DefSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    kit::win32::EnsureStarted();
    return kit::win32::SaverWindow(window, message, wParam, lParam).Dispatch();
}
