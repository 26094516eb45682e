// Where things stand in the puzzle window. The game works in screen-design
// pixels, on a virtual screen of the display's full size; the window shows
// that screen scaled into its client area (1:1 in full screen, smaller in a
// preview). This is the arithmetic of that mapping and of the rectangles
// the window draws.
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
    // 1:1 until laid out.
    DesignMapping() = default;
    // Scale = client size / screen size in each direction; an empty screen
    // counts as one the size of the client.
    DesignMapping(Size screen, Size client);

    double ScaleX() const { return scaleX_; }
    double ScaleY() const { return scaleY_; }

    // Design to window: floor(v * scale + 0.5).
    int X(int v) const;
    int Y(int v) const;
    // Window to design: trunc(x / scale); 0 when the window has no size.
    int DesignX(int x) const;
    int DesignY(int y) const;

private:
    double scaleX_ = 1.0;
    double scaleY_ = 1.0;
};

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
// The black margins around the board: left, right, top, bottom. The left
// and right ones take the full height, the top and bottom ones the
// board's width.
std::array<WindowRect, 4> MarginRects(const DesignMapping& mapping, const BoardPlacement& board);

}  // namespace puzzle
