// Where things stand in the puzzle window. The game works in screen-design
// pixels, on a design screen of the primary monitor's size; the window
// shows that screen in an area of its client area: a preview scaled into
// the whole of it, the full-screen window, which covers every monitor, 1:1
// on the primary monitor (everything else there is black). This is the
// arithmetic of that mapping and of the rectangles the window draws.
#pragma once

#include <array>

#include "puzzle/core/game_view.h"
#include "puzzle/core/services.h"

namespace puzzle {

// A rectangle in window pixels, right and bottom exclusive.
struct WindowRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

class DesignMapping {
public:
    // 1:1 from the window's origin, over no area, until laid out.
    DesignMapping() = default;
    // The design screen shown in an area of the window, `area` in size from
    // (areaLeft, areaTop) (a preview: its whole client area): scale = area
    // size / screen size in each direction; an empty screen counts as one
    // the size of the area.
    DesignMapping(Size screen, Size area, int areaLeft = 0, int areaTop = 0);

    double ScaleX() const { return scaleX_; }
    double ScaleY() const { return scaleY_; }
    // Where the design screen lies in the window.
    const WindowRect& ScreenArea() const { return area_; }

    // Design to window: area origin + floor(v * scale + 0.5).
    int X(int v) const;
    int Y(int v) const;
    // Window to design: trunc((x - area origin) / scale); 0 when the area
    // has no size. Points beyond the area map beyond the design screen.
    int DesignX(int x) const;
    int DesignY(int y) const;

private:
    WindowRect area_;
    double scaleX_ = 1.0;
    double scaleY_ = 1.0;
};

// The full-screen window covers every monitor and shows the design screen
// 1:1 on the primary monitor, whose top-left corner is the screen's point
// (0, 0). `clientLeft` and `clientTop` are where the window's client area
// starts on the screen: negative when monitors lie left of or above the
// primary one.
DesignMapping OnPrimaryMonitor(Size screen, int clientLeft, int clientTop);

// The board on the design screen, as the game has laid it out.
struct BoardPlacement {
    Size screen;
    int left = 0;  // board offsets on the design screen
    int top = 0;
    int tileSize = 1;
    int columns = 1;
    int rows = 1;
};

// A design span from (x, y), `width` x `height`, in window pixels: it starts
// at X(x), Y(y) and ends at X(x + width), Y(y + height), so that spans
// that meet in design pixels meet in the window too.
WindowRect MapSpan(const DesignMapping& mapping, int x, int y, int width, int height);

// The window rectangle of cell (column, row).
WindowRect CellRect(const DesignMapping& mapping, const BoardPlacement& board, Cell cell);
// A block of whole tiles from `cell`, `tiles` wide and high: the help box.
WindowRect TileBlockRect(const DesignMapping& mapping, const BoardPlacement& board, Cell cell,
                         Size tiles);
// The whole board: every column and row.
WindowRect BoardRect(const DesignMapping& mapping, const BoardPlacement& board);
// The black margins around the board on the design screen: left, right,
// top, bottom. The left and right ones take the screen's full height, the
// top and bottom ones the board's width.
std::array<WindowRect, 4> MarginRects(const DesignMapping& mapping, const BoardPlacement& board);

}  // namespace puzzle
