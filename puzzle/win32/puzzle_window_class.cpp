// The puzzle window's class, its creation for the kit, and its window
// procedure: input mapped to the game, the rest handed on to the kit.
#include "puzzle/win32/puzzle_window_class.h"

#include <new>
#include <optional>

#include "common/win32/system_info.h"
#include "kit/win32/dozekit.h"
#include "puzzle/win32/puzzle_window.h"
#include "puzzle/win32/saver_process.h"

namespace puzzle {

namespace {

constexpr char kClassName[] = "PuzzleWindowClass";
constexpr char kTitle[] = "SaverWindow";

bool IsTopLevel(HWND window) { return ::GetParent(window) == nullptr; }

PuzzleWindow* Attached(HWND window) {
    return reinterpret_cast<PuzzleWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
}

using Handled = std::optional<LRESULT>;
constexpr Handled kPassOn = std::nullopt;

// WM_CREATE comes before any game is attached.
void OnCreate(HWND window) {
    PuzzleWindow* puzzle = nullptr;
    try {
        puzzle = new PuzzleWindow(window, Process().instance, Process().load);
        puzzle->Game().Start();
    } catch (const std::bad_alloc&) {
        // Without memory for the game the window goes on as the kit's.
        delete puzzle;
        return;
    }
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(puzzle));
}

Handled OnPaint(PuzzleWindow& puzzle) {
    win32::PaintDc paint(puzzle.Handle());
    puzzle.Paint(paint.Get(), paint.Info().rcPaint);
    return kPassOn;
}

Handled OnClose(PuzzleWindow& puzzle) {
    // The kit asks the full-screen saver to close on keys and deactivation
    // too; only the player's button release may end it.
    if (IsTopLevel(puzzle.Handle()) && !Process().closeRequested) return 0;
    puzzle.Game().SaveArrangement();
    return kPassOn;
}

Handled OnSetCursor(PuzzleWindow& puzzle) {
    puzzle.Game().ApplyCursorRule();
    return 0;
}

Handled OnKeyDown(PuzzleWindow& puzzle, WPARAM key) {
    puzzle.Game().KeyDown(static_cast<int>(key));
    return kPassOn;
}

Handled OnKeyUp(PuzzleWindow& puzzle, WPARAM key) {
    puzzle.Game().KeyUp(static_cast<int>(key));
    return kPassOn;
}

Handled OnTimer(PuzzleWindow& puzzle, WPARAM id) {
    if (id == static_cast<WPARAM>(GameTimer::Tick) || id == static_cast<WPARAM>(GameTimer::Repaint))
        puzzle.Game().Tick(static_cast<GameTimer>(id));
    return kPassOn;
}

Handled OnMouseMove(PuzzleWindow& puzzle) {
    puzzle.Game().MouseMoved();
    return 0;
}

Handled OnLeftButtonDown(PuzzleWindow& puzzle, LPARAM point) {
    const int x = LOWORD(point), y = HIWORD(point);
    puzzle.Game().LeftClick(puzzle.Mapping().DesignX(x), puzzle.Mapping().DesignY(y));
    return 0;
}

Handled OnCloseButtonUp(PuzzleWindow& puzzle) {
    if (IsTopLevel(puzzle.Handle())) {
        Process().closeRequested = true;
        ::SendMessageA(puzzle.Handle(), WM_CLOSE, 0, 0);
    }
    return 0;
}

// Logging off ends the process without WM_CLOSE or WM_DESTROY: what was
// played so far is stored now (the arrangement as at WM_DESTROY).
Handled OnEndSession(PuzzleWindow& puzzle, WPARAM ending) {
    if (ending) puzzle.Game().SaveProgress();
    return kPassOn;
}

// The game ends when the outermost handler returns (see PuzzleWindowProc).
Handled OnDestroy(HWND window, PuzzleWindow& puzzle) {
    ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    // A preview's host may destroy the window without WM_CLOSE: the
    // arrangement is saved here too, unless another window (the
    // full-screen saver tried meanwhile) has stored newer progress since.
    puzzle.Game().SaveArrangementIfStoreUnchanged();
    puzzle.MarkDestroyed();
    ::PostQuitMessage(0);
    return kPassOn;
}

Handled Dispatch(HWND window, PuzzleWindow& puzzle, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: return OnPaint(puzzle);
    case WM_CLOSE: return OnClose(puzzle);
    case WM_SETCURSOR: return OnSetCursor(puzzle);
    case WM_KEYDOWN: return OnKeyDown(puzzle, wParam);
    case WM_KEYUP: return OnKeyUp(puzzle, wParam);
    case WM_TIMER: return OnTimer(puzzle, wParam);
    case WM_MOUSEMOVE: return OnMouseMove(puzzle);
    case WM_LBUTTONDOWN: return OnLeftButtonDown(puzzle, lParam);
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: return OnCloseButtonUp(puzzle);
    case WM_ENDSESSION: return OnEndSession(puzzle, wParam);
    case WM_DESTROY: return OnDestroy(window, puzzle);
    default: return kPassOn;
    }
}

LRESULT CALLBACK PuzzleWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        OnCreate(window);
    } else if (PuzzleWindow* puzzle = Attached(window)) {
        // A modal box or dialog of a handler runs a message loop, in which
        // the window may be destroyed (a preview's host going away): the
        // game ends only once no handler of it is running any more.
        puzzle->EnterHandler();
        const Handled result = Dispatch(window, *puzzle, message, wParam, lParam);
        if (puzzle->LeaveHandler()) {
            puzzle->Game().End();
            delete puzzle;
        }
        if (result) return *result;
    }
    return DefSaverProc(window, message, wParam, lParam);
}

}  // namespace

bool RegisterPuzzleWindowClass(HINSTANCE instance) {
    return win32::RegisterRedrawnClass(instance, PuzzleWindowProc, kClassName,
                                       static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)));
}

HWND CALLBACK PuzzleCreateWindow(UINT, LPCREATESTRUCTA create) {
    if (!create) return nullptr;
    return ::CreateWindowExA(create->dwExStyle, kClassName, kTitle,
                             static_cast<DWORD>(create->style), create->x, create->y, create->cx,
                             create->cy, create->hwndParent, nullptr, Process().instance,
                             create->lpCreateParams);
}

}  // namespace puzzle
