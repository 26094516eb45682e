// The monitor control's rules, apart from any window: what the style bits
// say about the corners, the ids of the corner menus' rows, where the
// corners and the screen lie on the picture, and where a control lands
// when it takes the picture's size.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "kit/core/geometry.h"
#include "kit/core/monitor_styles.h"
#include "kit/core/prefs.h"

namespace kit {

inline constexpr std::uint32_t kMonitorKindMask = 0x3;
inline constexpr std::uint32_t kMonitorCornerMask = 0x0FF0;

using CornerActions = std::array<CornerState, 4>;  // top-left, top-right, bottom-right, bottom-left

// The kind bits (MS_NOTHING, MS_PREVIEW, MS_CORNERS; 3 is none of them).
inline std::uint32_t MonitorKind(std::uint32_t style) { return style & kMonitorKindMask; }

CornerActions CornersFromStyle(std::uint32_t style);
// The style with bits 0x0FF0 rebuilt from the actions; every other bit kept.
std::uint32_t StyleWithCorners(std::uint32_t style, const CornerActions& corners);

// The corner menus' rows: 0x1000 + corner * 0x100 + action.
struct CornerChoice {
    Corner corner;
    CornerState action;
};
std::uint32_t CornerCommandId(CornerChoice choice);
// Only the twelve ids above are choices; any other command is none.
std::optional<CornerChoice> DecodeCornerCommand(std::uint32_t id);

// The four corners of the picture's screen area, clockwise from top-left,
// read with "%i %i  %i %i  %i %i  %i %i" (white space between the numbers
// is optional, as in that format). Fewer than eight numbers: none.
std::optional<std::array<Point, 4>> ParseAnchorPoints(std::string_view text);

// Where the corner pictures and the screen lie on the control.
struct MonitorLayout {
    std::array<Rect, 4> corners{};  // each corner picture, flush with its corner
    Rect screen{};                  // the picture's screen area
};
// Without anchor points every rectangle is empty.
MonitorLayout LayoutFromAnchors(const std::optional<std::array<Point, 4>>& anchors,
                                Size cornerSize);
// The corner whose rectangle holds the point; where rectangles overlap,
// the last of them in corner order.
std::optional<Corner> CornerAt(const MonitorLayout& layout, Point point);

// The control's size: the left half of the monitor bitmap (picture beside
// its mask).
inline Size ControlSizeOfBitmap(Size bitmap) { return {bitmap.width / 2, bitmap.height}; }
// The top-left corner of a control of `size` centred on `centre`.
inline Point CentredOrigin(Point centre, Size size) {
    return {centre.x - size.width / 2, centre.y - size.height / 2};
}
inline Point CentreOf(const Rect& r) {
    return {r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2};
}

}  // namespace kit
