#include "puzzle/core/board.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace puzzle {
namespace {

constexpr int kMissingPictureSide = 16;
constexpr int kShuffleExchanges = 2000;

int UsablePictureSide(int side) {
    if (side <= 0) return kMissingPictureSide;
    return std::min(side, kLargestPictureSide);
}

}  // namespace

BoardGeometry FitBoard(int pictureWidth, int pictureHeight, int screenWidth, int screenHeight,
                       int hard, LargePicture large) {
    if (large == LargePicture::ScaledDown &&
        (pictureWidth > kLargestPictureSide || pictureHeight > kLargestPictureSide) &&
        pictureWidth > 0 && pictureHeight > 0) {
        // The longer side becomes kLargestPictureSide and the other keeps
        // the proportion, rounded (3000 x 2000 gives 1000 x 667).
        const std::int64_t w = pictureWidth, h = pictureHeight, largest = kLargestPictureSide;
        const std::int64_t longer = std::max(w, h);
        const int scaledWidth =
            static_cast<int>(std::max<std::int64_t>(1, (w * largest + longer / 2) / longer));
        const int scaledHeight =
            static_cast<int>(std::max<std::int64_t>(1, (h * largest + longer / 2) / longer));
        BoardGeometry g = FitBoard(scaledWidth, scaledHeight, screenWidth, screenHeight, hard);
        // The same part of the picture, in its own pixels.
        const auto left = g.source.x * w / scaledWidth;
        const auto right = std::min(w, (g.source.x + g.source.width) * w / scaledWidth);
        const auto top = g.source.y * h / scaledHeight;
        const auto bottom = std::min(h, (g.source.y + g.source.height) * h / scaledHeight);
        g.source = {static_cast<int>(left), static_cast<int>(top),
                    static_cast<int>(std::max<std::int64_t>(1, right - left)),
                    static_cast<int>(std::max<std::int64_t>(1, bottom - top))};
        return g;
    }
    const int width = UsablePictureSide(pictureWidth);
    const int height = UsablePictureSide(pictureHeight);
    const double scale = std::min(static_cast<double>(screenWidth) / width,
                                  static_cast<double>(screenHeight) / height);
    // A screen of no size still gets a board of one pixel rather than a
    // division by zero below.
    const int fittedWidth = std::max(1, static_cast<int>(width * scale));
    const int fittedHeight = std::max(1, static_cast<int>(height * scale));
    const int longerSide = std::max(fittedWidth, fittedHeight);

    BoardGeometry g;
    g.hard = std::clamp(hard, 1, std::min(longerSide, kMaxHard));
    g.tileSize = longerSide / g.hard;
    // A tile longer than the fitted shorter side still makes one row (or
    // column) there. At a low difficulty (1, from a damaged store) it may
    // then leave the screen: the tile goes down to that side, which keeps
    // the grid as it was and the board inside the screen. Boards that fit
    // are cut as they always were.
    if (g.tileSize > screenWidth || g.tileSize > screenHeight)
        g.tileSize = std::min(fittedWidth, fittedHeight);
    // Whole tiles may fit more than hard times along a side when the tile
    // size does not divide it; the arrangement has room for hard only.
    g.columns = std::clamp(fittedWidth / g.tileSize, 1, g.hard);
    g.rows = std::clamp(fittedHeight / g.tileSize, 1, g.hard);
    g.boardWidth = g.columns * g.tileSize;
    g.boardHeight = g.rows * g.tileSize;

    const int sourceWidth = std::clamp(
        static_cast<int>(static_cast<double>(g.boardWidth) / fittedWidth * width), 1, width);
    const int sourceHeight = std::clamp(
        static_cast<int>(static_cast<double>(g.boardHeight) / fittedHeight * height), 1, height);
    g.source = {(width - sourceWidth) / 2, (height - sourceHeight) / 2, sourceWidth, sourceHeight};
    return g;
}

ShuffleGenerator::ShuffleGenerator(std::uint32_t tickCount)
    : state_(tickCount * 1664525u + 1013904223u) {}

std::uint32_t ShuffleGenerator::Next() {
    const std::uint32_t value = state_;
    state_ = state_ * 1664525u + 1013904223u;
    return value;
}

CellPair NextShufflePair(ShuffleGenerator& generator, int columns, int rows, int hard) {
    const auto pick = [&generator](int count) {
        return static_cast<int>((generator.Next() >> 20) % static_cast<std::uint32_t>(count));
    };
    const int c1 = pick(columns);
    const int r1 = pick(rows);
    const int c2 = pick(columns);
    const int r2 = pick(rows);
    return {c1 + r1 * hard, c2 + r2 * hard};
}

PuzzleBoard::PuzzleBoard(int hard) { SetHard(hard); }

void PuzzleBoard::SetHard(int hard) {
    hard_ = std::clamp(hard, 1, kMaxHard);
    ResetArrangement();
}

PuzzleBoard::~PuzzleBoard() = default;

bool PuzzleBoard::CutPicture(std::unique_ptr<Picture> decoded, int screenWidth, int screenHeight,
                             LargePicture large) {
    if (!decoded) return false;
    const BoardGeometry g =
        FitBoard(decoded->Width(), decoded->Height(), screenWidth, screenHeight, hard_, large);
    std::unique_ptr<Picture> cut = decoded->ScaledPart(g.source, g.boardWidth, g.boardHeight);
    if (!cut) return false;

    hard_ = g.hard;
    columns_ = g.columns;
    rows_ = g.rows;
    tileSize_ = g.tileSize;
    boardPicture_ = std::move(cut);
    plain_ = false;
    ResetArrangement();
    return true;
}

void PuzzleBoard::ResetArrangement() {
    arrangement_.resize(static_cast<std::size_t>(hard_) * hard_);
    for (std::size_t i = 0; i < arrangement_.size(); ++i)
        arrangement_[i] = static_cast<std::int32_t>(i);
    columns_ = std::min(columns_, hard_);
    rows_ = std::min(rows_, hard_);
    correctCount_ = columns_ * rows_;
}

void PuzzleBoard::Shuffle(std::uint32_t tickCount) {
    ShuffleGenerator generator(tickCount);
    for (int i = 0; i < kShuffleExchanges; ++i) {
        const auto [a, b] = NextShufflePair(generator, columns_, rows_, hard_);
        // Skipped when the tile in b belongs in a.
        if (arrangement_[b] == a) continue;
        std::swap(arrangement_[a], arrangement_[b]);
    }
    Recount();
}

void PuzzleBoard::Recount() {
    int count = 0;
    for (int row = 0; row < rows_; ++row)
        for (int column = 0; column < columns_; ++column)
            if (arrangement_[CellIndex(column, row)] == CellIndex(column, row)) ++count;
    correctCount_ = count;
}

SwapOutcome PuzzleBoard::SwapTiles(int first, int second) {
    // A cell swapped with itself changes nothing and is never reported,
    // not even when its tile is at home.
    if (first == second || !IsUsedCell(first) || !IsUsedCell(second)) return {};
    const std::int32_t firstTile = arrangement_[first];
    const std::int32_t secondTile = arrangement_[second];
    if (firstTile == first) --correctCount_;
    if (secondTile == second) --correctCount_;
    arrangement_[first] = secondTile;
    arrangement_[second] = firstTile;
    SwapOutcome outcome;
    outcome.firstHome = secondTile == first;
    outcome.secondHome = firstTile == second;
    if (outcome.firstHome) ++correctCount_;
    if (outcome.secondHome) ++correctCount_;
    return outcome;
}

bool PuzzleBoard::IsUsedCell(int cell) const {
    return cell >= 0 && cell < hard_ * hard_ && cell % hard_ < columns_ && cell / hard_ < rows_;
}

bool PuzzleBoard::IsHome(int cell) const { return IsUsedCell(cell) && arrangement_[cell] == cell; }

int PuzzleBoard::TileAt(int cell) const { return IsUsedCell(cell) ? arrangement_[cell] : cell; }

Rect PuzzleBoard::TileSquare(int tile) const {
    return {(tile % hard_) * tileSize_, (tile / hard_) * tileSize_, tileSize_, tileSize_};
}

bool PuzzleBoard::RestoreArrangement(std::span<const std::int32_t> saved) {
    if (saved.size() != arrangement_.size()) return false;
    std::vector<bool> seen(arrangement_.size(), false);
    for (int row = 0; row < rows_; ++row) {
        for (int column = 0; column < columns_; ++column) {
            const std::int32_t tile = saved[CellIndex(column, row)];
            if (!IsUsedCell(tile) || seen[tile]) return false;
            seen[tile] = true;
        }
    }
    std::copy(saved.begin(), saved.end(), arrangement_.begin());
    Recount();
    return true;
}

}  // namespace puzzle
