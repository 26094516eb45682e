#include "puzzle/core/game.h"

#include <new>
#include <vector>

namespace puzzle {

int HelpBoxGenerator::Next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
}

PuzzleGame::PuzzleGame(GameView& view, const BoardServices& services)
    : view_(view), services_(services) {}

PuzzleGame::~PuzzleGame() = default;

void PuzzleGame::Start() {
    dialogsOpen_ = 0;
    timingOn_ = false;
    progress_ = std::make_unique<ProgressStore>(services_);
    pictures_ = std::make_unique<PictureSet>(*progress_, services_);
    ChangePicture(false);

    state_ = GameState::Idle;
    idleStart_ = Now();
    view_.StartTimer(GameTimer::Tick, kTickPeriodMs);
    view_.StartTimer(GameTimer::Repaint, kRepaintDelayMs);
    repaintTimerRunning_ = true;
    lastActivity_ = Now();
    helpBoxGenerator_ = HelpBoxGenerator(Now());
    helpBoxShown_ = false;
    Layout();
}

void PuzzleGame::Layout() {
    screen_ = services_.environment.ScreenSize();
    boardLeft_ = (screen_.width - board_->BoardWidth()) / 2;
    boardTop_ = (screen_.height - board_->BoardHeight()) / 2;
    // The help text and a fifth more, in whole tiles.
    const Size text = view_.LayoutWindow();
    const int tile = board_->TileSize();
    helpBoxSize_ = {(tile + (text.width * kHelpBoxTenths) / 10 - 1) / tile,
                    (tile + (text.height * kHelpBoxTenths) / 10 - 1) / tile};
    helpTextOffset_ = (helpBoxSize_.height * tile - text.height) / 2;

    layoutTime_ = Now();
    pendingTime_ = 0;
    pendingMoves_ = 0;
    PollShift();
}

void PuzzleGame::LeftClick(int x, int y) {
    // Boxes of the game's own are owned by the window, which takes no
    // clicks under them; the image library's are not: a click on the old
    // board under them must not move on a second time.
    if (!board_ || dialogsOpen_ > 0) return;
    lastActivity_ = Now();
    if (state_ == GameState::Idle) {
        Wake();
        return;
    }
    if (board_->IsSolved()) {
        MoveOn();
        return;
    }
    if (badTilesShown_) return;

    const int tile = board_->TileSize();
    if (x < boardLeft_ || y < boardTop_) return;
    const Cell clicked{(x - boardLeft_) / tile, (y - boardTop_) / tile};
    if (clicked.column >= board_->Columns() || clicked.row >= board_->Rows()) return;
    // A tile at home is locked.
    if (board_->IsHome(Index(clicked))) return;

    if (state_ == GameState::Playing) {
        selected_ = clicked;
        state_ = GameState::TileSelected;
        view_.DrawSelectionFrame();
    } else {
        SwapWithSelection(clicked);
    }
}

void PuzzleGame::SwapWithSelection(Cell clicked) {
    // The selected tile clicked again is swapped with itself: one move.
    const Cell a = selected_;
    const SwapOutcome outcome = board_->SwapTiles(Index(a), Index(clicked));
    ++movesThisPeriod_;
    state_ = GameState::Playing;
    if (board_->IsSolved()) {
        Solved();
        return;
    }
    std::vector<Cell> home;
    if (outcome.firstHome) home.push_back(a);
    if (outcome.secondHome) home.push_back(clicked);
    if (!home.empty()) {
        view_.Beep();
        view_.FlashCells(home);
    }
    DrawCell(a);
    DrawCell(clicked);
}

void PuzzleGame::Solved() {
    view_.Beep();
    view_.FlashBoard();
    DrawAllCells();
    // Falls idle a solved linger after this click.
    lastActivity_ = Now() + kSolvedLingerMs - kIdleTimeoutMs;
    StopTiming();
    Flush();
    // Another window may have moved on, or another folder been chosen,
    // meanwhile: the stored number and folder count.
    const int current = progress_->ReloadCurrentPic();
    if (progress_->UsesOwnPictures()) progress_->RefreshOwnDir();
    if (pictures_->IsLastPicture(current)) {
        progress_->CountCompletedSet();
        ShowStatus(true);
    }
}

void PuzzleGame::MoveOn() {
    view_.SetCursor(CursorShape::Wait);
    ChangePicture(true);
    // However long a box stayed up meanwhile, play goes on from the new
    // board.
    lastActivity_ = Now();
    Layout();
    view_.RepaintNow();
    ApplyCursorRule();
    // A board that comes solved (a plain one) is not timed.
    if (!board_->IsSolved()) StartTiming();
}

void PuzzleGame::ChangePicture(bool next) {
    ++dialogsOpen_;
    try {
        // After a move on whose board could not be made the store is on
        // the next picture already: only its board is made this time.
        bool make = true;
        if (next && !movedOn_) {
            movedOn_ = true;
            // Without a progress key there is nothing to move on to.
            make = progress_->AdvancePicture();
        }
        if (make) {
            auto made = pictures_->MakeCurrentBoard(board_ ? board_->Hard() : progress_->Hard());
            board_ = std::move(made);
        }
        movedOn_ = false;
    } catch (const std::bad_alloc&) {
        --dialogsOpen_;
        // Without a board yet the game cannot start: the window goes on
        // without it. Otherwise the board shown stays, and the next click
        // on it tries again.
        if (!board_) throw;
        return;
    }
    --dialogsOpen_;
}

void PuzzleGame::MouseMoved() {
    if (!board_ || Now() - layoutTime_ < kMouseGraceMs) return;
    lastActivity_ = Now();
    if (state_ == GameState::Idle) Wake();
}

void PuzzleGame::KeyDown(int key) {
    if (!board_) return;
    lastActivity_ = Now();
    if (key == kKeyF1) ShowStatus(false);
    if (key == kKeyShift) {
        if (state_ == GameState::Idle) Wake();
        ShowBadTiles();
        return;
    }
    if (state_ == GameState::TileSelected) return;
    if (key == kKeyControl && board_->IsSolved()) view_.SetWallpaper();
}

void PuzzleGame::KeyUp(int) {
    if (!board_) return;
    lastActivity_ = Now();
    HideBadTiles();
}

void PuzzleGame::Tick(GameTimer timer) {
    if (!board_) return;
    PollShift();
    if (timer == GameTimer::Repaint && repaintTimerRunning_) {
        view_.StopTimer(GameTimer::Repaint);
        repaintTimerRunning_ = false;
        if (view_.IsPreview()) view_.RequestRepaint();
    }
    EraseHelpBox();
    if (view_.IsPreview()) return;

    if (state_ != GameState::Idle) {
        if (Now() - lastActivity_ > kIdleTimeoutMs && dialogsOpen_ == 0) FallIdle();
        if (state_ != GameState::Idle) return;
    }
    PlaceHelpBox();
}

void PuzzleGame::End() {
    if (!board_) return;
    StopTiming();
    Flush();
    board_.reset();
    pictures_.reset();
    progress_.reset();
    view_.StopTimer(GameTimer::Tick);
    if (repaintTimerRunning_) view_.StopTimer(GameTimer::Repaint);
    repaintTimerRunning_ = false;
}

void PuzzleGame::SaveProgress() {
    if (!board_) return;
    CatchUpTiming();
    Flush();
    SaveArrangementIfStoreUnchanged();
}

void PuzzleGame::SaveArrangement() {
    if (board_) progress_->SaveArrangement(*board_);
}

void PuzzleGame::SaveArrangementIfStoreUnchanged() {
    if (board_) progress_->SaveArrangementIfUnchanged(*board_);
}

void PuzzleGame::Wake() {
    state_ = GameState::Playing;
    // What a tick would do now: the help box goes, and its cells come back.
    PollShift();
    EraseHelpBox();
    ApplyCursorRule();
    DrawAllCells();
    if (!board_->IsSolved()) StartTiming();
}

void PuzzleGame::FallIdle() {
    if (state_ == GameState::TileSelected) {
        state_ = GameState::Playing;
        DrawCell(selected_);
    }
    state_ = GameState::Idle;
    ApplyCursorRule();
    idleStart_ = Now();
    StopTiming();
}

void PuzzleGame::EraseHelpBox() {
    if (!helpBoxShown_) return;
    // While idle the box eats the picture away in black for one half
    // period, then gives it back for the next.
    const bool black = state_ == GameState::Idle &&
                       (Now() - idleStart_) % (2 * kBlackoutHalfPeriodMs) >= kBlackoutHalfPeriodMs;
    view_.EraseHelpBox(black ? HelpBoxErase::Black : HelpBoxErase::Restore);
    helpBoxShown_ = false;
}

void PuzzleGame::PlaceHelpBox() {
    const int columns = board_->Columns(), rows = board_->Rows();
    // A box that would cover every cell (a board of a few large tiles)
    // would hide the whole picture: the board shows without one.
    if (helpBoxSize_.width >= columns && helpBoxSize_.height >= rows) return;
    const int forColumn = helpBoxGenerator_.Next() >> 3;
    const int forRow = helpBoxGenerator_.Next() >> 3;
    helpBoxCell_.column =
        helpBoxSize_.width < columns ? forColumn % (columns - helpBoxSize_.width + 1) : 0;
    helpBoxCell_.row = helpBoxSize_.height < rows ? forRow % (rows - helpBoxSize_.height + 1) : 0;
    helpBoxShown_ = true;
    view_.DrawHelpBox();
}

void PuzzleGame::ApplyCursorRule() {
    view_.SetCursor(state_ != GameState::Idle || dialogsOpen_ > 0 ? CursorShape::Arrow
                                                                  : CursorShape::Hidden);
}

void PuzzleGame::ShowStatus(bool endOfSet) {
    if (!board_) return;
    CatchUpTiming();
    Flush();

    view_.SetDialogActive(true);
    ++dialogsOpen_;
    ApplyCursorRule();
    if (endOfSet) {
        view_.ShowEndOfSetDialog();
        if (progress_->TimesAtEnd() == 1 && !progress_->UsesOwnPictures()) view_.ShowRewardBox();
    } else {
        view_.ShowProgressBox();
    }
    --dialogsOpen_;
    // Still marked for the kit while the library's box that this one
    // opened over is up.
    if (dialogsOpen_ == 0) view_.SetDialogActive(false);
    ApplyCursorRule();
}

void PuzzleGame::PollShift() {
    if (view_.IsShiftDown()) {
        ShowBadTiles();
        lastActivity_ = Now();
    } else {
        HideBadTiles();
    }
}

void PuzzleGame::ShowBadTiles() {
    if (badTilesShown_) return;
    badTilesShown_ = true;
    DrawMisplacedCells();
}

void PuzzleGame::HideBadTiles() {
    if (!badTilesShown_) return;
    badTilesShown_ = false;
    DrawMisplacedCells();
    if (state_ == GameState::TileSelected) view_.DrawSelectionFrame();
}

void PuzzleGame::DrawMisplacedCells() {
    for (int row = 0; row < board_->Rows(); ++row)
        for (int column = 0; column < board_->Columns(); ++column)
            if (!board_->IsHome(board_->CellIndex(column, row))) DrawCell({column, row});
}

void PuzzleGame::DrawAllCells() { view_.DrawCells(0, 0, board_->Columns(), board_->Rows()); }

void PuzzleGame::StartTiming() {
    if (timingOn_) return;
    movesThisPeriod_ = 0;
    timingStart_ = Now();
    timingOn_ = true;
}

void PuzzleGame::StopTiming() {
    if (!timingOn_) return;
    pendingTime_ += Now() - timingStart_;
    pendingMoves_ += movesThisPeriod_;
    timingOn_ = false;
}

void PuzzleGame::CatchUpTiming() {
    if (!timingOn_) return;
    StopTiming();
    StartTiming();
}

void PuzzleGame::Flush() {
    progress_->AddPlayTotals(pendingTime_, pendingMoves_);
    pendingTime_ = 0;
    pendingMoves_ = 0;
}

}  // namespace puzzle
