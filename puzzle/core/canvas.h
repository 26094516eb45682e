// The drawing primitives the puzzle window offers the core. The core
// decides what is drawn and where (board_painter.h); the window carries
// out these few primitives on an off-screen copy of its client area and
// copies that copy to the screen. Rectangles are in window pixels.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "puzzle/core/picture.h"
#include "puzzle/core/window_geometry.h"

namespace puzzle {

enum class Colour {
    Black,
    White,
    LightGrey,
    Highlight,  // the system's highlight colour: misplaced tiles while SHIFT is held
    HelpBox,    // the system's active border colour: the help box
    HelpText,   // the system's caption text colour
};

// One tile: a square of the board picture stretched onto a rectangle.
struct TileCopy {
    Rect square;
    WindowRect target;

    friend bool operator==(const TileCopy&, const TileCopy&) = default;
};

class Canvas {
public:
    virtual ~Canvas() = default;

    // Stretches each square of `picture` onto its rectangle (colour on
    // colour: no blending, so tiles stay sharp when scaled down).
    virtual void CopyTiles(const Picture& picture, std::span<const TileCopy> copies) = 0;
    virtual void Fill(const WindowRect& area, Colour colour) = 0;
    // A closed one-pixel outline along the inside edge of `area`.
    virtual void Outline(const WindowRect& area, Colour colour) = 0;
    // Text in the help font, wrapped at the width of `area`, each line
    // centred across it, the first line at its top.
    virtual void Text(const WindowRect& area, std::string_view text, Colour ink, Colour paper) = 0;
    // The size `text` takes in the help font: on one line when `wrapWidth`
    // is 0, else wrapped at that width.
    virtual Size MeasureText(std::string_view text, int wrapWidth) = 0;
    // Puts `area` of the off-screen copy on the screen at once.
    virtual void Show(const WindowRect& area) = 0;
    // Flashes are timed: StartFlash notes the tick count, WaitForFlash
    // waits (yielding the processor) until `elapsedMs` after it.
    virtual void StartFlash() = 0;
    virtual void WaitForFlash(std::uint32_t elapsedMs) = 0;
};

}  // namespace puzzle
