// What the settings dialog 108 and the Display Properties page 107 share:
// the same controls, filled the same way, following the service, applied
// the same way.
#pragma once

#include <windows.h>

#include <memory>

#include "hotcorners/core/settings_rules.h"

namespace kit::win32 {
class MonitorControls;
}

namespace edgewake {

// Keeps the monitor control's classes registered in the library, drawing
// from its own resources, while any of its dialogs or pages lives in this
// process; the last one to go unregisters them.
class MonitorClassesInUse {
public:
    MonitorClassesInUse();
    ~MonitorClassesInUse();
    MonitorClassesInUse(const MonitorClassesInUse&) = delete;
    MonitorClassesInUse& operator=(const MonitorClassesInUse&) = delete;

    // The set the controls draw from; null when none could be registered.
    static kit::win32::MonitorControls* Controls();
};

class SettingsPanel {
public:
    // The timer by which the status follows the service.
    static constexpr UINT_PTR kStatusTimer = 1;

    explicit SettingsPanel(HWND window) : window_(window) {}

    // Fills the controls from the system, as the mode wants them, and
    // starts following the service.
    void Open(hotcorners::SettingsMode mode);
    // Status text and buttons after whether a service runs now.
    void ShowServiceStatus();

    hotcorners::SettingsChoices Choices() const;

    // A command of one of the controls. The two service buttons act at
    // once; answers whether a setting was changed (for a page, which then
    // tells its sheet).
    bool OnCommand(WPARAM wParam);

    // OK: asks first when no way back is left (false when the user
    // cancels: nothing is written); then the shortcut, "Mouse Corners",
    // the registration, the two options, and the service started or
    // ended. What did not take is shown in one box owned by `owner`.
    bool Apply(HWND owner, bool silent);

private:
    HWND Item(int id) const { return ::GetDlgItem(window_, id); }
    bool Checked(int id) const { return ::IsDlgButtonChecked(window_, id) == BST_CHECKED; }
    void SetChecked(int id, bool checked) {
        ::CheckDlgButton(window_, id, checked ? BST_CHECKED : BST_UNCHECKED);
    }

    HWND window_;
};

// "Mouse Corners" as the kit reads it, and written as four characters;
// false when the write did not take.
hotcorners::CornerActions ReadMouseCorners();
bool WriteMouseCorners(const hotcorners::CornerActions& corners);

}  // namespace edgewake
