#include "puzzle/core/game.h"

#include <gtest/gtest.h>

#include <new>
#include <tuple>

#include "puzzle/core/testing/test_fakes.h"

namespace puzzle {
namespace {

const std::string kBase = FakePlatform::kBaseKey;
using Lines = std::vector<std::string>;

std::vector<std::int32_t> Cells(const PuzzleBoard& board) {
    return {board.Arrangement().begin(), board.Arrangement().end()};
}

// The cells of a 4 x 4 board whose tile is not at home.
std::vector<Cell> Misplaced(const PuzzleBoard& board) {
    std::vector<Cell> cells;
    for (int cell = 0; cell < 16; ++cell)
        if (!board.IsHome(cell)) cells.push_back({cell % 4, cell / 4});
    return cells;
}

// A game on a 4 x 4 board of 100-pixel tiles filling a 400 x 400 screen,
// whose arrangement is restored from the store.
class GameTest : public ::testing::Test {
protected:
    void Start(const std::vector<std::int32_t>& arrangement, int picture = 1,
               const std::string& key = kBase) {
        platform.StoreFourByFour(arrangement, picture, key);
        game.Start();
        ASSERT_EQ(game.Board()->TileSize(), 100);
    }
    void At(std::uint32_t now) { platform.clock.now = now; }
    // Clicks the middle of each cell in turn.
    void Click(std::initializer_list<Cell> cells) {
        for (Cell cell : cells) game.LeftClick(cell.column * 100 + 50, cell.row * 100 + 50);
    }
    // Wakes the game and swaps cells 0 and 1.
    void WakeAndSwapFirstTwo() { Click({{0, 0}, {0, 0}, {1, 0}}); }
    void TickAt(std::uint32_t now) {
        At(now);
        game.Tick(GameTimer::Tick);
    }
    // The lines recorded since the last call.
    Lines Recent() { return std::exchange(view.lines, {}); }
    std::optional<std::int32_t> Stored(const std::string& name) {
        return platform.store.Integer(kBase, name);
    }

    FakePlatform platform;
    RecordingView view;
    PuzzleGame game{view, platform.Services()};
};

TEST_F(GameTest, SelectingAndSwapping) {
    Start(Swapped({{0, 1}, {2, 3}}));
    EXPECT_EQ(game.State(), GameState::Idle);
    Click({{3, 3}});  // only wakes
    EXPECT_EQ(game.State(), GameState::Playing);
    Recent();
    Click({{3, 3}});  // a home tile is never selected
    EXPECT_EQ(game.State(), GameState::Playing);
    Click({{0, 0}});
    EXPECT_EQ(game.State(), GameState::TileSelected);
    EXPECT_EQ(game.SelectedCell(), (Cell{0, 0}));
    EXPECT_EQ(Recent(), Lines{"frame"});

    Click({{3, 3}});         // a home tile keeps the selection
    game.LeftClick(-1, 50);  // outside the board
    game.LeftClick(50, 400);
    EXPECT_EQ(game.State(), GameState::TileSelected);
    EXPECT_TRUE(Recent().empty());

    Click({{0, 0}});  // the selected tile again: one move, no flash
    EXPECT_EQ(game.State(), GameState::Playing);
    EXPECT_EQ(Recent(), (Lines{"cells 0,0 1x1", "cells 0,0 1x1"}));
    game.KeyDown(kKeyF1);
    EXPECT_EQ(Stored("GameClicks"), 1);
}

TEST_F(GameTest, FlashesForTilesThatComeHome) {
    // Cells 0, 1, 2 hold tiles 1, 2, 0; cells 4 and 5 hold each other's.
    Start({1, 2, 0, 3, 5, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
    Click({{0, 0}});  // wakes
    Recent();
    // Tile 1 comes home in cell 1; then both of cells 4 and 5 come home.
    Click({{0, 0}, {1, 0}, {0, 1}, {1, 1}});
    EXPECT_EQ(Recent(),
              (Lines{"frame", "beep", "flash 1,0", "cells 0,0 1x1", "cells 1,0 1x1", "frame",
                     "beep", "flash 0,1 1,1", "cells 0,1 1x1", "cells 1,1 1x1"}));
    Click({{0, 0}, {2, 0}});  // both home and solved: the whole board only
    EXPECT_TRUE(game.IsSolved());
    EXPECT_EQ(Recent(), (Lines{"frame", "beep", "flash board", "cells 0,0 4x4"}));
}

TEST_F(GameTest, ShiftShowsTheBadTiles) {
    Start(Swapped({{0, 1}}));
    game.KeyDown(kKeyShift);  // wakes and shows at once
    EXPECT_EQ(game.State(), GameState::Playing);
    EXPECT_TRUE(game.BadTilesShown());
    game.KeyUp(kKeyShift);
    Click({{0, 0}});
    Recent();

    game.KeyDown(kKeyShift);
    EXPECT_EQ(Recent(), (Lines{"cells 0,0 1x1", "cells 1,0 1x1"}));
    Click({{1, 0}});  // ignored meanwhile
    EXPECT_EQ(game.State(), GameState::TileSelected);
    EXPECT_TRUE(Recent().empty());
    game.KeyUp('A');  // any key's release hides them; the frame comes back
    EXPECT_FALSE(game.BadTilesShown());
    EXPECT_EQ(Recent(), (Lines{"cells 0,0 1x1", "cells 1,0 1x1", "frame"}));

    // Each tick polls the key.
    view.shiftDown = true;
    game.Tick(GameTimer::Tick);
    EXPECT_TRUE(game.BadTilesShown());
    view.shiftDown = false;
    game.Tick(GameTimer::Tick);
    EXPECT_FALSE(game.BadTilesShown());
}

TEST_F(GameTest, FallingIdleAtTheExactBoundaries) {
    Start(Swapped({{0, 1}, {2, 3}}));  // layout at 0
    At(1499);
    game.MouseMoved();  // within the mouse grace
    EXPECT_EQ(game.State(), GameState::Idle);
    At(1500);
    game.MouseMoved();
    EXPECT_EQ(game.State(), GameState::Playing);
    EXPECT_EQ(view.cursor, CursorShape::Arrow);

    At(2000);
    Click({{0, 0}});
    TickAt(14000);
    EXPECT_EQ(game.State(), GameState::TileSelected);
    Recent();
    TickAt(14001);  // idle timeout passed: the selection goes
    EXPECT_EQ(game.State(), GameState::Idle);
    EXPECT_EQ(Recent(), (Lines{"cells 0,0 1x1", "hidden", "help box"}));
    EXPECT_EQ(game.PendingTime(), 14001u - 1500u);  // the idle timeout included
    // The solved linger's boundary: in the test across the wrap below.
}

TEST_F(GameTest, AnOpenDialogKeepsTheGameAwake) {
    Start(Swapped({{0, 1}}));
    At(1000);
    Click({{0, 0}});
    Recent();
    view.whileModal = [&] {
        EXPECT_TRUE(game.DialogOpen());
        EXPECT_EQ(view.cursor, CursorShape::Arrow);
        TickAt(1000 + 3600000);
        EXPECT_EQ(game.State(), GameState::Playing);
    };
    game.KeyDown(kKeyF1);
    EXPECT_EQ(Recent(), (Lines{"dialog on", "arrow", "progress box", "dialog off", "arrow"}));
    TickAt(1000 + 3600001);  // closed: the timeout applies again
    EXPECT_EQ(game.State(), GameState::Idle);
}

TEST_F(GameTest, PlayTimeCountsOnlyWhilePlayingAnUnsolvedBoardAcrossTheTickCountWrap) {
    // Tick counts wrap at 2^32: every time here lies 0x10000 before the wrap.
    const auto at = [this](std::uint32_t ms) { At(ms - 0x10000u); };
    at(0);
    Start(Swapped({{0, 1}, {2, 3}}));
    at(50000);
    Click({{3, 3}});  // wakes after 50 s idle: not counted
    at(52000);
    game.KeyDown(kKeyF1);  // flushes the time so far, keeps timing
    EXPECT_EQ(Stored("GameTime"), 2000);
    at(60000);
    Click({{0, 0}});
    at(66000);
    game.Tick(GameTimer::Tick);
    EXPECT_EQ(game.State(), GameState::TileSelected);
    at(70000);
    Click({{1, 0}, {2, 0}, {3, 0}});  // solves: flushed, timing stops
    EXPECT_EQ(Stored("GameTime"), 20000);
    EXPECT_EQ(Stored("GameClicks"), 2);
    EXPECT_FALSE(game.TimingOn());
    // Idle a solved linger after the solving click.
    at(76000);
    game.Tick(GameTimer::Tick);
    EXPECT_EQ(game.State(), GameState::Playing);
    at(76001);
    game.Tick(GameTimer::Tick);
    EXPECT_EQ(game.State(), GameState::Idle);
    at(80000);
    Click({{1, 1}});  // wakes on a solved board: no timing
    EXPECT_FALSE(game.TimingOn());
}

TEST_F(GameTest, SavingProgressMidGameKeepsPlaying) {
    Start(Swapped({{0, 1}, {2, 3}}));
    At(1000);
    WakeAndSwapFirstTwo();
    At(4000);
    game.SaveProgress();
    EXPECT_EQ(Stored("GameTime"), 3000);
    EXPECT_EQ(Stored("GameClicks"), 1);
    EXPECT_EQ(platform.store.Integers(kBase, "index"), Swapped({{2, 3}}));
    EXPECT_TRUE(game.TimingOn());
    At(6000);
    game.End();  // flushes only what came after
    EXPECT_EQ(Stored("GameTime"), 5000);
    EXPECT_EQ(Stored("GameClicks"), 1);
    EXPECT_FALSE(game.Board());
    EXPECT_EQ(view.Count("stop timer 1"), 1);
    game.LeftClick(50, 50);  // after End nothing happens
    game.Tick(GameTimer::Tick);
}

TEST_F(GameTest, TheLastPictureEndsTheSet) {
    // The hint at own pictures only after the first pass with the built-ins.
    for (const auto& [timesBefore, own, reward] :
         {std::tuple{0, false, true}, {1, false, false}, {0, true, false}}) {
        platform = {};
        view.lines.clear();
        const std::string key = own ? kBase + "\\OwnPics" : kBase;
        if (own) platform.UseOwnPictures("D:\\Pics", {"a.jpg"});
        platform.store.Set(key, "TimesAtEnd", timesBefore);
        Start(Swapped({{0, 1}}), own ? 1 : 10, key);
        view.whileModal = [&] {  // the last swap counted
            EXPECT_EQ(platform.store.Integer(key, "GameClicks"), 1);
        };
        WakeAndSwapFirstTwo();
        EXPECT_EQ(platform.store.Integer(key, "TimesAtEnd"), timesBefore + 1);
        EXPECT_EQ(view.Count("end of set"), 1);
        EXPECT_EQ(view.Count("reward"), reward ? 1 : 0);
        EXPECT_EQ(view.lines.back(), "arrow");
        game.End();
        view.whileModal = nullptr;
    }
}

TEST_F(GameTest, ASolvedBoardIsTheWallpaperOnControlAndMovesOnOnAClick) {
    for (const bool nextIsPlain : {false, true}) {
        platform.pictures.undecodable.clear();
        if (nextIsPlain) platform.pictures.undecodable = {2};
        At(0);
        view.lines.clear();
        Start(Swapped({{0, 1}}));
        game.KeyDown(kKeyControl);
        EXPECT_EQ(view.Count("wallpaper"), 0);  // unsolved
        WakeAndSwapFirstTwo();
        TickAt(6001);
        game.KeyDown(kKeyControl);  // idle
        EXPECT_EQ(view.Count("wallpaper"), 1);
        Click({{2, 2}});  // in Idle it only wakes
        EXPECT_EQ(Stored("CurrentPic"), 1);
        game.KeyDown(kKeyControl);  // awake
        EXPECT_EQ(view.Count("wallpaper"), 2);
        Recent();
        At(7000);
        Click({{2, 2}});
        EXPECT_EQ(Stored("CurrentPic"), 2);
        EXPECT_EQ(Recent(), (Lines{"wait", "repaint now", "arrow"}));
        // Timing starts, unless the next board comes solved.
        EXPECT_EQ(game.TimingOn(), !nextIsPlain);
        game.End();
    }
}

TEST_F(GameTest, WithoutMemoryForTheNextBoardTheSolvedBoardStays) {
    Start(Swapped({{0, 1}}));
    WakeAndSwapFirstTwo();
    const PuzzleBoard* solved = game.Board();
    ASSERT_TRUE(solved->IsSolved());
    platform.pictures.whileDecoding = [] { throw std::bad_alloc(); };
    EXPECT_NO_THROW(Click({{2, 2}}));
    EXPECT_EQ(game.Board(), solved);
    EXPECT_FALSE(game.DialogOpen());  // clicks are taken again
    EXPECT_EQ(view.cursor, CursorShape::Arrow);
    // The store is on picture 2 already; the next click makes its board
    // instead of moving on once more.
    EXPECT_EQ(Stored("CurrentPic"), 2);
    Click({{2, 2}});
    EXPECT_EQ(Stored("CurrentPic"), 2);
    EXPECT_NE(game.Board(), solved);
    EXPECT_EQ(platform.pictures.decodedBuiltIns, (std::vector<int>{1, 2, 2}));
    EXPECT_FALSE(game.IsSolved());
}

TEST_F(GameTest, AWindowThatGoesKeepsNewerProgressOfAnotherWindow) {
    // A preview runs while the full-screen saver is tried; a second
    // preview comes up in between.
    const auto click = [](PuzzleGame& on, Cell cell) {
        on.LeftClick(cell.column * 100 + 50, cell.row * 100 + 50);
    };
    Start(Swapped({{0, 1}}));
    RecordingView fullView, laterView;
    PuzzleGame fullScreen(fullView, platform.Services()), later(laterView, platform.Services());
    fullScreen.Start();
    // It solves picture 1 and moves on to picture 2, of the same grid.
    for (Cell cell : {Cell{0, 0}, Cell{0, 0}, Cell{1, 0}, Cell{2, 2}}) click(fullScreen, cell);
    ASSERT_EQ(Stored("CurrentPic"), 2);
    later.Start();
    // Two tiles swapped on picture 2, and the full-screen saver is closed.
    std::vector<Cell> misplaced = Misplaced(*fullScreen.Board());
    ASSERT_GE(misplaced.size(), 2u);
    click(fullScreen, misplaced[0]);
    click(fullScreen, misplaced[1]);
    fullScreen.SaveArrangement();
    fullScreen.End();
    const auto newest = platform.store.Integers(kBase, "index");

    // The first preview goes with its host; the session ends under the
    // second. Neither writes its older board over the newest.
    game.SaveArrangementIfStoreUnchanged();
    game.End();
    later.SaveProgress();
    EXPECT_EQ(platform.store.Integers(kBase, "index"), newest);
    later.End();
    EXPECT_EQ(Stored("CurrentPic"), 2);

    // A window whose board is still the stored one saves it.
    PuzzleGame again(view, platform.Services());
    again.Start();
    EXPECT_EQ(Cells(*again.Board()), *newest);
    misplaced = Misplaced(*again.Board());
    ASSERT_GE(misplaced.size(), 2u);
    for (Cell cell : {misplaced[0], misplaced[0], misplaced[1]}) click(again, cell);  // wakes first
    again.SaveArrangementIfStoreUnchanged();
    EXPECT_NE(platform.store.Integers(kBase, "index"), newest);
    EXPECT_EQ(platform.store.Integers(kBase, "index"), Cells(*again.Board()));
    again.End();
}

// Reads every cell of the board as the window's painting does; the tiles
// must lie inside the board picture.
void PaintLikeTheWindow(const PuzzleGame& game) {
    const PuzzleBoard& board = *game.Board();
    ASSERT_EQ(board.Arrangement().size(), static_cast<std::size_t>(board.Hard()) * board.Hard());
    ASSERT_LE(board.Columns(), board.Hard());
    ASSERT_LE(board.Rows(), board.Hard());
    for (int row = 0; row < board.Rows(); ++row) {
        for (int column = 0; column < board.Columns(); ++column) {
            const int cell = board.CellIndex(column, row);
            board.IsHome(cell);
            const Rect square = board.TileSquare(board.TileAt(cell));
            EXPECT_LE(square.x + square.width, board.BoardPicture()->Width());
            EXPECT_LE(square.y + square.height, board.BoardPicture()->Height());
        }
    }
}

TEST_F(GameTest, APictureChangeUnderTheLibrarysBoxShowsTheOldBoardWholeAndStaysAwake) {
    // The only own picture solved: the next click starts the folder again
    // at NextHard 50, with the picture now 300 x 600 (25 x 50 tiles). Read
    // with the new row length, the old arrangement is far too short.
    const std::string own = kBase + "\\OwnPics";
    platform.UseOwnPictures("D:\\Pics", {"a.jpg"});
    Start(Swapped({{0, 1}}), 1, own);
    platform.pictures.files["D:\\Pics\\a.jpg"] = {300, 600};
    platform.store.Set(own, "NextHard", 50);
    At(1000);
    WakeAndSwapFirstTwo();
    ASSERT_TRUE(game.IsSolved());

    // The decode shows a box; under it the window paints, a click lands
    // on the old board and the ticks go on.
    platform.pictures.whileDecoding = [&] {
        PaintLikeTheWindow(game);
        EXPECT_EQ(game.Board()->Hard(), 4);
        Click({{1, 1}});
        TickAt(1000 + 60000);
        EXPECT_EQ(game.State(), GameState::Playing);
        game.ApplyCursorRule();
        EXPECT_EQ(view.cursor, CursorShape::Arrow);
        PaintLikeTheWindow(game);
    };
    Click({{1, 1}});
    EXPECT_FALSE(platform.pictures.whileDecoding);
    EXPECT_EQ(platform.pictures.decodedFiles.size(), 2u);  // at the start, and one move on
    EXPECT_EQ(platform.store.Integer(own, "CurrentPic"), 1);
    EXPECT_EQ(game.Board()->Hard(), 50);
    EXPECT_EQ(game.Board()->Columns(), 25);
    PaintLikeTheWindow(game);
    // Play goes on from the new board.
    TickAt(1000 + 60000 + 12000);
    EXPECT_EQ(game.State(), GameState::Playing);
    EXPECT_EQ(view.cursor, CursorShape::Arrow);
}

TEST_F(GameTest, HelpBoxPlacement) {
    const struct {
        Size text, box;
        Cell cell;
    } cases[] = {
        // 150 x 80 and a fifth: 2 x 1 tiles; column (41 >> 3) mod 3, row (18467 >> 3) mod 4.
        {{150, 80}, {2, 1}, {2, 0}},
        {{300, 80}, {4, 1}, {0, 0}},   // as wide as the board: column 0
        {{500, 200}, {6, 3}, {0, 0}},  // wider, and (18467 >> 3) mod 2 = 0
        {{100, 200}, {2, 3}, {2, 0}},
    };
    for (const auto& c : cases) {
        view.helpText = c.text;
        At(1);  // the generator is seeded with the start time
        Start(Swapped({{0, 1}}));
        EXPECT_EQ(game.HelpBoxSize(), c.box);
        game.Tick(GameTimer::Repaint);
        EXPECT_TRUE(game.HelpBoxShown());
        EXPECT_EQ(game.HelpBoxCell(), c.cell) << c.text.width << 'x' << c.text.height;
        game.End();
    }
    EXPECT_EQ(game.HelpTextOffset(), (3 * 100 - 200) / 2);  // of the last: 3 tiles high

    // A box that would cover every cell, here 6 x 4 tiles, is not shown:
    // the idle board shows its picture.
    view.helpText = {500, 300};
    Start(Swapped({{0, 1}}));
    Recent();
    TickAt(1500);
    TickAt(150000);  // in the black half of the idle period
    EXPECT_FALSE(game.HelpBoxShown());
    EXPECT_TRUE(Recent().empty());
}

TEST_F(GameTest, BlackoutPhasesSwitchEvery100Seconds) {
    Start(Swapped({{0, 1}}));  // idle since 0
    TickAt(1500);
    for (const auto& [now, erase] : {std::pair{99999u, "erase restore"},
                                     {100000u, "erase black"},
                                     {199999u, "erase black"},
                                     {200000u, "erase restore"},
                                     {300000u, "erase black"}}) {
        Recent();
        TickAt(now);
        EXPECT_EQ(Recent(), (Lines{erase, "help box"})) << now;
    }
    At(300001);
    Click({{0, 0}});  // awake, the box is always restored
    EXPECT_EQ(Recent().front(), "erase restore");
}

TEST_F(GameTest, ThePreviewNeverFallsIdleByItself) {
    view.preview = true;
    Start(Swapped({{0, 1}}));
    game.Tick(GameTimer::Repaint);
    EXPECT_EQ(Recent(), (Lines{"timer 1 1500", "timer 2 200", "stop timer 2", "repaint later"}));
    TickAt(100000);
    EXPECT_FALSE(game.HelpBoxShown());
    Click({{0, 0}});
    TickAt(5000000);
    EXPECT_EQ(game.State(), GameState::Playing);
}

}  // namespace
}  // namespace puzzle
