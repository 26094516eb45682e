#include "kit/core/monitor_rules.h"

#include <gtest/gtest.h>

namespace kit {
namespace {

using enum CornerState;

TEST(MonitorStyle, CornersReadFromTheirTwoBits) {
    // clang-format off
    const struct { std::uint32_t style; CornerActions corners; } cases[] = {
        {MS_CORNERS | MS_CTOPRIGHTNOW | MS_CBOTLEFTNEV, {Default, Now, Default, Never}},
        {0x30, {Default, Default, Default, Default}},  // both bits
        {0xFFFFFFFF, {Default, Default, Default, Default}},
        {0x50000000 | MS_CTOPLEFTNEV | MS_CBOTRIGHTNOW | 0x3, {Never, Default, Now, Default}},
    };
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(CornersFromStyle(c.style), c.corners) << std::hex << c.style;
}

TEST(MonitorStyle, WritingCornersRebuildsTheirBitsOnly) {
    // clang-format off
    const struct { std::uint32_t style; CornerActions corners; std::uint32_t written; } cases[] = {
        {0x52, {Never, Now, Default, Default}, 0x62},  // top-left Now -> Never
        {0x50000FF3, {Default, Default, Default, Default}, 0x50000003},
        {0xFFFFFFFF, {Now, Never, Now, Never}, 0xFFFFF99F},
        {MS_PREVIEW, {Default, Default, Default, Never}, MS_PREVIEW | MS_CBOTLEFTNEV},
    };
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(StyleWithCorners(c.style, c.corners), c.written) << std::hex << c.style;
        EXPECT_EQ(CornersFromStyle(c.written), c.corners) << std::hex << c.style;
    }
}

TEST(CornerCommand, TheTwelveMenuRowsAndNothingElse) {
    for (int corner = 0; corner < 4; ++corner) {
        for (CornerState action : {Default, Now, Never}) {
            const CornerChoice choice{static_cast<Corner>(corner), action};
            const std::uint32_t id = CornerCommandId(choice);
            const auto decoded = DecodeCornerCommand(id);
            ASSERT_TRUE(decoded) << std::hex << id;
            EXPECT_EQ(decoded->corner, choice.corner);
            EXPECT_EQ(decoded->action, choice.action);
        }
    }
    for (std::uint32_t id :
         {0x1403u, 0x1003u, 0x1400u, 0x1F02u, 0x10FFu, 0x0001u, 0x2000u, 0x11000u, 0u, 0xFFFFu})
        EXPECT_FALSE(DecodeCornerCommand(id)) << std::hex << id;
}

TEST(AnchorPoints, EightNumbersAsTheScanFormatReadsThem) {
    using Points = std::array<Point, 4>;
    const Points kit{{{16, 17}, {169, 17}, {169, 130}, {16, 130}}};
    // clang-format off
    const struct { const char* text; std::optional<Points> points; } cases[] = {
        {"16 17  169 17  169 130  16 130", kit},
        {"16 17 169 17 169 130 16 130 and more", kit},
        {"0x10\t021\n169 17  +169 130  16 130", kit},  // hexadecimal, octal, any white space
        {"-1 -2  3 4  5 6  7 8", Points{{{-1, -2}, {3, 4}, {5, 6}, {7, 8}}}},
        {"1-2  3 4  5 6  7 8", Points{{{1, -2}, {3, 4}, {5, 6}, {7, 8}}}},
        {"16 17  169 17  169 130  16", std::nullopt},
        {"16,17  169,17  169,130  16,130", std::nullopt},
        {"", std::nullopt},
    };
    // clang-format on
    for (const auto& c : cases) EXPECT_EQ(ParseAnchorPoints(c.text), c.points) << c.text;
}

TEST(MonitorLayout, CornerPicturesSitInsideTheScreenFlushWithItsCorners) {
    const MonitorLayout layout =
        LayoutFromAnchors(ParseAnchorPoints("16 17  169 17  169 130  16 130"), {20, 15});
    EXPECT_EQ(layout.corners[TopLeft], (Rect{16, 17, 36, 32}));
    EXPECT_EQ(layout.corners[TopRight], (Rect{149, 17, 169, 32}));
    EXPECT_EQ(layout.corners[BottomRight], (Rect{149, 115, 169, 130}));
    EXPECT_EQ(layout.corners[BottomLeft], (Rect{16, 115, 36, 130}));
    EXPECT_EQ(layout.screen, (Rect{16, 17, 169, 130}));

    const MonitorLayout missing = LayoutFromAnchors(std::nullopt, {20, 15});
    for (const Rect& corner : missing.corners) EXPECT_EQ(corner, Rect{});
    EXPECT_EQ(missing.screen, Rect{});
    EXPECT_FALSE(CornerAt(missing, {0, 0}));
}

TEST(MonitorLayout, AClickFindsTheLastCornerHoldingThePoint) {
    const MonitorLayout layout =
        LayoutFromAnchors(ParseAnchorPoints("16 17  169 17  169 130  16 130"), {20, 15});
    // clang-format off
    const struct { Point point; std::optional<Corner> corner; } cases[] = {
        {{16, 17}, TopLeft},     {{35, 31}, TopLeft},      {{36, 17}, std::nullopt},
        {{16, 32}, std::nullopt}, {{168, 17}, TopRight},   {{169, 17}, std::nullopt},
        {{168, 129}, BottomRight}, {{16, 129}, BottomLeft}, {{90, 70}, std::nullopt},
    };
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(CornerAt(layout, c.point), c.corner) << c.point.x << ',' << c.point.y;

    // Corner pictures wider than half the screen overlap: the later corner wins.
    const MonitorLayout wide =
        LayoutFromAnchors(ParseAnchorPoints("0 0  100 0  100 50  0 50"), {60, 30});
    EXPECT_EQ(CornerAt(wide, {50, 10}), TopRight);
    EXPECT_EQ(CornerAt(wide, {50, 40}), BottomLeft);
}

TEST(MonitorPlacement, CentredWithIntegerHalving) {
    EXPECT_EQ(ControlSizeOfBitmap({371, 170}), (Size{185, 170}));
    // clang-format off
    const struct { Rect window; Size size; Point origin; } cases[] = {
        {{20, 30, 215, 210}, {185, 170}, {25, 35}},  // 10 larger each way
        {{20, 30, 216, 211}, {185, 170}, {26, 35}},  // 11 larger: the halves round down
        {{20, 30, 205, 200}, {185, 170}, {20, 30}},  // already the size
        {{-40, -30, -20, -10}, {5, 4}, {-32, -22}},
    };
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(CentredOrigin(CentreOf(c.window), c.size), c.origin) << c.window.left;
}

}  // namespace
}  // namespace kit
