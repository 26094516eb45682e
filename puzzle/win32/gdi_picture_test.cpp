#include "puzzle/win32/gdi_picture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "puzzle/core/board.h"

namespace puzzle {
namespace {

using Pixels = std::vector<std::uint32_t>;  // 0x00RRGGBB, top row first

HBITMAP MakeBitmap(int width, int height, const Pixels& pixels) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    win32::WindowDc screen;
    return ::CreateDIBitmap(screen.Get(), &info.bmiHeader, CBM_INIT, pixels.data(), &info,
                            DIB_RGB_COLORS);
}

Pixels ReadPixels(const GdiPicture& picture) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.Width();
    info.bmiHeader.biHeight = -picture.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    Pixels pixels(static_cast<std::size_t>(picture.Width()) * picture.Height());
    win32::WindowDc screen;
    EXPECT_EQ(::GetDIBits(screen.Get(), picture.Handle(), 0, picture.Height(), pixels.data(),
                          &info, DIB_RGB_COLORS),
              picture.Height());
    for (auto& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

// A picture of four solid quarters: red, green / blue, white.
Pixels Quarters(int width, int height) {
    Pixels pixels(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool right = x >= width / 2, bottom = y >= height / 2;
            pixels[y * width + x] = !bottom ? (right ? 0x00FF00 : 0xFF0000)
                                            : (right ? 0xFFFFFF : 0x0000FF);
        }
    return pixels;
}

TEST(GdiPicture, ReportsItsSize) {
    GdiPicture picture(MakeBitmap(37, 21, Pixels(37 * 21)));
    EXPECT_EQ(picture.Width(), 37);
    EXPECT_EQ(picture.Height(), 21);
}

TEST(GdiPicture, ScalesAPartToTheGivenSize) {
    GdiPicture picture(MakeBitmap(80, 60, Quarters(80, 60)));
    // The top-left quarter, doubled: all red.
    auto part = picture.ScaledPart({0, 0, 40, 30}, 80, 60);
    ASSERT_TRUE(part);
    const auto& scaled = static_cast<const GdiPicture&>(*part);
    EXPECT_EQ(scaled.Width(), 80);
    EXPECT_EQ(scaled.Height(), 60);
    for (std::uint32_t p : ReadPixels(scaled)) ASSERT_EQ(p, 0xFF0000u);

    // The whole picture halved keeps its quarters in place.
    auto half = picture.ScaledPart({0, 0, 80, 60}, 40, 30);
    ASSERT_TRUE(half);
    const Pixels pixels = ReadPixels(static_cast<const GdiPicture&>(*half));
    EXPECT_EQ(pixels[5 * 40 + 5], 0xFF0000u);
    EXPECT_EQ(pixels[5 * 40 + 35], 0x00FF00u);
    EXPECT_EQ(pixels[25 * 40 + 5], 0x0000FFu);
    EXPECT_EQ(pixels[25 * 40 + 35], 0xFFFFFFu);
}

TEST(GdiPicture, BoardShowsTheCentreOfThePicture) {
    // 120 x 60 on a 100 x 100 screen at hard 3: fitted 100 x 50, tile 33,
    // 3 x 1 cells, so the board shows the middle 99 / 100 of the width and
    // the middle 33 / 50 of the height. Its corners are the picture's
    // quarters, seen a little further in.
    PuzzleBoard board;
    board.SetHard(3);
    ASSERT_TRUE(board.CutPicture(
        std::make_unique<GdiPicture>(MakeBitmap(120, 60, Quarters(120, 60))), 100, 100));
    EXPECT_EQ(board.Columns(), 3);
    EXPECT_EQ(board.Rows(), 1);
    const auto& cut = static_cast<const GdiPicture&>(*board.BoardPicture());
    ASSERT_EQ(cut.Width(), 99);
    ASSERT_EQ(cut.Height(), 33);
    const Pixels pixels = ReadPixels(cut);
    EXPECT_EQ(pixels[2 * 99 + 2], 0xFF0000u);
    EXPECT_EQ(pixels[2 * 99 + 96], 0x00FF00u);
    EXPECT_EQ(pixels[30 * 99 + 2], 0x0000FFu);
    EXPECT_EQ(pixels[30 * 99 + 96], 0xFFFFFFu);
}

TEST(GdiPicture, RefusesToScaleToNothing) {
    GdiPicture picture(MakeBitmap(10, 10, Pixels(100)));
    EXPECT_FALSE(picture.ScaledPart({0, 0, 10, 10}, 0, 5));
    GdiPicture empty(nullptr);
    EXPECT_FALSE(empty.ScaledPart({0, 0, 10, 10}, 5, 5));
}

}  // namespace
}  // namespace puzzle
