// The puzzle board: a picture cut into square tiles, the arrangement of the
// tiles over the cells, and the count of tiles that stand at home.
//
// Cells and tiles are both numbered column + row * hard, where hard is the
// stride of the arrangement (it has hard * hard entries). Only the cells
// with column < Columns() and row < Rows() take part in the game; the
// entry of a cell is the home index of the tile shown in it.
//
// The same object keeps the settings and progress that go with the board
// (board_store.cpp) and makes the current board from the current picture
// of the set (picture_set.cpp).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "puzzle/core/picture.h"
#include "puzzle/core/services.h"

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

BoardGeometry FitBoard(int pictureWidth, int pictureHeight, int screenWidth,
                       int screenHeight, int hard);

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

// The key that ReadTimesAtEnd works in.
enum class StoreKeyChoice { Progress, Base };

class PuzzleBoard {
public:
    // A board on its own: it reads and stores nothing and has no pictures.
    PuzzleBoard();
    // A board with its store and pictures; reads its settings at once.
    explicit PuzzleBoard(const BoardServices& services);
    ~PuzzleBoard();
    PuzzleBoard(const PuzzleBoard&) = delete;
    PuzzleBoard& operator=(const PuzzleBoard&) = delete;

    // The difficulty used by the next CutPicture. CutPicture replaces it by
    // the value it could actually use.
    int Hard() const { return hard_; }
    void SetHard(int hard) { hard_ = hard; }

    // Fits and cuts the decoded picture (taken over and released here) for
    // a screen of the given size, makes the board picture and resets the
    // arrangement to the identity. Answers false, changing nothing, when
    // there is no picture or the board picture cannot be made.
    bool CutPicture(std::unique_ptr<Picture> decoded, int screenWidth,
                    int screenHeight);

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

    // ---- Settings and progress. Each operation opens its key, works and
    // closes it again; a key that cannot be opened leaves the values in
    // memory as each operation says, and nothing is reported. Settings
    // that are read are written back, so missing ones are created with
    // their defaults.

    // The own-pictures folder, set to `newFolder` when one is given.
    const std::string& ReadOwnDir(std::optional<std::string_view> newFolder = std::nullopt);
    // Reads "UseOwnPics", or sets it to `newValue` (1 on, anything else
    // off). Own pictures count as in use only while the folder holds one.
    bool ReadUseOwnPics(std::optional<int> newValue = std::nullopt);
    // Reads "TimesAtEnd", adding 1 when `count` is set.
    int ReadTimesAtEnd(bool count, StoreKeyChoice key);
    // Reads hard and TopHard, sets hard to `newValue` unless it is 0,
    // raises TopHard to hard, writes both, and NextHard = hard when
    // `alsoSetNext` is set.
    void ReadDifficulty(int newValue = 0, bool alsoSetNext = false);
    // Adds play time and moves to "GameTime" and "GameClicks".
    void AddPlayTotals(std::uint32_t milliseconds, int moves);
    // Writes the arrangement as "index", unless the board is plain.
    void SaveArrangement();
    void SaveNextHard(int value);
    // Moves on to the next picture of the set and makes its board.
    void AdvancePicture();
    void ResetCurrentPic();
    // Whether no picture of the set in use follows the stored current one.
    bool IsLastPicture();

    // ---- The pictures of the set.

    // Own picture `number` (from 1): the number-th picture file of the
    // own-pictures folder as the system lists it; its path when asked.
    bool FindOwnPicture(int number, std::string* path = nullptr);
    bool BuiltInPictureExists(int number);
    // Makes the board of the current picture: decodes and cuts it, then
    // restores the saved arrangement or shuffles and stores a new one.
    // When no picture can be decoded at all the board is plain: black,
    // solved, and nothing of it is stored. False in that case. Until the
    // new board is complete the board stays as it was, whole.
    bool LoadCurrentPicture();
    bool IsPlainBoard() const { return plain_; }

    // ---- The values in memory.
    const std::string& BaseKeyName() const { return baseKeyName_; }
    const std::string& ProgressKeyName() const { return progressKeyName_; }
    const std::string& OwnDir() const { return ownDir_; }
    bool UsesOwnPictures() const { return useOwnPics_; }
    int CurrentPic() const { return currentPic_; }
    int TopHard() const { return topHard_; }
    int DefaultHard() const { return defaultHard_; }
    int DefaultTopHard() const;
    std::uint32_t GameTime() const { return gameTime_; }
    int GameClicks() const { return gameClicks_; }
    int TimesAtEnd() const { return timesAtEnd_; }

private:
    void ResetArrangement();
    void OpenStore();
    std::unique_ptr<StoreKey> OpenProgressKey(bool create);
    // Decodes the picture that LoadCurrentPicture chose and cuts it into
    // `next`, the board being made; false when there was none to decode or
    // it could not be used.
    bool CutOwnPicture(const std::string& path, PuzzleBoard& next);
    bool CutBuiltInPicture(int number, PuzzleBoard& next);
    bool CutPlainPicture(PuzzleBoard& next);
    bool RestoreSavedArrangement(StoreKey& key, PuzzleBoard& next);
    // Takes over the tiles of the board made in `next` (difficulty, grid,
    // arrangement, board picture) at once.
    void TakeTiles(PuzzleBoard& next);
    void StoreNewArrangement(bool restart);

    BoardServices services_;

    int hard_;
    int columns_ = 1;
    int rows_ = 1;
    int tileSize_ = 1;
    int correctCount_ = 1;
    std::vector<std::int32_t> arrangement_;
    std::unique_ptr<Picture> boardPicture_;
    bool plain_ = false;

    std::string baseKeyName_;
    std::string progressKeyName_;
    std::string ownDir_;
    bool useOwnPics_ = false;
    int currentPic_ = 1;
    int topHard_ = 0;
    int defaultHard_ = 0;
    std::uint32_t gameTime_ = 0;
    int gameClicks_ = 0;
    int timesAtEnd_ = 0;
};

}  // namespace puzzle
