// The puzzle's two dialogs: the end of a set, over the running saver, and
// the settings, which the kit asks for in configuration mode.
#pragma once

#include <windows.h>
#include <prsht.h>

#include "puzzle/core/progress_store.h"

namespace puzzle {

// Dialog 104, "The End", owned by the puzzle window: the totals of the
// pass, and the difficulty of the next one (from the solved board's
// `hard`), stored as "NextHard" on OK.
int RunEndOfSetDialog(HINSTANCE instance, HWND owner, ProgressStore& progress, int hard);

// The kit's configuration callback: dialog 107 over the kit's host
// window, with the saver's module and library (saver_process.h). Answers
// IDOK or IDCANCEL, never the kit's default.
int CALLBACK PuzzleConfig(HWND host, LPPROPSHEETHEADERA header, BOOL active);

}  // namespace puzzle
