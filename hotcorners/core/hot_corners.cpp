#include "hotcorners/core/hot_corners.h"

#include <algorithm>

namespace hotcorners {

int StateIcon(FeedbackState state) {
    switch (state) {
    case FeedbackState::HeldOff: return 110;
    case FeedbackState::Arming: return 111;
    case FeedbackState::Starting: return 109;
    case FeedbackState::NoSaver: return 107;
    case FeedbackState::Idle: break;
    }
    return 108;
}

bool IsFullScreenProgram(const std::optional<WindowShape>& foreground, int screenWidth,
                         int screenHeight) {
    return foreground && !foreground->desktop && foreground->visible && foreground->popup &&
           foreground->width == screenWidth && foreground->height == screenHeight;
}

std::string ConfiguredSaver(SaverDesktop& desktop) {
    // The installer writes both places, and choosing "(None)" on NT
    // removes only the registry's value.
    const std::optional<std::string> saver = desktop.DesktopSaverSetting();
    if (desktop.NtFamily()) return saver ? *saver : desktop.IniSaverSetting();
    return saver && !saver->empty() ? *saver : desktop.IniSaverSetting();
}

void HotCorners::Begin() {
    if (!desktop_.HeldOffMark()) return;
    if (!desktop_.ScreenSaverActive()) desktop_.SetScreenSaverActive(true);
    desktop_.SetHeldOffMark(false);
}

void HotCorners::Poll(const PollInput& input) {
    // Read as (0, 0), an unknown position would be the top-left corner.
    if (!input.cursor) return;
    const int corner = CornerAt(*input.cursor, input.corners, input.zone);
    if (corner != lastCorner_) dwellCount_ = 0;
    lastCorner_ = corner;
    char action = '-';
    if (corner != kNoCorner) {
        dwellCount_ = std::min(dwellCount_ + 1, 4);
        action = actions_[static_cast<std::size_t>(corner)];
        if (action != 'Y' && action != 'N') action = '-';
    }

    // A full-screen program (a game, a film) is never interrupted nor
    // told about: the cursor reaches its corners all the time.
    const bool fullScreen =
        action != '-' &&
        IsFullScreenProgram(input.foreground, input.screenWidth, input.screenHeight);
    char decision = '-';
    if (action == 'N') {
        decision = 'N';
    } else if (action == 'Y') {
        if (dwellCount_ < 3 && !fullScreen) SetState(FeedbackState::Arming, true);
        if (dwellCount_ == 3) decision = 'Y';
    }
    if (fullScreen) decision = '-';

    if (decision == '-') {
        if (suppressed_) Restore(true);
        if (action == '-') SetState(FeedbackState::Idle, true);
    } else if (decision == 'N') {
        if (!suppressed_) Suppress(true);
    } else {
        StartSaver(true);
    }
}

void HotCorners::Suppress(bool feedback) {
    if (suppressed_) return;
    savedActive_ = desktop_.ScreenSaverActive();
    if (savedActive_) {
        // Marked first: killed in between, the next start finds the mark.
        desktop_.SetHeldOffMark(true);
        desktop_.SetScreenSaverActive(false);
    }
    suppressed_ = true;
    SetState(FeedbackState::HeldOff, feedback);
}

void HotCorners::Restore(bool feedback) {
    if (!suppressed_) return;
    if (savedActive_) {
        desktop_.SetScreenSaverActive(true);
        desktop_.SetHeldOffMark(false);
    }
    suppressed_ = false;
    SetState(FeedbackState::Idle, feedback);
}

void HotCorners::StartSaver(bool feedback) {
    Restore(false);
    const std::string saver = ConfiguredSaver(desktop_);
    if (saver.empty() || !desktop_.FileExists(saver)) {
        SetState(FeedbackState::NoSaver, feedback);
        return;
    }
    SetState(FeedbackState::Starting, feedback);
    if (desktop_.SaverRunning()) return;
    desktop_.StartSaver();
}

void HotCorners::SetState(FeedbackState state, bool feedback) {
    // Without feedback nothing is shown: restoring on the way to a start,
    // for one, is not worth telling.
    if (!feedback || state == state_) return;
    state_ = state;
    desktop_.ShowState(state);
}

}  // namespace hotcorners
