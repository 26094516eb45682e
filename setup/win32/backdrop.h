// The backdrop: a window of class "InstallClass" over the work area, blue
// at the top running down to black, that owns the installer's dialogs.
#pragma once

#include <windows.h>

namespace setup {

// Registers the class and shows the window; none when it cannot be made.
HWND CreateBackdrop(HINSTANCE instance);

}  // namespace setup
