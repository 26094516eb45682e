#include "puzzle/core/board.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "puzzle/core/test_fakes.h"

namespace puzzle {
namespace {

// Cuts a picture of the given size for the given screen at `hard`.
std::unique_ptr<PuzzleBoard> CutBoard(int pictureWidth, int pictureHeight, int screenWidth,
                                      int screenHeight, int hard,
                                      std::vector<Rect>* sources = nullptr) {
    auto board = std::make_unique<PuzzleBoard>();
    board->SetHard(hard);
    EXPECT_TRUE(board->CutPicture(
        std::make_unique<FakePicture>(pictureWidth, pictureHeight, sources), screenWidth,
        screenHeight));
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

TEST(ShuffleGenerator, FirstValuesForTickZero) {
    ShuffleGenerator generator(0);
    EXPECT_EQ(generator.Next(), 1013904223u);
    EXPECT_EQ(generator.Next(), 1196435762u);
    EXPECT_EQ(generator.Next(), 3519870697u);
    EXPECT_EQ(generator.Next(), 2868466484u);
}

TEST(ShuffleGenerator, FirstExchangeOnTwelveByNine) {
    ShuffleGenerator generator(0);
    const CellPair pair = NextShufflePair(generator, 12, 9, 12);
    EXPECT_EQ(pair.first, 6 + 7 * 12);
    EXPECT_EQ(pair.second, 8 + 8 * 12);
}

TEST(Shuffle, TwelveByNineBoardAtTickZero) {
    auto board = CutBoard(800, 600, 800, 600, 12);
    ASSERT_EQ(board->Columns(), 12);
    ASSERT_EQ(board->Rows(), 9);
    board->Shuffle(0);
    ExpectPermutationOfUsedCells(*board);
    EXPECT_FALSE(board->IsSolved());
    // The unused rows of the arrangement keep their identity entries.
    for (int cell = 9 * 12; cell < 12 * 12; ++cell) EXPECT_EQ(board->Arrangement()[cell], cell);

    // Same tick, same arrangement.
    auto again = CutBoard(800, 600, 800, 600, 12);
    again->Shuffle(0);
    EXPECT_TRUE(std::equal(board->Arrangement().begin(), board->Arrangement().end(),
                           again->Arrangement().begin()));
}

TEST(Shuffle, OneCellBoardStaysSolved) {
    auto board = CutBoard(100, 100, 100, 100, 1);
    EXPECT_EQ(board->Columns(), 1);
    EXPECT_EQ(board->Rows(), 1);
    EXPECT_TRUE(board->IsSolved());
    board->Shuffle(12345);
    EXPECT_TRUE(board->IsSolved());
}

TEST(SwapTiles, KeepsTheCountOfHomeTiles) {
    auto board = CutBoard(400, 400, 400, 400, 4);
    ASSERT_EQ(board->CorrectCount(), 16);

    // A home tile swapped away with another home tile: both leave home.
    SwapOutcome outcome = board->SwapTiles(0, 1);
    EXPECT_EQ(board->CorrectCount(), 14);
    EXPECT_FALSE(outcome.firstHome);
    EXPECT_FALSE(outcome.secondHome);

    // Two cells holding each other's tiles: +2, both reported.
    outcome = board->SwapTiles(1, 0);
    EXPECT_EQ(board->CorrectCount(), 16);
    EXPECT_TRUE(outcome.firstHome);
    EXPECT_TRUE(outcome.secondHome);
    EXPECT_TRUE(board->IsSolved());

    // A home tile swapped with a misplaced one that does not belong there: -1.
    board->SwapTiles(0, 1);  // cells 0 and 1 misplaced, count 14
    outcome = board->SwapTiles(1, 5);
    EXPECT_EQ(board->CorrectCount(), 13);
    EXPECT_FALSE(outcome.firstHome);
    EXPECT_FALSE(outcome.secondHome);

    // A cell with itself changes nothing and reports neither cell.
    const int before = board->CorrectCount();
    outcome = board->SwapTiles(5, 5);
    EXPECT_EQ(board->CorrectCount(), before);
    EXPECT_FALSE(outcome.firstHome);
    EXPECT_FALSE(outcome.secondHome);
    outcome = board->SwapTiles(2, 2);
    EXPECT_EQ(board->CorrectCount(), before);
    EXPECT_FALSE(outcome.firstHome);

    // Cells outside the board are refused.
    board->SwapTiles(2, 16);
    board->SwapTiles(-1, 2);
    EXPECT_EQ(board->CorrectCount(), before);
    EXPECT_TRUE(board->IsHome(2));
}

TEST(SwapTiles, RecountAgreesAfterManySwaps) {
    auto board = CutBoard(900, 600, 1024, 768, 9);
    board->Shuffle(777);
    for (int i = 0; i < 50; ++i)
        board->SwapTiles(board->CellIndex(i % board->Columns(), i % board->Rows()),
                         board->CellIndex((i * 7) % board->Columns(), (i * 3) % board->Rows()));
    const int kept = board->CorrectCount();
    board->Recount();
    EXPECT_EQ(board->CorrectCount(), kept);
    ExpectPermutationOfUsedCells(*board);
}

TEST(CutPicture, WidePictureUsesOnlyItsFirstThousandColumns) {
    std::vector<Rect> sources;
    auto board = CutBoard(1300, 450, 1024, 768, 12, &sources);
    ASSERT_EQ(sources.size(), 1u);
    const Rect source = sources[0];
    EXPECT_LE(source.x + source.width, 1000);
    EXPECT_EQ(source.x, (1000 - source.width) / 2);  // the centre of those columns
    EXPECT_LE(source.y + source.height, 450);
    EXPECT_EQ(board->BoardPicture()->Width(), board->BoardWidth());
    EXPECT_EQ(board->BoardPicture()->Height(), board->BoardHeight());
}

TEST(CutPicture, FitsAndCentresThePicture) {
    // 534 x 450 on 1024 x 768: scale 768/450, fitted 911 x 768, tile 911 div 12 = 75,
    // 12 x 10 cells, board 900 x 750 showing the middle 527 x 439 of the picture.
    const BoardGeometry g = FitBoard(534, 450, 1024, 768, 12);
    EXPECT_EQ(g.tileSize, 75);
    EXPECT_EQ(g.columns, 12);
    EXPECT_EQ(g.rows, 10);
    EXPECT_EQ(g.boardWidth, 900);
    EXPECT_EQ(g.boardHeight, 750);
    EXPECT_EQ(g.source, (Rect{3, 5, 527, 439}));

    // A picture without a size is taken as 16 pixels square.
    EXPECT_EQ(FitBoard(0, -5, 160, 160, 4), FitBoard(16, 16, 160, 160, 4));
}

TEST(CutPicture, FittedSideOf768AtHard31StaysInsideTheArrangement) {
    auto board = CutBoard(768, 768, 1024, 768, 31);
    EXPECT_EQ(board->TileSize(), 24);  // 768 / 24 = 32 tiles would fit
    EXPECT_EQ(board->Columns(), 31);
    EXPECT_EQ(board->Rows(), 31);
    board->Shuffle(99);
    ExpectPermutationOfUsedCells(*board);
    EXPECT_EQ(board->Arrangement().size(), 31u * 31u);
}

TEST(CutPicture, DifficultyIsKeptUsable) {
    // 0 and negative become one tile.
    for (int hard : {0, -7}) {
        auto board = CutBoard(200, 100, 200, 100, hard);
        EXPECT_EQ(board->Hard(), 1);
        EXPECT_EQ(board->TileSize(), 200);
        EXPECT_EQ(board->Columns(), 1);
        EXPECT_EQ(board->Rows(), 1);
        EXPECT_TRUE(board->IsSolved());
    }
    // Huge values keep tiles of at least one pixel and a bounded arrangement.
    for (int hard : {5000, 2147483647}) {
        auto board = CutBoard(300, 200, 300, 200, hard);
        EXPECT_EQ(board->Hard(), 300);
        EXPECT_EQ(board->TileSize(), 1);
        EXPECT_EQ(board->Columns(), 300);
        EXPECT_EQ(board->Rows(), 200);
        board->Shuffle(1);
        ExpectPermutationOfUsedCells(*board);
    }
    const BoardGeometry big = FitBoard(1000, 1000, 4000, 4000, 4000);
    EXPECT_EQ(big.hard, kMaxHard);
    EXPECT_GE(big.tileSize, 1);
    // A screen of no size still gives a one-pixel board.
    const BoardGeometry none = FitBoard(100, 100, 0, 0, 12);
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
    ASSERT_EQ(board->Columns(), 3);
    ASSERT_EQ(board->Rows(), 2);
    std::vector<std::int32_t> saved = {1, 0, 2, 5, 4, 3, 42, 42, 42};
    EXPECT_TRUE(board->RestoreArrangement(saved));
    EXPECT_EQ(board->CorrectCount(), 2);
    EXPECT_EQ(board->TileAt(0), 1);

    const std::vector<std::vector<std::int32_t>> refused = {
        {0, 0, 2, 3, 4, 5, 6, 7, 8},   // a tile twice, one lost
        {0, 1, 2, 3, 4, 6, 6, 7, 8},   // a tile of an unused row
        {0, 1, 2, 3, 4, -1, 6, 7, 8},  // negative
        {0, 1, 2, 3, 4, 99, 6, 7, 8},  // beyond the arrangement
        {0, 1, 2, 3, 4, 5},            // wrong size
    };
    for (const auto& bad : refused) {
        EXPECT_FALSE(board->RestoreArrangement(bad));
        EXPECT_EQ(board->TileAt(0), 1);
        EXPECT_EQ(board->CorrectCount(), 2);
    }
}

}  // namespace
}  // namespace puzzle
