#include "hotcorners/win32/settings_panel.h"

#include <optional>
#include <vector>

#include "common/win32/guards.h"
#include "hotcorners/core/service_rules.h"
#include "hotcorners/win32/edgewake.h"
#include "hotcorners/win32/registration.h"
#include "hotcorners/win32/startup_shortcut.h"
#include "kit/win32/current_user_registry.h"
#include "kit/win32/monitor_control.h"
#include "resources/edgewake_res.h"

namespace edgewake {
namespace {

constexpr UINT kStatusPeriodMs = 500;
constexpr char kCornersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers";
constexpr char kCornersValue[] = "Mouse Corners";

// The monitor control's set while it is in use: its diagnostics stay
// silent (the library has no debug output to switch on).
struct MonitorSet {
    kit::ScrPrefs prefs{};
    kit::Diagnostics diagnostics{prefs, nullptr};
    std::unique_ptr<kit::win32::MonitorControls> controls;
    bool registered = false;
};
MonitorSet* g_monitors = nullptr;
int g_monitorUsers = 0;

}  // namespace

MonitorClassesInUse::MonitorClassesInUse() {
    if (g_monitorUsers++ > 0) return;
    g_monitors = new MonitorSet;
    kit::win32::MonitorSetup setup;
    setup.module = Module();
    setup.ids.rowTexts = {IDS_EW_ROW_DEFAULT, IDS_EW_ROW_NOW, IDS_EW_ROW_NEVER};
    setup.ids.anchorText = IDS_EW_ANCHORS;
    setup.ids.monitorBitmap = IDB_EW_MONITOR;
    setup.ids.cornerBitmaps = {IDB_EW_CORNER_DEFAULT, IDB_EW_CORNER_NOW, IDB_EW_CORNER_NEVER};
    setup.diagnostics = &g_monitors->diagnostics;
    g_monitors->controls = std::make_unique<kit::win32::MonitorControls>(setup);
    g_monitors->registered = kit::win32::RegisterMonitorClasses(*g_monitors->controls);
}

MonitorClassesInUse::~MonitorClassesInUse() {
    if (--g_monitorUsers > 0) return;
    if (g_monitors->registered)
        kit::win32::UnregisterMonitorClasses(Module(), g_monitors->diagnostics);
    delete g_monitors;
    g_monitors = nullptr;
}

kit::win32::MonitorControls* MonitorClassesInUse::Controls() {
    return g_monitors && g_monitors->registered ? g_monitors->controls.get() : nullptr;
}

hotcorners::CornerActions ReadMouseCorners() {
    return hotcorners::ReadCornerActions(kit::win32::CurrentUserRegistry{});
}

bool WriteMouseCorners(const hotcorners::CornerActions& corners) {
    return WriteTexts(HKEY_CURRENT_USER, kCornersKey,
                      {{kCornersValue, hotcorners::CornersText(corners)}});
}

void SettingsPanel::Open(hotcorners::SettingsMode mode) {
    hotcorners::FoundSettings found;
    found.corners = ReadMouseCorners();
    found.shortcutExists = StartupShortcutExists();
    found.pageRegistered = PageRegistered();
    found.showFeedback = GetShowFeedback();
    found.showIcon = GetShowIcon();
    const hotcorners::SettingsChoices choices = hotcorners::OpeningChoices(found, mode);

    HWND monitor = Item(IDC_EW_MONITOR);
    const auto style = static_cast<std::uint32_t>(::GetWindowLongA(monitor, GWL_STYLE));
    ::SetWindowLongA(
        monitor, GWL_STYLE,
        static_cast<LONG>(kit::StyleWithCorners(style, hotcorners::ToControl(choices.corners))));
    ::InvalidateRect(monitor, nullptr, FALSE);
    SetChecked(IDC_EW_FEEDBACK, choices.feedback);
    SetChecked(IDC_EW_PAGE, choices.page);
    SetChecked(IDC_EW_ICON, choices.icon);
    SetChecked(IDC_EW_STARTUP, choices.startup);

    if (mode != hotcorners::SettingsMode::Silent) {
        if (hotcorners::StartsServiceAtOpening(mode, ServiceWindow() != nullptr))
            StartServiceProcess();
        ::SetTimer(window_, kStatusTimer, kStatusPeriodMs, nullptr);
    }
    ShowServiceStatus();
}

void SettingsPanel::ShowServiceStatus() {
    const bool runs = ServiceWindow() != nullptr;
    ::ShowWindow(Item(IDC_EW_RUNNING), runs ? SW_SHOWNA : SW_HIDE);
    ::ShowWindow(Item(IDC_EW_NOT_RUNNING), runs ? SW_HIDE : SW_SHOWNA);
    ::EnableWindow(Item(IDC_EW_START), !runs);
    ::EnableWindow(Item(IDC_EW_TERMINATE), runs);
    if (kit::win32::MonitorControls* controls = MonitorClassesInUse::Controls())
        controls->SetServiceDetected(runs);
}

hotcorners::SettingsChoices SettingsPanel::Choices() const {
    hotcorners::SettingsChoices choices;
    choices.corners = hotcorners::FromControl(kit::CornersFromStyle(
        static_cast<std::uint32_t>(::GetWindowLongA(Item(IDC_EW_MONITOR), GWL_STYLE))));
    choices.feedback = Checked(IDC_EW_FEEDBACK);
    choices.page = Checked(IDC_EW_PAGE);
    choices.icon = Checked(IDC_EW_ICON);
    choices.startup = Checked(IDC_EW_STARTUP);
    return choices;
}

bool SettingsPanel::OnCommand(WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDC_EW_START:
        StartServiceProcess();
        ShowServiceStatus();
        return false;
    case IDC_EW_TERMINATE:
        EndService();
        ShowServiceStatus();
        return false;
    case IDC_EW_MONITOR: return true;
    case IDC_EW_FEEDBACK:
    case IDC_EW_PAGE:
    case IDC_EW_ICON:
    case IDC_EW_STARTUP: return HIWORD(wParam) == BN_CLICKED;
    default: return false;
    }
}

bool SettingsPanel::Apply(HWND owner, bool silent) {
    const hotcorners::SettingsChoices choices = Choices();
    if (!hotcorners::KeepsWayBack(choices) &&
        ::MessageBoxA(owner, hotcorners::kUninstallQuestion, hotcorners::kUninstallCaption,
                      MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        return false;

    if (choices.startup)
        CreateStartupShortcut(owner);
    else
        RemoveStartupShortcut(owner);
    const bool cornersWritten = WriteMouseCorners(choices.corners);
    if (cornersWritten) CornersChanged();
    RegistryRegistration registry;
    const auto problems = hotcorners::ApplyRegistration(registry, LibraryPath(), choices.page);
    SetShowFeedback(choices.feedback);
    SetShowIcon(choices.icon);
    if (!problems.empty() || !cornersWritten)
        ::MessageBoxA(owner, hotcorners::ProblemText(problems, !cornersWritten).c_str(),
                      hotcorners::kProblemCaption, MB_OK | MB_ICONEXCLAMATION);
    // What stands now, for a page that stays open.
    SetChecked(IDC_EW_PAGE, PageRegistered());
    SetChecked(IDC_EW_STARTUP, StartupShortcutExists());

    switch (hotcorners::ServiceAfterApply(choices, ServiceWindow() != nullptr, silent)) {
    case hotcorners::ServiceStep::Start: StartServiceProcess(); break;
    case hotcorners::ServiceStep::End: EndService(); break;
    case hotcorners::ServiceStep::None: break;
    }
    ShowServiceStatus();
    return true;
}

}  // namespace edgewake
