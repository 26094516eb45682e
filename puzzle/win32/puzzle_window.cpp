// The puzzle window as the game's view: drawing requests handed to the
// core's painter, which draws on the window's canvas; timers, the cursor,
// and the boxes and dialogs the game opens.
#include "puzzle/win32/puzzle_window.h"

#include <string>

#include "kit/win32/dozekit.h"
#include "puzzle/core/help_text.h"
#include "puzzle/core/status_text.h"
#include "puzzle/win32/gdi_picture.h"
#include "puzzle/win32/saver_dialogs.h"
#include "puzzle/win32/wallpaper.h"

namespace puzzle {

namespace {

constexpr char kRewardText[] =
    "PS. You can play with your own images! Configure them from the Settings button in the "
    "Display Properties control panel.";
constexpr char kRewardCaption[] = "A reward";
constexpr char kProgressCaption[] = "How you're doing:";

}  // namespace

PuzzleWindow::PuzzleWindow(HWND window, HINSTANCE instance, ImgoraLibLoadProc load)
    : window_(window),
      instance_(instance),
      environment_(instance),
      pictures_(instance, load, window),
      game_(*this, BoardServices{store_, environment_, pictures_, clock_}),
      canvas_(window),
      painter_(game_, canvas_) {}

PuzzleWindow::~PuzzleWindow() = default;

bool PuzzleWindow::ReadyToDraw() {
    if (!game_.Board()) return false;
    switch (canvas_.Prepare(painter_.Mapping().ScreenArea())) {
    case GdiCanvas::Buffer::Missing: return false;
    case GdiCanvas::Buffer::New: painter_.PaintAll(); break;
    case GdiCanvas::Buffer::Kept: break;
    }
    return true;
}

void PuzzleWindow::Paint(HDC dc, const RECT& area) {
    ReadyToDraw();
    canvas_.Present(dc, area);
}

// ---- Drawing requests.

void PuzzleWindow::DrawCells(int column, int row, int columns, int rows) {
    if (ReadyToDraw()) painter_.DrawCells(column, row, columns, rows);
}

void PuzzleWindow::DrawSelectionFrame() {
    if (ReadyToDraw()) painter_.DrawSelectionFrame();
}

void PuzzleWindow::DrawHelpBox() {
    if (ReadyToDraw()) painter_.DrawHelpBox();
}

void PuzzleWindow::EraseHelpBox(HelpBoxErase how) {
    if (ReadyToDraw()) painter_.EraseHelpBox(how);
}

void PuzzleWindow::FlashCells(std::span<const Cell> cells) {
    if (ReadyToDraw()) painter_.FlashCells(cells);
}

void PuzzleWindow::FlashBoard() {
    if (ReadyToDraw()) painter_.FlashBoard();
}

void PuzzleWindow::RepaintNow() {
    RequestRepaint();
    ::UpdateWindow(window_);
}

void PuzzleWindow::RequestRepaint() {
    if (ReadyToDraw()) painter_.PaintAll();
    ::InvalidateRect(window_, nullptr, FALSE);
}

// ---- The window.

// The one place that says where the board goes: a preview shows the design
// screen in its whole client area; the full-screen window covers every
// monitor and shows it on the primary one, where the board stands as on a
// single monitor, so that points anywhere else map beyond the board.
Size PuzzleWindow::LayoutWindow() {
    const Size screen = environment_.ScreenSize();
    if (IsPreview()) {
        RECT client{};
        ::GetClientRect(window_, &client);
        painter_.SetMapping(DesignMapping(screen, {client.right, client.bottom}));
    } else {
        POINT clientOrigin{0, 0};
        ::ClientToScreen(window_, &clientOrigin);
        painter_.SetMapping(OnPrimaryMonitor(screen, clientOrigin.x, clientOrigin.y));
    }
    ReadyToDraw();
    return MeasureHelpText(canvas_);
}

void PuzzleWindow::SetCursor(CursorShape shape) {
    switch (shape) {
    case CursorShape::Arrow: ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW)); break;
    case CursorShape::Wait: ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT)); break;
    case CursorShape::Hidden: ::SetCursor(nullptr); break;
    }
}

void PuzzleWindow::Beep() { ::MessageBeep(MB_OK); }

bool PuzzleWindow::IsShiftDown() { return ::GetKeyState(VK_SHIFT) < 0; }

bool PuzzleWindow::IsPreview() { return ::GetParent(window_) != nullptr; }

void PuzzleWindow::StartTimer(GameTimer timer, std::uint32_t milliseconds) {
    ::SetTimer(window_, static_cast<UINT_PTR>(timer), milliseconds, nullptr);
}

void PuzzleWindow::StopTimer(GameTimer timer) {
    ::KillTimer(window_, static_cast<UINT_PTR>(timer));
}

void PuzzleWindow::SetWallpaper() {
    const PuzzleBoard* board = game_.Board();
    const auto* picture = board ? dynamic_cast<const GdiPicture*>(board->BoardPicture()) : nullptr;
    if (!picture) return;
    const HCURSOR previous = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    SetBoardAsWallpaper(picture->Handle(), environment_.WindowsDirectory());
    ::SetCursor(previous);
}

// ---- Modal windows.

void PuzzleWindow::SetDialogActive(bool active) {
    ::SendMessageA(window_, SCRINTERNAL_DIALOGACTIVE, active ? 1 : 0, 0);
}

void PuzzleWindow::ShowProgressBox() {
    const ProgressStore* progress = game_.Progress();
    if (!progress) return;
    const std::string text =
        ProgressText(progress->CurrentPic(), progress->GameClicks(), progress->GameTime());
    ::MessageBoxA(window_, text.c_str(), kProgressCaption, MB_OK);
}

void PuzzleWindow::ShowEndOfSetDialog() {
    ProgressStore* progress = game_.Progress();
    if (progress && game_.Board())
        RunEndOfSetDialog(instance_, window_, *progress, game_.Board()->Hard());
}

void PuzzleWindow::ShowRewardBox() { ::MessageBoxA(window_, kRewardText, kRewardCaption, MB_OK); }

}  // namespace puzzle
