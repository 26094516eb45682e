// The puzzle window's Win32 window class: its registration, the kit's
// create-window callback and the window procedure, which makes a
// PuzzleWindow (puzzle_window.h) for each window and hands it the input.
#pragma once

#include <windows.h>

namespace puzzle {

// Registers "PuzzleWindowClass". Its windows take the saver's module and
// library from saver_process.h.
bool RegisterPuzzleWindowClass(HINSTANCE instance);

// The kit's create-window callback: the window of the class above, titled
// "SaverWindow", with everything else as the kit filled it in.
HWND CALLBACK PuzzleCreateWindow(UINT mode, LPCREATESTRUCTA create);

}  // namespace puzzle
