// The puzzle window: the window the kit asks for in full screen and in the
// preview, the game played in it, and all its drawing. Its window class
// and procedure are in puzzle_window_class.h.
//
// Conventions of the window procedure (puzzle_window_class.cpp): one OnXxx
// handler per message. A handler that answers std::nullopt hands the
// message on to the kit's DefSaverProc; one that answers a value has
// consumed it. Messages that come while no game is attached (before
// WM_CREATE has made one, or when it could not) go to DefSaverProc only.
//
// Drawing: the game's requests (puzzle_window.cpp) go to the core's painter
// (puzzle/core/board_painter.h), which draws with a few primitives on the
// window's canvas, an off-screen copy of the client area (gdi_canvas.h),
// and shows what it changed at once. WM_PAINT only copies the off-screen
// copy; it paints it afresh only when the client area changed size.
#pragma once

#include <windows.h>

#include <memory>

#include "common/win32/guards.h"
#include "imagelib/win32/imgoralib.h"
#include "puzzle/core/board_painter.h"
#include "puzzle/core/game.h"
#include "puzzle/win32/gdi_canvas.h"
#include "puzzle/win32/registry_store.h"
#include "puzzle/win32/saver_environment.h"
#include "puzzle/win32/saver_pictures.h"

namespace puzzle {

class PuzzleWindow final : public GameView {
public:
    PuzzleWindow(HWND window, HINSTANCE instance, ImgoraLibLoadProc load);
    ~PuzzleWindow() override;
    PuzzleWindow(const PuzzleWindow&) = delete;
    PuzzleWindow& operator=(const PuzzleWindow&) = delete;

    PuzzleGame& Game() { return game_; }

    // Handlers of the window's messages nest while a modal box is up.
    // LeaveHandler answers true when the outermost one returns after the
    // window was destroyed: the game is then to end.
    void EnterHandler() { ++handlers_; }
    bool LeaveHandler() { return --handlers_ == 0 && destroyed_; }
    void MarkDestroyed() { destroyed_ = true; }

    HWND Handle() const { return window_; }
    const DesignMapping& Mapping() const { return painter_.Mapping(); }

    // WM_PAINT: copies `area` of the off-screen copy to `dc`.
    void Paint(HDC dc, const RECT& area);

    // ---- GameView.
    void DrawCells(int column, int row, int columns, int rows) override;
    void FlashCells(std::span<const Cell> cells) override;
    void FlashBoard() override;
    void DrawSelectionFrame() override;
    void DrawHelpBox() override;
    void EraseHelpBox(HelpBoxErase how) override;
    void RepaintNow() override;
    void RequestRepaint() override;
    Size LayoutWindow() override;
    void SetCursor(CursorShape shape) override;
    void Beep() override;
    bool IsShiftDown() override;
    bool IsPreview() override;
    void StartTimer(GameTimer timer, std::uint32_t milliseconds) override;
    void StopTimer(GameTimer timer) override;
    void SetWallpaper() override;
    void SetDialogActive(bool active) override;
    void ShowProgressBox() override;
    void ShowEndOfSetDialog() override;
    void ShowRewardBox() override;

private:
    // Whether there is a board and an off-screen copy to draw on; a copy
    // made anew (the first, or after a change of size) is painted whole.
    bool ReadyToDraw();

    HWND window_;
    HINSTANCE instance_;
    RegistryStore store_;
    Win32Environment environment_;
    SaverPictures pictures_;
    TickClock clock_;
    PuzzleGame game_;

    int handlers_ = 0;
    bool destroyed_ = false;

    GdiCanvas canvas_;
    BoardPainter painter_;
};

}  // namespace puzzle
