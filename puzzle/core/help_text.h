// The help box's texts, in one place: what it says on a board in play and
// on a solved board, and how its text is measured for the box's size.
#pragma once

#include <array>
#include <string_view>

#include "puzzle/core/canvas.h"

namespace puzzle {

inline constexpr std::string_view kPlayingHelpText =
    "Screensaver Redira\r\nLeft-click to move tiles\r\nRight-click to exit\r\nSHIFT to show bad "
    "tiles";
inline constexpr std::string_view kSolvedHelpText =
    "Screensaver Redira:\r\nLeft-click next image\r\nRight-click to exit\r\nCTRL to set wallpaper";

// Every line either text may show, measured one by one for the width.
inline constexpr std::array<std::string_view, 6> kHelpLines = {
    "Screensaver Redira:", "Left-click next image", "Left click to move tiles",
    "Right-click to exit", "CTRL to set wallpaper", "SHIFT to show bad tiles",
};

inline std::string_view HelpBoxText(bool solved) {
    return solved ? kSolvedHelpText : kPlayingHelpText;
}

// The help text's size: the widest of the lines on its own, and the height
// of the solved board's text wrapped at that width.
Size MeasureHelpText(Canvas& canvas);

}  // namespace puzzle
