#include "imagelib/win32/make_bitmap.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/win32/guards.h"

namespace imagelib {

static_assert(sizeof(BITMAPINFOHEADER) == kInfoHeaderSize);

namespace {

// Rows are handed to the bitmap a band at a time, so that the platform's
// conversion to the screen's format never holds a second whole picture.
constexpr std::int64_t kBandBytes = std::int64_t{1} << 21;

}  // namespace

HBITMAP MakeBitmap(const ImageRecord& record) {
    if (!record) return nullptr;
    win32::WindowDc screen;
    if (!screen) return nullptr;
    const auto* info = reinterpret_cast<const BITMAPINFO*>(record.Bytes());
    const BITMAPINFOHEADER& header = info->bmiHeader;
    const std::int64_t width = header.biWidth;
    const std::int64_t rows =
        header.biHeight < 0 ? -std::int64_t{header.biHeight} : header.biHeight;
    const std::int64_t stride = DibRowStride(width, header.biBitCount);
    const bool plain =
        header.biCompression == BI_RGB && width > 0 && rows > 0 && stride > 0 &&
        record.PixelOffset() + static_cast<std::size_t>(stride * rows) <= record.Size();
    if (!plain)  // what the platform makes of anything else, as it is
        return ::CreateDIBitmap(screen.Get(), &header, CBM_INIT, record.Pixels(), info,
                                DIB_RGB_COLORS);

    win32::UniqueBitmap bitmap(
        ::CreateCompatibleBitmap(screen.Get(), static_cast<int>(width), static_cast<int>(rows)));
    if (!bitmap) return nullptr;
    // The header and colour table once more, for rows from the bottom.
    std::vector<std::uint8_t> bandInfo(record.Bytes(), record.Bytes() + record.PixelOffset());
    auto* band = reinterpret_cast<BITMAPINFO*>(bandInfo.data());
    band->bmiHeader.biHeight = static_cast<LONG>(rows);
    band->bmiHeader.biSizeImage = 0;

    const std::int64_t bandRows = std::clamp<std::int64_t>(kBandBytes / stride, 1, rows);
    std::vector<std::uint8_t> bandRowsBottomUp(static_cast<std::size_t>(bandRows * stride));
    const std::uint8_t* pixels = record.Pixels();
    const bool topDown = header.biHeight < 0;
    for (std::int64_t top = 0; top < rows; top += bandRows) {
        const std::int64_t count = std::min(bandRows, rows - top);
        for (std::int64_t k = 0; k < count; ++k) {
            const std::int64_t row = top + count - 1 - k;  // the band's lowest row first
            const std::uint8_t* from = pixels + (topDown ? row : rows - 1 - row) * stride;
            std::memcpy(bandRowsBottomUp.data() + k * stride, from,
                        static_cast<std::size_t>(stride));
        }
        // Scan lines count from the bottom; the band's lowest is rows - top - count.
        if (::SetDIBits(screen.Get(), bitmap.Get(), static_cast<UINT>(rows - top - count),
                        static_cast<UINT>(count), bandRowsBottomUp.data(), band,
                        DIB_RGB_COLORS) != count)
            return nullptr;
    }
    return bitmap.Release();
}

}  // namespace imagelib
