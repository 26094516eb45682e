// The settings dialog 108 and its three ways to run. Not written yet.
#include "hotcorners/win32/edgewake.h"

namespace edgewake {

void RunSettingsDialog(HWND, DialogMode) {}

}  // namespace edgewake
