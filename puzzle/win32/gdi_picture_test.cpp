#include "puzzle/win32/gdi_picture.h"

#include <gtest/gtest.h>

#include "puzzle/win32/testing/test_windows.h"

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

// The board's cut of the picture: its centre part, which the board test
// works out, scaled by GDI. (The whole-program test compares a cut board
// on the screen with the picture too.)
TEST(GdiPicture, ScalesAPartToTheGivenSize) {
    // The top-right quarter, doubled: all green.
    auto part = Quarters(80, 60).ScaledPart({40, 0, 40, 30}, 80, 60);
    ASSERT_TRUE(part);
    EXPECT_EQ(part->Width(), 80);
    EXPECT_EQ(part->Height(), 60);
    for (std::uint32_t p : ReadPixels(static_cast<const GdiPicture&>(*part).Handle(), 80, 60))
        ASSERT_EQ(p, 0x00FF00u);

    EXPECT_FALSE(Quarters(10, 10).ScaledPart({0, 0, 10, 10}, 0, 5));
    EXPECT_FALSE(GdiPicture(nullptr).ScaledPart({0, 0, 10, 10}, 5, 5));
}

}  // namespace
}  // namespace puzzle
