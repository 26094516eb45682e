#include "puzzle/core/window_geometry.h"

#include <climits>
#include <cmath>

namespace puzzle {

namespace {

// Values beyond int's range (a window far larger than the screen) are
// held at its ends.
int ToInt(double value) {
    if (!(value > INT_MIN)) return INT_MIN;
    if (!(value < INT_MAX)) return INT_MAX;
    return static_cast<int>(value);
}

double Scale(int client, int screen) {
    if (screen <= 0) return 1.0;
    return client > 0 ? static_cast<double>(client) / screen : 0.0;
}

}  // namespace

DesignMapping::DesignMapping(Size screen, Size area, int areaLeft, int areaTop)
    : area_{areaLeft, areaTop, areaLeft + area.width, areaTop + area.height},
      scaleX_(Scale(area.width, screen.width)),
      scaleY_(Scale(area.height, screen.height)) {}

int DesignMapping::X(int v) const { return ToInt(area_.left + std::floor(v * scaleX_ + 0.5)); }
int DesignMapping::Y(int v) const { return ToInt(area_.top + std::floor(v * scaleY_ + 0.5)); }

int DesignMapping::DesignX(int x) const {
    return scaleX_ > 0 ? ToInt((static_cast<double>(x) - area_.left) / scaleX_) : 0;
}

int DesignMapping::DesignY(int y) const {
    return scaleY_ > 0 ? ToInt((static_cast<double>(y) - area_.top) / scaleY_) : 0;
}

DesignMapping OnPrimaryMonitor(Size screen, int clientLeft, int clientTop) {
    // In the client, the primary monitor starts where the screen's (0, 0)
    // is. (Screen coordinates stay far inside int's range.)
    return DesignMapping(screen, screen, -clientLeft, -clientTop);
}

WindowRect MapSpan(const DesignMapping& mapping, int x, int y, int width, int height) {
    return {mapping.X(x), mapping.Y(y), mapping.X(x + width), mapping.Y(y + height)};
}

WindowRect CellRect(const DesignMapping& mapping, const BoardPlacement& board, Cell cell) {
    return TileBlockRect(mapping, board, cell, {1, 1});
}

WindowRect TileBlockRect(const DesignMapping& mapping, const BoardPlacement& board, Cell cell,
                         Size tiles) {
    const int tile = board.tileSize;
    return MapSpan(mapping, cell.column * tile + board.left, cell.row * tile + board.top,
                   tiles.width * tile, tiles.height * tile);
}

WindowRect BoardRect(const DesignMapping& mapping, const BoardPlacement& board) {
    return TileBlockRect(mapping, board, {0, 0}, {board.columns, board.rows});
}

std::array<WindowRect, 4> MarginRects(const DesignMapping& mapping, const BoardPlacement& board) {
    const WindowRect inner = BoardRect(mapping, board);
    const int screenLeft = mapping.X(0), screenTop = mapping.Y(0);
    const int screenRight = mapping.X(board.screen.width);
    const int screenBottom = mapping.Y(board.screen.height);
    return {{
        {screenLeft, screenTop, inner.left, screenBottom},
        {inner.right, screenTop, screenRight, screenBottom},
        {inner.left, screenTop, inner.right, inner.top},
        {inner.left, inner.bottom, inner.right, screenBottom},
    }};
}

}  // namespace puzzle
