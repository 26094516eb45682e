// The saver's entry: binds the image library, registers the puzzle window
// and hands the run to the kit, which shows the puzzle full screen or in a
// preview, or the settings dialog.
#include <windows.h>

#include "kit/win32/dozekit.h"
#include "puzzle/win32/image_library.h"
#include "puzzle/win32/puzzle_window_class.h"
#include "puzzle/win32/saver_dialogs.h"
#include "puzzle/win32/saver_process.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    puzzle::ImageLibrary library;
    if (!puzzle::BindImageLibrary(instance, library)) return 0;
    puzzle::SaverProcess& process = puzzle::Process();
    process.instance = instance;
    process.load = library.Load();
    puzzle::RegisterPuzzleWindowClass(instance);

    if (LPSCRPREFS prefs = ScrGetPrefs()) {
        prefs->fMuteSound = 0;
        prefs->fDebugOutput = 0;
        prefs->fDebugWindow = 0;
        ScrSetPrefs(prefs);
    }
    const int result =
        ScrMain(instance, puzzle::PuzzleCreateWindow, puzzle::PuzzleConfig, nullptr, nullptr);
    process.load = nullptr;
    library.Release();
    return result;
}
