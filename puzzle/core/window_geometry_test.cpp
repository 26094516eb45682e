#include "puzzle/core/window_geometry.h"

#include <gtest/gtest.h>

namespace puzzle {
namespace {

// A 1024 x 768 screen with a board of 12 x 10 tiles of 75 pixels.
const BoardPlacement kBoard{{1024, 768}, 62, 9, 75, 12, 10};

TEST(WindowGeometry, FullScreenIsOneToOne) {
    const DesignMapping mapping({1024, 768}, {1024, 768});
    EXPECT_EQ(CellRect(mapping, kBoard, {0, 0}), (WindowRect{62, 9, 137, 84}));
    EXPECT_EQ(CellRect(mapping, kBoard, {11, 9}), (WindowRect{887, 684, 962, 759}));
    EXPECT_EQ(TileBlockRect(mapping, kBoard, {2, 1}, {3, 2}), (WindowRect{212, 84, 437, 234}));
    EXPECT_EQ(MarginRects(mapping, kBoard),
              (std::array<WindowRect, 4>{{{0, 0, 62, 768}, {962, 0, 1024, 768},
                                          {62, 0, 962, 9}, {62, 759, 962, 768}}}));
    EXPECT_EQ(mapping.DesignX(500), 500);
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
