#include "puzzle/win32/gdi_picture.h"

namespace puzzle {

GdiPicture::GdiPicture(HBITMAP bitmap) : bitmap_(bitmap) {
    BITMAP info{};
    if (bitmap && ::GetObjectA(bitmap, sizeof info, &info) == sizeof info) {
        width_ = info.bmWidth;
        height_ = info.bmHeight;
    }
}

std::unique_ptr<Picture> GdiPicture::ScaledPart(const Rect& source, int width,
                                                int height) const {
    if (!bitmap_ || width <= 0 || height <= 0) return nullptr;
    win32::WindowDc screen;
    if (!screen) return nullptr;
    win32::UniqueBitmap scaled(::CreateCompatibleBitmap(screen.Get(), width, height));
    win32::UniqueMemoryDc from(::CreateCompatibleDC(screen.Get()));
    win32::UniqueMemoryDc to(::CreateCompatibleDC(screen.Get()));
    if (!scaled || !from || !to) return nullptr;
    {
        win32::Selection fromSelection(from.Get(), bitmap_.Get());
        win32::Selection toSelection(to.Get(), scaled.Get());
        ::SetStretchBltMode(to.Get(), HALFTONE);
        ::SetBrushOrgEx(to.Get(), 0, 0, nullptr);
        if (!::StretchBlt(to.Get(), 0, 0, width, height, from.Get(), source.x, source.y,
                          source.width, source.height, SRCCOPY))
            return nullptr;
    }
    return std::make_unique<GdiPicture>(scaled.Release());
}

}  // namespace puzzle
