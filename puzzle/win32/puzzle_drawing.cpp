// The puzzle window as the game's view: drawing with GDI into the
// off-screen copy of the client area, timers, the cursor, and the boxes
// and dialogs the game opens.
#include <algorithm>
#include <string>

#include "kit/win32/dozekit.h"
#include "puzzle/core/status_text.h"
#include "puzzle/win32/gdi_picture.h"
#include "puzzle/win32/puzzle_window.h"
#include "puzzle/win32/saver_dialogs.h"
#include "puzzle/win32/wallpaper.h"

namespace puzzle {

namespace {

// The help text measured for the box's size, line by line and wrapped.
constexpr const char* kHelpLines[] = {
    "Screensaver Redira:",      "Left-click next image", "Left click to move tiles",
    "Right-click to exit",      "CTRL to set wallpaper", "SHIFT to show bad tiles",
};
// The solved board's text is also the one measured for the box's height.
constexpr char kSolvedHelpText[] =
    "Screensaver Redira:\r\nLeft-click next image\r\nRight-click to exit\r\nCTRL to set wallpaper";
constexpr char kPlayingHelpText[] =
    "Screensaver Redira\r\nLeft-click to move tiles\r\nRight-click to exit\r\nSHIFT to show bad tiles";

constexpr char kRewardText[] =
    "PS. You can play with your own images! Configure them from the Settings button in the "
    "Display Properties control panel.";
constexpr char kRewardCaption[] = "A reward";
constexpr char kProgressCaption[] = "How you're doing:";

constexpr DWORD kFlashGrey = 100;   // ms after the start of a flash
constexpr DWORD kFlashWhite = 200;

HFONT NewHelpFont() {
    LOGFONTA font{};
    font.lfHeight = 18;
    font.lfWeight = FW_BOLD;
    font.lfItalic = TRUE;
    font.lfCharSet = ANSI_CHARSET;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    return ::CreateFontIndirectA(&font);
}

RECT ToRect(const WindowRect& area) { return {area.left, area.top, area.right, area.bottom}; }

void WaitUntil(DWORD start, DWORD elapsed) {
    while (::GetTickCount() - start < elapsed) ::Sleep(0);
}

// A memory device context holding the board picture for copying from.
class PictureDc {
public:
    PictureDc(HDC compatible, const Picture* picture)
        : picture_(picture),
          dc_(::CreateCompatibleDC(compatible)),
          selection_(dc_.Get(), Bitmap(picture)) {}
    HDC Get() const { return dc_.Get(); }
    explicit operator bool() const { return dc_ && Bitmap(picture_) != nullptr; }

private:
    static HGDIOBJ Bitmap(const Picture* picture) {
        const auto* gdi = dynamic_cast<const GdiPicture*>(picture);
        return gdi ? gdi->Handle() : nullptr;
    }

    const Picture* picture_ = nullptr;
    win32::UniqueMemoryDc dc_;
    win32::Selection selection_;
};

}  // namespace

PuzzleWindow::PuzzleWindow(HWND window, HINSTANCE instance, ImgoraLibLoadProc load)
    : window_(window),
      instance_(instance),
      environment_(instance),
      pictures_(instance, load, window),
      game_(*this, BoardServices{store_, environment_, pictures_, clock_}),
      helpFont_(NewHelpFont()) {}

PuzzleWindow::~PuzzleWindow() = default;

BoardPlacement PuzzleWindow::Placement() const {
    const PuzzleBoard* board = game_.Board();
    BoardPlacement placement;
    placement.screen = game_.Screen();
    placement.left = game_.BoardLeft();
    placement.top = game_.BoardTop();
    if (board) {
        placement.tileSize = board->TileSize();
        placement.columns = board->Columns();
        placement.rows = board->Rows();
    }
    return placement;
}

bool PuzzleWindow::EnsureBuffer() {
    RECT client{};
    ::GetClientRect(window_, &client);
    const Size size{std::max<int>(client.right, 1), std::max<int>(client.bottom, 1)};
    if (bufferDc_ && buffer_ && size == bufferSize_) return true;

    bufferSelection_.reset();
    buffer_.Reset();
    bufferDc_.Reset();
    win32::WindowDc screen(window_);
    if (!screen) return false;
    bufferDc_.Reset(::CreateCompatibleDC(screen.Get()));
    buffer_.Reset(::CreateCompatibleBitmap(screen.Get(), size.width, size.height));
    if (!bufferDc_ || !buffer_) return false;
    bufferSelection_ = std::make_unique<win32::Selection>(bufferDc_.Get(), buffer_.Get());
    bufferSize_ = size;
    ::PatBlt(bufferDc_.Get(), 0, 0, size.width, size.height, BLACKNESS);
    return true;
}

void PuzzleWindow::Present(HDC dc, const RECT& area) {
    if (!bufferDc_) return;
    ::BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top,
             bufferDc_.Get(), area.left, area.top, SRCCOPY);
}

void PuzzleWindow::Show(const WindowRect& area) {
    win32::WindowDc dc(window_);
    if (dc) Present(dc.Get(), ToRect(area));
}

void PuzzleWindow::Fill(const WindowRect& area, HBRUSH brush) {
    const RECT rect = ToRect(area);
    ::FillRect(bufferDc_.Get(), &rect, brush);
}

// ---- Drawing.

void PuzzleWindow::PaintAll() {
    if (!EnsureBuffer() || !game_.Board()) return;
    const PuzzleBoard& board = *game_.Board();
    DrawCellsTo(0, 0, board.Columns(), board.Rows());
    if (!game_.BadTilesShown()) DrawSelectionFrameTo();
    if (game_.HelpBoxShown()) DrawHelpBoxTo();
    const HBRUSH black = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    for (const WindowRect& margin : MarginRects(mapping_, Placement())) Fill(margin, black);
}

void PuzzleWindow::DrawCellsTo(int column, int row, int columns, int rows) {
    const PuzzleBoard& board = *game_.Board();
    // Only cells of the board: a help box as wide as the board or wider
    // reaches into the margin.
    const int right = std::min(column + columns, board.Columns());
    const int bottom = std::min(row + rows, board.Rows());
    column = std::max(column, 0);
    row = std::max(row, 0);

    const BoardPlacement placement = Placement();
    const HBRUSH highlight = ::GetSysColorBrush(COLOR_HIGHLIGHT);
    const HBRUSH black = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    PictureDc picture(bufferDc_.Get(), board.BoardPicture());
    const int oldMode = ::SetStretchBltMode(bufferDc_.Get(), COLORONCOLOR);
    for (int n = row; n < bottom; ++n) {
        for (int m = column; m < right; ++m) {
            const int cell = board.CellIndex(m, n);
            const WindowRect area = CellRect(mapping_, placement, {m, n});
            if (game_.BadTilesShown() && !board.IsHome(cell)) {
                Fill(area, highlight);
            } else if (!picture) {
                Fill(area, black);
            } else {
                const Rect square = board.TileSquare(board.TileAt(cell));
                ::StretchBlt(bufferDc_.Get(), area.left, area.top, area.Width(), area.Height(),
                             picture.Get(), square.x, square.y, square.width, square.height,
                             SRCCOPY);
            }
        }
    }
    ::SetStretchBltMode(bufferDc_.Get(), oldMode);
}

void PuzzleWindow::DrawCells(int column, int row, int columns, int rows) {
    if (!EnsureBuffer() || !game_.Board()) return;
    DrawCellsTo(column, row, columns, rows);
    Show(TileBlockRect(mapping_, Placement(), {column, row}, {columns, rows}));
}

void PuzzleWindow::DrawSelectionFrameTo() {
    if (!game_.TileSelected()) return;
    const WindowRect cell = CellRect(mapping_, Placement(), game_.SelectedCell());
    const HDC dc = bufferDc_.Get();
    const HGDIOBJ pens[] = {::GetStockObject(WHITE_PEN), ::GetStockObject(BLACK_PEN),
                            ::GetStockObject(WHITE_PEN)};
    int inset = 0;
    for (HGDIOBJ pen : pens) {
        const int left = cell.left + inset, top = cell.top + inset;
        const int right = cell.right - 1 - inset, bottom = cell.bottom - 1 - inset;
        const POINT outline[] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}};
        win32::Selection selection(dc, pen);
        ::Polyline(dc, outline, 5);
        ++inset;
    }
}

void PuzzleWindow::DrawSelectionFrame() {
    if (!EnsureBuffer() || !game_.Board()) return;
    DrawSelectionFrameTo();
    Show(CellRect(mapping_, Placement(), game_.SelectedCell()));
}

void PuzzleWindow::DrawHelpBoxTo() {
    const WindowRect box =
        TileBlockRect(mapping_, Placement(), game_.HelpBoxCell(), game_.HelpBoxSize());
    const HDC dc = bufferDc_.Get();
    Fill(box, ::GetSysColorBrush(COLOR_ACTIVEBORDER));
    ::SetTextColor(dc, ::GetSysColor(COLOR_CAPTIONTEXT));
    ::SetBkColor(dc, ::GetSysColor(COLOR_ACTIVEBORDER));
    {
        win32::Selection font(dc, helpFont_.Get());
        RECT text = ToRect(box);
        text.top += game_.HelpTextOffset();  // window pixels, not scaled
        ::DrawTextA(dc, game_.IsSolved() ? kSolvedHelpText : kPlayingHelpText, -1, &text,
                    DT_WORDBREAK | DT_VCENTER | DT_CENTER);
    }
    const POINT outline[] = {{box.left, box.top},
                             {box.left, box.bottom - 1},
                             {box.right - 1, box.bottom - 1},
                             {box.right - 1, box.top},
                             {box.left, box.top}};
    win32::Selection pen(dc, ::GetStockObject(BLACK_PEN));
    ::Polyline(dc, outline, 5);
}

void PuzzleWindow::DrawHelpBox() {
    if (!EnsureBuffer() || !game_.Board()) return;
    DrawHelpBoxTo();
    Show(TileBlockRect(mapping_, Placement(), game_.HelpBoxCell(), game_.HelpBoxSize()));
}

void PuzzleWindow::EraseHelpBox(HelpBoxErase how) {
    if (!EnsureBuffer() || !game_.Board()) return;
    const Cell cell = game_.HelpBoxCell();
    const Size size = game_.HelpBoxSize();
    const WindowRect box = TileBlockRect(mapping_, Placement(), cell, size);
    // What lies beyond the board is margin, black either way.
    Fill(box, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    if (how == HelpBoxErase::Restore) DrawCellsTo(cell.column, cell.row, size.width, size.height);
    Show(box);
}

void PuzzleWindow::Flash(std::span<const WindowRect> areas) {
    const DWORD start = ::GetTickCount();
    const HDC dc = bufferDc_.Get();
    win32::Selection pen(dc, ::GetStockObject(NULL_PEN));
    for (auto [elapsed, brush] : {std::pair{kFlashGrey, LTGRAY_BRUSH}, std::pair{kFlashWhite, WHITE_BRUSH}}) {
        WaitUntil(start, elapsed);
        for (const WindowRect& area : areas) {
            Fill(area, static_cast<HBRUSH>(::GetStockObject(brush)));
            Show(area);
        }
        ::GdiFlush();
    }
}

void PuzzleWindow::FlashCells(std::span<const Cell> cells) {
    if (!EnsureBuffer() || !game_.Board()) return;
    std::vector<WindowRect> areas;
    for (const Cell& cell : cells.first(std::min<std::size_t>(cells.size(), 2)))
        areas.push_back(CellRect(mapping_, Placement(), cell));
    Flash(areas);
}

void PuzzleWindow::FlashBoard() {
    if (!EnsureBuffer() || !game_.Board()) return;
    const WindowRect board = BoardRect(mapping_, Placement());
    Flash({&board, 1});
}

void PuzzleWindow::RepaintNow() {
    ::InvalidateRect(window_, nullptr, FALSE);
    ::UpdateWindow(window_);
}

void PuzzleWindow::RequestRepaint() { ::InvalidateRect(window_, nullptr, FALSE); }

// ---- The window.

Size PuzzleWindow::LayoutWindow() {
    RECT client{};
    ::GetClientRect(window_, &client);
    mapping_ = DesignMapping(environment_.ScreenSize(), {client.right, client.bottom});
    EnsureBuffer();

    win32::WindowDc screen;
    if (!screen) return {};
    win32::Selection font(screen.Get(), helpFont_.Get());
    int width = 0;
    for (const char* line : kHelpLines) {
        RECT measured{};
        ::DrawTextA(screen.Get(), line, -1, &measured, DT_CALCRECT);
        width = std::max<int>(width, measured.right - measured.left);
    }
    RECT wrapped{0, 0, width, 0};
    ::DrawTextA(screen.Get(), kSolvedHelpText, -1, &wrapped, DT_CALCRECT | DT_WORDBREAK);
    return {width, static_cast<int>(wrapped.bottom - wrapped.top)};
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
    const PuzzleBoard* board = game_.Board();
    if (!board) return;
    const std::string text = ProgressText(board->CurrentPic(), board->GameClicks(), board->GameTime());
    ::MessageBoxA(window_, text.c_str(), kProgressCaption, MB_OK);
}

void PuzzleWindow::ShowEndOfSetDialog() {
    if (PuzzleBoard* board = game_.Board()) RunEndOfSetDialog(instance_, window_, *board);
}

void PuzzleWindow::ShowRewardBox() { ::MessageBoxA(window_, kRewardText, kRewardCaption, MB_OK); }

}  // namespace puzzle
