// A puzzle picture held as a GDI bitmap compatible with the screen.
#pragma once

#include <windows.h>

#include <memory>

#include "common/win32/guards.h"
#include "puzzle/core/picture.h"

namespace puzzle {

class GdiPicture : public Picture {
public:
    // Takes over the bitmap.
    explicit GdiPicture(HBITMAP bitmap);

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // Scales (averaging when shrinking, blending when growing) into a new
    // screen-compatible bitmap; null for a part outside the picture, or
    // without the memory for it.
    std::unique_ptr<Picture> ScaledPart(const Rect& source, int width, int height) const override;

    HBITMAP Handle() const { return bitmap_.Get(); }

private:
    std::unique_ptr<Picture> ScaledPartOnScreen(HDC screen, const Rect& source, int width,
                                                int height) const;

    win32::UniqueBitmap bitmap_;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace puzzle
