// The canvas of a puzzle window: an off-screen bitmap of the area of the
// client area that shows the design screen (the whole client area in a
// preview, the primary monitor in full screen), drawn with GDI in window
// coordinates, and the help font. What lies beyond that area is shown
// black. The core's painter (board_painter.h) decides what goes on it.
#pragma once

#include <windows.h>

#include <memory>

#include "common/win32/guards.h"
#include "puzzle/core/canvas.h"

namespace puzzle {

class GdiCanvas final : public Canvas {
public:
    explicit GdiCanvas(HWND window);
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    enum class Buffer { Missing, Kept, New };
    // Makes the off-screen copy again when the design screen's area of the
    // window changed (a new copy is black); Missing when it cannot be made.
    Buffer Prepare(const WindowRect& screenArea);
    // Copies `area` (window coordinates) of the off-screen copy to `dc`,
    // black where it lies beyond the copy.
    void Present(HDC dc, const RECT& area) const;

    void CopyTiles(const Picture& picture, std::span<const TileCopy> copies) override;
    void Fill(const WindowRect& area, Colour colour) override;
    void Outline(const WindowRect& area, Colour colour) override;
    void Text(const WindowRect& area, std::string_view text, Colour ink, Colour paper) override;
    Size MeasureText(std::string_view text, int wrapWidth) override;
    void Show(const WindowRect& area) override;
    void StartFlash() override;
    void WaitForFlash(std::uint32_t elapsedMs) override;

private:
    HWND window_;
    win32::UniqueFont helpFont_;  // measures the help text and draws it
    win32::UniqueMemoryDc bufferDc_;
    win32::UniqueBitmap buffer_;
    std::unique_ptr<win32::Selection> bufferSelection_;  // goes before the bitmap
    WindowRect bufferArea_;  // where the off-screen copy lies in the window
    DWORD flashStart_ = 0;
};

}  // namespace puzzle
