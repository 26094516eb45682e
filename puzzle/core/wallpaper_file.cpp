#include "puzzle/core/wallpaper_file.h"

namespace puzzle {

namespace {

constexpr std::uint64_t kLargestFile = 0x7FFFFFFF;

void Put16(std::vector<std::uint8_t>& file, std::size_t at, std::uint32_t value) {
    file[at] = static_cast<std::uint8_t>(value);
    file[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::vector<std::uint8_t>& file, std::size_t at, std::uint32_t value) {
    Put16(file, at, value & 0xFFFF);
    Put16(file, at + 2, value >> 16);
}

}  // namespace

std::optional<WallpaperLayout> WallpaperLayoutFor(int width, int height) {
    if (width <= 0 || height <= 0) return std::nullopt;
    const std::uint64_t w = static_cast<std::uint64_t>(width);
    const std::uint64_t h = static_cast<std::uint64_t>(height);
    const std::uint64_t area = 4 * ((w + 3) / 4) * h * 3;
    if (area > kLargestFile - kWallpaperPixelOffset) return std::nullopt;
    WallpaperLayout layout;
    layout.width = width;
    layout.height = height;
    layout.rowBytes = static_cast<std::size_t>(4 * ((3 * w + 3) / 4));
    layout.pixelAreaBytes = static_cast<std::size_t>(area);
    layout.fileBytes = kWallpaperPixelOffset + layout.pixelAreaBytes;
    return layout;
}

std::vector<std::uint8_t> NewWallpaperFile(const WallpaperLayout& layout) {
    std::vector<std::uint8_t> file(layout.fileBytes, 0);
    file[0] = 'B';
    file[1] = 'M';
    Put32(file, 2, static_cast<std::uint32_t>(layout.fileBytes));
    Put32(file, 10, kWallpaperPixelOffset);
    Put32(file, 14, 40);  // the header's size
    Put32(file, 18, static_cast<std::uint32_t>(layout.width));
    Put32(file, 22, static_cast<std::uint32_t>(layout.height));  // positive: bottom row first
    Put16(file, 26, 1);                                          // planes
    Put16(file, 28, kWallpaperBitsPerPixel);
    // Compression, image size, resolutions, colours and the gap before
    // the rows stay 0.
    return file;
}

}  // namespace puzzle
