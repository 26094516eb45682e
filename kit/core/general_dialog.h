// The general page of the configuration sheet: the user's kit settings
// as the page edits them, with a saved copy for Cancel. The page writes
// the registry on every change of a control, OK confirms, Cancel writes
// the saved copy back. What the page needs of its window and of the
// system is behind GeneralPage and PageServices.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kit/core/diagnostics.h"
#include "kit/core/monitor_rules.h"
#include "kit/core/prefs.h"
#include "kit/core/settings_store.h"
#include "kit/core/user_settings.h"
#include "resources/dozekit_res.h"

namespace kit {

// The page's controls, by id (resources/dozekit_res.h).
class GeneralPage {
public:
    virtual ~GeneralPage() = default;
    // The window style of the hot-corner monitor control.
    virtual std::uint32_t MonitorStyle() = 0;
    virtual void SetMonitorStyle(std::uint32_t style) = 0;
    virtual void Show(int id, bool shown) = 0;
    virtual void Enable(int id, bool enabled) = 0;
    virtual void SetText(int id, const std::string& text) = 0;
    // The control's text read into a buffer of `capacity` characters.
    virtual std::string Text(int id, std::size_t capacity) = 0;
    // A drop-down list: empties it and adds the rows.
    virtual void SetRows(int id, const std::vector<std::string>& rows) = 0;
    virtual void Select(int id, std::uint32_t row) = 0;
    virtual std::optional<std::uint32_t> Selection(int id) = 0;
    virtual void SetSpinRange(int id, int low, int high) = 0;
    virtual void SetChecked(int id, bool checked) = 0;
    virtual bool Checked(int id) = 0;
};

// Routing codes of a PrefsChangeNotice.
inline constexpr std::uint32_t kNoticeKindMask = 0xFFF;  // the low 12 bits: the kind
inline constexpr std::uint32_t kNoticeKitValues = 0x001;
inline constexpr std::uint32_t kNoticeLive = 0x1000;       // not yet confirmed
inline constexpr std::uint32_t kNoticeConfirmed = 0x2000;  // confirmed by OK
inline constexpr std::uint32_t kNoticeToPreviews = 0x4000;
inline constexpr std::uint32_t kNoticeToOwner = 0x8000;
inline constexpr std::uint32_t kLiveChangeCode = 0xD001;
inline constexpr std::uint32_t kConfirmedCode = 0xE001;

// What the page asks of the system.
class PageServices {
public:
    virtual ~PageServices() = default;
    // Whether a hot-corner service answers (Sage.DLL, then Edgewake.dll).
    virtual int DetectHotCornerService() = 0;
    // Kept kit-wide: the monitor control warns on a corner choice when 0.
    virtual void KeepHotCornerService(int detected) = 0;
    // "Screen_Saver_Changed" of Sage.DLL, then of Edgewake.dll.
    virtual void TellHotCornerServices() = 0;
    // WM_WININICHANGE "Windows" to every top-level window.
    virtual void BroadcastSettingsChange() = 0;
    // SCRM_PREFSCHANGED with this code and block to the sheet's owner.
    virtual void SendNotice(std::uint32_t code, const PrefsChangeBlock& block) = 0;
};

class GeneralDialog {
public:
    // Defaults, then the registry, and the saved copy taken.
    GeneralDialog(const Registry& registry, RegistryWriter& writer, const StringTable& strings,
                  const ScrPrefs& prefs, Diagnostics& diagnostics);

    void ReadRegistry();
    bool WriteRegistry();
    void RememberValues() { saved_ = values_; }
    // Puts the saved copy back; whether anything differed from it.
    bool RevertValues();
    void NotifyChanges(PageServices& services, bool confirmed);

    void SetupControls(GeneralPage& page, PageServices& services);
    // A control changed: takes the controls' values and, when any
    // differs, writes the registry and tells everyone of a live change.
    // Nothing while setting up.
    void StoreControlChanges(GeneralPage& page, PageServices& services);
    // The delay field loses the focus: text the page refuses as a delay
    // (no number, negative, too large), which left the delay as it was,
    // gives way to the delay in force.
    void LeaveDelayField(GeneralPage& page);

    // OK: the current values become the saved copy and are confirmed.
    void Apply(PageServices& services);
    // Cancel: the saved copy is written back when anything changed.
    void Reset(PageServices& services);

    const UserSettings& Values() const { return values_; }
    const UserSettings& Saved() const { return saved_; }

private:
    // The controls' values into values_; whether any differs.
    bool TakeControlValues(GeneralPage& page);

    const Registry& registry_;
    RegistryWriter& writer_;
    const StringTable& strings_;
    const ScrPrefs& prefs_;
    Diagnostics& diagnostics_;
    bool settingUp_ = false;
    UserSettings values_;
    UserSettings saved_;
};

// One row of the sensitivity list ("Low, 400"): the text before the first
// comma (all of it without one) and the "%i" integer after it.
struct SensitivityRow {
    std::string label;
    std::optional<std::int32_t> threshold;
};
SensitivityRow ParseSensitivityRow(std::string_view text);

// The notice the page sends the sheet's owner (the hidden host dialog):
// the sheet window, the routing code and the changed values.
struct PrefsChangeNotice {
    std::uintptr_t sheet;
    std::uint32_t code;
    const PrefsChangeBlock* block;
};

struct NoticeDeliveries {
    bool owner;     // the window that opened the configuration
    bool previews;  // previews in the sheet's monitor controls
};
// 0x8000 the owner, 0x4000 the previews, neither both; never the owner of
// a configuration that was not opened from a running saver, never the
// previews with fNoPreviewUpdate.
NoticeDeliveries RouteNotice(std::uint32_t code, bool openedFromSaver, bool noPreviewUpdate);

// Which help file to hand WinHelp: the kit's help file (the client's name
// first) for the active-configuration help; for any other help that file
// when it exists, else the System Agent's. Nothing when no name loads.
std::optional<std::string> ChooseHelpFile(bool activeConfigHelp,
                                          const std::optional<std::string>& kitHelpFile,
                                          const std::optional<std::string>& agentHelpFile,
                                          bool kitHelpFileExists);

// The page's (control, help context) pairs, ended by two zeros.
inline constexpr std::array<std::uint32_t, 28> kGeneralPageHelp = {IDC_DK_SENSITIVITY_LABEL,
                                                                   IDH_DK_SENSITIVITY,
                                                                   IDC_DK_SENSITIVITY_NOTE,
                                                                   IDH_DK_SENSITIVITY,
                                                                   IDC_DK_SENSITIVITY,
                                                                   IDH_DK_SENSITIVITY,
                                                                   IDC_DK_DELAY_LABEL,
                                                                   IDH_DK_DELAY,
                                                                   IDC_DK_DELAY,
                                                                   IDH_DK_DELAY,
                                                                   IDC_DK_DELAY_SPIN,
                                                                   IDH_DK_DELAY,
                                                                   IDC_DK_DELAY_UNIT,
                                                                   IDH_DK_DELAY,
                                                                   IDC_DK_DELAY_AFTER,
                                                                   IDH_DK_DELAY,
                                                                   IDC_DK_SERVICE_FOUND,
                                                                   IDH_DK_CORNERS,
                                                                   IDC_DK_NO_SERVICE,
                                                                   IDH_DK_CORNERS,
                                                                   IDC_DK_MONITOR,
                                                                   IDH_DK_CORNERS,
                                                                   IDC_DK_MUTE,
                                                                   IDH_DK_MUTE,
                                                                   IDC_DK_ACTIVE_CONFIG,
                                                                   IDH_DK_ACTIVE_CONFIG,
                                                                   0,
                                                                   0};

}  // namespace kit
