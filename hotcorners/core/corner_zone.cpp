#include "hotcorners/core/corner_zone.h"

#include <cstdlib>

namespace hotcorners {
namespace {

// Which way the screen lies from each corner point: +1 right or down.
constexpr std::array<Point, 4> kInward = {{{1, 1}, {-1, 1}, {-1, -1}, {1, -1}}};

}  // namespace

CornerPoints ScreenCorners(int width, int height) {
    return {{{0, 0}, {width, 0}, {width, height}, {0, height}}};
}

CornerPoints MonitorCorners(std::span<const Rect> monitors) {
    if (monitors.empty()) return ScreenCorners(0, 0);
    // A point is further out the smaller its sum along the inward direction.
    const auto outward = [](Point p, int corner) {
        return -(p.x * kInward[corner].x + p.y * kInward[corner].y);
    };
    CornerPoints points{};
    for (int corner = 0; corner < 4; ++corner) {
        bool first = true;
        for (const Rect& m : monitors) {
            const CornerPoints own = {
                {{m.left, m.top}, {m.right, m.top}, {m.right, m.bottom}, {m.left, m.bottom}}};
            if (first || outward(own[corner], corner) > outward(points[corner], corner))
                points[corner] = own[corner];
            first = false;
        }
    }
    return points;
}

int CornerAt(Point cursor, const CornerPoints& points, int zone) {
    int hit = kNoCorner;
    for (const int corner : {0, 1, 3, 2}) {
        const int dx = cursor.x - points[corner].x;
        const int dy = cursor.y - points[corner].y;
        const bool inside = dx * kInward[corner].x >= 0 && dy * kInward[corner].y >= 0;
        if (inside && std::abs(dx) + std::abs(dy) <= zone) hit = corner;
    }
    return hit;
}

}  // namespace hotcorners
