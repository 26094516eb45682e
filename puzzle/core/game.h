// The game played on a board: a click selects a misplaced tile, a click on
// another misplaced tile swaps the two, and a click on a solved board moves
// on to the next picture. Between bursts of play the game falls idle and a
// help box wanders over the picture. Play time and moves are measured here
// and added to the store's totals.
//
// Times are ticks of a 32-bit clock that wraps: they are only ever
// subtracted, modulo 2^32, never compared directly.
#pragma once

#include <cstdint>
#include <memory>

#include "puzzle/core/board.h"
#include "puzzle/core/game_view.h"
#include "puzzle/core/picture_set.h"
#include "puzzle/core/progress_store.h"
#include "puzzle/core/services.h"

namespace puzzle {

// Idle: attract mode, the help box wanders. Playing: no tile selected.
// TileSelected: one misplaced tile selected (SelectedCell) and framed.
enum class GameState { Idle, Playing, TileSelected };

// Keys the game tells apart, by their virtual-key codes.
inline constexpr int kKeyShift = 0x10;
inline constexpr int kKeyControl = 0x11;
inline constexpr int kKeyF1 = 0x70;

// The help box's generator, the C runtime's rand(): state * 214013 +
// 2531011, values from bits 16 to 30 of the state (0 to 32767).
class HelpBoxGenerator {
public:
    explicit HelpBoxGenerator(std::uint32_t seed = 0) : state_(seed) {}
    int Next();

private:
    std::uint32_t state_;
};

// The game's timings, in milliseconds of the tick count.
inline constexpr std::uint32_t kIdleTimeoutMs = 12000;  // no activity for longer: idle
inline constexpr std::uint32_t kSolvedLingerMs = 6000;  // idle this long after a solve
inline constexpr std::uint32_t kMouseGraceMs = 1500;    // mouse ignored after a layout
// The idle help box eats the picture away in black for one half period
// and gives it back for the next.
inline constexpr std::uint32_t kBlackoutHalfPeriodMs = 100000;
inline constexpr std::uint32_t kTickPeriodMs = 1500;   // the tick timer
inline constexpr std::uint32_t kRepaintDelayMs = 200;  // the one-shot repaint timer

// The help box is the measured help text and this many tenths of it, in
// whole tiles: a fifth more.
inline constexpr int kHelpBoxTenths = 12;

class PuzzleGame {
public:
    // The view and the services must outlive the game.
    PuzzleGame(GameView& view, const BoardServices& services);
    ~PuzzleGame();
    PuzzleGame(const PuzzleGame&) = delete;
    PuzzleGame& operator=(const PuzzleGame&) = delete;

    // Called by the window: Start once when it is created, End once when it
    // is destroyed, and the input in between. Points are in screen-design
    // pixels. Nothing happens outside Start and End.
    void Start();
    void LeftClick(int x, int y);
    void MouseMoved();
    void KeyDown(int key);
    void KeyUp(int key);
    void Tick(GameTimer timer);
    void End();

    // Brings the store up to date while play goes on: the play time and
    // moves so far go into the totals, and the arrangement is saved as by
    // SaveArrangementIfStoreUnchanged. For the end of the session, which
    // ends the saver without End.
    void SaveProgress();
    // Stores the board's arrangement (when the window closes).
    void SaveArrangement();
    // Stores it only while the store still holds the board this game last
    // restored or stored: for a window that goes without being closed (a
    // preview whose host goes), which another window may have overtaken
    // meanwhile.
    void SaveArrangementIfStoreUnchanged();

    // The arrow in play and while a dialog is open; hidden while idle.
    void ApplyCursorRule();
    // The "How you're doing:" box, or with `endOfSet` the end-of-set
    // dialog; the totals are brought up to date first.
    void ShowStatus(bool endOfSet);

    // ---- For drawing.
    // Null before Start and after End. The board is replaced whole when
    // the picture changes.
    const PuzzleBoard* Board() const { return board_.get(); }
    // The settings and totals; null before Start and after End.
    ProgressStore* Progress() { return progress_.get(); }
    GameState State() const { return state_; }
    bool IsSolved() const { return board_ && board_->IsSolved(); }
    bool BadTilesShown() const { return badTilesShown_; }
    bool TileSelected() const { return state_ == GameState::TileSelected; }
    Cell SelectedCell() const { return selected_; }  // valid while TileSelected
    bool HelpBoxShown() const { return helpBoxShown_; }
    Cell HelpBoxCell() const { return helpBoxCell_; }
    Size HelpBoxSize() const { return helpBoxSize_; }  // in whole tiles
    int HelpTextOffset() const { return helpTextOffset_; }
    Size Screen() const { return screen_; }
    int BoardLeft() const { return boardLeft_; }
    int BoardTop() const { return boardTop_; }
    bool DialogOpen() const { return dialogsOpen_ > 0; }

    // ---- Play time and moves not yet in the store's totals.
    bool TimingOn() const { return timingOn_; }
    std::uint32_t PendingTime() const { return pendingTime_; }

private:
    std::uint32_t Now() { return services_.clock.Now(); }
    void Layout();
    void Wake();
    void FallIdle();
    void SwapWithSelection(Cell clicked);
    void Solved();
    void MoveOn();
    // Makes the board of the current picture, or with `next` of the next
    // one. A decode may show the image library's boxes, which have no
    // owner, so the window stays live under them: meanwhile the game
    // counts as under a dialog.
    void ChangePicture(bool next);
    void PollShift();
    void ShowBadTiles();
    void HideBadTiles();
    void DrawMisplacedCells();
    void DrawCell(Cell cell) { view_.DrawCells(cell.column, cell.row, 1, 1); }
    void DrawAllCells();
    // Takes the help box away, when it is shown.
    void EraseHelpBox();
    void PlaceHelpBox();
    void StartTiming();
    void StopTiming();
    // Moves the time measured so far to the pending totals and goes on
    // measuring, so that a flush includes the time up to now.
    void CatchUpTiming();
    void Flush();
    int Index(Cell cell) const { return board_->CellIndex(cell.column, cell.row); }

    GameView& view_;
    BoardServices services_;
    // Made at Start and released at End, in this order.
    std::unique_ptr<ProgressStore> progress_;
    std::unique_ptr<PictureSet> pictures_;
    std::unique_ptr<PuzzleBoard> board_;

    GameState state_ = GameState::Idle;
    Cell selected_;
    bool badTilesShown_ = false;
    bool helpBoxShown_ = false;
    Cell helpBoxCell_;
    Size helpBoxSize_;
    int helpTextOffset_ = 0;
    HelpBoxGenerator helpBoxGenerator_;
    bool repaintTimerRunning_ = false;

    Size screen_;
    int boardLeft_ = 0;
    int boardTop_ = 0;

    std::uint32_t idleStart_ = 0;
    std::uint32_t lastActivity_ = 0;
    std::uint32_t layoutTime_ = 0;
    int dialogsOpen_ = 0;  // a box may open over another (F1 over the library's box)
    // The store has moved on to the next picture, whose board could not be
    // made yet (no memory).
    bool movedOn_ = false;

    bool timingOn_ = false;
    std::uint32_t timingStart_ = 0;
    int movesThisPeriod_ = 0;
    std::uint32_t pendingTime_ = 0;
    int pendingMoves_ = 0;
};

}  // namespace puzzle
