// What the game asks of the window it is played in. The game decides when
// something is drawn; what each drawing request draws is decided in the
// core too, by the painter (board_painter.h), which the window hands the
// requests to. Tests record the requests instead.
#pragma once

#include <cstdint>
#include <span>

#include "puzzle/core/services.h"

namespace puzzle {

struct Cell {
    int column = 0;
    int row = 0;

    friend bool operator==(const Cell&, const Cell&) = default;
};

// The game's two window timers, by their identifiers.
enum class GameTimer { Tick = 1, Repaint = 2 };

enum class CursorShape { Arrow, Hidden, Wait };

// How the help box is taken away: its cells drawn again, or filled black.
enum class HelpBoxErase { Restore, Black };

class GameView {
public:
    virtual ~GameView() = default;

    // ---- Drawing requests.
    // A block of cells, each with its tile, or in the highlight colour when
    // the bad tiles are shown and it is misplaced.
    virtual void DrawCells(int column, int row, int columns, int rows) = 0;
    // Light grey 100 ms after the start, white 200 ms after it; the cells
    // are drawn again by the game afterwards.
    virtual void FlashCells(std::span<const Cell> cells) = 0;
    virtual void FlashBoard() = 0;
    virtual void DrawSelectionFrame() = 0;
    virtual void DrawHelpBox() = 0;
    virtual void EraseHelpBox(HelpBoxErase how) = 0;
    virtual void RepaintNow() = 0;
    virtual void RequestRepaint() = 0;

    // ---- The window.
    // Takes the window's size and measures the help text with the help
    // font: the widest line, and the height of the wrapped text.
    virtual Size LayoutWindow() = 0;
    virtual void SetCursor(CursorShape shape) = 0;
    virtual void Beep() = 0;
    virtual bool IsShiftDown() = 0;
    // A preview (a window with a parent) never falls idle by itself.
    virtual bool IsPreview() = 0;
    virtual void StartTimer(GameTimer timer, std::uint32_t milliseconds) = 0;
    virtual void StopTimer(GameTimer timer) = 0;
    virtual void SetWallpaper() = 0;

    // ---- Modal windows, each run between SetDialogActive(true) and
    // SetDialogActive(false) (which tell the kit not to close the saver).
    virtual void SetDialogActive(bool active) = 0;
    // "How you're doing:" with the current picture, moves and play time.
    virtual void ShowProgressBox() = 0;
    virtual void ShowEndOfSetDialog() = 0;
    // The hint to play with own pictures, after the first completed pass.
    virtual void ShowRewardBox() = 0;
};

}  // namespace puzzle
