// What the window shows, decided in the core: the painter's primitives
// for a game in each of its states.
#include "puzzle/core/board_painter.h"

#include <gtest/gtest.h>

#include "puzzle/core/help_text.h"
#include "puzzle/core/testing/test_fakes.h"

namespace puzzle {
namespace {

using Lines = std::vector<std::string>;

// A 4 x 4 board of 100-pixel tiles on a 500 x 400 screen: the board
// stands 50 pixels from the left. Cells 0 and 1 hold each other's tiles.
class PainterTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform.StoreFourByFour(Swapped({{0, 1}}), 1, FakePlatform::kBaseKey, 500);
    }
    void Start() {
        game.Start();
        ASSERT_EQ(game.BoardLeft(), 50);
    }
    void Click(Cell cell) { game.LeftClick(50 + cell.column * 100 + 50, cell.row * 100 + 50); }
    Lines Recent() { return std::exchange(canvas.lines, {}); }
    // Lines that start with `start`.
    Lines Only(const Lines& lines, const std::string& start) {
        Lines found;
        for (const std::string& line : lines)
            if (line.rfind(start, 0) == 0) found.push_back(line);
        return found;
    }

    FakePlatform platform;
    RecordingView view;
    PuzzleGame game{view, platform.Services()};
    RecordingCanvas canvas;
    BoardPainter painter{game, canvas};
};

const Lines kMargins = {"fill black 0,0-50,400", "fill black 450,0-500,400",
                        "fill black 50,0-450,0", "fill black 50,400-450,400"};

TEST_F(PainterTest, PaintingEverythingInPlay) {
    Start();
    Click({3, 3});  // wakes
    Click({0, 0});  // selects
    Recent();
    painter.PaintAll();
    const Lines lines = Recent();
    // Each cell its tile, row by row: cell 0 shows tile 1 and cell 1 tile 0.
    const Lines tiles = Only(lines, "tile");
    ASSERT_EQ(tiles.size(), 16u);
    EXPECT_EQ(tiles[0], "tile 100,0 to 50,0-150,100");
    EXPECT_EQ(tiles[1], "tile 0,0 to 150,0-250,100");
    EXPECT_EQ(tiles[15], "tile 300,300 to 350,300-450,400");
    // The frame: white, black, white, each a pixel further in.
    EXPECT_EQ(Only(lines, "outline"),
              (Lines{"outline white 50,0-150,100", "outline black 51,1-149,99",
                     "outline white 52,2-148,98"}));
    EXPECT_EQ(Lines(lines.end() - 4, lines.end()), kMargins);
    EXPECT_TRUE(Only(lines, "show").empty());  // the window shows it all
}

TEST_F(PainterTest, BadTilesShownInTheHighlightColourWithoutTheFrame) {
    Start();
    Click({3, 3});
    Click({0, 0});
    game.KeyDown(kKeyShift);
    Recent();
    painter.PaintAll();
    const Lines lines = Recent();
    EXPECT_EQ(Only(lines, "fill highlight"),
              (Lines{"fill highlight 50,0-150,100", "fill highlight 150,0-250,100"}));
    EXPECT_EQ(Only(lines, "tile").size(), 14u);
    EXPECT_TRUE(Only(lines, "outline").empty());
    // A frame asked for meanwhile is drawn, and shown, only once they go.
    game.KeyUp(kKeyShift);
    painter.DrawSelectionFrame();
    EXPECT_EQ(Only(Recent(), "show"), Lines{"show 50,0-150,100"});
}

TEST_F(PainterTest, TheHelpBoxSaysWhatALeftClickDoes) {
    view.helpText = {150, 80};  // 2 x 1 tiles; text 10 pixels down
    platform.clock.now = 1;     // seeds the box's place: cell (2, 0)
    Start();
    game.Tick(GameTimer::Tick);
    ASSERT_TRUE(game.HelpBoxShown());
    Recent();
    painter.DrawHelpBox();
    EXPECT_EQ(Recent(),
              (Lines{"fill helpbox 250,0-450,100", "text helptext on helpbox 250,10-450,100",
                     "outline black 250,0-450,100", "show 250,0-450,100"}));
    EXPECT_EQ(canvas.texts.back(), kPlayingHelpText);

    // Solved: the help text tells how to go on.
    Click({0, 0});
    Click({0, 0});
    Click({1, 0});
    ASSERT_TRUE(game.IsSolved());
    platform.clock.now = 100000;
    game.Tick(GameTimer::Tick);
    ASSERT_TRUE(game.HelpBoxShown());
    painter.PaintAll();
    EXPECT_EQ(canvas.texts.back(), kSolvedHelpText);
}

TEST_F(PainterTest, ErasingTheHelpBoxRestoresOnlyCellsOfTheBoard) {
    view.helpText = {500, 80};  // 6 x 1 tiles: wider than the board, at column 0
    Start();
    game.Tick(GameTimer::Tick);
    ASSERT_EQ(game.HelpBoxCell(), (Cell{0, 0}));
    Recent();
    painter.EraseHelpBox(HelpBoxErase::Black);
    EXPECT_EQ(Recent(), (Lines{"fill black 50,0-650,100", "show 50,0-650,100"}));
    painter.EraseHelpBox(HelpBoxErase::Restore);
    const Lines lines = Recent();
    EXPECT_EQ(lines.front(), "fill black 50,0-650,100");
    EXPECT_EQ(Only(lines, "tile").size(), 4u);  // row 0's four cells
    EXPECT_EQ(lines.back(), "show 50,0-650,100");
    // Cells asked for beyond the board are not drawn; the block is shown.
    painter.DrawCells(3, 3, 2, 2);
    EXPECT_EQ(Recent(), (Lines{"tile 300,300 to 350,300-450,400", "show 350,300-550,500"}));
}

TEST_F(PainterTest, FlashesTwoCellsAtMostOrTheWholeBoard) {
    Start();
    const Cell cells[] = {{0, 0}, {1, 0}, {2, 0}};
    painter.FlashCells(cells);
    EXPECT_EQ(Recent(), (Lines{"flash start", "wait 100", "fill grey 50,0-150,100",
                               "show 50,0-150,100", "fill grey 150,0-250,100", "show 150,0-250,100",
                               "wait 200", "fill white 50,0-150,100", "show 50,0-150,100",
                               "fill white 150,0-250,100", "show 150,0-250,100"}));
    painter.FlashBoard();
    EXPECT_EQ(Recent(),
              (Lines{"flash start", "wait 100", "fill grey 50,0-450,400", "show 50,0-450,400",
                     "wait 200", "fill white 50,0-450,400", "show 50,0-450,400"}));
}

TEST_F(PainterTest, ABoardWithoutAPictureIsBlack) {
    platform.pictures.undecodable = {1};
    platform.pictures.failPlain = true;
    game.Start();
    ASSERT_FALSE(game.Board()->HasPicture());
    painter.PaintAll();
    const Lines lines = Recent();
    EXPECT_TRUE(Only(lines, "tile").empty());
    EXPECT_EQ(Only(lines, "fill black").size(), lines.size());
}

TEST(HelpText, MeasuredByItsWidestLineAndWrappedHeight) {
    RecordingCanvas canvas;
    // "Left click to move tiles" is the longest line; the solved text has 4.
    EXPECT_EQ(MeasureHelpText(canvas), (Size{240, 80}));
    // Before any game nothing is drawn.
    FakePlatform platform;
    RecordingView view;
    PuzzleGame game{view, platform.Services()};
    BoardPainter painter{game, canvas};
    painter.PaintAll();
    painter.DrawCells(0, 0, 1, 1);
    EXPECT_TRUE(canvas.lines.empty());
}

}  // namespace
}  // namespace puzzle
