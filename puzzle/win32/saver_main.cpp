// The saver's entry. It binds the image library first; the puzzle window
// and the kit come with later work.
#include <windows.h>

#include "puzzle/win32/image_library.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    puzzle::ImageLibrary library;
    if (!puzzle::BindImageLibrary(instance, library)) return 0;
    return 0;
}
