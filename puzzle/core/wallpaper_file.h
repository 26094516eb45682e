// The file the solved board is written to before it becomes the desktop
// wallpaper: a bitmap file whose pixel rows start at byte 58, four zero
// bytes after its 40-byte header, bottom row first, 24 bits per pixel.
//
// The pixel area is sized as 4 * ceil(width / 4) * height * 3 bytes. Each
// row needs only 4 * ceil(3 * width / 4) bytes, which is never more, so
// the rows fill the start of the area and the rest stays zero.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace puzzle {

inline constexpr std::size_t kWallpaperPixelOffset = 58;
inline constexpr int kWallpaperBitsPerPixel = 24;

struct WallpaperLayout {
    int width = 0;
    int height = 0;
    std::size_t rowBytes = 0;        // one row of blue, green, red, padded to 4 bytes
    std::size_t pixelAreaBytes = 0;  // what the header says follows the offset
    std::size_t fileBytes = 0;
};

// Nothing for an empty board or one whose file would pass 2^31 bytes.
std::optional<WallpaperLayout> WallpaperLayoutFor(int width, int height);

// The whole file with its header filled in and a zeroed pixel area; the
// rows go in at kWallpaperPixelOffset.
std::vector<std::uint8_t> NewWallpaperFile(const WallpaperLayout& layout);

}  // namespace puzzle
