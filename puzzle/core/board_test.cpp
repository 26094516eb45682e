#include "puzzle/core/board.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <tuple>
#include <vector>

#include "puzzle/core/testing/test_fakes.h"

namespace puzzle {
namespace {

// Cuts a picture of the given size for the given screen at `hard`.
std::unique_ptr<PuzzleBoard> CutBoard(int pictureWidth, int pictureHeight, int screenWidth,
                                      int screenHeight, int hard,
                                      std::vector<Rect>* sources = nullptr,
                                      LargePicture large = LargePicture::FirstPart) {
    auto board = std::make_unique<PuzzleBoard>(hard);
    EXPECT_TRUE(
        board->CutPicture(std::make_unique<FakePicture>(pictureWidth, pictureHeight, sources),
                          screenWidth, screenHeight, large));
    return board;
}

// Every used cell holds a used tile, and no tile is shown twice.
void ExpectPermutationOfUsedCells(const PuzzleBoard& board) {
    std::set<int> tiles;
    for (int row = 0; row < board.Rows(); ++row) {
        for (int column = 0; column < board.Columns(); ++column) {
            const int tile = board.TileAt(board.CellIndex(column, row));
            EXPECT_TRUE(board.IsUsedCell(tile)) << "tile " << tile;
            tiles.insert(tile);
        }
    }
    EXPECT_EQ(tiles.size(), static_cast<std::size_t>(board.Columns() * board.Rows()));
}

TEST(Shuffle, MixesOnlyTheUsedCellsAsStoredBoardsWereMixed) {
    // All 2000 exchanges for tick 2024 on 5 x 3 cells at hard 5, the last
    // two rows unused; worked out apart from this code.
    auto board = CutBoard(500, 300, 500, 300, 5);
    ASSERT_EQ(board->Rows(), 3);
    board->Shuffle(2024);
    EXPECT_EQ(std::vector<std::int32_t>(board->Arrangement().begin(), board->Arrangement().end()),
              (std::vector<std::int32_t>{12, 1, 6,  8,  11, 0,  3,  4,  5,  14, 7,  9, 13,
                                         10, 2, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24}));
    EXPECT_EQ(board->CorrectCount(), 1);  // cell 1

    auto one = CutBoard(100, 100, 100, 100, 1);  // a single cell stays solved
    one->Shuffle(12345);
    EXPECT_TRUE(one->IsSolved());
}

TEST(SwapTiles, KeepsTheCountOfHomeTiles) {
    auto board = CutBoard(400, 400, 400, 400, 4);
    ASSERT_EQ(board->CorrectCount(), 16);
    // clang-format off
    const struct { int first, second, count; bool firstHome, secondHome; } swaps[] = {
        {0, 1, 14, false, false},  // two home tiles leave home
        {1, 0, 16, true, true},    // each other's tiles: +2, both reported
        {0, 1, 14, false, false},
        {1, 5, 13, false, false},  // a home tile for one that does not belong there: -1
        {5, 5, 13, false, false},  // a cell with itself changes and reports nothing,
        {2, 2, 13, false, false},  // even when its tile is at home
        {2, 16, 13, false, false}, {-1, 2, 13, false, false},  // outside the board
    };
    // clang-format on
    for (const auto& s : swaps) {
        const SwapOutcome outcome = board->SwapTiles(s.first, s.second);
        EXPECT_EQ(std::tuple(board->CorrectCount(), outcome.firstHome, outcome.secondHome),
                  std::tuple(s.count, s.firstHome, s.secondHome))
            << s.first << " with " << s.second;
    }
    EXPECT_TRUE(board->IsHome(2));

    // After many swaps on a board with unused cells the count agrees with a recount.
    auto wide = CutBoard(900, 600, 1024, 768, 9);
    wide->Shuffle(777);
    for (int i = 0; i < 50; ++i)
        wide->SwapTiles(wide->CellIndex(i % wide->Columns(), i % wide->Rows()),
                        wide->CellIndex((i * 7) % wide->Columns(), (i * 3) % wide->Rows()));
    const int kept = wide->CorrectCount();
    wide->Recount();
    EXPECT_EQ(wide->CorrectCount(), kept);
    ExpectPermutationOfUsedCells(*wide);
}

TEST(CutPicture, FitsAndCentresThePicture) {
    // 534 x 450 on 1024 x 768: scale 768/450, fitted 911 x 768, tile 911 div 12 = 75,
    // 12 x 10 cells, board 900 x 750 showing the middle 527 x 439 of the picture.
    EXPECT_EQ(FitBoard(534, 450, 1024, 768, 12),
              (BoardGeometry{12, 12, 10, 75, 900, 750, {3, 5, 527, 439}}));
    // A picture without a size is taken as 16 pixels square.
    EXPECT_EQ(FitBoard(0, -5, 160, 160, 4), FitBoard(16, 16, 160, 160, 4));
    // Tiles longer than the fitted picture is high give one row, as long
    // as the board stays on the screen: 1000 x 400 fits as 1024 x 409 in
    // two tiles of 512, showing the picture's whole height.
    EXPECT_EQ(FitBoard(1000, 400, 1024, 768, 2),
              (BoardGeometry{2, 2, 1, 512, 1024, 512, {0, 0, 1000, 400}}));
    // At difficulty 1 one tile of 911 would be taller than the screen: the
    // tile is the fitted height, and shows the middle 450 x 450.
    EXPECT_EQ(FitBoard(534, 450, 1024, 768, 1),
              (BoardGeometry{1, 1, 1, 768, 768, 768, {42, 0, 450, 450}}));

    // Of a picture 1300 pixels wide only the first 1000 columns are used.
    std::vector<Rect> sources;
    auto board = CutBoard(1300, 450, 1024, 768, 12, &sources);
    ASSERT_EQ(sources.size(), 1u);
    EXPECT_LE(sources[0].x + sources[0].width, 1000);
    EXPECT_EQ(sources[0].x, (1000 - sources[0].width) / 2);  // the centre of those columns
    EXPECT_EQ(board->BoardPicture()->Width(), board->BoardWidth());
    EXPECT_EQ(board->BoardPicture()->Height(), board->BoardHeight());
}

// The grid alone, without the source part.
bool SameGrid(const BoardGeometry& a, const BoardGeometry& b) {
    return a.hard == b.hard && a.columns == b.columns && a.rows == b.rows &&
           a.tileSize == b.tileSize && a.boardWidth == b.boardWidth &&
           a.boardHeight == b.boardHeight;
}

TEST(CutPicture, ALargePhotoIsScaledDownToShowWhole) {
    // 3000 x 2000 is cut as 1000 x 667: 12 x 8 tiles of 85 on 1024 x 768,
    // the board showing 996 x 664 of those from (2, 1).
    const BoardGeometry small = FitBoard(1000, 667, 1024, 768, 12);
    ASSERT_EQ(small.source, (Rect{2, 1, 996, 664}));
    std::vector<Rect> sources;
    auto board = CutBoard(3000, 2000, 1024, 768, 12, &sources, LargePicture::ScaledDown);
    EXPECT_TRUE(SameGrid(FitBoard(3000, 2000, 1024, 768, 12, LargePicture::ScaledDown), small));
    EXPECT_EQ(board->Columns(), small.columns);
    EXPECT_EQ(board->Rows(), small.rows);
    // The same part in the photo's own pixels: every corner of the photo
    // is on the board, short of the same thin margin the small one loses.
    ASSERT_EQ(sources.size(), 1u);
    EXPECT_EQ(sources[0], (Rect{6, 2, 2988, 1992}));

    // Tall, and one pixel over; the last pixel of each side is kept.
    for (const auto& [width, height, scaledWidth, scaledHeight] :
         {std::tuple{2000, 3000, 667, 1000},
          {1001, 1000, 1000, 999},
          {40000, 7, 1000, 1},
          {65535, 65535, 1000, 1000}}) {
        const BoardGeometry large =
            FitBoard(width, height, 1024, 768, 12, LargePicture::ScaledDown);
        const BoardGeometry scaled = FitBoard(scaledWidth, scaledHeight, 1024, 768, 12);
        EXPECT_TRUE(SameGrid(large, scaled)) << width << 'x' << height;
        EXPECT_LE(large.source.x + large.source.width, width);
        EXPECT_LE(large.source.y + large.source.height, height);
        EXPECT_GE(large.source.width, 1);
        EXPECT_GE(large.source.height, 1);
    }
}

TEST(CutPicture, PicturesUpTo1000PixelsAreCutAsBefore) {
    for (const auto& [width, height] : {std::pair{1000, 1000}, {534, 450}, {1000, 1}, {1, 1}}) {
        EXPECT_EQ(FitBoard(width, height, 1024, 768, 12, LargePicture::ScaledDown),
                  FitBoard(width, height, 1024, 768, 12))
            << width << 'x' << height;
    }
    const BoardGeometry square = FitBoard(1000, 1000, 1024, 768, 12, LargePicture::ScaledDown);
    EXPECT_EQ(square.tileSize, 64);  // 768 div 12
    EXPECT_EQ(square.source, (Rect{0, 0, 1000, 1000}));
}

TEST(CutPicture, FittedSideOf768AtHard31StaysInsideTheArrangement) {
    auto board = CutBoard(768, 768, 1024, 768, 31);
    EXPECT_EQ(board->TileSize(), 24);  // 768 / 24 = 32 tiles would fit
    EXPECT_EQ(board->Columns(), 31);
    EXPECT_EQ(board->Rows(), 31);
    EXPECT_EQ(board->BoardPicture()->Width(), 31 * 24);
    board->Shuffle(99);
    ExpectPermutationOfUsedCells(*board);
}

TEST(CutPicture, DifficultyIsKeptUsable) {
    // 0 and negative become one tile, inside the screen; huge values keep
    // tiles of at least one pixel.
    // clang-format off
    const struct { int hard, keptHard, tile, columns, rows; } cases[] = {
        {0, 1, 200, 1, 1}, {-7, 1, 200, 1, 1}, {5000, 300, 1, 300, 200}, {INT_MAX, 300, 1, 300, 200}};
    for (const auto& c : cases) {
        auto board = CutBoard(300, 200, 300, 200, c.hard);
        EXPECT_EQ(board->Hard(), c.keptHard) << c.hard;
        EXPECT_EQ(board->TileSize(), c.tile);
        EXPECT_EQ(board->Columns(), c.columns);
        EXPECT_EQ(board->Rows(), c.rows);
        board->Shuffle(1);
        ExpectPermutationOfUsedCells(*board);
    }
    // The board stays on the screen at the lowest difficulties, whatever
    // the picture's shape and the screen's.
    for (const Size screen : {Size{1024, 768}, Size{1280, 1024}, Size{768, 1024}, Size{2560, 720}}) {
        for (const Size picture : {Size{534, 450}, Size{905, 450}, Size{359, 450}, Size{1000, 100},
                                   Size{100, 1000}}) {
            for (const int hard : {1, 0, -1, 2}) {
                SCOPED_TRACE(::testing::Message() << picture.width << 'x' << picture.height << " at "
                                                  << hard << " on " << screen.width);
                const BoardGeometry g =
                    FitBoard(picture.width, picture.height, screen.width, screen.height, hard);
                EXPECT_LE(g.boardWidth, screen.width);
                EXPECT_LE(g.boardHeight, screen.height);
                EXPECT_LE(g.source.x + g.source.width, picture.width);
                EXPECT_LE(g.source.y + g.source.height, picture.height);
            }
        }
    }
    EXPECT_EQ(FitBoard(1000, 1000, 4000, 4000, 4000).hard, kMaxHard);
    const BoardGeometry none = FitBoard(100, 100, 0, 0, 12);  // a screen of no size
    EXPECT_EQ(none.tileSize, 1);
    EXPECT_EQ(none.columns, 1);
}

TEST(CutPicture, FailureChangesNothing) {
    auto board = CutBoard(400, 400, 400, 400, 4);
    board->SwapTiles(0, 1);
    EXPECT_FALSE(board->CutPicture(nullptr, 400, 400));
    auto unscalable = std::make_unique<FakePicture>(400, 400);
    unscalable->failScaling = true;
    EXPECT_FALSE(board->CutPicture(std::move(unscalable), 400, 400));
    EXPECT_EQ(board->TileAt(0), 1);
    EXPECT_TRUE(board->HasPicture());
}

TEST(RestoreArrangement, TakesOnlyPermutationsOfTheUsedCells) {
    auto board = CutBoard(300, 200, 300, 200, 3);  // 3 x 2 cells, stride 3
    ASSERT_EQ(board->Rows(), 2);
    EXPECT_TRUE(board->RestoreArrangement(std::vector<std::int32_t>{1, 0, 2, 5, 4, 3, 42, 42, 42}));
    EXPECT_EQ(board->CorrectCount(), 2);
    const std::vector<std::vector<std::int32_t>> refused = {
        {0, 0, 2, 3, 4, 5, 6, 7, 8},   // a tile twice, one lost
        {0, 1, 2, 3, 4, 6, 6, 7, 8},   // a tile of an unused row
        {0, 1, 2, 3, 4, -1, 6, 7, 8},  // negative
        {0, 1, 2, 3, 4, 99, 6, 7, 8},  // beyond the arrangement
        {0, 1, 2, 3, 4, 5},            // wrong size
    };
    // clang-format on
    for (const auto& bad : refused) {
        EXPECT_FALSE(board->RestoreArrangement(bad));
        EXPECT_EQ(board->TileAt(0), 1);
        EXPECT_EQ(board->CorrectCount(), 2);
    }
}

}  // namespace
}  // namespace puzzle
