// The monitor control: a dialog control that draws a monitor, in one of
// three kinds chosen by its style (kit/core/monitor_styles.h):
//
//   MS_NOTHING  the picture alone
//   MS_PREVIEW  the picture with a screen window ("Monitor window", class
//               DozekitMonitorWindowClass, the control's id) on its screen
//               area, to host a live preview (the kit's CreatePreview)
//   MS_CORNERS  the picture with the four hot corners drawn on it; a left
//               click on a corner opens that corner's menu (Default, Now,
//               Never) with the current row checked
//
// The control's whole state is its style: two bits for the kind, two for
// each corner. Read the corners with
//   kit::CornersFromStyle(::GetWindowLongA(control, GWL_STYLE))
// and set them with kit::StyleWithCorners and SetWindowLongA; the control
// shows them at its next paint. When the user chooses a corner's action
// the control rewrites its style, repaints and sends its parent WM_COMMAND
// with MAKEWPARAM(control id, 0) and the control as lParam (also when the
// action did not change). The first choice after loading, while no
// hot-corner service is known to run, first shows the warning box.
//
// A control takes its size from the monitor picture: created at any size,
// it keeps its centre and takes the picture's size.
//
// One source, several carriers. Each module that carries the control
// (the kit in a saver; Edgewake in its DLL) loads its own MonitorControls
// from its own resources and registers the two classes in its own module
// for as long as its dialogs need them:
//
//   kit::win32::MonitorControls controls({module, ids, &diagnostics, stop});
//   kit::win32::RegisterMonitorClasses(controls);
//   ... dialogs with controls of class DOZEKIT_MONITOR_CLASS ...
//   kit::win32::UnregisterMonitorClasses(module, diagnostics);
//
// The classes are process-wide (CS_GLOBALCLASS): one carrier at a time per
// process has them registered, and its MonitorControls must outlive its
// controls. Everything runs on the thread that owns the dialogs.
#pragma once

#include <windows.h>

#include <array>

#include "common/win32/guards.h"
#include "kit/core/diagnostics.h"
#include "kit/core/monitor_rules.h"

namespace kit::win32 {

// The resources the control draws from, by id in the carrier's module.
struct MonitorResourceIds {
    std::array<int, 3> rowTexts{};       // the menu rows: Default, Now, Never
    int anchorText = 0;                  // the screen's corners, "%i %i  %i %i  %i %i  %i %i"
    int monitorBitmap = 0;               // the picture in the left half, its mask in the right
    std::array<int, 3> cornerBitmaps{};  // Default, Now, Never, of one size
    // The box shown at the first corner choice while no hot-corner service
    // is known to run; shown only when both texts load (0: never).
    int warningCaption = 0;
    int warningText = 0;
};

struct MonitorSetup {
    HMODULE module = nullptr;  // where the resources are, and the classes' module
    MonitorResourceIds ids;
    // Registration's trace lines and diagnostic boxes; never null.
    Diagnostics* diagnostics = nullptr;
    // Stops the timer of the preview in a monitor window that goes away;
    // null for a carrier that starts no previews.
    void(WINAPI* stopPreviewTimer)(HWND preview) = nullptr;
};

class MonitorControlWindow;
class MonitorScreenWindow;

// What every control of one carrier draws with: the pictures, the four
// corner menus and the rectangles, loaded from the carrier's resources
// (a missing picture counts as 0 x 0, a missing text leaves its menu row
// out; without the anchor text no corner can be hit or drawn), and the
// hot-corner warning's state.
class MonitorControls {
public:
    explicit MonitorControls(const MonitorSetup& setup);
    ~MonitorControls();
    MonitorControls(const MonitorControls&) = delete;
    MonitorControls& operator=(const MonitorControls&) = delete;

    const MonitorSetup& Setup() const { return setup_; }
    Size ControlSize() const { return controlSize_; }
    Size CornerSize() const { return cornerSize_; }
    const MonitorLayout& Layout() const { return layout_; }

    // Whether a hot-corner service runs, as the carrier found out (its
    // settings page asks the service). No after loading: the first corner
    // choice then shows the warning, once.
    void SetServiceDetected(bool detected) { serviceDetected_ = detected; }
    bool ServiceDetected() const { return serviceDetected_; }

private:
    friend class MonitorControlWindow;
    friend class MonitorScreenWindow;

    MonitorSetup setup_;
    ::win32::UniqueBitmap monitor_;
    std::array<::win32::UniqueBitmap, 3> cornerPictures_;
    std::array<::win32::UniqueMenu, 4> menus_;
    Size controlSize_;
    Size cornerSize_;
    MonitorLayout layout_;
    bool serviceDetected_ = false;
    bool warningShown_ = false;
};

// Registers DozekitMonitorClass, then DozekitMonitorWindowClass, in the
// carrier's module, drawing from `controls`. Stops at the first failure
// and answers false, with neither class left registered; traces and, with
// debug output on, shows a box.
bool RegisterMonitorClasses(MonitorControls& controls);
// Unregisters both, each on its own; answers whether both went.
bool UnregisterMonitorClasses(HMODULE module, Diagnostics& diagnostics);

}  // namespace kit::win32
