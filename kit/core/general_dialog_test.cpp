#include "kit/core/general_dialog.h"

#include <gtest/gtest.h>

#include <map>

#include "kit/core/testing/test_fakes.h"

namespace kit {
namespace {

using CS = CornerState;

// The page's controls as plain values; the monitor control is a style.
class FakePage : public GeneralPage {
public:
    struct Control {
        bool shown = true, enabled = true, checked = false;
        std::string text;
        std::vector<std::string> rows;
        std::optional<std::uint32_t> selection;
    };

    std::uint32_t MonitorStyle() override { return style; }
    void SetMonitorStyle(std::uint32_t value) override { style = value; }
    void Show(int id, bool shown) override { controls[id].shown = shown; }
    void Enable(int id, bool enabled) override { controls[id].enabled = enabled; }
    void SetText(int id, const std::string& text) override { controls[id].text = text; }
    std::string Text(int id, std::size_t capacity) override {
        return controls[id].text.substr(0, capacity - 1);
    }
    void SetRows(int id, const std::vector<std::string>& rows) override {
        controls[id].rows = rows;
        controls[id].selection.reset();
    }
    void Select(int id, std::uint32_t row) override { controls[id].selection = row; }
    std::optional<std::uint32_t> Selection(int id) override { return controls[id].selection; }
    void SetSpinRange(int id, int low, int high) override {
        controls[id].text = std::to_string(low) + ".." + std::to_string(high);
    }
    void SetChecked(int id, bool checked) override { controls[id].checked = checked; }
    bool Checked(int id) override { return controls[id].checked; }

    std::uint32_t style = 0x50000002;  // visible child, hot-corner kind
    std::map<int, Control> controls;
};

// Writes one line per request.
class FakeServices : public PageServices {
public:
    int DetectHotCornerService() override { return detected; }
    void KeepHotCornerService(int value) override {
        calls.push_back("keep " + std::to_string(value));
    }
    void TellHotCornerServices() override { calls.push_back("tell services"); }
    void BroadcastSettingsChange() override { calls.push_back("broadcast"); }
    void SendNotice(std::uint32_t code, const PrefsChangeBlock& block) override {
        char line[80];
        std::snprintf(line, sizeof line, "notice %X threshold=%d delay=%d", code,
                      block.mouseThreshold, block.passwordDelay);
        calls.push_back(line);
        lastBlock = block;
    }

    int detected = 0;
    std::vector<std::string> calls;
    PrefsChangeBlock lastBlock{};
};

class GeneralDialogTest : public testing::Test {
protected:
    FakeRegistry::Values& Stored() { return registry.keys[kSettingsKey]; }
    std::string StoredText(const char* name) {
        const Bytes& bytes = Stored().at(name);
        return std::string(bytes.begin(), bytes.end());
    }
    // A dialog over what is stored now, its page set up.
    GeneralDialog& Open() {
        dialog.emplace(registry, registry, strings, prefs, diagnostics);
        dialog->SetupControls(page, services);
        services.calls.clear();
        registry.writes = 0;
        return *dialog;
    }
    // A control changed by the user: the page reads all of them.
    void Change(int id, const std::string& text) {
        page.controls[id].text = text;
        dialog->StoreControlChanges(page, services);
    }
    void Choose(int id, std::uint32_t row) {
        page.controls[id].selection = row;
        dialog->StoreControlChanges(page, services);
    }

    FakeRegistry registry;
    FakeStrings strings;
    ScrPrefs prefs = DefaultPrefs();
    RecordingSink sink;
    Diagnostics diagnostics{prefs, &sink};
    FakePage page;
    FakeServices services;
    std::optional<GeneralDialog> dialog;
};

TEST_F(GeneralDialogTest, MouseCornersAreWrittenBackAsDashYAndN) {
    const struct {
        std::optional<Bytes> stored;
        std::array<CS, 4> read;
        const char* written;
    } cases[] = {{std::nullopt, {}, "----"},
                 {Text("YNxY"), {CS::Now, CS::Never, CS::Default, CS::Now}, "YN-Y"}};
    for (const auto& c : cases) {
        Stored().clear();
        if (c.stored) Stored()["Mouse Corners"] = *c.stored;
        Open();
        EXPECT_EQ(dialog->Values().corners, c.read);
        EXPECT_EQ(page.style, StyleWithCorners(0x50000002, c.read));
        Choose(IDC_DK_SENSITIVITY, 1);  // any change writes every value
        EXPECT_EQ(Stored().at("Mouse Corners"), Text(c.written));
        EXPECT_EQ(Stored().at("Mouse Threshold"), Dword(200));
    }
}

TEST_F(GeneralDialogTest, TheDelayShownInMinutesIsReadBackInWholeMinutes) {
    Stored() = {{"Password Delay", Dword(90)}, {"Password Delay Index", Dword(1)}};
    Open();
    EXPECT_EQ(page.controls[IDC_DK_DELAY].text, "1");
    EXPECT_EQ(page.controls[IDC_DK_DELAY_UNIT].rows,
              (std::vector<std::string>{"seconds", "minutes"}));
    EXPECT_EQ(page.controls[IDC_DK_DELAY_SPIN].text, "0..99");
    Choose(IDC_DK_SENSITIVITY, 2);
    EXPECT_EQ(Stored().at("Password Delay"), Dword(60));
}

TEST_F(GeneralDialogTest, TheDelayTextIsOneIntegerAndBadTextKeepsTheDelay) {
    // 98 characters are read: a 99th is cut off.
    const std::string fits = std::string(97, ' ') + "7", cut = std::string(98, ' ') + "7";
    const struct {
        std::string text;
        std::uint32_t unit, seconds;
    } cases[] = {
        {"0x10", 0, 16},        {"010", 0, 8}, {" 25 s", 0, 25}, {"2", 1, 120},
        {"letters", 0, 45},     {"", 0, 45},   {fits, 0, 7},     {cut, 0, 45},
        {"-5", 0, 45},        // a negative delay would turn the password off
        {"35791395", 1, 45},  // minutes beyond the signed 32-bit seconds
        {"99999999999", 0, 45},
    };
    for (const auto& c : cases) {
        Stored() = {{"Password Delay", Dword(45)}};
        Open();
        page.controls[IDC_DK_DELAY_UNIT].selection = c.unit;
        Change(IDC_DK_DELAY, c.text);
        EXPECT_EQ(dialog->Values().passwordDelay, c.seconds) << '"' << c.text << '"';
        // Left, the field shows refused text no more: the delay in force
        // comes back, in the unit chosen.
        const int writes = registry.writes;
        dialog->LeaveDelayField(page);
        const std::string shown = c.seconds != 45 ? c.text : c.unit == 1 ? "0" : "45";
        EXPECT_EQ(page.controls[IDC_DK_DELAY].text, shown) << '"' << c.text << '"';
        EXPECT_EQ(registry.writes, writes);
    }
}

TEST_F(GeneralDialogTest, ASensitivityRowStoresItsIndexAndThreshold) {
    Open();
    EXPECT_EQ(page.controls[IDC_DK_SENSITIVITY].rows,
              (std::vector<std::string>{"High", "Normal", "Low",
                                        "Keyboard only (ignore mouse movement)"}));
    for (const auto& [row, threshold] :
         {std::pair{2u, 400u}, std::pair{3u, 999999u}, std::pair{0u, 0u}}) {
        Choose(IDC_DK_SENSITIVITY, row);
        EXPECT_EQ(Stored().at("Mouse Threshold Index"), Dword(row));
        EXPECT_EQ(Stored().at("Mouse Threshold"), Dword(threshold));
    }
    EXPECT_EQ(services.calls,
              (std::vector<std::string>{"tell services", "notice D001 threshold=400 delay=60",
                                        "tell services", "notice D001 threshold=999999 delay=60",
                                        "tell services", "notice D001 threshold=0 delay=60"}));
    services.calls.clear();
    Choose(IDC_DK_SENSITIVITY, 0);  // nothing changed: nothing written or told
    EXPECT_TRUE(services.calls.empty());

    EXPECT_EQ(ParseSensitivityRow("No comma").label, "No comma");
    EXPECT_FALSE(ParseSensitivityRow("No comma").threshold);
    EXPECT_EQ(ParseSensitivityRow("Odd,0x20,3").threshold, 32);
}

TEST_F(GeneralDialogTest, CancelRewritesTheSavedValuesOnlyAfterChanges) {
    Stored() = {{"Mouse Threshold", Dword(200)}, {"Mouse Threshold Index", Dword(1)}};
    Open();
    dialog->Reset(services);
    EXPECT_EQ(registry.writes, 0);
    EXPECT_TRUE(services.calls.empty());

    Choose(IDC_DK_SENSITIVITY, 2);
    page.style |= 0x10;  // top-left Now
    Change(IDC_DK_DELAY, "30");
    services.calls.clear();
    dialog->Reset(services);
    EXPECT_EQ(Stored().at("Mouse Threshold"), Dword(200));
    EXPECT_EQ(Stored().at("Password Delay"), Dword(60));
    EXPECT_EQ(Stored().at("Mouse Corners"), Text("----"));
    EXPECT_EQ(services.calls,
              (std::vector<std::string>{"tell services", "notice D001 threshold=200 delay=60"}));
}

TEST_F(GeneralDialogTest, OkConfirmsAndKeepsTheValuesForALaterCancel) {
    Open();
    Choose(IDC_DK_SENSITIVITY, 3);
    services.calls.clear();
    dialog->Apply(services);
    EXPECT_EQ(services.calls,
              (std::vector<std::string>{"broadcast", "notice E001 threshold=999999 delay=60"}));
    EXPECT_EQ(services.lastBlock.size, 24u);
    EXPECT_EQ(dialog->Saved(), dialog->Values());
    registry.writes = 0;
    dialog->Reset(services);
    EXPECT_EQ(registry.writes, 0);
}

TEST_F(GeneralDialogTest, TheClientsPreferencesShapeThePageAndWhatIsWritten) {
    Stored() = {{"Mute Sound", Dword(1)}, {"Active Config", Dword(1)}};
    prefs.fMuteSound = 0;
    prefs.fActiveConfig = 1;
    prefs.fAlwaysRequirePassword = 1;
    prefs.fNeverRequirePassword = 1;  // "always" wins
    services.detected = 1;
    Open();
    EXPECT_EQ(page.controls[IDC_DK_PASSWORD_NOTE].text, "This screensaver always uses a password");
    EXPECT_TRUE(page.controls[IDC_DK_PASSWORD_NOTE].shown);
    for (int id = IDC_DK_DELAY_LABEL; id <= IDC_DK_DELAY_AFTER; ++id)
        EXPECT_FALSE(page.controls[id].shown) << id;
    EXPECT_FALSE(page.controls[IDC_DK_DELAY_UNIT].enabled);
    EXPECT_TRUE(page.controls[IDC_DK_SERVICE_FOUND].shown);
    EXPECT_FALSE(page.controls[IDC_DK_NO_SERVICE].shown);
    EXPECT_FALSE(page.controls[IDC_DK_MUTE].shown || page.controls[IDC_DK_MUTE].enabled);
    EXPECT_TRUE(page.controls[IDC_DK_ACTIVE_CONFIG].checked);

    Stored().erase("Mute Sound");
    page.controls[IDC_DK_ACTIVE_CONFIG].checked = false;
    page.controls[IDC_DK_MUTE].checked = true;  // not offered: not read
    dialog->StoreControlChanges(page, services);
    EXPECT_EQ(Stored().at("Active Config"), Dword(0));
    EXPECT_FALSE(Stored().contains("Mute Sound"));
    EXPECT_EQ(Stored().at("Password Delay"), Dword(60));  // the hidden edit changes nothing

    prefs.fAlwaysRequirePassword = 0;
    strings.texts.erase(IDS_DK_NEVER_PASSWORD);
    Open();
    EXPECT_EQ(page.controls[IDC_DK_PASSWORD_NOTE].text, "Special password treatment.");
}

TEST_F(GeneralDialogTest, NothingIsWrittenWhenTheKeyCannotBeCreated) {
    Open();
    registry.refuseCreate = true;
    EXPECT_FALSE(dialog->WriteRegistry());
    EXPECT_EQ(registry.writes, 0);
}

TEST(RouteNotice, ChoosesOwnerAndPreviewsByTheCode) {
    struct Case {
        std::uint32_t code;
        bool fromSaver, noPreviewUpdate, owner, previews;
    };
    for (const Case c :
         {Case{0xD001, true, false, true, true}, Case{0x8001, true, false, true, false},
          Case{0x4001, true, false, false, true}, Case{0xE001, false, false, false, true},
          Case{0x8001, false, false, false, false}, Case{0x1001, true, true, true, false},
          Case{0x0001, false, true, false, false}}) {
        const NoticeDeliveries route = RouteNotice(c.code, c.fromSaver, c.noPreviewUpdate);
        EXPECT_EQ(route.owner, c.owner) << std::hex << c.code << ' ' << c.fromSaver;
        EXPECT_EQ(route.previews, c.previews) << std::hex << c.code << ' ' << c.noPreviewUpdate;
    }
}

}  // namespace
}  // namespace kit
