// What the puzzle window shows, decided in the core: the game's drawing
// requests (game_view.h) turned into the canvas's primitives. The painter
// reads the game's state (board, selection, bad tiles, help box) and the
// design-to-window mapping; it keeps nothing else.
//
// Rules: a misplaced cell shows the highlight colour while the bad tiles
// are shown, otherwise its tile (black when the board has no picture); the
// selection frame is three nested outlines, white, black, white, inside
// the selected cell, and is left out while the bad tiles are shown; the
// help box is filled in the help box colour, holds the help text moved
// down by the game's text offset and has a black outline; what lies
// around the board is black. Each request but PaintAll shows what it
// changed at once (a flash must be seen while it blocks).
#pragma once

#include <cstdint>
#include <span>

#include "puzzle/core/canvas.h"
#include "puzzle/core/game.h"
#include "puzzle/core/window_geometry.h"

namespace puzzle {

// Light grey this long after the start of a flash, white this long after.
inline constexpr std::uint32_t kFlashGreyMs = 100;
inline constexpr std::uint32_t kFlashWhiteMs = 200;

class BoardPainter {
public:
    // The game and the canvas must outlive the painter.
    BoardPainter(const PuzzleGame& game, Canvas& canvas) : game_(game), canvas_(canvas) {}

    // Set by the window's layout.
    void SetMapping(const DesignMapping& mapping) { mapping_ = mapping; }
    const DesignMapping& Mapping() const { return mapping_; }

    // Everything, into the off-screen copy only: the caller shows it.
    void PaintAll();
    // A block of cells; the part outside the board is left alone.
    void DrawCells(int column, int row, int columns, int rows);
    void DrawSelectionFrame();
    void DrawHelpBox();
    void EraseHelpBox(HelpBoxErase how);
    // The first two cells at most.
    void FlashCells(std::span<const Cell> cells);
    void FlashBoard();

private:
    BoardPlacement Placement() const;
    void CellsTo(int column, int row, int columns, int rows);
    void SelectionFrameTo();
    void HelpBoxTo();
    void Flash(std::span<const WindowRect> areas);

    const PuzzleGame& game_;
    Canvas& canvas_;
    DesignMapping mapping_;
};

}  // namespace puzzle
