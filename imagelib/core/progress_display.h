// The progress window a load may show, and the dispatching of the calling
// thread's pending messages that every progress report does once the
// library's progress hook is installed. The Win32 layer shows a real
// window (TProgress); tests record the calls.
#pragma once

#include <cstdint>
#include <string>

namespace imagelib {

class ProgressDisplay {
public:
    virtual ~ProgressDisplay() = default;

    // Creates the window for one load, with this caption and text line,
    // its bar at 0, centred on the screen, and shows it in front. When it
    // cannot be made the load goes on without it.
    virtual void Show(const std::string& caption, const std::string& line) = 0;
    // Moves the bar (0 to 100) of the window, if there is one, shown or
    // hidden.
    virtual void SetPosition(std::int32_t percent) = 0;
    // Closes and destroys the window, if there is one.
    virtual void Release() = 0;
    // Dispatches every message waiting for the calling thread: the
    // window repaints and its timer fires, and so do the caller's windows.
    virtual void DispatchPendingMessages() = 0;
};

}  // namespace imagelib
