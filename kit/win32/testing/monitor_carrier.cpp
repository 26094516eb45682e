// A second carrier of the monitor control, as Edgewake is one: a DLL that
// links the control's library and no more of the kit, with its own texts
// (rows 1 to 3, anchors 4) and pictures (201 to 204). It answers what it
// loaded from its own module.
#include <windows.h>

#include <cstdio>

#include "kit/win32/monitor_control.h"

namespace {

HMODULE g_module = nullptr;

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}

extern "C" int WINAPI CarrierProbe(char* text, int capacity) {
    kit::ScrPrefs prefs{};
    kit::Diagnostics diagnostics(prefs, nullptr);
    kit::win32::MonitorSetup setup;
    setup.module = g_module;
    setup.ids.rowTexts = {1, 2, 3};
    setup.ids.anchorText = 4;
    setup.ids.monitorBitmap = 201;
    setup.ids.cornerBitmaps = {202, 203, 204};
    setup.diagnostics = &diagnostics;
    const kit::win32::MonitorControls controls(setup);
    const kit::Size size = controls.ControlSize();
    const kit::Size corner = controls.CornerSize();
    const kit::Rect& screen = controls.Layout().screen;
    const kit::Rect& topRight = controls.Layout().corners[kit::TopRight];
    return std::snprintf(text, static_cast<std::size_t>(capacity),
                         "size=%dx%d corner=%dx%d screen=%d,%d,%d,%d top-right=%d,%d,%d,%d",
                         size.width, size.height, corner.width, corner.height, screen.left,
                         screen.top, screen.right, screen.bottom, topRight.left, topRight.top,
                         topRight.right, topRight.bottom);
}
