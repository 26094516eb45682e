// TProgress: the progress window of a load, and the dispatching of the
// calling thread's messages at every progress report.
//
// The window: caption from the texts, a dialog frame with only a close
// box, a client area of 313 x 67 pixels at 96 dots per inch (scaled with
// the screen's), centred on the screen, "MS Sans Serif" 8 point; Label1
// (the text line, sized to its text) at (9, 15) and ProgressBar1 (0 to
// 100) at (9, 33), 293 x 19. Timer1 (1000 ms) closes the window once the
// bar stands at 98 or more. Closing, by Timer1 or by the close box, only
// hides the window and stops Timer1 (FormClose); the load releases it.
//
// Message handlers: one OnXxx function per message, dispatched through
// the HANDLE_MSG macros; the window object travels as the creation
// parameter. The window class "TProgress" is registered at the first
// Show and unregistered when the object goes.
#pragma once

#include <windows.h>

#include "common/win32/guards.h"
#include "imagelib/core/progress_display.h"

namespace imagelib {

class TProgress : public ProgressDisplay {
public:
    TProgress() = default;
    ~TProgress() override;
    TProgress(const TProgress&) = delete;
    TProgress& operator=(const TProgress&) = delete;

    void Show(const std::string& caption, const std::string& line) override;
    void SetPosition(std::int32_t percent) override;
    void Release() override;
    // Peeks, translates and dispatches until the queue is empty, or for
    // at most 20 ms. A quit message is put back for the caller's own loop
    // and ends the round.
    void DispatchPendingMessages() override;

    HWND Window() const { return window_; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL OnCreate(HWND window, LPCREATESTRUCTA create);
    void OnTimer(HWND window, UINT id);
    void OnClose(HWND window);
    HBRUSH OnCtlColorStatic(HWND window, HDC dc, HWND control, int type);
    void OnDestroy(HWND window);

    void Timer1Timer();
    void FormClose();

    bool RegisterWindowClass();

    HWND window_ = nullptr;
    HWND label1_ = nullptr;
    HWND progressBar1_ = nullptr;
    win32::UniqueFont font_;
    std::string line_;  // Label1's text, until the window takes it
    int dpi_ = 96;
    HINSTANCE classOwner_ = nullptr;  // set once the class is registered
};

}  // namespace imagelib
