#include "imagelib/win32/make_bitmap.h"

#include "common/win32/guards.h"

namespace imagelib {

static_assert(sizeof(BITMAPINFOHEADER) == kInfoHeaderSize);

HBITMAP MakeBitmap(const ImageRecord& record) {
    if (!record) return nullptr;
    win32::WindowDc screen;
    if (!screen) return nullptr;
    const auto* info = reinterpret_cast<const BITMAPINFO*>(record.Bytes());
    return ::CreateDIBitmap(screen.Get(), &info->bmiHeader, CBM_INIT, record.Pixels(), info,
                            DIB_RGB_COLORS);
}

}  // namespace imagelib
