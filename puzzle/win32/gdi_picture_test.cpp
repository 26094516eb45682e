#include "puzzle/win32/gdi_picture.h"

#include <gtest/gtest.h>

#include "puzzle/core/board.h"
#include "puzzle/win32/test_windows.h"

namespace puzzle {
namespace {

using testing::ReadPixels;

// A picture of four solid quarters: red, green / blue, white.
GdiPicture Quarters(int width, int height) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[y * width + x] = y < height / 2 ? (x < width / 2 ? 0xFF0000 : 0x00FF00)
                                                   : (x < width / 2 ? 0x0000FF : 0xFFFFFF);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    win32::WindowDc screen;
    return GdiPicture(::CreateDIBitmap(screen.Get(), &info.bmiHeader, CBM_INIT, pixels.data(),
                                       &info, DIB_RGB_COLORS));
}

TEST(GdiPicture, ScalesAPartToTheGivenSize) {
    // The top-left quarter, doubled: all red.
    auto part = Quarters(80, 60).ScaledPart({0, 0, 40, 30}, 80, 60);
    ASSERT_TRUE(part);
    EXPECT_EQ(part->Width(), 80);
    EXPECT_EQ(part->Height(), 60);
    for (std::uint32_t p : ReadPixels(static_cast<const GdiPicture&>(*part).Handle(), 80, 60))
        ASSERT_EQ(p, 0xFF0000u);

    EXPECT_FALSE(Quarters(10, 10).ScaledPart({0, 0, 10, 10}, 0, 5));
    EXPECT_FALSE(GdiPicture(nullptr).ScaledPart({0, 0, 10, 10}, 5, 5));
}

TEST(GdiPicture, BoardShowsTheCentreOfThePicture) {
    // 120 x 60 on a 100 x 100 screen at hard 3: fitted 100 x 50, tile 33,
    // 3 x 1 cells, so the board shows the middle 99 / 100 of the width and
    // the middle 33 / 50 of the height. Its corners are the picture's
    // quarters, seen a little further in.
    PuzzleBoard board;
    board.SetHard(3);
    ASSERT_TRUE(board.CutPicture(std::make_unique<GdiPicture>(Quarters(120, 60)), 100, 100));
    EXPECT_EQ(board.Rows(), 1);
    ASSERT_EQ(board.BoardWidth(), 99);
    ASSERT_EQ(board.BoardHeight(), 33);
    const auto pixels =
        ReadPixels(static_cast<const GdiPicture*>(board.BoardPicture())->Handle(), 99, 33);
    EXPECT_EQ(pixels[2 * 99 + 2], 0xFF0000u);
    EXPECT_EQ(pixels[2 * 99 + 96], 0x00FF00u);
    EXPECT_EQ(pixels[30 * 99 + 2], 0x0000FFu);
    EXPECT_EQ(pixels[30 * 99 + 96], 0xFFFFFFu);
}

}  // namespace
}  // namespace puzzle
