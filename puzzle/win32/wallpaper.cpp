#include "puzzle/win32/wallpaper.h"

#include "common/win32/guards.h"
#include "common/win32/placement_files.h"
#include "puzzle/core/wallpaper_file.h"
#include "puzzle/win32/saver_files.h"

namespace puzzle {

bool WriteBoardBitmap(HBITMAP bitmap, const std::string& path) {
    BITMAP info{};
    if (!bitmap || ::GetObjectA(bitmap, sizeof info, &info) != sizeof info) return false;
    const auto layout = WallpaperLayoutFor(info.bmWidth, info.bmHeight);
    if (!layout) return false;
    std::vector<std::uint8_t> file = NewWallpaperFile(*layout);

    // Always 24 bits: the file has no room for a colour table, so a board
    // of fewer bits per pixel is converted rather than written without one.
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = layout->width;
    format.bmiHeader.biHeight = layout->height;  // bottom row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = kWallpaperBitsPerPixel;
    format.bmiHeader.biCompression = BI_RGB;
    win32::WindowDc screen;
    if (!screen) return false;
    const int rows = ::GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(layout->height),
                                 file.data() + kWallpaperPixelOffset, &format, DIB_RGB_COLORS);
    if (rows != layout->height) return false;
    win32::PlacementFiles files(kNewFilePrefix);
    common::StagedCopy copy(files, file, common::FolderOf(path));
    return copy.MoveTo(path) == common::FileFault::None;
}

bool SetBoardAsWallpaper(HBITMAP bitmap, const std::string& windowsDirectory) {
    std::string path = windowsDirectory + "\\VeduzaVozud.bmp";
    if (!WriteBoardBitmap(bitmap, path)) return false;
    return ::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, path.data(), SPIF_UPDATEINIFILE) != 0;
}

}  // namespace puzzle
