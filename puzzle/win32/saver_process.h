// What the system makes process-wide in the saver: its module, the image
// library bound at start-up, which every puzzle window and the settings
// dialog decode with, and the player's request to close the full-screen
// saver (set by a right or middle button release, never cleared).
#pragma once

#include <windows.h>

#include "imagelib/win32/imgoralib.h"

namespace puzzle {

struct SaverProcess {
    HINSTANCE instance = nullptr;
    ImgoraLibLoadProc load = nullptr;
    bool closeRequested = false;
};

inline SaverProcess& Process() {
    static SaverProcess process;
    return process;
}

}  // namespace puzzle
