#include "kit/core/general_dialog.h"

#include <algorithm>
#include <limits>

#include "common/core/number_text.h"

namespace kit {
namespace {

constexpr std::size_t kDelayTextCapacity = 99;

// The delay in seconds that the edit's text stands for. Unreadable text,
// and a number that would not fit the registry's signed delay (a negative
// one would read back as a delay so long that no password is ever asked),
// give nothing: the delay stays as it was.
std::optional<std::uint32_t> DelayFromText(std::string_view text, std::uint32_t unitIndex) {
    const auto scanned = common::ScanInteger(text, common::Overflow::Refuse);
    if (!scanned) return std::nullopt;
    const std::int64_t number = static_cast<std::int32_t>(scanned->value);
    const std::int64_t seconds = unitIndex == 1 ? number * 60 : number;
    if (seconds < 0 || seconds > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::uint32_t>(seconds);
}

// The delay as the edit shows it: in whole minutes with unit index 1.
std::string DelayText(const UserSettings& values) {
    const auto delay = static_cast<std::int32_t>(values.passwordDelay);
    return std::to_string(values.passwordDelayIndex == 1 ? delay / 60 : delay);
}

}  // namespace

GeneralDialog::GeneralDialog(const Registry& registry, RegistryWriter& writer,
                             const StringTable& strings, const ScrPrefs& prefs,
                             Diagnostics& diagnostics)
    : registry_(registry),
      writer_(writer),
      strings_(strings),
      prefs_(prefs),
      diagnostics_(diagnostics) {
    ReadRegistry();
    RememberValues();
}

void GeneralDialog::ReadRegistry() { values_ = ReadUserSettings(registry_, strings_, prefs_); }

bool GeneralDialog::WriteRegistry() {
    diagnostics_.Trace("DozeKit: GeneralDialog: WriteRegistry.");
    return WriteUserSettings(values_, writer_, strings_, prefs_);
}

bool GeneralDialog::RevertValues() {
    if (values_ == saved_) return false;
    values_ = saved_;
    return true;
}

void GeneralDialog::NotifyChanges(PageServices& services, bool confirmed) {
    if (confirmed) {
        diagnostics_.Trace("Dozekit: GeneralDialog: system being notified of changes");
        services.BroadcastSettingsChange();
    } else {
        diagnostics_.Trace("Dozekit: GeneralDialog: Sage being notified of corners");
        services.TellHotCornerServices();
    }
    PrefsChangeBlock block{};
    block.size = sizeof block;
    FillChangeBlock(values_, block);
    services.SendNotice(confirmed ? kConfirmedCode : kLiveChangeCode, block);
}

void GeneralDialog::SetupControls(GeneralPage& page, PageServices& services) {
    settingUp_ = true;
    page.SetMonitorStyle(StyleWithCorners(page.MonitorStyle(), values_.corners));

    const int detected = services.DetectHotCornerService();
    services.KeepHotCornerService(detected);
    page.Show(IDC_DK_SERVICE_FOUND, detected != 0);
    page.Show(IDC_DK_NO_SERVICE, detected == 0);

    if (prefs_.fAlwaysRequirePassword || prefs_.fNeverRequirePassword) {
        const int note =
            prefs_.fAlwaysRequirePassword ? IDS_DK_ALWAYS_PASSWORD : IDS_DK_NEVER_PASSWORD;
        page.SetText(IDC_DK_PASSWORD_NOTE,
                     strings_.Load(note).value_or("Special password treatment."));
        for (int id = IDC_DK_DELAY_LABEL; id <= IDC_DK_DELAY_AFTER; ++id) page.Show(id, false);
        for (int id = IDC_DK_DELAY; id <= IDC_DK_DELAY_UNIT; ++id) page.Enable(id, false);
        page.Show(IDC_DK_PASSWORD_NOTE, true);
    } else {
        page.Show(IDC_DK_PASSWORD_NOTE, false);
        std::vector<std::string> units;
        for (const int id : {IDS_DK_SECONDS, IDS_DK_MINUTES})
            if (auto unit = strings_.Load(id)) units.push_back(std::move(*unit));
        page.SetRows(IDC_DK_DELAY_UNIT, units);
        page.Select(IDC_DK_DELAY_UNIT, values_.passwordDelayIndex);
        page.SetText(IDC_DK_DELAY, DelayText(values_));
        page.SetSpinRange(IDC_DK_DELAY_SPIN, 0, 99);
    }

    std::vector<std::string> rows;
    for (int id = IDS_DK_SENSITIVITY_HIGH; id <= IDS_DK_SENSITIVITY_KEYBOARD; ++id)
        if (const auto row = strings_.Load(id)) rows.push_back(ParseSensitivityRow(*row).label);
    page.SetRows(IDC_DK_SENSITIVITY, rows);
    page.Select(IDC_DK_SENSITIVITY, values_.mouseThresholdIndex);

    const auto offerCheckBox = [&page](int id, bool offered, std::uint32_t value) {
        page.SetChecked(id, value != 0);
        page.Show(id, offered);
        page.Enable(id, offered);
    };
    offerCheckBox(IDC_DK_MUTE, prefs_.fMuteSound != 0, values_.muteSound);
    offerCheckBox(IDC_DK_ACTIVE_CONFIG, prefs_.fActiveConfig != 0, values_.activeConfig);
    settingUp_ = false;
}

bool GeneralDialog::TakeControlValues(GeneralPage& page) {
    const UserSettings before = values_;
    values_.corners = CornersFromStyle(page.MonitorStyle());
    if (const auto unit = page.Selection(IDC_DK_DELAY_UNIT)) values_.passwordDelayIndex = *unit;
    if (const auto delay =
            DelayFromText(page.Text(IDC_DK_DELAY, kDelayTextCapacity), values_.passwordDelayIndex))
        values_.passwordDelay = *delay;
    if (const auto row = page.Selection(IDC_DK_SENSITIVITY)) {
        values_.mouseThresholdIndex = *row;
        const int id = IDS_DK_SENSITIVITY_HIGH + static_cast<int>(std::min<std::uint32_t>(*row, 3));
        if (const auto text = strings_.Load(id))
            if (const auto threshold = ParseSensitivityRow(*text).threshold)
                values_.mouseThreshold = *threshold;
    }
    if (prefs_.fMuteSound) values_.muteSound = page.Checked(IDC_DK_MUTE) ? 1 : 0;
    if (prefs_.fActiveConfig) values_.activeConfig = page.Checked(IDC_DK_ACTIVE_CONFIG) ? 1 : 0;
    return values_ != before;
}

void GeneralDialog::StoreControlChanges(GeneralPage& page, PageServices& services) {
    if (settingUp_ || !TakeControlValues(page)) return;
    diagnostics_.Trace("DozeKit: GeneralDialog: a control has been changed. Doing registry stuff.");
    WriteRegistry();
    NotifyChanges(services, false);
}

void GeneralDialog::LeaveDelayField(GeneralPage& page) {
    if (settingUp_ ||
        DelayFromText(page.Text(IDC_DK_DELAY, kDelayTextCapacity), values_.passwordDelayIndex))
        return;
    const std::string shown = DelayText(values_);
    // The edit's change notice is the page's own doing, not the user's.
    settingUp_ = true;
    page.SetText(IDC_DK_DELAY, shown);
    settingUp_ = false;
}

void GeneralDialog::Apply(PageServices& services) {
    RememberValues();
    NotifyChanges(services, true);
}

void GeneralDialog::Reset(PageServices& services) {
    if (!RevertValues()) return;
    WriteRegistry();
    NotifyChanges(services, false);
}

SensitivityRow ParseSensitivityRow(std::string_view text) {
    const auto comma = text.find(',');
    SensitivityRow row{std::string(text.substr(0, comma)), std::nullopt};
    if (comma == std::string_view::npos) return row;
    if (const auto scanned = common::ScanInteger(text.substr(comma + 1), common::Overflow::Wrap))
        row.threshold = static_cast<std::int32_t>(scanned->value);
    return row;
}

NoticeDeliveries RouteNotice(std::uint32_t code, bool openedFromSaver, bool noPreviewUpdate) {
    const bool either = (code & (kNoticeToOwner | kNoticeToPreviews)) != 0;
    return {!either || (code & kNoticeToOwner) != 0 ? openedFromSaver : false,
            !either || (code & kNoticeToPreviews) != 0 ? !noPreviewUpdate : false};
}

std::optional<std::string> ChooseHelpFile(bool activeConfigHelp,
                                          const std::optional<std::string>& kitHelpFile,
                                          const std::optional<std::string>& agentHelpFile,
                                          bool kitHelpFileExists) {
    if (activeConfigHelp || (kitHelpFile && kitHelpFileExists)) return kitHelpFile;
    return agentHelpFile;
}

}  // namespace kit
