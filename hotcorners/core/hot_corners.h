// The service's decisions: what resting the cursor in a corner does,
// poll by poll. The service window polls twice a second and hands in what
// it sees (cursor, corner points, the foreground window's shape); the
// desktop's screen saver is reached through `SaverDesktop`, so a test can
// play a minute of mouse movement in microseconds.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "hotcorners/core/corner_zone.h"

namespace hotcorners {

// What the user is told (task-bar icon, feedback window).
enum class FeedbackState {
    Idle = 0,      // nothing special
    HeldOff = 1,   // a Never corner holds the screen saver off
    Arming = 2,    // a Now corner will start the saver if the cursor stays
    Starting = 3,  // the saver is being started
    NoSaver = 4,   // a Now corner found no screen saver to start
};

// The icon resource that shows a state: 108, 110, 111, 109, 107.
int StateIcon(FeedbackState state);

// Corner actions as "Mouse Corners" spells them: 'Y' Now, 'N' Never, '-'.
using CornerActions = std::array<char, 4>;
inline constexpr CornerActions kNoActions = {'-', '-', '-', '-'};

// The foreground window as the poll needs it; nothing when there is none.
struct WindowShape {
    bool visible = false;
    bool popup = false;  // a window without caption or border (WS_POPUP)
    int width = 0;
    int height = 0;
    // The desktop itself or the shell's window behind the icons: full-screen
    // pop-ups too, and in the foreground whenever no program is.
    bool desktop = false;
};

// A full-screen program: a visible pop-up window exactly the screen's
// size that is not the desktop.
bool IsFullScreenProgram(const std::optional<WindowShape>& foreground, int screenWidth,
                         int screenHeight);

// What one poll sees.
struct PollInput {
    // Nothing while another desktop has the input (a locked workstation, a
    // password or rights prompt): the platform cannot tell where it is.
    std::optional<Point> cursor;
    CornerPoints corners;  // ScreenCorners or MonitorCorners
    int zone = 0;          // the corner triangle's size, in pixels
    int screenWidth = 0;
    int screenHeight = 0;
    std::optional<WindowShape> foreground;
};

// The desktop's screen saver and the service's feedback, as the platform
// offers them.
class SaverDesktop {
public:
    virtual ~SaverDesktop() = default;
    virtual bool ScreenSaverActive() = 0;
    virtual void SetScreenSaverActive(bool active) = 0;
    // A mark that outlives the service: set while it holds off a saver
    // that was on, so that the next start can switch back on what a
    // service killed meanwhile (End task, a crash) left off.
    virtual bool HeldOffMark() = 0;
    virtual void SetHeldOffMark(bool held) = 0;
    // Windows NT and its successors (not 95, 98 or Me).
    virtual bool NtFamily() = 0;
    // "SCRNSAVE.EXE" of the user's desktop settings in the registry (empty
    // when not set; nothing when the desktop's key cannot be read), and of
    // section "boot" of "system.ini" (empty when not set).
    virtual std::optional<std::string> DesktopSaverSetting() = 0;
    virtual std::string IniSaverSetting() = 0;
    virtual bool FileExists(const std::string& path) = 0;
    virtual bool SaverRunning() = 0;
    // Asks the desktop to start its screen saver now.
    virtual void StartSaver() = 0;
    // Tells the feedback windows and the task-bar icon of a new state.
    virtual void ShowState(FeedbackState state) = 0;
};

// The saver program the desktop starts; empty when none. On the NT family
// the user's desktop settings decide: a missing value is the user's
// "(None)", whatever "system.ini" still names, which counts only when the
// settings cannot be read at all. Older systems use "system.ini" unless
// the registry names a saver.
std::string ConfiguredSaver(SaverDesktop& desktop);

class HotCorners {
public:
    explicit HotCorners(SaverDesktop& desktop) : desktop_(desktop) {}

    void SetActions(const CornerActions& actions) { actions_ = actions; }
    const CornerActions& Actions() const { return actions_; }

    // The service starts: a saver that an earlier run held off and never
    // switched back on (it was killed) is switched on again.
    void Begin();

    // One timer tick. A Now corner starts the saver on the third
    // consecutive poll in it and not again until the cursor has left; a
    // Never corner holds the saver off while the cursor stays. A poll that
    // cannot see the cursor is skipped: it changes nothing.
    void Poll(const PollInput& input);

    // Switches the screen saver off, remembering whether it was on.
    void Suppress(bool feedback);
    // Switches it back on if the service switched it off and it was on.
    void Restore(bool feedback);
    // Starts the configured saver unless one runs already.
    void StartSaver(bool feedback);
    // The service or the session ends: a saver held off is switched back
    // on, or it would stay off for good.
    void End() { Restore(false); }

    FeedbackState State() const { return state_; }
    int LastCorner() const { return lastCorner_; }
    int DwellCount() const { return dwellCount_; }
    bool Suppressed() const { return suppressed_; }

private:
    void SetState(FeedbackState state, bool feedback);

    SaverDesktop& desktop_;
    CornerActions actions_ = kNoActions;
    int lastCorner_ = kNoCorner;
    int dwellCount_ = 0;  // consecutive polls in the last corner, at most 4
    bool suppressed_ = false;
    bool savedActive_ = false;
    FeedbackState state_ = FeedbackState::Idle;  // as last shown
};

}  // namespace hotcorners
