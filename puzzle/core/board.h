// The puzzle board: a picture cut into square tiles, the arrangement of the
// tiles over the cells, and the count of tiles that stand at home. It
// knows nothing of the store or of where pictures come from: the picture
// set (picture_set.h) makes a board complete, and the game replaces its
// board with the new one in one step.
//
// Cells and tiles are both numbered column + row * hard, where hard is the
// stride of the arrangement (it has hard * hard entries). Only the cells
// with column < Columns() and row < Rows() take part in the game; the
// entry of a cell is the home index of the tile shown in it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "puzzle/core/picture.h"

namespace puzzle {

// Largest difficulty the board accepts whatever the store says. It bounds
// the arrangement to a million entries (4 MB as the stored byte block).
inline constexpr int kMaxHard = 1000;

// How a picture of a given size is fitted to a screen and cut at a given
// difficulty. `hard` is the difficulty actually used: at least 1, and small
// enough for tiles of at least one pixel.
struct BoardGeometry {
    int hard = 1;
    int columns = 1;
    int rows = 1;
    int tileSize = 1;
    int boardWidth = 1;
    int boardHeight = 1;
    Rect source;  // the centre part of the picture that the board shows

    friend bool operator==(const BoardGeometry&, const BoardGeometry&) = default;
};

// What becomes of a picture larger than kLargestPictureSide on a side.
enum class LargePicture {
    // Only its first kLargestPictureSide columns and rows are used: the
    // built-in pictures, whose saved boards were cut so.
    FirstPart,
    // Scaled down, keeping its proportions, to fit within
    // kLargestPictureSide on each side, then fitted and cut as such: own
    // pictures (photos), which so show whole.
    ScaledDown,
};
inline constexpr int kLargestPictureSide = 1000;

// The source part is in the picture's own pixels either way; pictures up
// to kLargestPictureSide on each side are cut the same either way.
BoardGeometry FitBoard(int pictureWidth, int pictureHeight, int screenWidth, int screenHeight,
                       int hard, LargePicture large = LargePicture::FirstPart);

// The board's own generator: x <- x * 1664525 + 1013904223 (mod 2^32),
// seeded from a tick count as T * 1664525 + 1013904223.
class ShuffleGenerator {
public:
    explicit ShuffleGenerator(std::uint32_t tickCount);
    // The current value; the state moves on to the next one.
    std::uint32_t Next();

private:
    std::uint32_t state_;
};

struct CellPair {
    int first = 0;
    int second = 0;
};

// The next two cells the shuffle picks on a grid of columns x rows with
// row stride hard: four generator values give column, row, column, row.
CellPair NextShufflePair(ShuffleGenerator& generator, int columns, int rows, int hard);

struct SwapOutcome {
    bool firstHome = false;   // the first cell now holds its own tile
    bool secondHome = false;  // the second cell now holds its own tile
};

class PuzzleBoard {
public:
    // A board of one cell at the given difficulty, solved, without a
    // picture, until CutPicture.
    explicit PuzzleBoard(int hard);
    ~PuzzleBoard();
    PuzzleBoard(const PuzzleBoard&) = delete;
    PuzzleBoard& operator=(const PuzzleBoard&) = delete;

    // The difficulty used by the next CutPicture. CutPicture replaces it by
    // the value it could actually use. Setting it starts the arrangement
    // again as the identity of its size.
    int Hard() const { return hard_; }
    void SetHard(int hard);

    // Fits and cuts the decoded picture (taken over and released here) for
    // a screen of the given size, makes the board picture and resets the
    // arrangement to the identity. Answers false, changing nothing, when
    // there is no picture or the board picture cannot be made.
    bool CutPicture(std::unique_ptr<Picture> decoded, int screenWidth, int screenHeight,
                    LargePicture large = LargePicture::FirstPart);

    // Scrambles the used cells with the board's generator seeded from the
    // tick count, starting from whatever the arrangement holds, then
    // recounts.
    void Shuffle(std::uint32_t tickCount);
    void Recount();
    // Exchanges the tiles of two used cells. Cells outside the board are
    // left alone and reported as not home.
    SwapOutcome SwapTiles(int first, int second);

    bool IsSolved() const { return correctCount_ == columns_ * rows_; }
    bool IsUsedCell(int cell) const;
    bool IsHome(int cell) const;
    int TileAt(int cell) const;
    int CellIndex(int column, int row) const { return column + row * hard_; }

    int Columns() const { return columns_; }
    int Rows() const { return rows_; }
    int TileSize() const { return tileSize_; }
    int BoardWidth() const { return columns_ * tileSize_; }
    int BoardHeight() const { return rows_ * tileSize_; }
    int CorrectCount() const { return correctCount_; }

    // Where the tile with home index `tile` sits in the board picture.
    Rect TileSquare(int tile) const;
    const Picture* BoardPicture() const { return boardPicture_.get(); }
    bool HasPicture() const { return boardPicture_ != nullptr; }

    // hard * hard entries, in cell order.
    std::span<const std::int32_t> Arrangement() const { return arrangement_; }
    // Takes a saved arrangement when it has exactly hard * hard entries
    // and its used cells hold every used tile exactly once; recounts.
    // Answers false, changing nothing, otherwise.
    bool RestoreArrangement(std::span<const std::int32_t> saved);

    // A plain board stands in for a picture that could not be shown: it
    // is black (or has no picture at all) and solved, and its arrangement
    // is never stored.
    bool IsPlainBoard() const { return plain_; }
    void MarkPlain() { plain_ = true; }

private:
    void ResetArrangement();

    int hard_;
    int columns_ = 1;
    int rows_ = 1;
    int tileSize_ = 1;
    int correctCount_ = 1;
    std::vector<std::int32_t> arrangement_;
    std::unique_ptr<Picture> boardPicture_;
    bool plain_ = false;
};

}  // namespace puzzle
