// Where the screen's corners are and whether the cursor is in one: the
// corner points of one screen or of several monitors, and the small
// triangle around each point that counts as the corner.
#pragma once

#include <array>
#include <span>

namespace hotcorners {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// Right and bottom are outside, as in the platform's rectangles.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Corners in the order top-left, top-right, bottom-right, bottom-left (the
// order of "Mouse Corners"); kNoCorner is none of them.
inline constexpr int kNoCorner = 4;
using CornerPoints = std::array<Point, 4>;

// (0, 0), (width, 0), (width, height), (0, height).
CornerPoints ScreenCorners(int width, int height);

// The outermost corners of the monitors: of all top-left corners the one
// furthest up and left (least x + y), of all top-right corners the one
// furthest up and right (greatest x - y), and so on. Every point is a
// monitor's own corner, so the cursor can always reach it, whatever the
// monitors' arrangement. No monitors give the corners of an empty screen.
CornerPoints MonitorCorners(std::span<const Rect> monitors);

// The corner the cursor is in: on the screen side of the corner's point
// and no further from it than `zone`, measured as |dx| + |dy|. Corners are
// tested top-left, top-right, bottom-left, bottom-right and the last hit
// wins (on a screen narrower than two zones the cursor can be in two).
int CornerAt(Point cursor, const CornerPoints& points, int zone);

}  // namespace hotcorners
