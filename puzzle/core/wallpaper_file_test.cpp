#include "puzzle/core/wallpaper_file.h"

#include <gtest/gtest.h>

namespace puzzle {
namespace {

TEST(WallpaperFile, BoardOf101PixelsWide) {
    const auto layout = WallpaperLayoutFor(101, 7);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->fileBytes, 58u + 104 * 3 * 7);
    EXPECT_EQ(layout->rowBytes, 304u);  // 303 bytes of pixels, padded to 4
    EXPECT_LE(layout->rowBytes * 7, layout->pixelAreaBytes);

    const auto file = NewWallpaperFile(*layout);
    ASSERT_EQ(file.size(), layout->fileBytes);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    const struct { std::size_t at; int bytes; std::uint32_t value; } fields[] = {
        {2, 4, 58 + 104 * 3 * 7}, {6, 2, 0}, {8, 2, 0}, {10, 4, 58}, {14, 4, 40},
        {18, 4, 101}, {22, 4, 7}, {26, 2, 1}, {28, 2, 24}, {30, 4, 0}, {34, 4, 0},
        {38, 4, 0}, {42, 4, 0}, {46, 4, 0}, {50, 4, 0}, {54, 4, 0},
    };
    for (const auto& f : fields) {
        std::uint32_t value = 0;
        for (int i = f.bytes - 1; i >= 0; --i) value = value << 8 | file[f.at + i];
        EXPECT_EQ(value, f.value) << "offset " << f.at;
    }
    // No file for a board of no size, nor for one past 2 GB.
    EXPECT_FALSE(WallpaperLayoutFor(0, 10));
    EXPECT_FALSE(WallpaperLayoutFor(10, -1));
    EXPECT_FALSE(WallpaperLayoutFor(65536, 65536));
}

}  // namespace
}  // namespace puzzle
