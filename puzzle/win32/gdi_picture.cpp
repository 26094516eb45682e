#include "puzzle/win32/gdi_picture.h"

#include <algorithm>
#include <new>
#include <vector>

#include "puzzle/core/pixel_scaling.h"

namespace puzzle {
namespace {

// 32-bit pixels, rows from the bottom: how GetDIBits hands out bands.
BITMAPINFO PixelFormat(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// Rows fetched from the bitmap a band at a time, so that a large picture
// is never copied whole.
constexpr int kBandRows = 64;

}  // namespace

GdiPicture::GdiPicture(HBITMAP bitmap) : bitmap_(bitmap) {
    BITMAP info{};
    if (bitmap && ::GetObjectA(bitmap, sizeof info, &info) == sizeof info) {
        width_ = info.bmWidth;
        height_ = info.bmHeight;
    }
}

// Scales in the program rather than with GDI's halftone stretch, which
// takes a large share of the saver's start under some systems.
std::unique_ptr<Picture> GdiPicture::ScaledPart(const Rect& source, int width, int height) const {
    if (!bitmap_ || width <= 0 || height <= 0 || source.width <= 0 || source.height <= 0 ||
        source.x < 0 || source.y < 0 || source.x + source.width > width_ ||
        source.y + source.height > height_)
        return nullptr;
    win32::WindowDc screen;
    if (!screen) return nullptr;

    // Out of memory the picture counts as one that could not be cut, and
    // the board goes on to the next choice.
    try {
        return ScaledPartOnScreen(screen.Get(), source, width, height);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::unique_ptr<Picture> GdiPicture::ScaledPartOnScreen(HDC screen, const Rect& source, int width,
                                                        int height) const {
    BITMAPINFO bands = PixelFormat(width_, height_);
    std::vector<Pixel> band(static_cast<std::size_t>(width_) * kBandRows);
    int bandTop = 0;
    int bandRows = 0;
    bool failed = false;
    const SourceRow row = [&](int y) -> const Pixel* {
        if (y >= bandTop + bandRows) {
            bandTop = y;
            bandRows = std::min(kBandRows, height_ - y);
            // Scan lines count from the bottom; the band arrives bottom row first.
            if (::GetDIBits(screen, bitmap_.Get(), static_cast<UINT>(height_ - y - bandRows),
                            static_cast<UINT>(bandRows), band.data(), &bands,
                            DIB_RGB_COLORS) != bandRows)
                failed = true;
        }
        return band.data() + static_cast<std::size_t>(bandRows - 1 - (y - bandTop)) * width_;
    };
    const std::vector<Pixel> pixels = ScalePixels(row, source, width, height);
    if (failed || pixels.empty()) return nullptr;

    win32::UniqueBitmap scaled(::CreateCompatibleBitmap(screen, width, height));
    if (!scaled) return nullptr;
    BITMAPINFO topDown = PixelFormat(width, -height);
    if (::SetDIBits(screen, scaled.Get(), 0, static_cast<UINT>(height), pixels.data(), &topDown,
                    DIB_RGB_COLORS) != height)
        return nullptr;
    return std::make_unique<GdiPicture>(scaled.Release());
}

}  // namespace puzzle
