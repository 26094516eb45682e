// The solved board as the desktop wallpaper.
#pragma once

#include <windows.h>

#include <string>

namespace puzzle {

// Writes the bitmap as a 24-bit bitmap file whose rows start at byte 58
// (wallpaper_file.h), whole beside `path` and then moved there. False,
// leaving `path` as it was, when its pixels cannot be read or the file
// cannot be written.
bool WriteBoardBitmap(HBITMAP bitmap, const std::string& path);

// Writes the bitmap to "VeduzaVozud.bmp" in the Windows directory and
// makes that the desktop wallpaper; a file that could not be written is
// not made the wallpaper. False when nothing changed.
bool SetBoardAsWallpaper(HBITMAP bitmap, const std::string& windowsDirectory);

}  // namespace puzzle
