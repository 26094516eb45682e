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

DesignMapping::DesignMapping(Size screen, Size client)
    : scaleX_(Scale(client.width, screen.width)), scaleY_(Scale(client.height, screen.height)) {}

int DesignMapping::X(int v) const { return ToInt(std::floor(v * scaleX_ + 0.5)); }
int DesignMapping::Y(int v) const { return ToInt(std::floor(v * scaleY_ + 0.5)); }
int DesignMapping::DesignX(int x) const { return scaleX_ > 0 ? ToInt(x / scaleX_) : 0; }
int DesignMapping::DesignY(int y) const { return scaleY_ > 0 ? ToInt(y / scaleY_) : 0; }

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
    const int screenRight = mapping.X(board.screen.width);
    const int screenBottom = mapping.Y(board.screen.height);
    return {{
        {0, 0, inner.left, screenBottom},
        {inner.right, 0, screenRight, screenBottom},
        {inner.left, 0, inner.right, inner.top},
        {inner.left, inner.bottom, inner.right, screenBottom},
    }};
}

}  // namespace puzzle
