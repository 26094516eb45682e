#include "puzzle/core/wallpaper_file.h"

#include <gtest/gtest.h>

namespace puzzle {
namespace {

// The header as a whole is read back by the Windows-side and whole-program
// tests; here the sizes and the limits.
TEST(WallpaperFile, BoardOf101PixelsWide) {
    const auto layout = WallpaperLayoutFor(101, 7);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->fileBytes, 58u + 104 * 3 * 7);
    EXPECT_EQ(layout->rowBytes, 304u);  // 303 bytes of pixels, padded to 4
    EXPECT_LE(layout->rowBytes * 7, layout->pixelAreaBytes);
    const auto file = NewWallpaperFile(*layout);
    ASSERT_EQ(file.size(), layout->fileBytes);
    EXPECT_EQ(file[10], 58);  // where the rows start
    // No file for a board of no size, nor for one past 2 GB.
    EXPECT_FALSE(WallpaperLayoutFor(0, 10));
    EXPECT_FALSE(WallpaperLayoutFor(10, -1));
    EXPECT_FALSE(WallpaperLayoutFor(65536, 65536));
}

}  // namespace
}  // namespace puzzle
