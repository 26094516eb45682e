#include "puzzle/core/window_geometry.h"

#include <gtest/gtest.h>

namespace puzzle {
namespace {

// A 1024 x 768 screen with a board of 12 x 10 tiles of 75 pixels.
const BoardPlacement kBoard{{1024, 768}, 62, 9, 75, 12, 10};

TEST(WindowGeometry, TheFullScreenWindowShowsTheBoardOneToOneOnThePrimaryMonitor) {
    // The window covers the virtual screen, which starts left of or above
    // the primary monitor; the primary's top-left corner is the screen's
    // (0, 0). The board stands on it as on a single monitor.
    const struct {
        const char* layout;
        int clientLeft, clientTop;  // the window's client area on the screen
        WindowRect primary;         // the primary monitor in the window
    } cases[] = {
        {"alone", 0, 0, {0, 0, 1024, 768}},
        {"800 x 600 left of it", -800, 0, {800, 0, 1824, 768}},
        {"800 x 600 above it", 0, -600, {0, 600, 1024, 1368}},
        {"left and above", -1280, -132, {1280, 132, 2304, 900}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layout);
        const DesignMapping mapping = OnPrimaryMonitor({1024, 768}, c.clientLeft, c.clientTop);
        const int x = c.primary.left, y = c.primary.top;
        EXPECT_EQ(mapping.ScreenArea(), c.primary);
        EXPECT_EQ(CellRect(mapping, kBoard, {0, 0}), (WindowRect{x + 62, y + 9, x + 137, y + 84}));
        EXPECT_EQ(CellRect(mapping, kBoard, {11, 9}),
                  (WindowRect{x + 887, y + 684, x + 962, y + 759}));
        EXPECT_EQ(TileBlockRect(mapping, kBoard, {2, 1}, {3, 2}),
                  (WindowRect{x + 212, y + 84, x + 437, y + 234}));
        // The margins end at the primary monitor's edges.
        EXPECT_EQ(MarginRects(mapping, kBoard),
                  (std::array<WindowRect, 4>{{{x, y, x + 62, y + 768},
                                              {x + 962, y, x + 1024, y + 768},
                                              {x + 62, y, x + 962, y + 9},
                                              {x + 62, y + 759, x + 962, y + 768}}}));
        // A click maps back to the same design point; one on the other
        // monitors lies beyond the design screen.
        EXPECT_EQ(mapping.DesignX(x + 900), 900);
        EXPECT_EQ(mapping.DesignY(y + 700), 700);
        if (x > 0) EXPECT_LT(mapping.DesignX(x - 1), 0);
        if (y > 0) EXPECT_LT(mapping.DesignY(y - 1), 0);
    }
}

TEST(WindowGeometry, APreviewTilesTheBoardWithoutGaps) {
    const DesignMapping mapping({1024, 768}, {152, 112});
    // Neighbouring cells share their edges however the scale rounds.
    for (int column = 0; column + 1 < kBoard.columns; ++column) {
        const WindowRect a = CellRect(mapping, kBoard, {column, 0});
        const WindowRect b = CellRect(mapping, kBoard, {column + 1, 0});
        EXPECT_EQ(a.right, b.left);
        EXPECT_GE(a.Width(), 10);
        EXPECT_LE(a.Width(), 12);
    }
    const WindowRect board = BoardRect(mapping, kBoard);
    EXPECT_EQ(board, (WindowRect{9, 1, 143, 111}));  // 62 * 152 / 1024 = 9.2, ...
    const auto margins = MarginRects(mapping, kBoard);
    EXPECT_EQ(margins[1].right, 152);
    EXPECT_EQ(margins[3].bottom, 112);
    // Back from the window: truncated.
    EXPECT_EQ(mapping.DesignX(76), 512);
    EXPECT_EQ(mapping.DesignY(56), 384);
    EXPECT_EQ(mapping.DesignX(1), 6);
}

}  // namespace
}  // namespace puzzle
