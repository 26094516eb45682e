// CreatePreview: the saver's preview inside a monitor control of a dialog
// (or inside any window), made by the same window-creation step as the
// other modes.
#include <cstring>

#include "kit/win32/kit_internal.h"

using namespace kit::win32;

HWND WINAPI CreatePreview(HWND window) {
    EnsureStarted();
    if (!window) return nullptr;

    HWND parent = window;
    char className[64] = {};
    ::GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, DOZEKIT_MONITOR_CLASS) == 0) {
        const auto style = static_cast<std::uint32_t>(::GetWindowLongA(window, GWL_STYLE));
        if (kit::MonitorKind(style) != MS_PREVIEW) {
            Trace().TraceAndBox(
                "CreatePreview: Cannot, because monitor has wrong style! Give it the MS_PREVIEW "
                "style.",
                "Programming error");
            return nullptr;
        }
        parent = ::GetWindow(window, GW_CHILD);
        if (!parent) {
            Trace().Trace("CreatePreview: Internal error. No monitor-window window could be found.");
            Trace().Box("CreatePreview: No monitor-window window could be found.", "Internal error");
            return nullptr;
        }
    }
    return CreateSaverWindow(SCRMODE_MONITOR, parent);
}
