// The feedback window "PersistentCornerClass": a small card that stays on
// top of everything near the corner the mouse is in and says what the
// service is doing there (held off, arming, starting, no saver). It takes
// no clicks and never becomes active; state 0 hides it.
#pragma once

#include <windows.h>

#include "hotcorners/core/corner_zone.h"
#include "hotcorners/core/hot_corners.h"

namespace edgewake {

class FeedbackWindow {
public:
    FeedbackWindow() = default;
    ~FeedbackWindow() { Destroy(); }
    FeedbackWindow(const FeedbackWindow&) = delete;
    FeedbackWindow& operator=(const FeedbackWindow&) = delete;

    // Registers the class (once per process) and creates the hidden window.
    bool Create(HINSTANCE module);
    void Destroy();
    HWND Handle() const { return window_; }

    // Shows the state next to the corner (kNoCorner: the bottom-right one).
    void Show(hotcorners::FeedbackState state, int corner, const hotcorners::CornerPoints& points);
    void Hide();

    static constexpr int kWidth = 264;
    static constexpr int kHeight = 56;
    // Distance from the corner's point, so that the card never covers the
    // corner's zone.
    static constexpr int kGap = 28;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc) const;

    HINSTANCE module_ = nullptr;
    HWND window_ = nullptr;
    hotcorners::FeedbackState state_ = hotcorners::FeedbackState::Idle;
};

// Where the card goes for a corner: inside the screen, kGap from the point.
POINT FeedbackPosition(int corner, const hotcorners::CornerPoints& points);

}  // namespace edgewake
