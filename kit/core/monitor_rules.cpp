#include "kit/core/monitor_rules.h"

#include "common/core/number_text.h"

namespace kit {
namespace {

constexpr std::uint32_t kCommandBase = 0x1000;

// A corner's two bits: Now is the lower, Never the upper.
constexpr std::uint32_t NowBit(int corner) { return 0x10u << (2 * corner); }
constexpr std::uint32_t NeverBit(int corner) { return 0x20u << (2 * corner); }

}  // namespace

CornerActions CornersFromStyle(std::uint32_t style) {
    CornerActions corners{};
    for (int corner = 0; corner < 4; ++corner) {
        const bool now = (style & NowBit(corner)) != 0;
        const bool never = (style & NeverBit(corner)) != 0;
        corners[corner] = now == never ? CornerState::Default
                          : now        ? CornerState::Now
                                       : CornerState::Never;
    }
    return corners;
}

std::uint32_t StyleWithCorners(std::uint32_t style, const CornerActions& corners) {
    style &= ~kMonitorCornerMask;
    for (int corner = 0; corner < 4; ++corner) {
        if (corners[corner] == CornerState::Now) style |= NowBit(corner);
        if (corners[corner] == CornerState::Never) style |= NeverBit(corner);
    }
    return style;
}

std::uint32_t CornerCommandId(CornerChoice choice) {
    return kCommandBase + static_cast<std::uint32_t>(choice.corner) * 0x100 +
           static_cast<std::uint32_t>(choice.action);
}

std::optional<CornerChoice> DecodeCornerCommand(std::uint32_t id) {
    // Only the menus' own ids: another command that reached the control
    // (an accelerator, a forwarded notification) must not move a corner.
    if ((id & ~0xFFFu) != kCommandBase) return std::nullopt;
    const std::uint32_t corner = (id >> 8) & 0xF;
    const std::uint32_t action = id & 0xFF;
    if (corner > 3 || action > 2) return std::nullopt;
    return CornerChoice{static_cast<Corner>(corner), static_cast<CornerState>(action)};
}

std::optional<std::array<Point, 4>> ParseAnchorPoints(std::string_view text) {
    std::array<Point, 4> points{};
    for (Point& point : points) {
        for (int* coordinate : {&point.x, &point.y}) {
            const auto scanned = common::ScanInteger(text, common::Overflow::Wrap);
            if (!scanned) return std::nullopt;
            *coordinate = static_cast<std::int32_t>(scanned->value);
            text.remove_prefix(scanned->length);
        }
    }
    return points;
}

MonitorLayout LayoutFromAnchors(const std::optional<std::array<Point, 4>>& anchors,
                                Size cornerSize) {
    MonitorLayout layout;
    if (!anchors) return layout;
    const auto& [p0, p1, p2, p3] = *anchors;
    const int w = cornerSize.width;
    const int h = cornerSize.height;
    layout.corners[TopLeft] = {p0.x, p0.y, p0.x + w, p0.y + h};
    layout.corners[TopRight] = {p1.x - w, p1.y, p1.x, p1.y + h};
    layout.corners[BottomRight] = {p2.x - w, p2.y - h, p2.x, p2.y};
    layout.corners[BottomLeft] = {p3.x, p3.y - h, p3.x + w, p3.y};
    layout.screen = {p0.x, p0.y, p2.x, p2.y};
    return layout;
}

std::optional<Corner> CornerAt(const MonitorLayout& layout, Point point) {
    std::optional<Corner> hit;
    for (int corner = 0; corner < 4; ++corner)
        if (layout.corners[corner].Contains(point)) hit = static_cast<Corner>(corner);
    return hit;
}

}  // namespace kit
